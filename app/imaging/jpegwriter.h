#pragma once

#include "jpegmetadata.h"

#include <QByteArray>
#include <QList>

#include <optional>

struct FIBITMAP;

namespace tovin {

// Encodes a 24-bit bitmap, its rows as the image library keeps them (bottom
// row first, blue first), as a baseline JPEG with libjpeg's default settings
// at this quality (1..100). The segments are written right after the start
// marker, in place of libjpeg's own JFIF segment. Nothing when libjpeg fails.
std::optional<QByteArray> encodeBgrJpeg(FIBITMAP *bitmap, int quality, const QList<JpegSegment> &segments);

} // namespace tovin
