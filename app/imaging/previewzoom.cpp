#include "previewzoom.h"

#include "units.h"

#include <tovin/numeric.h>

namespace tovin {
namespace {

constexpr double kHimetricPerInch = 2540;

} // namespace

std::int32_t pictureExtentHimetric(QSize pixels, double dotsPerInch)
{
    const double width = roundHalfEven(pixels.width() * kHimetricPerInch / dotsPerInch);
    const double height = roundHalfEven(pixels.height() * kHimetricPerInch / dotsPerInch);
    return std::int32_t(width + height);
}

std::int32_t windowExtentTwips(QSize pixels, double dotsPerInch)
{
    return std::int32_t(
        roundHalfEven(pixelsToTwips(pixels.width(), dotsPerInch) + pixelsToTwips(pixels.height(), dotsPerInch)));
}

double ComputeFitZoom(std::int32_t pictureExtent, std::int32_t viewerExtent)
{
    if (viewerExtent < pictureExtent)
        return roundHalfEven(double(viewerExtent) / pictureExtent * 100);
    return 100;
}

std::optional<double> ZoomInStep(double zoom)
{
    if (zoom < 200)
        return zoom + 10;
    return std::nullopt;
}

std::optional<double> ZoomOutStep(double zoom)
{
    if (zoom > 10)
        return zoom - 10;
    return std::nullopt;
}

} // namespace tovin
