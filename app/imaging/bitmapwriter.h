#pragma once

#include "fileio.h"
#include "outputformat.h"

#include <QString>

struct FIBITMAP;

namespace tovin {

// Encodes an image in the given format into the destination, written as the
// mode says; with WriteMode::Replace it takes the destination's place only
// when the library reports exactly success and every byte is on disk. False
// when the library cannot encode the image; a destination that cannot be
// written (no space, no permission) raises RuntimeError.
bool saveBitmapReplacing(FIBITMAP *bitmap, const OutputFormat &format, const QString &destination,
                         WriteMode mode = WriteMode::Replace);

} // namespace tovin
