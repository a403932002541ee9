#pragma once

#include "lensbox/lensbox_export.h"

#include <QImage>
#include <QString>

namespace lensbox {

// Decodes a picture file upright (EXIF orientation applied), whatever its
// extension says, in the format the control paints fastest. Returns a null
// image when the file cannot be read in full; a failed decode never yields
// part of a picture. Safe on any thread: a host decodes away from its window
// and hands the result to ZoomwellCtl::LoadDecodedImage.
LENSBOX_EXPORT QImage loadPictureFile(const QString &path);

// The picture in the format the control paints fastest; no copy when it is
// already in it.
QImage inPaintFormat(QImage image);

} // namespace lensbox
