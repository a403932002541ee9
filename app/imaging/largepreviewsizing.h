#pragma once

#include <QRect>
#include <QSize>

#include <cstdint>

namespace tovin {

// How much of the screen the large preview window takes when it is made: all
// of it for a picture whose extent is at least half the screen's, else half
// of each side. The screen's extent is its width plus its height in twips.
double largePreviewScreenShare(std::int32_t pictureExtentHimetric, double screenWidthTwips, double screenHeightTwips);

// The window's outer size for that share of a screen of the given pixels.
QSize largePreviewWindowSize(QSize screenPixels, double share);

// Where the large window's viewer sits inside the window, in pixels: below
// the information line, out to the right and bottom edges.
QRect largePreviewViewerRect(QSize innerPixels, double dotsPerInch);

} // namespace tovin
