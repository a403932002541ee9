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

// Four bytes to two pairs of doubles.
inline void widenFour(const std::uint8_t *p, double *widened)
{
    int bytes;
    std::memcpy(&bytes, p, sizeof bytes);
    const __m128i zero = _mm_setzero_si128();
    const __m128i values = _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(bytes), zero), zero);
    _mm_storeu_pd(widened, _mm_cvtepi32_pd(values));
    _mm_storeu_pd(widened + 2, _mm_cvtepi32_pd(_mm_srli_si128(values, 8)));
}

// Colour: one target pixel's channels in the lanes of two vectors (for
// 24-bit the fourth lane carries the next pixel's first byte and is thrown
// away); two target pixels at a time so that four sums are in flight. The
// source is widened to doubles a block of target pixels at a time, so that
// what the block reads stays in the first-level cache.
template<int Channels>
void horizontalColour(const std::uint8_t *source, const HorizontalPlan &plan, double *widened, std::uint8_t *target)
{
    const int taps = plan.taps;
    for (int block = 0; block < plan.targets; block += kColourBlock) {
        const int end = std::min(plan.targets, block + kColourBlock);
        const int first = plan.starts[block];
        const int last = plan.starts[end - 1] + taps;
        for (int pixel = first; pixel < last; ++pixel)
            widenFour(source + Channels * pixel, widened + 4 * (pixel - first));
        const double *row = widened - 4 * first;

        int x = block;
        for (; x + 2 <= end; x += 2) {
            const double *p0 = row + 4 * plan.starts[x];
            const double *p1 = row + 4 * plan.starts[x + 1];
            const double *w = plan.weights + std::size_t(x) * taps;
            __m128d a0 = _mm_setzero_pd(), b0 = _mm_setzero_pd();
            __m128d a1 = _mm_setzero_pd(), b1 = _mm_setzero_pd();
            for (int t = 0; t < taps; ++t) {
                const __m128d u0 = _mm_set1_pd(w[2 * t]);
                const __m128d u1 = _mm_set1_pd(w[2 * t + 1]);
                a0 = _mm_add_pd(a0, _mm_mul_pd(u0, _mm_loadu_pd(p0 + 4 * t)));
                b0 = _mm_add_pd(b0, _mm_mul_pd(u0, _mm_loadu_pd(p0 + 4 * t + 2)));
                a1 = _mm_add_pd(a1, _mm_mul_pd(u1, _mm_loadu_pd(p1 + 4 * t)));
                b1 = _mm_add_pd(b1, _mm_mul_pd(u1, _mm_loadu_pd(p1 + 4 * t + 2)));
            }
            storePixel<Channels>(target, x, plan.targets, roundedBytes(a0, b0));
            storePixel<Channels>(target, x + 1, plan.targets, roundedBytes(a1, b1));
        }
        for (; x < end; ++x) {
            const double *p = row + 4 * plan.starts[x];
            const double *w = plan.weights + std::size_t(x / 2) * taps * 2 + x % 2;
            __m128d a = _mm_setzero_pd(), b = _mm_setzero_pd();
            for (int t = 0; t < taps; ++t) {
                const __m128d u = _mm_set1_pd(w[2 * t]);
                a = _mm_add_pd(a, _mm_mul_pd(u, _mm_loadu_pd(p + 4 * t)));
                b = _mm_add_pd(b, _mm_mul_pd(u, _mm_loadu_pd(p + 4 * t + 2)));
            }
            storePixel<Channels>(target, x, plan.targets, roundedBytes(a, b));
        }
    }
}

// Grey: two target pixels per vector, two vectors at a time.
void horizontalGrey(const std::uint8_t *source, const HorizontalPlan &plan, double *widened, std::uint8_t *target)
{
    for (int i = 0; i < plan.sources; ++i)
        widened[i] = source[i];
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
        if (2 * e + 4 <= plan.targets)
            storeFour(target + 2 * e, roundedBytes(a0, a1));
        else
            storeFirst(target + 2 * e, roundedBytes(a0, a1), plan.targets - 2 * e);
    }
    for (; e < entries; ++e) {
        const double *p = widened + plan.starts[e];
        const double *w = plan.weights + std::size_t(e) * taps * 2;
        __m128d a = _mm_setzero_pd();
        for (int t = 0; t < taps; ++t)
            a = _mm_add_pd(a, _mm_mul_pd(_mm_loadu_pd(w + 2 * t), _mm_set1_pd(p[t])));
        storeFirst(target + 2 * e, roundedBytes(a, a), std::min(2, plan.targets - 2 * e));
    }
}

void horizontal(const std::uint8_t *const *sources, int rows, const HorizontalPlan &plan, double *widened,
                std::uint8_t *const *targets)
{
    for (int r = 0; r < rows; ++r) {
        if (plan.channels == 1)
            horizontalGrey(sources[r], plan, widened, targets[r]);
        else if (plan.channels == 3)
            horizontalColour<3>(sources[r], plan, widened, targets[r]);
        else
            horizontalColour<4>(sources[r], plan, widened, targets[r]);
    }
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
        storeFour(target + i, roundedBytes(sum[0], sum[1]));
        storeFour(target + i + 4, roundedBytes(sum[2], sum[3]));
    }
    for (; i < values; ++i)
        target[i] = verticalSum(rows, weights, count, i);
}

} // namespace

const Kernels &sse2Kernels()
{
    static const Kernels kernels{2, 2, 2, horizontal, vertical};
    return kernels;
}

} // namespace tovin::resampling
