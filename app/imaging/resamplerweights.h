#pragma once

#include <cstdint>
#include <vector>

namespace tovin {

// The filters our own resampler reproduces bit for bit (FreeImage's
// FILTER_BOX, FILTER_BILINEAR, FILTER_BICUBIC and FILTER_BSPLINE codes).
bool isReproducedFilter(std::int32_t filter);

// For every position of a resampled line, the source positions that feed it
// and their weights, in the order they are summed. The arithmetic is
// FreeImage's own, step for step, so that sums over these weights round to
// the same bytes as FreeImage_Rescale: the filter's support widened by the
// reduction factor, the centre of each target position mapped back into the
// source, the window cut at the edges, the weights divided by their total
// and the zero weights at the window's end dropped.
class ResampleWeights
{
public:
    ResampleWeights(std::int32_t filter, int sourceLength, int targetLength);

    int targetLength() const { return int(m_first.size()); }
    int sourceLength() const { return m_sourceLength; }
    int first(int target) const { return m_first[target]; }
    int count(int target) const { return m_count[target]; }
    const double *weights(int target) const { return m_weights.data() + m_offset[target]; }
    // The most weights any one target position has.
    int widest() const { return m_widest; }

private:
    int m_sourceLength;
    int m_widest = 0;
    std::vector<int> m_first;
    std::vector<int> m_count;
    std::vector<std::size_t> m_offset;
    std::vector<double> m_weights;
};

} // namespace tovin
