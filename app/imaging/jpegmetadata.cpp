#include "jpegmetadata.h"

#include "jpegdecoder.h"
#include "jpegsegments.h"

#include <FreeImage.h>

#include <QByteArrayView>

#include <optional>

namespace tovin {
namespace {

// The stand-in picture after its start marker: one 8 x 8 grey baseline frame
// (quantisation table, frame header, the standard DC and AC luminance tables,
// scan header, one block of zeros, end marker).
QByteArray standInFrame()
{
    static const QByteArray frame = [] {
        QByteArray bytes;
        auto put = [&](std::initializer_list<int> values) {
            for (int value : values)
                bytes.append(char(value));
        };
        put({0xFF, 0xDB, 0x00, 0x43, 0x00});
        bytes.append(64, char(1));
        put({0xFF, 0xC0, 0x00, 0x0B, 0x08, 0x00, 0x08, 0x00, 0x08, 0x01, 0x01, 0x11, 0x00});
        // DC table 0: one code of length 1 for category 0.
        put({0xFF, 0xC4, 0x00, 0x14, 0x00, 0x01});
        bytes.append(15, char(0));
        put({0x00});
        // AC table 0: one code of length 1 for end of block.
        put({0xFF, 0xC4, 0x00, 0x14, 0x10, 0x01});
        bytes.append(15, char(0));
        put({0x00});
        put({0xFF, 0xDA, 0x00, 0x08, 0x01, 0x01, 0x00, 0x00, 0x3F, 0x00});
        // DC category 0 and end of block: two zero bits, padded with ones.
        put({0x3F, 0xFF, 0xD9});
        return bytes;
    }();
    return frame;
}

bool isJfifThumbnail(const JpegSegment &segment)
{
    return segment.marker == kApp0 && segment.data.startsWith(QByteArray("JFXX\0", 5));
}

bool isExif(const JpegSegment &segment)
{
    return segment.marker == kApp1 && segment.data.startsWith(kExifSignature);
}

// The library loads embedded JPEG thumbnails with its own loader; ours stands
// in for it, so a hostile thumbnail is as safe as a hostile file.
void attachThumbnail(FIBITMAP *bitmap, QByteArrayView jpeg)
{
    const DecodedJpeg thumbnail =
        decodeJpeg(std::span(reinterpret_cast<const unsigned char *>(jpeg.data()), size_t(jpeg.size())));
    FreeImage_SetThumbnail(bitmap, thumbnail.bitmap.get());
}

void attachJfifThumbnail(FIBITMAP *bitmap, const QByteArray &segment)
{
    constexpr int kJpegThumbnail = 0x10;
    // Thumbnails of other kinds are left out.
    if (segment.size() >= 6 && uchar(segment[5]) == kJpegThumbnail)
        attachThumbnail(bitmap, QByteArrayView(segment).sliced(6));
}

// The TIFF structure inside an EXIF segment, read with bounds checks.
class ExifBlock
{
public:
    explicit ExifBlock(const QByteArray &segment)
        : m_tiff(QByteArrayView(segment).sliced(kExifSignature.size()))
    {
        if (m_tiff.startsWith(QByteArrayView("II*\0", 4)))
            m_signed = true;
        else if (m_tiff.startsWith(QByteArrayView("MM\0*", 4)))
            m_signed = m_bigEndian = true;
    }

    // The library parses nothing without a TIFF signature and a first IFD
    // offset inside the block.
    bool hasSignature() const { return m_signed; }
    bool isValid() const { return m_signed && read32(4) && *read32(4) <= quint64(m_tiff.size()); }

    std::optional<quint64> read16(quint64 at) const { return read(at, 2); }
    std::optional<quint64> read32(quint64 at) const { return read(at, 4); }

    // Where IFD0 stores the offset of the next IFD, the thumbnail's.
    std::optional<quint64> nextDirectoryField() const
    {
        const quint64 first = *read32(4);
        const std::optional<quint64> entries = read16(first);
        if (!entries || first + 2 + 12 * *entries + 4 > quint64(m_tiff.size()))
            return std::nullopt;
        return first + 2 + 12 * *entries;
    }

    // The JPEG thumbnail that IFD1 points at, by the library's rules: the
    // last JPEGInterchangeFormat and ...Length entries, both non-zero and
    // inside the block; an IFD1 that runs past the block has none.
    std::optional<QByteArrayView> thumbnail() const
    {
        const std::optional<quint64> field = nextDirectoryField();
        const std::optional<quint64> next = field ? read32(*field) : std::nullopt;
        if (!next || *next == 0 || *next >= quint64(m_tiff.size()))
            return std::nullopt;
        const std::optional<quint64> entries = read16(*next);
        quint64 offset = 0;
        quint64 length = 0;
        for (quint64 entry = 0; entries && entry < *entries; ++entry) {
            const quint64 base = *next + 2 + 12 * entry;
            if (base + 12 >= quint64(m_tiff.size()))
                return std::nullopt;
            const quint64 tag = *read16(base);
            if (tag == 0x0201)
                offset = *read32(base + 8);
            else if (tag == 0x0202)
                length = *read32(base + 8);
        }
        if (!entries || offset == 0 || length == 0 || offset + length > quint64(m_tiff.size()))
            return std::nullopt;
        return m_tiff.sliced(qsizetype(offset), qsizetype(length));
    }

private:
    std::optional<quint64> read(quint64 at, int width) const
    {
        if (at + quint64(width) > quint64(m_tiff.size()))
            return std::nullopt;
        quint64 value = 0;
        for (int index = 0; index < width; ++index) {
            const quint64 byte = uchar(m_tiff[qsizetype(at) + (m_bigEndian ? index : width - 1 - index)]);
            value = value << 8 | byte;
        }
        return value;
    }

