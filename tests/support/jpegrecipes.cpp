#include "jpegrecipes.h"

#include <QtEndian>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

namespace tovin::test {
namespace {

// A photograph-like texture: gradients with deterministic noise, so that the
// DCT, upsampling and colour conversion all have work to do.
JSAMPLE sampleAt(const JpegRecipe &recipe, int x, int y, int component)
{
    int value = (x * 255 / std::max(1, recipe.size.width() - 1) * (component + 1)
                 + y * 255 / std::max(1, recipe.size.height() - 1) * (3 - component % 3))
        / 3;
    if (!recipe.smooth) {
        unsigned hash = unsigned(x) * 73856093u ^ unsigned(y) * 19349663u ^ unsigned(component) * 83492791u;
        hash = (hash ^ (hash >> 13)) * 0x5bd1e995u;
        value += int((hash >> 24) % 48) - 24;
    }
    return JSAMPLE(std::clamp(value, 0, 255));
}

} // namespace

QByteArray encodeJpeg(const JpegRecipe &recipe)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char *buffer = nullptr;
    unsigned long length = 0;
    jpeg_mem_dest(&info, &buffer, &length);

    info.image_width = JDIMENSION(recipe.size.width());
    info.image_height = JDIMENSION(recipe.size.height());
    info.input_components = recipe.components;
    info.in_color_space = recipe.components == 1 ? JCS_GRAYSCALE : recipe.components == 4 ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&info);
    if (recipe.ycck)
        jpeg_set_colorspace(&info, JCS_YCCK);
    jpeg_set_quality(&info, recipe.quality, TRUE);
    if (recipe.components > 1) {
        info.comp_info[0].h_samp_factor = recipe.lumaSampling.width();
        info.comp_info[0].v_samp_factor = recipe.lumaSampling.height();
    }
    if (recipe.progressive)
        jpeg_simple_progression(&info);
    info.arith_code = recipe.arithmetic ? TRUE : FALSE;
    info.restart_in_rows = recipe.restartRows;
    info.density_unit = UINT8(recipe.densityUnit);
    info.X_density = UINT16(recipe.xDensity);
    info.Y_density = UINT16(recipe.yDensity);

    jpeg_start_compress(&info, TRUE);
    for (const auto &[marker, contents] : recipe.segments)
        jpeg_write_marker(&info, marker, reinterpret_cast<const JOCTET *>(contents.constData()),
                          unsigned(contents.size()));
    std::vector<JSAMPLE> row(size_t(recipe.size.width()) * size_t(recipe.components));
    while (info.next_scanline < info.image_height) {
        const int y = int(info.next_scanline);
        for (int x = 0; x < recipe.size.width(); ++x)
            for (int c = 0; c < recipe.components; ++c)
                row[size_t(x * recipe.components + c)] = sampleAt(recipe, x, y, c);
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray bytes(reinterpret_cast<const char *>(buffer), qsizetype(length));
    std::free(buffer);
    return bytes;
}

qsizetype segmentAt(const QByteArray &jpeg, const std::function<bool(uchar)> &wanted)
{
    for (qsizetype at = 2; at + 9 < jpeg.size() && uchar(jpeg[at]) == 0xFF;) {
        if (wanted(uchar(jpeg[at + 1])))
            return at;
        at += 2 + ((uchar(jpeg[at + 2]) << 8) | uchar(jpeg[at + 3]));
    }
    return -1;
}

QByteArray withClaimedSize(QByteArray jpeg, QSize size)
{
    const qsizetype at = segmentAt(jpeg, [](uchar marker) {
        return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    });
    const quint16 sides[] = {qToBigEndian(quint16(size.height())), qToBigEndian(quint16(size.width()))};
    if (at >= 0)
        jpeg.replace(at + 5, 4, reinterpret_cast<const char *>(sides), 4);
    return jpeg;
}

QByteArray exifSegment(int orientation, const QByteArray &thumbnail)
{
    // Little-endian TIFF: IFD0 with Orientation and a Software string, then
    // IFD1 pointing at the thumbnail.
    QByteArray tiff("II*\0\x08\0\0\0", 8);
    auto put16 = [&](int value) { tiff.append(char(value & 0xFF)).append(char(value >> 8)); };
    auto put32 = [&](int value) { put16(value & 0xFFFF), put16(value >> 16); };
    const QByteArray software("tovin test\0", 11);
    constexpr int kSoftwareAt = 8 + 2 + 2 * 12 + 4;
    constexpr int kIfd1At = kSoftwareAt + 12;
    put16(2);
    put16(0x0112), put16(3), put32(1), put16(orientation), put16(0);
    put16(0x0131), put16(2), put32(int(software.size())), put32(kSoftwareAt);
    put32(thumbnail.isEmpty() ? 0 : kIfd1At);
    tiff.append(software).append(char(0));
    if (!thumbnail.isEmpty()) {
        put16(2);
        put16(0x0201), put16(4), put32(1), put32(kIfd1At + 2 + 2 * 12 + 4);
        put16(0x0202), put16(4), put32(1), put32(int(thumbnail.size()));
        put32(0);
        tiff.append(thumbnail);
    }
    return QByteArray("Exif\0\0", 6) + tiff;
}

QByteArray xmpSegment()
{
    return QByteArray("http://ns.adobe.com/xap/1.0/\0", 29)
        + QByteArray("<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF "
                     "xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\"/></x:xmpmeta>");
}

QByteArray iptcSegment()
{
    // One Photoshop resource of 14 bytes: the IPTC record of a 9-byte caption.
    return QByteArray("Photoshop 3.0\0008BIM\x04\x04\0\0\0\0\0\x0E\x1C\x02\x78\0\x09", 31) + "A caption";
}

QList<std::pair<int, QByteArray>> iccSegments(int profileBytes)
{
    QByteArray profile(profileBytes, Qt::Uninitialized);
    for (int i = 0; i < profileBytes; ++i)
        profile[i] = char((i * 31 + 7) & 0xFF);
    constexpr int kPerSegment = 65519;
    const int count = (profileBytes + kPerSegment - 1) / kPerSegment;
    QList<std::pair<int, QByteArray>> segments;
    for (int index = 0; index < count; ++index) {
        QByteArray segment("ICC_PROFILE\0", 12);
        segment.append(char(index + 1)).append(char(count));
        segments.append({0xE2, segment + profile.mid(qsizetype(index) * kPerSegment, kPerSegment)});
    }
    return segments;
}

} // namespace tovin::test
