// The resampler's loops for processors with AVX2: four doubles per vector.
// Only the loops are built for AVX2 (the pragma comes after the includes),
// and they have internal linkage, so nothing built here can stand in for
// code that other files call on a processor without it.

#include "resamplerkernels.h"

#include <immintrin.h>

#include <cstring>

namespace tovin::resampling {

#pragma GCC push_options
#pragma GCC target("avx2")

namespace {

inline int smaller(int a, int b)
{
    return a < b ? a : b;
}

// Four rounded sums to four bytes, packed in the low 32 bits.
inline __m128i roundedValues(__m256d sum)
{
    return _mm256_cvttpd_epi32(_mm256_add_pd(sum, _mm256_set1_pd(0.5)));
}

inline int roundedBytes(__m256d sum)
{
    const __m128i words = _mm_packs_epi32(roundedValues(sum), _mm_setzero_si128());
    return _mm_cvtsi128_si32(_mm_packus_epi16(words, words));
}

inline void storeBytes(std::uint8_t *target, int bytes, int count)
{
    std::memcpy(target, &bytes, std::size_t(count));
}

inline __m256d widenFour(const std::uint8_t *p)
{
    int bytes;
    std::memcpy(&bytes, p, sizeof bytes);
    return _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(_mm_cvtsi32_si128(bytes)));
}

void widen(const std::uint8_t *source, int pixels, int channels, double *widened)
{
    if (channels == 3) {
        for (int pixel = 0; pixel < pixels; ++pixel) {
            widened[4 * pixel] = source[3 * pixel];
            widened[4 * pixel + 1] = source[3 * pixel + 1];
            widened[4 * pixel + 2] = source[3 * pixel + 2];
            widened[4 * pixel + 3] = 0;
        }
        return;
    }
    const int values = pixels * channels;
    for (int i = 0; i < values; ++i)
        widened[i] = source[i];
}

// Colour: one target pixel's four lanes in one vector; four target pixels at
// a time so that four sums are in flight.
void horizontalColour(const double *widened, const HorizontalPlan &plan, std::uint8_t *target)
{
    const int taps = plan.taps;
    const int channels = plan.channels;
    int x = 0;
    for (; x + 4 <= plan.targets; x += 4) {
        const double *p0 = widened + 4 * plan.starts[x];
        const double *p1 = widened + 4 * plan.starts[x + 1];
        const double *p2 = widened + 4 * plan.starts[x + 2];
        const double *p3 = widened + 4 * plan.starts[x + 3];
        const double *w0 = plan.weights + std::size_t(x) * taps;
        const double *w1 = w0 + taps;
        const double *w2 = w1 + taps;
        const double *w3 = w2 + taps;
        __m256d a0 = _mm256_setzero_pd(), a1 = _mm256_setzero_pd();
        __m256d a2 = _mm256_setzero_pd(), a3 = _mm256_setzero_pd();
        for (int t = 0; t < taps; ++t) {
            a0 = _mm256_add_pd(a0, _mm256_mul_pd(_mm256_broadcast_sd(w0 + t), _mm256_loadu_pd(p0 + 4 * t)));
            a1 = _mm256_add_pd(a1, _mm256_mul_pd(_mm256_broadcast_sd(w1 + t), _mm256_loadu_pd(p1 + 4 * t)));
            a2 = _mm256_add_pd(a2, _mm256_mul_pd(_mm256_broadcast_sd(w2 + t), _mm256_loadu_pd(p2 + 4 * t)));
            a3 = _mm256_add_pd(a3, _mm256_mul_pd(_mm256_broadcast_sd(w3 + t), _mm256_loadu_pd(p3 + 4 * t)));
        }
        storeBytes(target + x * channels, roundedBytes(a0), channels);
        storeBytes(target + (x + 1) * channels, roundedBytes(a1), channels);
        storeBytes(target + (x + 2) * channels, roundedBytes(a2), channels);
        storeBytes(target + (x + 3) * channels, roundedBytes(a3), channels);
    }
    for (; x < plan.targets; ++x) {
        const double *p = widened + 4 * plan.starts[x];
        const double *w = plan.weights + std::size_t(x) * taps;
        __m256d a = _mm256_setzero_pd();
        for (int t = 0; t < taps; ++t)
            a = _mm256_add_pd(a, _mm256_mul_pd(_mm256_broadcast_sd(w + t), _mm256_loadu_pd(p + 4 * t)));
        storeBytes(target + x * channels, roundedBytes(a), channels);
    }
}

// Grey: four target pixels per vector, two vectors at a time.
void horizontalGrey(const double *widened, const HorizontalPlan &plan, std::uint8_t *target)
{
    const int taps = plan.taps;
    const int entries = (plan.targets + 3) / 4;
    int e = 0;
    for (; e + 2 <= entries; e += 2) {
        const double *p0 = widened + plan.starts[e];
        const double *p1 = widened + plan.starts[e + 1];
        const double *w0 = plan.weights + std::size_t(e) * taps * 4;
        const double *w1 = w0 + taps * 4;
        __m256d a0 = _mm256_setzero_pd(), a1 = _mm256_setzero_pd();
        for (int t = 0; t < taps; ++t) {
            a0 = _mm256_add_pd(a0, _mm256_mul_pd(_mm256_loadu_pd(w0 + 4 * t), _mm256_broadcast_sd(p0 + t)));
            a1 = _mm256_add_pd(a1, _mm256_mul_pd(_mm256_loadu_pd(w1 + 4 * t), _mm256_broadcast_sd(p1 + t)));
        }
        storeBytes(target + 4 * e, roundedBytes(a0), 4);
        storeBytes(target + 4 * e + 4, roundedBytes(a1), smaller(4, plan.targets - 4 * e - 4));
    }
    for (; e < entries; ++e) {
        const double *p = widened + plan.starts[e];
        const double *w = plan.weights + std::size_t(e) * taps * 4;
        __m256d a = _mm256_setzero_pd();
        for (int t = 0; t < taps; ++t)
            a = _mm256_add_pd(a, _mm256_mul_pd(_mm256_loadu_pd(w + 4 * t), _mm256_broadcast_sd(p + t)));
        storeBytes(target + 4 * e, roundedBytes(a), smaller(4, plan.targets - 4 * e));
    }
}

void horizontal(const double *widened, const HorizontalPlan &plan, std::uint8_t *target)
{
    if (plan.channels == 1)
        horizontalGrey(widened, plan, target);
    else
        horizontalColour(widened, plan, target);
}

// Sixteen values at a time across the row, then four, then one by one; each
// value's sum runs over the rows in order.
void vertical(const std::uint8_t *const *rows, const double *weights, int count, int values, std::uint8_t *target)
{
    int i = 0;
    for (; i + 16 <= values; i += 16) {
        __m256d s0 = _mm256_setzero_pd(), s1 = _mm256_setzero_pd();
        __m256d s2 = _mm256_setzero_pd(), s3 = _mm256_setzero_pd();
        for (int k = 0; k < count; ++k) {
            const __m256d weight = _mm256_broadcast_sd(weights + k);
            const std::uint8_t *row = rows[k] + i;
            s0 = _mm256_add_pd(s0, _mm256_mul_pd(weight, widenFour(row)));
            s1 = _mm256_add_pd(s1, _mm256_mul_pd(weight, widenFour(row + 4)));
            s2 = _mm256_add_pd(s2, _mm256_mul_pd(weight, widenFour(row + 8)));
            s3 = _mm256_add_pd(s3, _mm256_mul_pd(weight, widenFour(row + 12)));
        }
        const __m128i low = _mm_packs_epi32(roundedValues(s0), roundedValues(s1));
        const __m128i high = _mm_packs_epi32(roundedValues(s2), roundedValues(s3));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(target + i), _mm_packus_epi16(low, high));
    }
    for (; i + 4 <= values; i += 4) {
        __m256d sum = _mm256_setzero_pd();
        for (int k = 0; k < count; ++k)
            sum = _mm256_add_pd(sum, _mm256_mul_pd(_mm256_broadcast_sd(weights + k), widenFour(rows[k] + i)));
        storeBytes(target + i, roundedBytes(sum), 4);
    }
    for (; i < values; ++i)
        target[i] = verticalSum(rows, weights, count, i);
}

} // namespace

#pragma GCC pop_options

const Kernels &avx2Kernels()
{
    static const Kernels kernels{4, widen, horizontal, vertical};
    return kernels;
}

} // namespace tovin::resampling
