#pragma once

#include "freeimagebitmap.h"

#include <QByteArray>
#include <QFile>
#include <QSize>

#include <optional>
#include <span>
#include <variant>

namespace tovin {

enum class DecodeFailure {
    None,
    NotDecodable, // not a JPEG, broken beyond what the decoder tolerates, or impossibly large for its length
    TooLarge, // a sound file whose picture does not fit the memory budget
};

struct DecodedJpeg {
    Bitmap bitmap;
    DecodeFailure failure = DecodeFailure::None;
};

// Where a JPEG is read from: bytes in memory, or an open file, read from its
// start a piece at a time. A file costs no memory for its length, and one cut
// short while it is read ends as a truncated file does.
using JpegInput = std::variant<std::span<const unsigned char>, QFile *>;

// The pixel size a JPEG's header states, read without decoding. Nothing when
// the header cannot be read or claims more blocks than the file's length can
// hold; no other size limit applies.
std::optional<QSize> readJpegSize(JpegInput input);

// The EXIF block of a JPEG: the TIFF structure of its first APP1 segment
// that begins "Exif\0\0", without those six bytes. Only the segments before
// the picture are read. Empty when there is none.
QByteArray readJpegExif(JpegInput input);

// Decodes a JPEG into a bitmap with the very pixels and metadata the image
// library's own JPEG loader gives (default flags): same decoder settings, rows
// bottom-up in blue-green-red order, a grey palette for one component, CMYK
// and YCCK converted the library's way, EXIF, XMP, IPTC, ICC, comments,
// thumbnail and density attached so that saving writes the same file.
// A scale denominator of 2, 4 or 8 decodes at that fraction in the DCT.
// Never crashes on hostile bytes; a failure leaves nothing allocated.
DecodedJpeg decodeJpeg(JpegInput input, int scaleDenominator = 1);

} // namespace tovin
