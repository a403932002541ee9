#pragma once

// The inner loops of the resampler, once per instruction set. Every variant
// computes each output byte with the same double operations in the same
// order as FreeImage_Rescale: a sum that starts at zero and adds weight times
// value for each tap in turn, then truncation of sum + 0.5 clamped to 0..255.
// Vectors only run several such sums side by side (pixels or channels), so
// the bytes are the same on every path.
//
// The kernel files are built with -ffp-contract=off: a fused multiply-add
// rounds once where the reference rounds twice.

#include <cstdint>

namespace tovin::resampling {

// The horizontal pass of one row. Target pixels come in entries of `lanes`
// (grey: as many as a vector holds, side by side in its lanes; colour: as
// many as the loop keeps in flight, each with its channels in the lanes).
// Every sum runs over `taps` neighbouring source pixels from its start on:
// one start per entry for grey, one per target pixel for colour. The weights
// were laid out with zeros where a target pixel's own window is shorter:
// adding a zero product leaves a sum as it was, so the padding changes no
// byte.
struct HorizontalPlan {
    int channels = 0;
    int sources = 0;
    int targets = 0;
    int lanes = 1;
    int taps = 0;
    const int *starts = nullptr; // in source pixels
    const double *weights = nullptr; // per entry, taps x lanes, lanes innermost
};

// Rows a horizontal loop may take at once, on any path.
inline constexpr int kMaxRowsTogether = 8;

// Target pixels per block of the colour loops.
inline constexpr int kColourBlock = 64;

// Doubles per row that the horizontal loops widen a row into.
inline int widenedLength(int channels, int sources)
{
    return channels == 1 ? sources : 4 * sources;
}

struct Kernels {
    // Target pixels per horizontal entry.
    int greyLanes;
    int colourLanes;
    // Rows the horizontal loop takes at once.
    int rowsTogether;
    // Up to rowsTogether rows from sources to targets. Writes
    // plan.targets x plan.channels bytes per row and nothing beyond them.
    // A 24-bit source row must be readable one byte past its last pixel.
    // The rows are widened to doubles in `widened`, which holds
    // widenedLength() of them per row taken together.
    void (*horizontal)(const std::uint8_t *const *sources, int rows, const HorizontalPlan &plan, double *widened,
                       std::uint8_t *const *targets);
    // Sums `count` rows with their weights, value by value, over `values` bytes.
    void (*vertical)(const std::uint8_t *const *rows, const double *weights, int count, int values,
                     std::uint8_t *target);
};

const Kernels &sse2Kernels();
// Only on a processor that has AVX2.
const Kernels &avx2Kernels();
// Only on a processor that has AVX-512 (foundation, vector length, bytes).
const Kernels &avx512Kernels();

// The reference's rounding of a sum to a byte, for the values left over
// after the last full vector. Internal linkage keeps each kernel file's copy
// compiled for its own instruction set.
static inline std::uint8_t roundedByte(double sum)
{
    const int value = int(sum + 0.5);
    return std::uint8_t(value < 0 ? 0 : value > 255 ? 255 : value);
}

static inline std::uint8_t verticalSum(const std::uint8_t *const *rows, const double *weights, int count, int index)
{
    double sum = 0;
    for (int k = 0; k < count; ++k)
        sum += weights[k] * double(rows[k][index]);
    return roundedByte(sum);
}

} // namespace tovin::resampling
