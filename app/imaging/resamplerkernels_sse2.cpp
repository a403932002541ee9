// The resampler's loops for any x86-64 processor: two doubles per vector.

#include "resamplerkernels.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstring>

namespace tovin::resampling {
namespace {

// Four rounded sums (as two pairs) to four bytes, packed in the low 32 bits.
inline int roundedBytes(__m128d low, __m128d high)
{
    const __m128d half = _mm_set1_pd(0.5);
    const __m128i values =
        _mm_unpacklo_epi64(_mm_cvttpd_epi32(_mm_add_pd(low, half)), _mm_cvttpd_epi32(_mm_add_pd(high, half)));
    const __m128i words = _mm_packs_epi32(values, values);
    return _mm_cvtsi128_si32(_mm_packus_epi16(words, words));
}

inline void storeBytes(std::uint8_t *target, int bytes, int count)
{
    std::memcpy(target, &bytes, std::size_t(count));
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

// Colour: one target pixel's four lanes in two vectors; two target pixels
// at a time so that four sums are in flight.
void horizontalColour(const double *widened, const HorizontalPlan &plan, std::uint8_t *target)
{
    const int taps = plan.taps;
    const int channels = plan.channels;
    int x = 0;
    for (; x + 2 <= plan.targets; x += 2) {
        const double *p0 = widened + 4 * plan.starts[x];
        const double *p1 = widened + 4 * plan.starts[x + 1];
        const double *w0 = plan.weights + std::size_t(x) * taps;
        const double *w1 = w0 + taps;
        __m128d a0 = _mm_setzero_pd(), b0 = _mm_setzero_pd();
        __m128d a1 = _mm_setzero_pd(), b1 = _mm_setzero_pd();
        for (int t = 0; t < taps; ++t) {
            const __m128d u0 = _mm_set1_pd(w0[t]);
            const __m128d u1 = _mm_set1_pd(w1[t]);
            a0 = _mm_add_pd(a0, _mm_mul_pd(u0, _mm_loadu_pd(p0 + 4 * t)));
            b0 = _mm_add_pd(b0, _mm_mul_pd(u0, _mm_loadu_pd(p0 + 4 * t + 2)));
            a1 = _mm_add_pd(a1, _mm_mul_pd(u1, _mm_loadu_pd(p1 + 4 * t)));
            b1 = _mm_add_pd(b1, _mm_mul_pd(u1, _mm_loadu_pd(p1 + 4 * t + 2)));
        }
        storeBytes(target + x * channels, roundedBytes(a0, b0), channels);
        storeBytes(target + (x + 1) * channels, roundedBytes(a1, b1), channels);
    }
    for (; x < plan.targets; ++x) {
        const double *p = widened + 4 * plan.starts[x];
        const double *w = plan.weights + std::size_t(x) * taps;
        __m128d a = _mm_setzero_pd(), b = _mm_setzero_pd();
        for (int t = 0; t < taps; ++t) {
            const __m128d u = _mm_set1_pd(w[t]);
            a = _mm_add_pd(a, _mm_mul_pd(u, _mm_loadu_pd(p + 4 * t)));
            b = _mm_add_pd(b, _mm_mul_pd(u, _mm_loadu_pd(p + 4 * t + 2)));
        }
        storeBytes(target + x * channels, roundedBytes(a, b), channels);
    }
}

// Grey: two target pixels per vector, two vectors at a time.
void horizontalGrey(const double *widened, const HorizontalPlan &plan, std::uint8_t *target)
{
    const int taps = plan.taps;
    const int entries = (plan.targets + 1) / 2;
    int e = 0;
    for (; e + 2 <= entries; e += 2) {
        const double *p0 = widened + plan.starts[e];
        const double *p1 = widened + plan.starts[e + 1];
        const double *w0 = plan.weights + std::size_t(e) * taps * 2;
        const double *w1 = w0 + taps * 2;
        __m128d a0 = _mm_setzero_pd(), a1 = _mm_setzero_pd();
        for (int t = 0; t < taps; ++t) {
            a0 = _mm_add_pd(a0, _mm_mul_pd(_mm_loadu_pd(w0 + 2 * t), _mm_set1_pd(p0[t])));
            a1 = _mm_add_pd(a1, _mm_mul_pd(_mm_loadu_pd(w1 + 2 * t), _mm_set1_pd(p1[t])));
        }
        storeBytes(target + 2 * e, roundedBytes(a0, a1), std::min(4, plan.targets - 2 * e));
    }
    for (; e < entries; ++e) {
        const double *p = widened + plan.starts[e];
        const double *w = plan.weights + std::size_t(e) * taps * 2;
        __m128d a = _mm_setzero_pd();
        for (int t = 0; t < taps; ++t)
            a = _mm_add_pd(a, _mm_mul_pd(_mm_loadu_pd(w + 2 * t), _mm_set1_pd(p[t])));
        storeBytes(target + 2 * e, roundedBytes(a, a), std::min(2, plan.targets - 2 * e));
    }
}

void horizontal(const double *widened, const HorizontalPlan &plan, std::uint8_t *target)
{
    if (plan.channels == 1)
        horizontalGrey(widened, plan, target);
    else
        horizontalColour(widened, plan, target);
}

// Eight bytes to four pairs of doubles.
inline void widenEight(const std::uint8_t *p, __m128d out[4])
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i words = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(p)), zero);
    const __m128i low = _mm_unpacklo_epi16(words, zero);
    const __m128i high = _mm_unpackhi_epi16(words, zero);
    out[0] = _mm_cvtepi32_pd(low);
    out[1] = _mm_cvtepi32_pd(_mm_srli_si128(low, 8));
    out[2] = _mm_cvtepi32_pd(high);
    out[3] = _mm_cvtepi32_pd(_mm_srli_si128(high, 8));
}

// Eight values at a time across the row; each value's sum runs over the
// rows in order.
void vertical(const std::uint8_t *const *rows, const double *weights, int count, int values, std::uint8_t *target)
{
    int i = 0;
    for (; i + 8 <= values; i += 8) {
        __m128d sum[4] = {_mm_setzero_pd(), _mm_setzero_pd(), _mm_setzero_pd(), _mm_setzero_pd()};
        for (int k = 0; k < count; ++k) {
            const __m128d weight = _mm_set1_pd(weights[k]);
            __m128d value[4];
            widenEight(rows[k] + i, value);
            for (int j = 0; j < 4; ++j)
                sum[j] = _mm_add_pd(sum[j], _mm_mul_pd(weight, value[j]));
        }
        storeBytes(target + i, roundedBytes(sum[0], sum[1]), 4);
        storeBytes(target + i + 4, roundedBytes(sum[2], sum[3]), 4);
    }
    for (; i < values; ++i)
        target[i] = verticalSum(rows, weights, count, i);
}

} // namespace

const Kernels &sse2Kernels()
{
    static const Kernels kernels{2, widen, horizontal, vertical};
    return kernels;
}

} // namespace tovin::resampling