    QByteArrayView m_tiff;
    bool m_signed = false;
    bool m_bigEndian = false;
};


// Byte order, signature and the first IFD's offset.
constexpr quint64 kTiffHeaderSize = 8;

void attachExifThumbnail(FIBITMAP *bitmap, const QByteArray &segment)
{
    const ExifBlock block(segment);
    if (!block.isValid())
        return;
    if (const std::optional<QByteArrayView> thumbnail = block.thumbnail())
        attachThumbnail(bitmap, *thumbnail);
}

// The raw EXIF block as the library attaches it, which it writes back on
// saving: the last EXIF segment's.
void attachRawExif(FIBITMAP *bitmap, const QByteArray &segment)
{
    FITAG *tag = FreeImage_CreateTag();
    FreeImage_SetTagKey(tag, "ExifRaw");
    FreeImage_SetTagLength(tag, DWORD(segment.size()));
    FreeImage_SetTagCount(tag, DWORD(segment.size()));
    FreeImage_SetTagType(tag, FIDT_BYTE);
    FreeImage_SetTagValue(tag, segment.constData());
    FreeImage_SetMetadata(FIMD_EXIF_RAW, bitmap, FreeImage_GetTagKey(tag), tag);
    FreeImage_DeleteTag(tag);
}

void appendSegment(QByteArray &file, int marker, const QByteArray &data)
{
    const qsizetype length = data.size() + 2;
    file.append(char(0xFF)).append(char(marker));
    file.append(char(length >> 8)).append(char(length & 0xFF));
    file.append(data);
}

void attachParsedMetadata(FIBITMAP *bitmap, QByteArray standIn)
{
    FIMEMORY *memory = FreeImage_OpenMemory(reinterpret_cast<BYTE *>(standIn.data()), DWORD(standIn.size()));
    const Bitmap parsed(FreeImage_LoadFromMemory(FIF_JPEG, memory, FIF_LOAD_NOPIXELS));
    FreeImage_CloseMemory(memory);
    if (!parsed)
        return;
    FreeImage_CloneMetadata(bitmap, parsed.get());
    const FIICCPROFILE *profile = FreeImage_GetICCProfile(parsed.get());
    if (profile->data && profile->size)
        FreeImage_CreateICCProfile(bitmap, profile->data, long(profile->size));
}

} // namespace

std::optional<QByteArray> exifForLibraryParsing(const QByteArray &segment)
{
    const ExifBlock block(segment);
    if (!block.hasSignature())
        return segment;
    if (!block.read32(4))
        return std::nullopt;
    if (!block.isValid())
        return segment;
    const std::optional<quint64> field = block.nextDirectoryField();
    // An IFD0 that overlaps the header has its link there: clearing the link
    // would clear the first IFD's offset too, and the library would read the
    // header as an IFD0 of thousands of entries, far past the block.
    if (!field || *field < kTiffHeaderSize)
        return std::nullopt;
    QByteArray unlinked = segment;
    unlinked.replace(kExifSignature.size() + qsizetype(*field), 4, QByteArray(4, char(0)));
    return unlinked;
}

void attachJpegMetadata(FIBITMAP *bitmap, const QList<JpegSegment> &segments)
{
    QByteArray standIn("\xFF\xD8", 2);
    bool anyParsed = false;
    const JpegSegment *lastExif = nullptr;
    for (const JpegSegment &segment : segments) {
        if (isJfifThumbnail(segment))
            attachJfifThumbnail(bitmap, segment.data);
        // The loader reads nothing else from APP0 segments.
        if (segment.marker == kApp0)
            continue;
        std::optional<QByteArray> parsed = segment.data;
        if (isExif(segment)) {
            attachExifThumbnail(bitmap, segment.data);
            parsed = exifForLibraryParsing(segment.data);
            lastExif = &segment;
        }
        if (parsed) {
            appendSegment(standIn, segment.marker, *parsed);
            anyParsed = true;
        }
    }
    if (anyParsed)
        attachParsedMetadata(bitmap, standIn + standInFrame());
    if (lastExif)
        attachRawExif(bitmap, lastExif->data);
}

} // namespace tovin
