#include "jpegdecoder.h"

#include "jpegmetadata.h"
#include "jpegsegments.h"
#include "libjpegtrap.h"
#include "memorybudget.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <utility>

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
}

namespace tovin {
namespace {

// Bytes read from a file at a time. libjpeg takes its fast Huffman path
// only while a few kilobytes are buffered, so the pieces are large.
constexpr qint64 kFileChunk = 64 * 1024;

// The bytes libjpeg reads: the whole file in memory, or an open file read a
// piece at a time into the chunk. The chunk is not on the stack: a thumbnail
// in the metadata is decoded a level deeper, and a hostile file nests them.
struct InputSource {
    jpeg_source_mgr manager{};
    const JOCTET *bytes = nullptr;
    QFile *file = nullptr;
    size_t length = 0;
    size_t offset = 0;
    bool started = false;
    JOCTET fakeEnd[2] = {0xFF, JPEG_EOI};
    std::unique_ptr<JOCTET[]> chunk;
};

// One libjpeg decompressor with its error trap and source.
struct Decompressor {
    jpeg_decompress_struct info{};
    LibjpegTrap trap{};
    InputSource source;
    bool created = false;

    explicit Decompressor(JpegInput input)
    {
        if (QFile **file = std::get_if<QFile *>(&input)) {
            source.file = *file;
            source.file->seek(0);
            source.chunk = std::make_unique_for_overwrite<JOCTET[]>(kFileChunk);
            source.length = size_t(std::max<qint64>(source.file->size(), 0));
        } else {
            const auto bytes = std::get<std::span<const unsigned char>>(input);
            source.bytes = bytes.data();
            source.length = bytes.size();
        }
    }
    ~Decompressor()
    {
        if (created)
            jpeg_destroy_decompress(&info);
    }
    Decompressor(const Decompressor &) = delete;
    Decompressor &operator=(const Decompressor &) = delete;
};

void leaveOnError(j_common_ptr info)
{
    // The library's loader carries on past marker types libjpeg does not
    // know (libjpeg then treats the marker as read); so do we, for its pixels.
    if (info->err->msg_code == JERR_UNKNOWN_MARKER)
        return;
    leaveLibjpeg(info);
}

InputSource *sourceOf(j_decompress_ptr info)
{
    return reinterpret_cast<InputSource *>(info->src);
}

void startSource(j_decompress_ptr info)
{
    sourceOf(info)->started = false;
}

// The library's loader feeds 4096 bytes at a time. Larger pieces, or the
// whole file in one go, give the same pixels, damaged data included, and keep
// libjpeg on its fast Huffman path.
boolean fillInput(j_decompress_ptr info)
{
    InputSource *source = sourceOf(info);
    const JOCTET *next = nullptr;
    size_t count = 0;
    if (source->file) {
        const qint64 read = source->file->read(reinterpret_cast<char *>(source->chunk.get()), kFileChunk);
        if (read < 0)
            ERREXIT(info, JERR_FILE_READ);
        next = source->chunk.get();
        count = size_t(read);
    } else if (source->offset < source->length) {
        next = source->bytes + source->offset;
        count = source->length - source->offset;
        source->offset = source->length;
    }
    if (count == 0) {
        if (!source->started)
            ERREXIT(info, JERR_INPUT_EMPTY);
        // A truncated file ends as if its end marker followed: libjpeg fills
        // the missing part, as the library's loader lets it.
        WARNMS(info, JWRN_JPEG_EOF);
        next = source->fakeEnd;
        count = sizeof source->fakeEnd;
    }
    source->manager.next_input_byte = next;
    source->manager.bytes_in_buffer = count;
    source->started = true;
    return TRUE;
}

void skipBytes(j_decompress_ptr info, long count)
{
    InputSource *source = sourceOf(info);
    if (count <= 0)
        return;
    while (size_t(count) > source->manager.bytes_in_buffer) {
        count -= long(source->manager.bytes_in_buffer);
        fillInput(info);
    }
    source->manager.next_input_byte += count;
    source->manager.bytes_in_buffer -= size_t(count);
}

void endSource(j_decompress_ptr) { }

enum class KeptSegments { None, Metadata, Exif };

// Sets up the decompressor and reads the header; false when it cannot. The
// segments read before a failure stay kept.
bool readHeader(Decompressor &jpeg, KeptSegments kept)
{
    return jpeg.trap.guarded([&] {
        jpeg.info.err = jpeg_std_error(&jpeg.trap.manager);
        jpeg.trap.manager.error_exit = leaveOnError;
        jpeg.trap.manager.output_message = printNothing;
        jpeg_create_decompress(&jpeg.info);
        jpeg.created = true;
        jpeg_source_mgr &source = jpeg.source.manager;
        source.init_source = startSource;
        source.fill_input_buffer = fillInput;
        source.skip_input_data = skipBytes;
        source.resync_to_restart = jpeg_resync_to_restart;
        source.term_source = endSource;
        jpeg.info.src = &source;
        if (kept == KeptSegments::Metadata) {
            jpeg_save_markers(&jpeg.info, JPEG_COM, 0xFFFF);
            for (int marker = JPEG_APP0; marker < JPEG_APP0 + 16; ++marker)
                jpeg_save_markers(&jpeg.info, marker, 0xFFFF);
        } else if (kept == KeptSegments::Exif) {
            jpeg_save_markers(&jpeg.info, JPEG_APP0 + 1, 0xFFFF);
        }
        jpeg_read_header(&jpeg.info, TRUE);
    });
}

// Every 8 x 8 block of every component costs the entropy coder some bits. With
// Huffman coding a block takes at least one code, and no code is shorter than
// one bit: the DC difference (sequential files also end the block with an
// end-of-block code; progressive ones code every block's DC in a scan of its
// own, while their AC scans can skip runs of blocks). The arithmetic coder
// codes each block's DC with at least one decision, and no decision costs
// less than log2(65536 / 65535), about 2^-15.5 bits (its smallest probability
// estimate is 1 in an interval of at most 65536): one byte per 364,000 blocks
// at the least; 2^18 is used. Whole-file length counts, so the headers only
// make the test more lenient. A truncated file keeps decoding as long as what
// is left could hold its blocks.
bool lengthCanHoldBlocks(const jpeg_decompress_struct &info, size_t length)
{
    std::uint64_t blocks = 0;
    for (int index = 0; index < info.num_components; ++index) {
        const jpeg_component_info &component = info.comp_info[index];
        blocks += std::uint64_t(component.width_in_blocks) * component.height_in_blocks;
    }
    const std::uint64_t blocksPerByte = info.arith_code ? std::uint64_t(1) << 18 : 8;
    return std::uint64_t(length) >= (blocks + blocksPerByte - 1) / blocksPerByte;
}

bool isCmyk(const jpeg_decompress_struct &info)
{
    return info.out_color_space == JCS_CMYK && info.output_components == 4;
}

// The library's loader converts CMYK (and YCCK, which libjpeg delivers as
// CMYK) to RGB by multiplying each of C, M, Y with K.
void convertCmykRow(const JSAMPLE *cmyk, BYTE *bgr, JDIMENSION width)
{
    for (JDIMENSION x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
        const unsigned black = cmyk[3];
        bgr[FI_RGBA_RED] = BYTE(black * cmyk[0] / 255);
        bgr[FI_RGBA_GREEN] = BYTE(black * cmyk[1] / 255);
        bgr[FI_RGBA_BLUE] = BYTE(black * cmyk[2] / 255);
    }
}

void swapRedBlue(BYTE *row, JDIMENSION width, int bytesPerPixel)
{
    for (JDIMENSION x = 0; x < width; ++x, row += bytesPerPixel)
        std::swap(row[0], row[2]);
}

// The most rows the library makes in one step (4 for the largest sampling
// factor, 4 x 2 vertical upsampling).
constexpr int kMaxRowsPerRead = 8;

// Reads every row into the bitmap, last row first as the bitmap stores them.
bool readRows(Decompressor &jpeg, FIBITMAP *bitmap)
{
    return jpeg.trap.guarded([&] {
        jpeg_decompress_struct &info = jpeg.info;
        const bool cmyk = isCmyk(info);
        JSAMPARRAY cmykRow = cmyk
            ? (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE, info.output_width * 4, 1)
            : nullptr;
        const int bytesPerPixel = info.output_components;
        // As many rows per call as the library makes at once: asked for
        // fewer, it keeps the rest aside and copies them out later.
        const int together = std::clamp(info.rec_outbuf_height, 1, kMaxRowsPerRead);
        BYTE *rows[kMaxRowsPerRead];
        while (info.output_scanline < info.output_height) {
            const int first = int(info.output_scanline);
            if (cmyk) {
                jpeg_read_scanlines(&info, cmykRow, 1);
                convertCmykRow(cmykRow[0], FreeImage_GetScanLine(bitmap, int(info.output_height) - first - 1),
                               info.output_width);
                continue;
            }
            const int wanted = std::min(together, int(info.output_height) - first);
            for (int r = 0; r < wanted; ++r)
                rows[r] = FreeImage_GetScanLine(bitmap, int(info.output_height) - first - r - 1);
            const int read = int(jpeg_read_scanlines(&info, rows, JDIMENSION(wanted)));
            if (bytesPerPixel >= 3 && info.out_color_space != JCS_EXT_BGR)
                for (int r = 0; r < read; ++r)
                    swapRedBlue(rows[r], info.output_width, bytesPerPixel);
        }
        jpeg_finish_decompress(&info);
    });
}

void setDensity(FIBITMAP *bitmap, const jpeg_decompress_struct &info)
{
    // The library's rounding, float and all.
    if (info.density_unit == 1) {
        FreeImage_SetDotsPerMeterX(bitmap, unsigned(float(info.X_density) / 0.0254 + 0.5));
        FreeImage_SetDotsPerMeterY(bitmap, unsigned(float(info.Y_density) / 0.0254 + 0.5));
    } else if (info.density_unit == 2) {
        FreeImage_SetDotsPerMeterX(bitmap, unsigned(info.X_density * 100));
        FreeImage_SetDotsPerMeterY(bitmap, unsigned(info.Y_density * 100));
    }
}

Bitmap allocateFor(const jpeg_decompress_struct &info, int bitsPerPixel)
{
    // Every row is written below, or the picture is thrown away.
    Bitmap bitmap = allocateUnclearedBitmap(int(info.output_width), int(info.output_height), bitsPerPixel);
    if (bitmap && info.output_components == 1) {
        RGBQUAD *palette = FreeImage_GetPalette(bitmap.get());
        for (int level = 0; level < 256; ++level)
            palette[level] = {BYTE(level), BYTE(level), BYTE(level), 0};
    }
    return bitmap;
}

QList<JpegSegment> savedSegments(const jpeg_decompress_struct &info)
{
    QList<JpegSegment> segments;
    for (jpeg_saved_marker_ptr marker = info.marker_list; marker; marker = marker->next)
        segments.append(
            {marker->marker, QByteArray(reinterpret_cast<const char *>(marker->data), qsizetype(marker->data_length))});
    return segments;
}

} // namespace

std::optional<QSize> readJpegSize(JpegInput input)
{
    Decompressor jpeg(input);
    if (!readHeader(jpeg, KeptSegments::None) || !lengthCanHoldBlocks(jpeg.info, jpeg.source.length))
        return std::nullopt;
    return QSize(int(jpeg.info.image_width), int(jpeg.info.image_height));
}

QByteArray readJpegExif(JpegInput input)
{
    Decompressor jpeg(input);
    // A frame that this libjpeg cannot decode, or a file cut short after its
    // metadata, still has its EXIF block.
    readHeader(jpeg, KeptSegments::Exif);
    for (jpeg_saved_marker_ptr marker = jpeg.info.marker_list; jpeg.created && marker; marker = marker->next) {
        const QByteArrayView data(marker->data, qsizetype(marker->data_length));
        if (data.startsWith(kExifSignature))
            return data.sliced(kExifSignature.size()).toByteArray();
    }
    return {};
}

DecodedJpeg decodeJpeg(JpegInput input, int scaleDenominator)
{
    Q_ASSERT(scaleDenominator == 1 || scaleDenominator == 2 || scaleDenominator == 4 || scaleDenominator == 8);
    ensureFreeImage();
    DecodedJpeg result;
    result.failure = DecodeFailure::NotDecodable;
    Decompressor jpeg(input);
    if (!readHeader(jpeg, KeptSegments::Metadata) || !lengthCanHoldBlocks(jpeg.info, jpeg.source.length))
        return result;

    jpeg_decompress_struct &info = jpeg.info;
    // The library's loader trades a little accuracy for speed this way.
    info.dct_method = JDCT_IFAST;
    info.do_fancy_upsampling = FALSE;
    info.scale_num = 1;
    info.scale_denom = unsigned(scaleDenominator);
    // The bitmap keeps blue first: libjpeg writes colour pixels that way
    // itself, with the same arithmetic as for red first.
    if (info.out_color_space == JCS_RGB)
        info.out_color_space = JCS_EXT_BGR;
    if (!jpeg.trap.guarded([&] { jpeg_calc_output_dimensions(&info); }))
        return result;
    const int bitsPerPixel = isCmyk(info) ? 24 : 8 * info.output_components;
    // Five or more components make a pixel the library has no bitmap for.
    if (bitsPerPixel > 32)
        return result;
    if (!fitsBitmapBudget(info.output_width, info.output_height, bitsPerPixel)) {
        result.failure = DecodeFailure::TooLarge;
        return result;
    }

    // The picture's block is taken before libjpeg's working memory. Taken
    // after it, it no longer fitted into the free block the thread's last
    // picture left, which libjpeg's small blocks had cut into, and the C
    // library found it room elsewhere that it then kept: a 4000 x 3000 run
    // with two workers peaked at 151 MB instead of 115 MB.
    Bitmap bitmap = allocateFor(info, bitsPerPixel);
    if (!bitmap) {
        result.failure = DecodeFailure::TooLarge;
        return result;
    }
    // Past this cap libjpeg asks for a temporary file instead, which this
    // build of it refuses with an error: the cap is a hard limit.
    info.mem->max_memory_to_use = long(kMaxDecoderWorkingBytes);
    if (!jpeg.trap.guarded([&] { jpeg_start_decompress(&info); })) {
        const int error = jpeg.trap.manager.msg_code;
        if (error == JERR_NO_BACKING_STORE || error == JERR_OUT_OF_MEMORY)
            result.failure = DecodeFailure::TooLarge;
        return result;
    }
    attachJpegMetadata(bitmap.get(), savedSegments(info));
    // After the metadata: copying it copies the stand-in's density too.
    setDensity(bitmap.get(), info);
    if (!readRows(jpeg, bitmap.get()))
        return result;
    // Converted pixels no longer match an embedded colour profile.
    if (isCmyk(info))
        FreeImage_SetMetadata(FIMD_EXIF_MAIN, bitmap.get(), "InterColorProfile", nullptr);

    result.bitmap = std::move(bitmap);
    result.failure = DecodeFailure::None;
    return result;
}

} // namespace tovin
