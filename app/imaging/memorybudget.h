#pragma once

#include <cstdint>

namespace tovin {

// What one image may cost while it is worked on. A few hundred bytes of
// header can claim 65535 x 65535 pixels; these limits turn such a file into
// one that is refused, instead of one that takes gigabytes and minutes.

// One picture in memory (decoded, or resampled): 1 GiB holds a 20000 x 15500
// colour photograph (930 MB), far above any camera.
inline constexpr std::int64_t kMaxBitmapBytes = std::int64_t(1) << 30;

// The JPEG decoder's own working memory. A baseline file needs only a few
// rows of blocks; a progressive one keeps every coefficient of the picture
// (2 bytes each) until its last scan, so 512 MiB decodes progressive files
// up to about 170 megapixels in 4:2:0 or 90 in 4:4:4.
inline constexpr std::int64_t kMaxDecoderWorkingBytes = std::int64_t(512) << 20;

// The bytes of a picture as the image library lays it out: rows padded to
// whole 32-bit words.
inline constexpr std::int64_t bitmapBytes(std::int64_t width, std::int64_t height, int bitsPerPixel)
{
    return (width * bitsPerPixel + 31) / 32 * 4 * height;
}

inline constexpr bool fitsBitmapBudget(std::int64_t width, std::int64_t height, int bitsPerPixel)
{
    return width > 0 && height > 0 && bitmapBytes(width, height, bitsPerPixel) <= kMaxBitmapBytes;
}

} // namespace tovin
