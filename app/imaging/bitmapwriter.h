#pragma once

#include "outputformat.h"

#include <QByteArray>

#include <optional>

struct FIBITMAP;

namespace tovin {

// Encodes an image in memory in the given format, its flags handed to the
// library as they are; nothing when the library does not report exactly
// success.
std::optional<QByteArray> encodeBitmap(FIBITMAP *bitmap, const OutputFormat &format);

} // namespace tovin
