#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

struct FIBITMAP;

namespace tovin {

struct JpegSegment;

// The ICC profile that a JPEG's APP2 segments carry, its pieces joined in
// their numbered order; empty when there is none or a piece is missing.
QByteArray iccProfileOf(const QList<JpegSegment> &segments);

// The profile's own name ("Adobe RGB (1998)"), or nothing when the bytes are
// no profile Little CMS can read.
std::optional<QString> colourProfileName(const QByteArray &profile);

// The profile an encoded picture is tagged with, chosen just before it is
// saved. `sourceProfile` is the profile of the picture as it was decoded:
// resampling leaves it behind, as the image library's does, and it is
// attached again unchanged, so that the pixels keep their meaning. With
// `toSrgb`, colour pixels are converted from it to sRGB and tagged sRGB
// instead. A profile that does not describe the pixels (one for CMYK, say,
// on pixels the decoder converted to RGB) is left off; pixels without a
// profile are left as they are.
void settleColourProfile(FIBITMAP *picture, const QByteArray &sourceProfile, bool toSrgb);

// The profile currently attached to a picture.
QByteArray attachedColourProfile(FIBITMAP *picture);

} // namespace tovin
