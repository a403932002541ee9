#pragma once

#include "outputformat.h"

#include <QByteArray>

#include <optional>

struct FIBITMAP;

namespace tovin {

// Encodes an image in memory in the given format, byte for byte as the image
// library's writer does with these flags; nothing when encoding fails.
std::optional<QByteArray> encodeBitmap(FIBITMAP *bitmap, const OutputFormat &format);

} // namespace tovin
