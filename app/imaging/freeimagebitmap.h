#pragma once

#include <FreeImage.h>

#include <memory>

namespace tovin {

struct BitmapRelease {
    void operator()(FIBITMAP *bitmap) const { FreeImage_Unload(bitmap); }
};

// An image handle that is released on every path out of the routine that
// owns it.
using Bitmap = std::unique_ptr<FIBITMAP, BitmapRelease>;

// Registers the library's format plugins once per process.
void ensureFreeImage();

} // namespace tovin
