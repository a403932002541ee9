#include "resamplerweights.h"

#include <FreeImage.h>

#include <algorithm>
#include <cmath>

// Built with -ffp-contract=off: a fused multiply-add would change the last
// bit of some weights, and with it some output bytes.

namespace tovin {
namespace {

// Each filter's value is written in the evaluation order the reference uses;
// reordering even one product changes the rounding of some weights.

double boxFilter(double x)
{
    return std::fabs(x) <= 0.5 ? 1.0 : 0.0;
}

double bilinearFilter(double x)
{
    x = std::fabs(x);
    return x < 1.0 ? 1.0 - x : 0.0;
}

// Mitchell and Netravali's cubic with B = C = 1/3.
double bicubicFilter(double x)
{
    static constexpr double b = 1 / double(3);
    static constexpr double c = 1 / double(3);
    static constexpr double p0 = (6 - 2 * b) / 6;
    static constexpr double p2 = (-18 + 12 * b + 6 * c) / 6;
    static constexpr double p3 = (12 - 9 * b - 6 * c) / 6;
    static constexpr double q0 = (8 * b + 24 * c) / 6;
    static constexpr double q1 = (-12 * b - 48 * c) / 6;
    static constexpr double q2 = (6 * b + 30 * c) / 6;
    static constexpr double q3 = (-b - 6 * c) / 6;
    x = std::fabs(x);
    if (x < 1)
        return p0 + x * x * (p2 + x * p3);
    if (x < 2)
        return q0 + x * (q1 + x * (q2 + x * q3));
    return 0;
}

// The cubic B-spline.
double bsplineFilter(double x)
{
    x = std::fabs(x);
    if (x < 1)
        return (4 + x * x * (-6 + 3 * x)) / 6;
    if (x < 2) {
        const double t = 2 - x;
        return t * t * t / 6;
    }
    return 0;
}

struct FilterShape {
    double support;
    double (*value)(double);
};

FilterShape shapeOf(std::int32_t filter)
{
    switch (filter) {
    case FILTER_BOX:
        return {0.5, boxFilter};
    case FILTER_BILINEAR:
        return {1.0, bilinearFilter};
    case FILTER_BSPLINE:
        return {2.0, bsplineFilter};
    default:
        return {2.0, bicubicFilter};
    }
}

} // namespace

bool isReproducedFilter(std::int32_t filter)
{
    return filter == FILTER_BOX || filter == FILTER_BILINEAR || filter == FILTER_BICUBIC || filter == FILTER_BSPLINE;
}

ResampleWeights::ResampleWeights(std::int32_t filter, int sourceLength, int targetLength)
    : m_sourceLength(sourceLength)
    , m_first(targetLength)
    , m_count(targetLength)
    , m_offset(targetLength)
{
    const FilterShape shape = shapeOf(filter);
    const double scale = double(targetLength) / double(sourceLength);
    // A reduction widens the filter over the source; an enlargement keeps it.
    const double width = scale < 1.0 ? shape.support / scale : shape.support;
    const double filterScale = scale < 1.0 ? scale : 1.0;
    const double offset = 0.5 / scale;

    std::vector<double> window;
    for (int target = 0; target < targetLength; ++target) {
        const double centre = double(target) / scale + offset;
        const int left = std::max(0, int(centre - width + 0.5));
        const int right = std::min(int(centre + width + 0.5), sourceLength);

        window.clear();
        double total = 0;
        for (int source = left; source < right; ++source) {
            const double weight = filterScale * shape.value(filterScale * (double(source) + 0.5 - centre));
            window.push_back(weight);
            total += weight;
        }
        if (total > 0 && total != 1) {
            for (double &weight : window)
                weight /= total;
        }
        // Zero weights at the end of the window are dropped.
        int count = right - left;
        while (count > 0 && window[count - 1] == 0)
            --count;

        m_first[target] = left;
        m_count[target] = count;
        m_offset[target] = m_weights.size();
        m_weights.insert(m_weights.end(), window.begin(), window.begin() + count);
        m_widest = std::max(m_widest, count);
    }
}

} // namespace tovin
