#pragma once

#include "lensbox/lensbox_export.h"
#include "lensbox/pictureobject.h"

#include <QImage>
#include <QString>

namespace lensbox {

// Decodes a picture file upright (EXIF orientation applied), whatever its
// extension says, in the format the control paints fastest. Returns a null
// image when the file cannot be read in full; a failed decode never yields
// part of a picture. Safe on any thread.
LENSBOX_EXPORT QImage loadPictureFile(const QString &path);

// loadPictureFile made into a picture with its reduced copies, all the slow
// work of showing a file; an empty picture when it cannot be read. A host
// calls it away from its window and hands the result to
// ZoomwellCtl::LoadDecodedImage.
LENSBOX_EXPORT PictureRef loadPicture(const QString &path);

// The picture in the format the control paints fastest; no copy when it is
// already in it.
QImage inPaintFormat(QImage image);

} // namespace lensbox
