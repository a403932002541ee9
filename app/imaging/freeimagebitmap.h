#pragma once

#include <FreeImage.h>

#include <cstdlib>
#include <memory>

namespace tovin {

struct BitmapRelease {
    // Pixels the bitmap only points to, freed with it.
    void *ownPixels = nullptr;

    void operator()(FIBITMAP *bitmap)
    {
        FreeImage_Unload(bitmap);
        std::free(ownPixels);
        ownPixels = nullptr;
    }
};

// An image handle that is released on every path out of the routine that
// owns it.
using Bitmap = std::unique_ptr<FIBITMAP, BitmapRelease>;

// A bitmap as FreeImage_Allocate makes it, except that the pixels are not
// cleared first: for a decoder that writes every row, clearing is one more
// pass over the whole picture. The bytes that pad each row to whole words
// are cleared. The pixels belong to the handle: never release() it.
Bitmap allocateUnclearedBitmap(int width, int height, int bitsPerPixel);

// Registers the library's format plugins once per process.
void ensureFreeImage();

} // namespace tovin
