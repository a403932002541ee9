// libFuzzer target: the JPEG decoder on any bytes, with the metadata it
// attaches (EXIF, XMP, IPTC, ICC, comments, nested thumbnails) and the size
// read from the header alone.

#include "jpegdecoder.h"

#include <cstdint>
#include <cstdlib>

namespace {

// Decoding cost grows with the picture, not with what the decoder's own code
// does: large pictures are decoded at the DCT fraction that brings them under
// this, and only sized when even 1/8 does not.
constexpr std::int64_t kMaxDecodedPixels = std::int64_t(1) << 18;

int denominatorFor(const QSize &size)
{
    const std::int64_t pixels = std::int64_t(size.width()) * size.height();
    for (int denominator = 1; denominator <= 8; denominator *= 2) {
        if (pixels / (denominator * denominator) <= kMaxDecodedPixels)
            return denominator;
    }
    return 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t length)
{
    const std::span<const unsigned char> bytes(data, length);
    const std::optional<QSize> size = tovin::readJpegSize(bytes);
    // Bytes whose header cannot be read still go through the whole decoder.
    const int denominator = size ? denominatorFor(*size) : 1;
    if (denominator == 0)
        return 0;
    const tovin::DecodedJpeg decoded = tovin::decodeJpeg(bytes, denominator);
    if (bool(decoded.bitmap) != (decoded.failure == tovin::DecodeFailure::None))
        std::abort();
    // A picture comes out at the size its header states, divided and rounded up.
    if (decoded.bitmap
        && (!size || int(FreeImage_GetWidth(decoded.bitmap.get())) != (size->width() + denominator - 1) / denominator
            || int(FreeImage_GetHeight(decoded.bitmap.get())) != (size->height() + denominator - 1) / denominator))
        std::abort();
    return 0;
}
