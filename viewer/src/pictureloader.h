#pragma once

#include <QImage>
#include <QString>

namespace lensbox {

// Decodes a picture file upright (EXIF orientation applied), whatever its
// extension says. Returns a null image when the file cannot be read in full;
// a failed decode never yields part of a picture.
QImage loadPictureFile(const QString &path);

} // namespace lensbox
