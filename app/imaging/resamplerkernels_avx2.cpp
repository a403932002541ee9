// The resampler's loops for processors with AVX2: four doubles per vector.
// Only the loops are built for AVX2 (the pragmas come after the includes),
// and they have internal linkage, so nothing built here can stand in for
// code that other files call on a processor without it.

#include "resamplerkernels.h"

#include <immintrin.h>

#include <cstring>

namespace tovin::resampling {

#ifdef __clang__
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

namespace {

// Target pixels the colour loop keeps in flight, rounded and stored together.
constexpr int kColourLanes = 4;

inline int smaller(int a, int b)
{
    return a < b ? a : b;
}

// Four sums rounded as the reference does: truncation of sum + 0.5.
inline __m128i roundedValues(__m256d sum)
{
    return _mm256_cvttpd_epi32(_mm256_add_pd(sum, _mm256_set1_pd(0.5)));
}

// The same clamped to 0..255 and packed into the low 32 bits.
inline int roundedBytes(__m256d sum)
{
    const __m128i words = _mm_packs_epi32(roundedValues(sum), _mm_setzero_si128());
    return _mm_cvtsi128_si32(_mm_packus_epi16(words, words));
}

inline void storeFour(std::uint8_t *target, int bytes)
{
    std::memcpy(target, &bytes, 4);
}

// The first `count` of four packed bytes, for the end of a row.
inline void storeFirst(std::uint8_t *target, int bytes, int count)
{
    for (int i = 0; i < count; ++i)
        target[i] = std::uint8_t(bytes >> (8 * i));
}

// A colour pixel goes out as four bytes; for 24-bit the fourth (the spare
// lane) lands on the next pixel's first byte, which is written after it.
// Only the row's last pixel is written byte by byte.
template<int Channels> inline void storePixel(std::uint8_t *target, int x, int targets, int bytes)
{
    if (Channels == 4 || x + 1 < targets)
        storeFour(target + x * Channels, bytes);
    else
        storeFirst(target + x * Channels, bytes, Channels);
}

inline __m256d widenFour(const std::uint8_t *p)
{
    int bytes;
    std::memcpy(&bytes, p, sizeof bytes);
    return _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(_mm_cvtsi32_si128(bytes)));
}

// Four target pixels' sums rounded together: their channels packed into
// sixteen bytes, for 24-bit closed up to twelve.
template<int Channels> inline void storeFourPixels(std::uint8_t *target, int x, int targets, const __m256d sums[4])
{
    const __m128i low = _mm_packs_epi32(roundedValues(sums[0]), roundedValues(sums[1]));
    const __m128i high = _mm_packs_epi32(roundedValues(sums[2]), roundedValues(sums[3]));
    __m128i bytes = _mm_packus_epi16(low, high);
    std::uint8_t *out = target + x * Channels;
    if (Channels == 4) {
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out), bytes);
        return;
    }
    bytes = _mm_shuffle_epi8(bytes, _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1));
    // Sixteen bytes where the row has room for them (the next pixels'
    // stores put the last four right), else exactly twelve.
    if (3 * x + 16 <= 3 * targets) {
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out), bytes);
    } else {
        _mm_storel_epi64(reinterpret_cast<__m128i *>(out), bytes);
        storeFour(out + 8, _mm_extract_epi32(bytes, 2));
    }
}

