#pragma once

#include "fileio.h"

#include <QString>

#include <cstdint>

struct FIBITMAP;

namespace tovin {

// Encodes an image into the destination, written as the mode says; with
// WriteMode::Replace it takes the destination's place only when the library
// reports exactly success and every byte is on disk. False when the library
// cannot encode the image; a destination that cannot be written (no space, no
// permission) raises RuntimeError.
bool saveBitmapReplacing(FIBITMAP *bitmap, std::int32_t format, const QString &destination, std::int32_t flags,
                         WriteMode mode = WriteMode::Replace);

} // namespace tovin
