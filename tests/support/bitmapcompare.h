#pragma once

#include <FreeImage.h>

#include <QString>

namespace tovin::test {

// The first way two bitmaps differ (layout, density, palette, pixels, ICC
// profile, metadata tag by tag, thumbnail), or an empty text. The bytes
// padding each scanline count too when asked for.
QString bitmapDifference(FIBITMAP *expected, FIBITMAP *actual, bool withPadding = false);

} // namespace tovin::test
