#pragma once

#include <QByteArray>
#include <QList>

#include <optional>

struct FIBITMAP;

namespace tovin {

// An APPn or COM segment of a JPEG file, without its length field.
struct JpegSegment {
    int marker = 0;
    QByteArray data;
};

// Attaches the metadata the image library's own loader attaches for these
// segments (comments, EXIF as tags and raw block, XMP, IPTC, ICC profile, a
// JFIF thumbnail), so that saving the bitmap writes them back unchanged.
// The library parses the segments itself, but from a stand-in file that holds
// only them and a tiny fixed picture: it never sees the original frame, so no
// claimed size can make it allocate.
void attachJpegMetadata(FIBITMAP *bitmap, const QList<JpegSegment> &segments);

// An EXIF segment as the image library may parse it: with IFD1 unlinked, so
// that the library never decodes the thumbnail itself; nothing when a field
// it reads without checking (the first IFD's offset, IFD0's entry count and
// its link) would lie past the block. A block without a TIFF header, which
// the library does not parse, passes unchanged.
std::optional<QByteArray> exifForLibraryParsing(const QByteArray &segment);

} // namespace tovin
