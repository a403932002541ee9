#include "freeimagebitmap.h"

#include <cstring>

namespace tovin {

Bitmap allocateUnclearedBitmap(int width, int height, int bitsPerPixel)
{
    if (width <= 0 || height <= 0)
        return {};
    // FreeImage's own row length: whole 32-bit words.
    const std::size_t used = (std::size_t(width) * unsigned(bitsPerPixel) + 7) / 8;
    const std::size_t pitch = (std::size_t(width) * unsigned(bitsPerPixel) + 31) / 32 * 4;
    // Plain malloc, aligned as FreeImage aligns its own: blocks taken with a
    // wider alignment left the heap in pieces, and a run over large
    // pictures grew to several times its memory.
    auto *pixels = static_cast<BYTE *>(std::malloc(pitch * std::size_t(height)));
    if (!pixels)
        return {};
    FIBITMAP *header =
        FreeImage_ConvertFromRawBitsEx(FALSE, pixels, FIT_BITMAP, width, height, int(pitch), unsigned(bitsPerPixel),
                                       FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK, FALSE);
    if (!header) {
        std::free(pixels);
        return {};
    }
    if (pitch > used) {
        for (int y = 0; y < height; ++y)
            std::memset(pixels + std::size_t(y) * pitch + used, 0, pitch - used);
    }
    return Bitmap(header, BitmapRelease{pixels});
}

void ensureFreeImage()
{
    static const bool initialised = [] {
        FreeImage_Initialise(FALSE);
        return true;
    }();
    (void)initialised;
}

} // namespace tovin
