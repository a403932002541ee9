// The resampler's loops for processors with AVX-512: eight doubles per vector.
// Only the loops are built for AVX-512 (the pragmas come after the includes),
// and they have internal linkage, so nothing built here can stand in for
// code that other files call on a processor without it.
//
// The horizontal pass runs eight rows side by side, one row per lane: every
// tap then takes one weight for all eight, and no lane is spare, whatever
// the number of channels. The rows are turned on their side (value by value,
// the eight rows' copies of it next to each other) as they are widened, and
// turned back as they are rounded.

#include "resamplerkernels.h"

#include <immintrin.h>

namespace tovin::resampling {

#ifdef __clang__
#pragma clang attribute push(__attribute__((target("avx512f,avx512vl,avx512bw"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512f,avx512vl,avx512bw")
// GCC 12's AVX-512 intrinsics start from deliberately undefined vectors,
// which its flow analysis takes for uninitialised variables.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

namespace {

constexpr int kRows = 8;
static_assert(kRows <= kMaxRowsTogether);

// Target pixels summed together, enough to keep about eight sums in flight.
template<int Channels> constexpr int kPixelsTogether = Channels == 1 ? 8 : 2;

inline int smaller(int a, int b)
{
    return a < b ? a : b;
}

// Eight bytes in the low half of a vector, as eight doubles.
inline __m512d widenEight(__m128i bytes)
{
    return _mm512_cvtepi32_pd(_mm256_cvtepu8_epi32(bytes));
}

inline __m128i loadEight(const std::uint8_t *p)
{
    return _mm_loadl_epi64(reinterpret_cast<const __m128i *>(p));
}

// Eight sums rounded as the reference does, truncation of sum + 0.5 clamped
// to 0..255, as eight bytes in the low half.
inline __m128i roundedEight(__m512d sum)
{
    const __m256i values = _mm512_cvttpd_epi32(_mm512_add_pd(sum, _mm512_set1_pd(0.5)));
    return _mm256_cvtusepi32_epi8(_mm256_max_epi32(values, _mm256_setzero_si256()));
}

// An 8 x 8 block of bytes turned on its side: eight rows of eight bytes in,
// eight columns out, two to a vector (column 2k in the low half of out[k]).
inline void transposeEight(const __m128i in[8], __m128i out[4])
{
    const __m128i a0 = _mm_unpacklo_epi8(in[0], in[1]);
    const __m128i a1 = _mm_unpacklo_epi8(in[2], in[3]);
    const __m128i a2 = _mm_unpacklo_epi8(in[4], in[5]);
    const __m128i a3 = _mm_unpacklo_epi8(in[6], in[7]);
    const __m128i b0 = _mm_unpacklo_epi16(a0, a1);
    const __m128i b1 = _mm_unpackhi_epi16(a0, a1);
    const __m128i b2 = _mm_unpacklo_epi16(a2, a3);
    const __m128i b3 = _mm_unpackhi_epi16(a2, a3);
    out[0] = _mm_unpacklo_epi32(b0, b2);
    out[1] = _mm_unpackhi_epi32(b0, b2);
    out[2] = _mm_unpacklo_epi32(b1, b3);
    out[3] = _mm_unpackhi_epi32(b1, b3);
}

// `values` bytes from `offset` on in each of the eight rows, widened value by
// value to eight doubles, one per row.
void widenRows(const std::uint8_t *const *rows, int offset, int values, double *widened)
{
    int j = 0;
    for (; j + 8 <= values; j += 8) {
        __m128i in[8];
        for (int r = 0; r < kRows; ++r)
            in[r] = loadEight(rows[r] + offset + j);
        __m128i columns[4];
        transposeEight(in, columns);
        for (int k = 0; k < 4; ++k) {
            const __m512i words = _mm512_cvtepu8_epi32(columns[k]);
            _mm512_storeu_pd(widened + 8 * (j + 2 * k), _mm512_cvtepi32_pd(_mm512_castsi512_si256(words)));
            _mm512_storeu_pd(widened + 8 * (j + 2 * k + 1), _mm512_cvtepi32_pd(_mm512_extracti64x4_epi64(words, 1)));
        }
    }
    for (; j < values; ++j) {
        alignas(16) std::uint8_t column[16] = {};
        for (int r = 0; r < kRows; ++r)
            column[r] = rows[r][offset + j];
        _mm512_storeu_pd(widened + 8 * j, widenEight(_mm_load_si128(reinterpret_cast<const __m128i *>(column))));
    }
}

// The rounded bytes of `values` values (eight rows' bytes each) written back
// row by row from `offset` on; only the first `rows` rows are real.
void writeRows(const std::uint8_t *rounded, int values, int rows, std::uint8_t *const *targets, int offset)
{
    int j = 0;
    for (; j + 8 <= values; j += 8) {
        __m128i in[8];
        for (int i = 0; i < 8; ++i)
            in[i] = loadEight(rounded + 8 * (j + i));
        __m128i out[4];
        transposeEight(in, out);
        for (int r = 0; r < rows; ++r) {
            std::uint8_t *target = targets[r] + offset + j;
            if (r % 2 == 0)
                _mm_storel_epi64(reinterpret_cast<__m128i *>(target), out[r / 2]);
            else
                _mm_storeh_pd(reinterpret_cast<double *>(target), _mm_castsi128_pd(out[r / 2]));
        }
    }
    for (; j < values; ++j)
        for (int r = 0; r < rows; ++r)
            targets[r][offset + j] = rounded[8 * j + r];
}

// The sums of `Pixels` target pixels from x on, each over the same number of
// taps from its own start, every channel of every row in a lane of its own.
template<int Channels, int Pixels>
inline void sumPixels(const HorizontalPlan &plan, const double *widened, int first, int x, std::uint8_t *rounded)
{
    const int taps = plan.taps;
    const double *p[Pixels];
    const double *w[Pixels];
    __m512d sum[Pixels][Channels];
    for (int i = 0; i < Pixels; ++i) {
        p[i] = widened + std::size_t(plan.starts[x + i] - first) * Channels * kRows;
        w[i] = plan.weights + std::size_t(x + i) * taps;
        for (int c = 0; c < Channels; ++c)
            sum[i][c] = _mm512_setzero_pd();
    }
    for (int t = 0; t < taps; ++t) {
        for (int i = 0; i < Pixels; ++i) {
            const __m512d weight = _mm512_set1_pd(w[i][t]);
            const double *values = p[i] + std::size_t(t) * Channels * kRows;
            for (int c = 0; c < Channels; ++c)
                sum[i][c] = _mm512_add_pd(sum[i][c], _mm512_mul_pd(weight, _mm512_loadu_pd(values + c * kRows)));
        }
    }
    for (int i = 0; i < Pixels; ++i)
        for (int c = 0; c < Channels; ++c)
            _mm_storel_epi64(reinterpret_cast<__m128i *>(rounded + kRows * (i * Channels + c)),
                             roundedEight(sum[i][c]));
}

// Up to eight rows; missing rows are stood in for by the first and their
// lanes thrown away. The plan has one window and one weight per tap for
// every target pixel. Blocks of target pixels keep what they read in the
// first-level cache.
template<int Channels>
void horizontalRows(const std::uint8_t *const *sources, int rows, const HorizontalPlan &plan, double *widened,
                    std::uint8_t *const *targets)
{
    constexpr int pixels = kPixelsTogether<Channels>;
    const std::uint8_t *row[kRows];
    for (int r = 0; r < kRows; ++r)
        row[r] = sources[r < rows ? r : 0];
    alignas(16) std::uint8_t rounded[kColourBlock * Channels * kRows];
    for (int block = 0; block < plan.targets; block += kColourBlock) {
        const int end = smaller(plan.targets, block + kColourBlock);
        const int first = plan.starts[block];
        widenRows(row, first * Channels, (plan.starts[end - 1] + plan.taps - first) * Channels, widened);
        int x = block;
        for (; x + pixels <= end; x += pixels)
            sumPixels<Channels, pixels>(plan, widened, first, x, rounded + (x - block) * Channels * kRows);
        for (; x < end; ++x)
            sumPixels<Channels, 1>(plan, widened, first, x, rounded + (x - block) * Channels * kRows);
        writeRows(rounded, (end - block) * Channels, rows, targets, block * Channels);
    }
}

void horizontal(const std::uint8_t *const *sources, int rows, const HorizontalPlan &plan, double *widened,
                std::uint8_t *const *targets)
{
    if (plan.channels == 1)
        horizontalRows<1>(sources, rows, plan, widened, targets);
    else if (plan.channels == 3)
        horizontalRows<3>(sources, rows, plan, widened, targets);
    else
        horizontalRows<4>(sources, rows, plan, widened, targets);
}

// Thirty-two values at a time across the row, then eight, then one by one;
// each value's sum runs over the rows in order.
void vertical(const std::uint8_t *const *rows, const double *weights, int count, int values, std::uint8_t *target)
{
    int i = 0;
    for (; i + 32 <= values; i += 32) {
        __m512d s0 = _mm512_setzero_pd(), s1 = _mm512_setzero_pd();
        __m512d s2 = _mm512_setzero_pd(), s3 = _mm512_setzero_pd();
        for (int k = 0; k < count; ++k) {
            const __m512d weight = _mm512_set1_pd(weights[k]);
            const std::uint8_t *row = rows[k] + i;
            s0 = _mm512_add_pd(s0, _mm512_mul_pd(weight, widenEight(loadEight(row))));
            s1 = _mm512_add_pd(s1, _mm512_mul_pd(weight, widenEight(loadEight(row + 8))));
            s2 = _mm512_add_pd(s2, _mm512_mul_pd(weight, widenEight(loadEight(row + 16))));
            s3 = _mm512_add_pd(s3, _mm512_mul_pd(weight, widenEight(loadEight(row + 24))));
        }
        _mm_storel_epi64(reinterpret_cast<__m128i *>(target + i), roundedEight(s0));
        _mm_storel_epi64(reinterpret_cast<__m128i *>(target + i + 8), roundedEight(s1));
        _mm_storel_epi64(reinterpret_cast<__m128i *>(target + i + 16), roundedEight(s2));
        _mm_storel_epi64(reinterpret_cast<__m128i *>(target + i + 24), roundedEight(s3));
    }
    for (; i + 8 <= values; i += 8) {
        __m512d sum = _mm512_setzero_pd();
        for (int k = 0; k < count; ++k)
            sum = _mm512_add_pd(sum, _mm512_mul_pd(_mm512_set1_pd(weights[k]), widenEight(loadEight(rows[k] + i))));
        _mm_storel_epi64(reinterpret_cast<__m128i *>(target + i), roundedEight(sum));
    }
    for (; i < values; ++i)
        target[i] = verticalSum(rows, weights, count, i);
}

} // namespace

#ifdef __clang__
#pragma clang attribute pop
#else
#pragma GCC diagnostic pop
#pragma GCC pop_options
#endif

const Kernels &avx512Kernels()
{
    static const Kernels kernels{1, 1, kRows, horizontal, vertical};
    return kernels;
}

} // namespace tovin::resampling
