#include "privatemetadata.h"

#include "exiv2use.h"
#include "fileio.h"
#include "jpegsegments.h"

#include <exiv2/exiv2.hpp>

#include <QBuffer>

#include <algorithm>
#include <array>
#include <string_view>

namespace tovin {
namespace {

constexpr qsizetype kMostSegmentData = 0xFFFF - 2;

const QByteArray kJfifSignature("JFIF\0", 5);
const QByteArray kXmpSignature("http://ns.adobe.com/xap/1.0/\0", 29);
const QByteArray kPhotoshopSignature("Photoshop 3.0\0", 14);
const QByteArray kAdobeSignature("Adobe", 5);

// What is left out, by EXIF group and by key. Maker notes are every maker's
// own group besides these.
constexpr std::array<std::string_view, 3> kPrivateExifGroups{"GPSInfo", "Thumbnail", "MakerNote"};
constexpr std::array<std::string_view, 9> kPrivateExifKeys{
    "Exif.Image.GPSTag", "Exif.Photo.MakerNote", "Exif.Photo.BodySerialNumber", "Exif.Photo.LensSerialNumber",
    "Exif.Photo.CameraOwnerName", "Exif.Image.CameraSerialNumber",
    // Copies of other blocks inside EXIF, which could hold any of it.
    "Exif.Image.XMLPacket", "Exif.Image.IPTCNAA", "Exif.Image.ImageResources"};
// XMP properties are left out by what their names hold, in any letter case,
// so that the same fields in other schemas and in structures go too.
constexpr std::array<std::string_view, 7> kPrivateXmpNameParts{"gps",          "latitude",  "longitude", "location",
                                                               "serialnumber", "ownername", "thumbnails"};
constexpr std::array<std::string_view, 5> kPrivateXmpKeys{"Xmp.photoshop.City", "Xmp.photoshop.State",
                                                          "Xmp.photoshop.Country", "Xmp.iptc.CountryCode",
                                                          // The extension that is left out with the rest.
                                                          "Xmp.xmpNote.HasExtendedXMP"};
constexpr std::array<std::string_view, 7> kPrivateIptcKeys{
    "Iptc.Application2.City",        "Iptc.Application2.SubLocation", "Iptc.Application2.ProvinceState",
    "Iptc.Application2.CountryCode", "Iptc.Application2.CountryName", "Iptc.Application2.LocationCode",
    "Iptc.Application2.LocationName"};

template<std::size_t N> bool listed(const std::array<std::string_view, N> &list, std::string_view name)
{
    return std::find(list.begin(), list.end(), name) != list.end();
}

bool isPrivate(const Exiv2::Exifdatum &datum)
{
    const std::string group = datum.groupName();
    return listed(kPrivateExifGroups, group) || Exiv2::ExifTags::isMakerGroup(group)
        || listed(kPrivateExifKeys, datum.key());
}

bool isPrivate(const Exiv2::Xmpdatum &datum)
{
    if (listed(kPrivateXmpKeys, datum.key()))
        return true;
    std::string name = datum.tagName();
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return std::any_of(kPrivateXmpNameParts.begin(), kPrivateXmpNameParts.end(),
                       [&](std::string_view part) { return name.find(part) != std::string::npos; });
}

bool isPrivate(const Exiv2::Iptcdatum &datum)
{
    return listed(kPrivateIptcKeys, datum.key());
}

// Removes what is private; true when there was any.
template<typename Data> bool removePrivate(Data &data)
{
    bool removed = false;
    for (auto it = data.begin(); it != data.end();) {
        if (isPrivate(*it)) {
            it = data.erase(it);
            removed = true;
        } else {
            ++it;
        }
    }
    return removed;
}

const Exiv2::byte *bytesAfter(const QByteArray &data, const QByteArray &signature)
{
    return reinterpret_cast<const Exiv2::byte *>(data.constData()) + signature.size();
}

std::uint32_t sizeAfter(const QByteArray &data, const QByteArray &signature)
{
    return std::uint32_t(data.size() - signature.size());
}

// The EXIF block written anew from what Exiv2 reads of it, without what is
// private: nothing it could not read passes through, where another reader
// might still find a position. A block that is no TIFF structure at all says
// nothing to anyone and goes; one that Exiv2 fails on is unreadable (its
// orientation must not be lost).
std::optional<QByteArray> publishableExif(const QByteArray &segment)
{
    Exiv2::ExifData exif;
    const Exiv2::ByteOrder order =
        Exiv2::ExifParser::decode(exif, bytesAfter(segment, kExifSignature), sizeAfter(segment, kExifSignature));
    removePrivate(exif);
    if (order == Exiv2::invalidByteOrder || exif.empty())
        return QByteArray();
    Exiv2::Blob blob;
    Exiv2::ExifParser::encode(blob, order, exif);
    const QByteArray rewritten =
        kExifSignature + QByteArray(reinterpret_cast<const char *>(blob.data()), qsizetype(blob.size()));
    if (blob.empty() || rewritten.size() > kMostSegmentData)
        return std::nullopt;
    return rewritten;
}

// XMP that cannot be read or written again goes: dropping it is always safe.
QByteArray publishableXmp(const QByteArray &segment)
{
    Exiv2::XmpData xmp;
    const std::string packet(segment.constData() + kXmpSignature.size(), sizeAfter(segment, kXmpSignature));
    if (Exiv2::XmpParser::decode(xmp, packet) != 0)
        return {};
    if (!removePrivate(xmp))
        return segment;
    std::string rewritten;
    if (xmp.empty() || Exiv2::XmpParser::encode(rewritten, xmp, Exiv2::XmpParser::useCompactFormat) != 0
        || qsizetype(rewritten.size()) + kXmpSignature.size() > kMostSegmentData)
        return {};
    return kXmpSignature + QByteArray::fromStdString(rewritten);
}

// Photoshop's block keeps only its IPTC record: its other resources hold
// thumbnails and settings of the program.
QByteArray publishableIptc(const QByteArray &segment)
{
    const Exiv2::byte *record = nullptr;
    std::uint32_t headerSize = 0;
    std::uint32_t dataSize = 0;
    if (Exiv2::Photoshop::locateIptcIrb(bytesAfter(segment, kPhotoshopSignature),
                                        long(sizeAfter(segment, kPhotoshopSignature)), &record, &headerSize, &dataSize)
        != 0)
        return {};
    Exiv2::IptcData iptc;
    if (Exiv2::IptcParser::decode(iptc, record + headerSize, dataSize) != 0)
        return {};
    removePrivate(iptc);
    if (iptc.empty())
        return {};
    const Exiv2::DataBuf resources = Exiv2::Photoshop::setIptcIrb(nullptr, 0, iptc);
    const QByteArray rewritten =
        kPhotoshopSignature + QByteArray(reinterpret_cast<const char *>(resources.pData_), qsizetype(resources.size_));
    return rewritten.size() > kMostSegmentData ? QByteArray() : rewritten;
}

// Appends what may be published of one segment; false when it cannot be
// read.
bool publish(const JpegSegment &segment, QList<JpegSegment> &kept)
{
    const QByteArray &data = segment.data;
    QByteArray published;
    if (!isApplicationSegment(segment.marker)) {
        // Tables, the frame header and comments.
        kept.append(segment);
        return true;
    }
    if (segment.marker == kApp1 && data.startsWith(kExifSignature)) {
        const std::optional<QByteArray> exif = publishableExif(data);
        if (!exif)
            return false;
        published = *exif;
    } else if (segment.marker == kApp1 && data.startsWith(kXmpSignature)) {
        published = publishableXmp(data);
    } else if (segment.marker == kApp13 && data.startsWith(kPhotoshopSignature)) {
        published = publishableIptc(data);
    } else if ((segment.marker == kApp0 && data.startsWith(kJfifSignature))
               || (segment.marker == kApp2 && data.startsWith(kIccSignature))
               || (segment.marker == kApp14 && data.startsWith(kAdobeSignature))) {
        // The picture's density, colour profile and colour transform.
        published = data;
    }
    // Any other program's segment may hold anything (a thumbnail, a GPS
    // track, a second picture's index) and is left out.
    if (!published.isEmpty())
        kept.append({segment.marker, published});
    return true;
}

bool hasLatitude(const JpegSegment &segment)
{
    if (segment.marker != kApp1)
        return false;
    if (segment.data.startsWith(kExifSignature)) {
        Exiv2::ExifData exif;
        Exiv2::ExifParser::decode(exif, bytesAfter(segment.data, kExifSignature),
                                  sizeAfter(segment.data, kExifSignature));
        return exif.findKey(Exiv2::ExifKey("Exif.GPSInfo.GPSLatitude")) != exif.end();
    }
    if (segment.data.startsWith(kXmpSignature)) {
        Exiv2::XmpData xmp;
        const std::string packet(segment.data.constData() + kXmpSignature.size(),
                                 sizeAfter(segment.data, kXmpSignature));
        return Exiv2::XmpParser::decode(xmp, packet) == 0
            && std::any_of(xmp.begin(), xmp.end(),
                           [](const Exiv2::Xmpdatum &datum) { return datum.tagName() == "GPSLatitude"; });
    }
    return false;
}

// The file's start as it may be published, read from the input, which is
// left at the first scan; nothing when a segment cannot be read.
std::optional<QByteArray> publishableHeader(QIODevice &input)
{
    const std::optional<QList<JpegSegment>> segments = readJpegSegments(input);
    const std::optional<QList<JpegSegment>> published = segments ? publishableSegments(*segments) : std::nullopt;
    return published ? std::optional(jpegHeaderBytes(*published)) : std::nullopt;
}

} // namespace

std::optional<QList<JpegSegment>> publishableSegments(const QList<JpegSegment> &segments)
{
    try {
        const Exiv2XmpLock lock;
        QList<JpegSegment> kept;
        for (const JpegSegment &segment : segments) {
            if (!publish(segment, kept))
                return std::nullopt;
        }
        return kept;
    } catch (const std::exception &) {
        return std::nullopt;
    }
}

bool carriesLocation(const QList<JpegSegment> &segments)
{
    const Exiv2XmpLock lock;
    return std::any_of(segments.begin(), segments.end(), [](const JpegSegment &segment) {
        try {
            return hasLatitude(segment);
        } catch (const std::exception &) {
            return false;
        }
    });
}

bool copyWithoutPrivateMetadata(QIODevice &input, QIODevice &output)
{
    const std::optional<QByteArray> header = publishableHeader(input);
    return header && writeWhole(output, header->constData(), header->size()) && copyJpegScans(input, output);
}

std::optional<QByteArray> withoutPrivateMetadata(const QByteArray &encoded)
{
    QBuffer input;
    input.setData(encoded);
    input.open(QIODevice::ReadOnly);
    const std::optional<QByteArray> header = publishableHeader(input);
    if (!header)
        return std::nullopt;
    return *header + encoded.sliced(input.pos());
}

} // namespace tovin
