#pragma once

#include <QSize>

#include <cstdint>
#include <optional>

namespace tovin {

// A picture's size as the platform reports it, in hundredths of a
// millimetre, each side rounded to a whole number: width plus height.
std::int32_t pictureExtentHimetric(QSize pixels, double dotsPerInch);

// A window's outer size in twips, width plus height, rounded once.
std::int32_t windowExtentTwips(QSize pixels, double dotsPerInch);

// The zoom that shows an unadjusted image whole: the two extents are in
// different units on purpose, which shows a picture somewhat smaller than
// the viewer. Pictures that already fit are shown at 100.
double ComputeFitZoom(std::int32_t pictureExtent, std::int32_t viewerExtent);

// The steps of the viewer's zoom buttons: 10 at a time, stepping only while
// below 200 (in) or above 10 (out), so 195 steps to 205 and 14 to 4. Nothing
// when the zoom does not change.
std::optional<double> ZoomInStep(double zoom);
std::optional<double> ZoomOutStep(double zoom);

} // namespace tovin
