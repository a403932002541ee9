#pragma once

#include "imageengine.h"

#include <QImage>
#include <QString>

namespace tovin {

// A picture file as the windows show it, or why it is not shown.
struct ShownPicture {
    QImage image; // upright, 32-bit RGB; null when not decoded
    ScaleSkip failure = ScaleSkip::None;
};

// Decodes a picture file for a window with the batch run's own JPEG decoder
// and memory limits, so that a file the batch passes over is not shown
// either, and turns it upright by its EXIF orientation. The shown picture is
// held to the same budget as a decoded one. Below 100 percent the picture is
// decoded straight at about that zoom of its stored size: reduced inside the
// decoder by 1/2, 1/4 or 1/8 as far as it stays above that size, then
// smoothed down to it. May run on any thread.
ShownPicture decodePictureToShow(const QString &path, double zoomPercent = 100);

} // namespace tovin
