#include "bitmapwriter.h"

#include "freeimagebitmap.h"
#include "jpegsegments.h"
#include "jpegwriter.h"

#include <FreeImage.h>

#include <QBuffer>

#include <algorithm>
#include <array>
#include <cstdio>
#include <utility>

namespace tovin {
namespace {

QIODevice *deviceOf(fi_handle handle)
{
    return static_cast<QIODevice *>(handle);
}

unsigned DLL_CALLCONV readNothing(void *, unsigned, unsigned, fi_handle)
{
    return 0;
}

unsigned DLL_CALLCONV writeToDevice(void *buffer, unsigned size, unsigned count, fi_handle handle)
{
    const qint64 bytes = qint64(size) * count;
    return deviceOf(handle)->write(static_cast<const char *>(buffer), bytes) == bytes ? count : 0;
}

int DLL_CALLCONV seekInDevice(fi_handle handle, long offset, int origin)
{
    QIODevice *device = deviceOf(handle);
    qint64 base = 0;
    if (origin == SEEK_CUR)
        base = device->pos();
    else if (origin == SEEK_END)
        base = device->size();
    return device->seek(base + offset) ? 0 : -1;
}

long DLL_CALLCONV tellInDevice(fi_handle handle)
{
    return long(deviceOf(handle)->pos());
}

std::optional<QByteArray> encodeWithLibrary(FIBITMAP *bitmap, FREE_IMAGE_FORMAT format, int flags)
{
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    FreeImageIO io{readNothing, writeToDevice, seekInDevice, tellInDevice};
    if (FreeImage_SaveToHandle(format, bitmap, &io, &buffer, flags) != TRUE)
        return std::nullopt;
    return encoded;
}

// The named qualities of the library's JPEG writer, in the order it tests
// them: the first one set wins over a number in the low bits.
constexpr std::array<std::pair<int, int>, 5> kNamedJpegQualities{{
    {JPEG_QUALITYBAD, 10},
    {JPEG_QUALITYAVERAGE, 25},
    {JPEG_QUALITYNORMAL, 50},
    {JPEG_QUALITYGOOD, 75},
    {JPEG_QUALITYSUPERB, 100},
}};
constexpr int kJpegQualityNumber = 0x7F;
constexpr int kLibraryDefaultJpegQuality = 75;

// The quality the library's JPEG writer takes from these flags, when they
// ask for nothing else (no progressive scans, other subsampling, optimised
// tables or bare file).
std::optional<int> plainJpegQuality(int flags)
{
    int qualityFlags = kJpegQualityNumber;
    for (const auto &[flag, quality] : kNamedJpegQualities)
        qualityFlags |= flag;
    if (flags & ~qualityFlags)
        return std::nullopt;
    for (const auto &[flag, quality] : kNamedJpegQualities) {
        if (flags & flag)
            return quality;
    }
    const int number = flags & kJpegQualityNumber;
    return number ? number : kLibraryDefaultJpegQuality;
}

bool isTablesOrFrame(const JpegSegment &segment)
{
    return !isApplicationSegment(segment.marker) && segment.marker != kComment;
}

// The segments the library's JPEG writer puts ahead of the tables for this
// bitmap's metadata: JFIF with the density, comments, ICC profile, IPTC, XMP,
// EXIF and thumbnail. They are the library's own bytes, from its saving a
// one-pixel picture that carries the same metadata.
std::optional<QList<JpegSegment>> libraryHeaderSegments(FIBITMAP *bitmap, int flags)
{
    const Bitmap standIn(FreeImage_Allocate(1, 1, 24));
    if (!standIn || !FreeImage_CloneMetadata(standIn.get(), bitmap))
        return std::nullopt;
    if (const FIICCPROFILE *profile = FreeImage_GetICCProfile(bitmap); profile->data && profile->size)
        FreeImage_CreateICCProfile(standIn.get(), profile->data, long(profile->size));
    if (FIBITMAP *thumbnail = FreeImage_GetThumbnail(bitmap))
        FreeImage_SetThumbnail(standIn.get(), thumbnail);
    std::optional<QByteArray> saved = encodeWithLibrary(standIn.get(), FIF_JPEG, flags);
    if (!saved)
        return std::nullopt;
    QBuffer buffer(&*saved);
    buffer.open(QIODevice::ReadOnly);
    std::optional<QList<JpegSegment>> segments = readJpegSegments(buffer);
    if (segments)
        segments->erase(std::ranges::find_if(*segments, isTablesOrFrame), segments->end());
    return segments;
}

// The library's JPEG writer copies every row of a colour picture and swaps
// its red and blue one byte at a time before libjpeg sees it: a tenth of an
// album run whose slides are re-encoded at their size. libjpeg takes the
// rows as they are instead, with the library's settings and segments, so
// the file is the same to the byte.
bool writesRowsDirectly(FIBITMAP *bitmap, FREE_IMAGE_FORMAT format)
{
    return format == FIF_JPEG && FreeImage_GetImageType(bitmap) == FIT_BITMAP && FreeImage_GetBPP(bitmap) == 24
        && FreeImage_HasPixels(bitmap);
}

} // namespace

std::optional<QByteArray> encodeBitmap(FIBITMAP *bitmap, const OutputFormat &format)
{
    if (!bitmap)
        return std::nullopt;
    const auto library = FREE_IMAGE_FORMAT(format.libraryFormat());
    const std::optional<int> quality =
        writesRowsDirectly(bitmap, library) ? plainJpegQuality(format.saveFlags) : std::nullopt;
    if (quality) {
        const std::optional<QList<JpegSegment>> segments = libraryHeaderSegments(bitmap, format.saveFlags);
        return segments ? encodeBgrJpeg(bitmap, *quality, *segments) : std::nullopt;
    }
    return encodeWithLibrary(bitmap, library, format.saveFlags);
}

} // namespace tovin
