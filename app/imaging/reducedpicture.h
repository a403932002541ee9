#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace tovin {

// A picture file's size as stored, read from its header; empty when the
// file cannot be read.
QSize storedPictureSize(const QString &path);

// The picture decoded straight at a reduced size (a JPEG is reduced inside
// its decoder, several times faster than decoding it whole), upright, at
// the given zoom in percent of its stored size. A null image on failure.
// May run on any thread.
QImage decodeReducedPicture(const QString &path, double zoomPercent);

} // namespace tovin
