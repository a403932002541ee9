#include "jpegwriter.h"

#include "libjpegtrap.h"

#include <FreeImage.h>

#include <new>
#include <vector>

extern "C" {
#include <jerror.h>
}

static_assert(FREEIMAGE_COLORORDER == FREEIMAGE_COLORORDER_BGR, "libjpeg is told the rows are blue first");

namespace tovin {
namespace {

// libjpeg writes into the array, which grows as it fills.
struct Destination {
    jpeg_destination_mgr manager{};
    QByteArray bytes;
};

constexpr qsizetype kFirstBlock = 64 * 1024;

Destination *destinationOf(j_compress_ptr info)
{
    return reinterpret_cast<Destination *>(info->dest);
}

// Makes room for `size` bytes in all, past the `used` ones; an exception must
// not cross libjpeg's frames, so a failure is reported the library's way.
void growTo(j_compress_ptr info, qsizetype used, qsizetype size)
{
    Destination *destination = destinationOf(info);
    bool grown = true;
    try {
        destination->bytes.resize(size);
    } catch (const std::bad_alloc &) {
        grown = false;
    }
    if (!grown)
        ERREXIT(info, JERR_OUT_OF_MEMORY);
    destination->manager.next_output_byte = reinterpret_cast<JOCTET *>(destination->bytes.data()) + used;
    destination->manager.free_in_buffer = size_t(size - used);
}

void startDestination(j_compress_ptr info)
{
    growTo(info, 0, kFirstBlock);
}

boolean growDestination(j_compress_ptr info)
{
    const qsizetype used = destinationOf(info)->bytes.size();
    growTo(info, used, 2 * used);
    return TRUE;
}

void endDestination(j_compress_ptr info)
{
    Destination *destination = destinationOf(info);
    destination->bytes.resize(destination->bytes.size() - qsizetype(destination->manager.free_in_buffer));
}

// One libjpeg compressor with its error trap and destination.
struct Compressor {
    jpeg_compress_struct info{};
    LibjpegTrap trap{};
    Destination destination;
    bool created = false;

    ~Compressor()
    {
        if (created)
            jpeg_destroy_compress(&info);
    }
};

} // namespace

std::optional<QByteArray> encodeBgrJpeg(FIBITMAP *bitmap, int quality, const QList<JpegSegment> &segments)
{
    const JDIMENSION width = FreeImage_GetWidth(bitmap);
    const JDIMENSION height = FreeImage_GetHeight(bitmap);
    std::vector<JSAMPROW> rows(height);
    for (JDIMENSION y = 0; y < height; ++y)
        rows[y] = FreeImage_GetScanLine(bitmap, int(height - 1 - y));

    Compressor jpeg;
    jpeg_compress_struct &info = jpeg.info;
    const bool written = jpeg.trap.guarded([&] {
        info.err = jpeg_std_error(&jpeg.trap.manager);
        jpeg.trap.manager.error_exit = leaveLibjpeg;
        jpeg.trap.manager.output_message = printNothing;
        jpeg_create_compress(&info);
        jpeg.created = true;
        jpeg.destination.manager.init_destination = startDestination;
        jpeg.destination.manager.empty_output_buffer = growDestination;
        jpeg.destination.manager.term_destination = endDestination;
        info.dest = &jpeg.destination.manager;

        info.image_width = width;
        info.image_height = height;
        info.input_components = 3;
        // The same YCbCr values as from red-first rows, without turning
        // every row round first.
        info.in_color_space = JCS_EXT_BGR;
        jpeg_set_defaults(&info);
        info.write_JFIF_header = FALSE;
        jpeg_set_quality(&info, quality, TRUE);
        jpeg_start_compress(&info, TRUE);
        for (const JpegSegment &segment : segments)
            jpeg_write_marker(&info, segment.marker, reinterpret_cast<const JOCTET *>(segment.data.constData()),
                              unsigned(segment.data.size()));
        while (info.next_scanline < height)
            jpeg_write_scanlines(&info, rows.data() + info.next_scanline, height - info.next_scanline);
        jpeg_finish_compress(&info);
    });
    if (!written)
        return std::nullopt;
    return std::move(jpeg.destination.bytes);
}

} // namespace tovin
