#pragma once

#include <QString>

#include <cstdint>

struct FIBITMAP;

namespace tovin {

// Encodes an image into a temporary file beside the destination and renames
// it over the destination only when the library reports exactly success and
// every byte is on disk. False when the library cannot encode the image; a
// destination that cannot be written (no space, no permission) raises
// RuntimeError. Either way the destination is untouched.
bool saveBitmapReplacing(FIBITMAP *bitmap, std::int32_t format, const QString &destination, std::int32_t flags);

} // namespace tovin
