#pragma once

#include <cstdint>

class QThreadPool;
struct FIBITMAP;

namespace tovin {

enum class VectorUnit { Automatic, Sse2, Avx2, Avx512 };

struct ResampleOptions {
    // The calling thread works through the rows, helped by the threads of
    // this pool that are free when it starts. It never waits for a thread
    // the pool does not have free, so a task of the pool may resample. The
    // bytes are the same however the rows are shared.
    QThreadPool *pool = nullptr;
    // Which loops run: the automatic choice takes the widest the processor
    // has. The bytes are the same on every path.
    VectorUnit vectors = VectorUnit::Automatic;
};

// FreeImage_Rescale(image, width, height, filter), byte for byte: the same
// pixels, bit depth, palette, metadata and resolution. Our own code handles
// 8-bit grey, 24-bit and 32-bit images with the program's filters, several
// times faster; any other image or filter goes to FreeImage_Rescale itself.
// Returns a new image, or nullptr where FreeImage_Rescale would (or when
// memory runs out).
FIBITMAP *resample(FIBITMAP *image, int width, int height, std::int32_t filter, const ResampleOptions &options = {});

// Whether resample() computes this itself rather than handing it on.
bool resamplesItself(FIBITMAP *image, int width, int height, std::int32_t filter);

// Whether this processor can run the loops built for `vectors`.
bool processorHas(VectorUnit vectors);
// The widest loops this processor can run: the automatic choice.
VectorUnit widestVectorUnit();

} // namespace tovin
