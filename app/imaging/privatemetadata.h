#pragma once

#include "jpegmetadata.h"

#include <QList>

#include <optional>

class QIODevice;

namespace tovin {

// What a photo put on the web must not tell: where it was taken (the GPS
// block, location fields of XMP and IPTC), the serial numbers of body and
// lens, the owner's name, the maker notes, and thumbnails, which may show
// what was cropped away. Orientation, capture date and time, camera make and
// model, exposure, copyright and description stay.

// The segments of a JPEG header as they may be published. The EXIF block is
// written anew from what can be read of it; XMP and IPTC are rewritten only
// where they hold something private; tables, frame header, colour profile
// and comments are kept as they are; segments of other programs are left
// out. Nothing when the EXIF block cannot be read, so that what it holds
// cannot be removed.
std::optional<QList<JpegSegment>> publishableSegments(const QList<JpegSegment> &segments);

// Whether the EXIF or XMP metadata holds a GPS position.
bool carriesLocation(const QList<JpegSegment> &segments);

// Copies a JPEG with its header made publishable and its scans byte for
// byte. False, before anything is written, when the header or its metadata
// cannot be read; a failed write shows on the output.
bool copyWithoutPrivateMetadata(QIODevice &input, QIODevice &output);

// The same for a JPEG this program encoded in memory, which ends at its end
// marker: its scans are taken as they are. Nothing when it cannot be read.
std::optional<QByteArray> withoutPrivateMetadata(const QByteArray &encoded);

} // namespace tovin