// Colour: one target pixel's channels in the lanes of one vector (for 24-bit
// the fourth lane carries the next pixel's first byte and is thrown away),
// four target pixels at a time so that four sums are in flight, and two rows
// at a time when there are two, which then share each weight. The source is
// widened to doubles a block of target pixels at a time, so that what the
// block reads stays in the first-level cache.
template<int Channels, int Rows>
void horizontalColour(const std::uint8_t *const *sources, const HorizontalPlan &plan, double *widened,
                      std::uint8_t *const *targets)
{
    const int taps = plan.taps;
    // Where the second row's widened pixels lie, from the first row's.
    const std::size_t second = std::size_t(widenedLength(Channels, plan.sources));
    for (int block = 0; block < plan.targets; block += kColourBlock) {
        const int end = smaller(plan.targets, block + kColourBlock);
        const int first = plan.starts[block];
        const int last = plan.starts[end - 1] + taps;
        for (int r = 0; r < Rows; ++r) {
            double *out = widened + r * second - 4 * first;
            for (int pixel = first; pixel < last; ++pixel)
                _mm256_storeu_pd(out + 4 * pixel, widenFour(sources[r] + Channels * pixel));
        }
        const double *row = widened - 4 * first;

        int x = block;
        for (; x + 4 <= end; x += 4) {
            const double *p0 = row + 4 * plan.starts[x];
            const double *p1 = row + 4 * plan.starts[x + 1];
            const double *p2 = row + 4 * plan.starts[x + 2];
            const double *p3 = row + 4 * plan.starts[x + 3];
            const double *w = plan.weights + std::size_t(x) * taps;
            __m256d a[4] = {_mm256_setzero_pd(), _mm256_setzero_pd(), _mm256_setzero_pd(), _mm256_setzero_pd()};
            __m256d b[4] = {_mm256_setzero_pd(), _mm256_setzero_pd(), _mm256_setzero_pd(), _mm256_setzero_pd()};
            for (int t = 0; t < taps; ++t, w += 4) {
                const __m256d u0 = _mm256_broadcast_sd(w);
                const __m256d u1 = _mm256_broadcast_sd(w + 1);
                const __m256d u2 = _mm256_broadcast_sd(w + 2);
                const __m256d u3 = _mm256_broadcast_sd(w + 3);
                a[0] = _mm256_add_pd(a[0], _mm256_mul_pd(u0, _mm256_loadu_pd(p0 + 4 * t)));
                a[1] = _mm256_add_pd(a[1], _mm256_mul_pd(u1, _mm256_loadu_pd(p1 + 4 * t)));
                a[2] = _mm256_add_pd(a[2], _mm256_mul_pd(u2, _mm256_loadu_pd(p2 + 4 * t)));
                a[3] = _mm256_add_pd(a[3], _mm256_mul_pd(u3, _mm256_loadu_pd(p3 + 4 * t)));
                if constexpr (Rows == 2) {
                    b[0] = _mm256_add_pd(b[0], _mm256_mul_pd(u0, _mm256_loadu_pd(p0 + second + 4 * t)));
                    b[1] = _mm256_add_pd(b[1], _mm256_mul_pd(u1, _mm256_loadu_pd(p1 + second + 4 * t)));
                    b[2] = _mm256_add_pd(b[2], _mm256_mul_pd(u2, _mm256_loadu_pd(p2 + second + 4 * t)));
                    b[3] = _mm256_add_pd(b[3], _mm256_mul_pd(u3, _mm256_loadu_pd(p3 + second + 4 * t)));
                }
            }
            storeFourPixels<Channels>(targets[0], x, plan.targets, a);
            if constexpr (Rows == 2)
                storeFourPixels<Channels>(targets[1], x, plan.targets, b);
        }
        for (; x < end; ++x) {
            const double *p = row + 4 * plan.starts[x];
            const double *w = plan.weights + std::size_t(x / kColourLanes) * taps * kColourLanes + x % kColourLanes;
            for (int r = 0; r < Rows; ++r, p += second) {
                __m256d a = _mm256_setzero_pd();
                for (int t = 0; t < taps; ++t)
                    a = _mm256_add_pd(
                        a, _mm256_mul_pd(_mm256_broadcast_sd(w + kColourLanes * t), _mm256_loadu_pd(p + 4 * t)));
                storePixel<Channels>(targets[r], x, plan.targets, roundedBytes(a));
            }
        }
    }
}

// Grey: four target pixels per vector, two vectors at a time.
void horizontalGrey(const std::uint8_t *source, const HorizontalPlan &plan, double *widened, std::uint8_t *target)
{
    for (int i = 0; i < plan.sources; ++i)
        widened[i] = source[i];
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
        storeFour(target + 4 * e, roundedBytes(a0));
        if (4 * e + 8 <= plan.targets)
            storeFour(target + 4 * e + 4, roundedBytes(a1));
        else
            storeFirst(target + 4 * e + 4, roundedBytes(a1), plan.targets - 4 * e - 4);
    }
    for (; e < entries; ++e) {
        const double *p = widened + plan.starts[e];
        const double *w = plan.weights + std::size_t(e) * taps * 4;
        __m256d a = _mm256_setzero_pd();
        for (int t = 0; t < taps; ++t)
            a = _mm256_add_pd(a, _mm256_mul_pd(_mm256_loadu_pd(w + 4 * t), _mm256_broadcast_sd(p + t)));
        storeFirst(target + 4 * e, roundedBytes(a), smaller(4, plan.targets - 4 * e));
    }
}

void horizontal(const std::uint8_t *const *sources, int rows, const HorizontalPlan &plan, double *widened,
                std::uint8_t *const *targets)
{
    if (plan.channels == 1) {
        for (int r = 0; r < rows; ++r)
            horizontalGrey(sources[r], plan, widened, targets[r]);
    } else if (plan.channels == 3) {
        rows == 2 ? horizontalColour<3, 2>(sources, plan, widened, targets)
                  : horizontalColour<3, 1>(sources, plan, widened, targets);
    } else {
        rows == 2 ? horizontalColour<4, 2>(sources, plan, widened, targets)
                  : horizontalColour<4, 1>(sources, plan, widened, targets);
    }
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
        storeFour(target + i, roundedBytes(sum));
    }
    for (; i < values; ++i)
        target[i] = verticalSum(rows, weights, count, i);
}

} // namespace

#ifdef __clang__
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

const Kernels &avx2Kernels()
{
    static const Kernels kernels{4, kColourLanes, 2, horizontal, vertical};
    return kernels;
}

} // namespace tovin::resampling
