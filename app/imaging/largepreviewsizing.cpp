#include "largepreviewsizing.h"

#include "units.h"

#include <tovin/numeric.h>

namespace tovin {

double largePreviewScreenShare(std::int32_t pictureExtentHimetric, double screenWidthTwips, double screenHeightTwips)
{
    // The sum is taken in single precision, then rounded to a whole number.
    const double screenExtent = roundHalfEven(float(screenWidthTwips) + float(screenHeightTwips));
    if (screenExtent <= 0)
        return 1.0;
    return pictureExtentHimetric / screenExtent >= 0.5 ? 1.0 : 0.5;
}

QSize largePreviewWindowSize(QSize screenPixels, double share)
{
    return QSize(int(roundHalfEven(screenPixels.width() * share)), int(roundHalfEven(screenPixels.height() * share)));
}

QRect largePreviewViewerRect(QSize innerPixels, double dotsPerInch)
{
    const int left = twipsToPixels(60, dotsPerInch);
    const int top = twipsToPixels(740, dotsPerInch);
    // The viewer ends at the window's bottom edge, so that no part of its
    // horizontal scroll bar is cut off.
    return QRect(left, top, innerPixels.width() - left, innerPixels.height() - top);
}

} // namespace tovin
