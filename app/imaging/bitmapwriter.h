#pragma once

#include <QByteArray>

#include <cstdint>
#include <optional>

struct FIBITMAP;

namespace tovin {

// Encodes an image in memory, with the flags handed to the library as they
// are; nothing when the library does not report exactly success.
std::optional<QByteArray> encodeBitmap(FIBITMAP *bitmap, std::int32_t format, std::int32_t flags);

} // namespace tovin
