#pragma once

#include "jpegmetadata.h"

#include <QByteArray>
#include <QList>

#include <optional>

class QIODevice;

namespace tovin {

// The markers of the application segments that carry metadata, and the
// signatures that open the ones read in more than one place.
inline constexpr int kApp0 = 0xE0;
inline constexpr int kApp1 = 0xE1;
inline constexpr int kApp2 = 0xE2;
inline constexpr int kApp13 = 0xED;
inline constexpr int kApp14 = 0xEE;
inline constexpr int kApp15 = 0xEF;
inline constexpr int kComment = 0xFE;
inline const QByteArray kExifSignature("Exif\0\0", 6);
inline const QByteArray kIccSignature("ICC_PROFILE\0", 12);

// Whether the marker opens an application segment (APP0 to APP15), where
// programs keep their metadata.
constexpr bool isApplicationSegment(int marker)
{
    return marker >= kApp0 && marker <= kApp15;
}

// A JPEG file read as its parts, without decoding anything: the marker
// segments before the first scan (metadata, tables, frame header), and the
// scans from the first one to the end marker, which only ever are copied.

// Reads the segments from the start of the input up to the first scan, and
// leaves the input there. Nothing when the bytes do not start as a JPEG, a
// segment runs past the end, or no scan follows within a sane header length.
std::optional<QList<JpegSegment>> readJpegSegments(QIODevice &input);

// The start marker and the segments, as a file begins with them.
QByteArray jpegHeaderBytes(const QList<JpegSegment> &segments);

// Copies the input from the first scan's marker up to and including the end
// marker, byte for byte: what follows the end (another program's trailer, a
// second picture) is left out. A file cut short is copied to its end. False
// when the input cannot be read; a failed write shows on the output.
bool copyJpegScans(QIODevice &input, QIODevice &output);

} // namespace tovin
