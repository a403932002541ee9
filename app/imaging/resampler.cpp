#include "resampler.h"

#include "freeimagebitmap.h"
#include "resamplerkernels.h"
#include "resamplerweights.h"

#include <QSemaphore>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <memory>
#include <new>
#include <optional>
#include <vector>

namespace tovin {
namespace {

using resampling::HorizontalPlan;
using resampling::Kernels;

enum class GreyRamp { None, Ascending, Descending };

// An 8-bit image whose palette is the plain grey ramp, either way round, is
// resampled as grey levels and keeps its ramp; FreeImage looks any other
// palette up colour by colour, and so do we, by handing it on.
GreyRamp greyRampOf(FIBITMAP *image)
{
    const RGBQUAD *palette = FreeImage_GetPalette(image);
    if (!palette || FreeImage_GetColorsUsed(image) != 256)
        return GreyRamp::None;
    bool ascending = true;
    bool descending = true;
    for (int i = 0; i < 256; ++i) {
        const RGBQUAD &entry = palette[i];
        const bool grey = entry.rgbRed == entry.rgbGreen && entry.rgbRed == entry.rgbBlue;
        ascending = ascending && grey && entry.rgbBlue == i;
        descending = descending && grey && entry.rgbBlue == 255 - i;
    }
    return ascending ? GreyRamp::Ascending : descending ? GreyRamp::Descending : GreyRamp::None;
}

// Bytes per pixel of an image our own code resamples, or 0.
int channelsOf(FIBITMAP *image)
{
    if (FreeImage_GetImageType(image) != FIT_BITMAP || !FreeImage_HasPixels(image))
        return 0;
    switch (FreeImage_GetBPP(image)) {
    case 8:
        return !FreeImage_IsTransparent(image) && greyRampOf(image) != GreyRamp::None ? 1 : 0;
    case 24:
        return 3;
    case 32:
        return 4;
    default:
        return 0;
    }
}

const Kernels &kernelsFor(VectorUnit vectors)
{
    if (vectors == VectorUnit::Automatic)
        vectors = widestVectorUnit();
    switch (vectors) {
    case VectorUnit::Avx512:
        return resampling::avx512Kernels();
    case VectorUnit::Avx2:
        return resampling::avx2Kernels();
    default:
        return resampling::sse2Kernels();
    }
}

// The horizontal weights in the layout the kernels read: target pixels in
// entries of `lanes`, each entry's weights tap by tap with the lanes
// innermost, and one uniform number of taps. A window of taps starts at a
// source pixel of its own for every entry (grey) or every target pixel
// (colour); each target pixel's weights sit at their place in its window,
// zeros around them.
struct HorizontalLayout {
    std::vector<int> starts;
    std::vector<double> weights;
    HorizontalPlan plan;
};

HorizontalLayout horizontalLayout(const ResampleWeights &table, int channels, int lanes)
{
    const int targets = table.targetLength();
    const int entries = (targets + lanes - 1) / lanes;
    const bool startPerEntry = channels == 1;
    auto windowOf = [&](int x) { return startPerEntry ? x / lanes : x; };
    const int windows = startPerEntry ? entries : targets;

    std::vector<int> first(windows, table.sourceLength());
    std::vector<int> end(windows, 0);
    for (int x = 0; x < targets; ++x) {
        if (table.count(x) == 0)
            continue;
        first[windowOf(x)] = std::min(first[windowOf(x)], table.first(x));
        end[windowOf(x)] = std::max(end[windowOf(x)], table.first(x) + table.count(x));
    }
    int taps = 0;
    for (int w = 0; w < windows; ++w)
        taps = std::max(taps, end[w] - first[w]);

    HorizontalLayout layout;
    layout.starts.resize(windows);
    // Moved left where a window would run past the row's end; the extra
    // taps in front only add zeros.
    for (int w = 0; w < windows; ++w)
        layout.starts[w] = std::min(first[w], table.sourceLength() - taps);
    layout.weights.assign(std::size_t(entries) * taps * lanes, 0.0);
    for (int x = 0; x < targets; ++x) {
        double *entry = layout.weights.data() + std::size_t(x / lanes) * taps * lanes;
        const int offset = table.first(x) - layout.starts[windowOf(x)];
        for (int i = 0; i < table.count(x); ++i)
            entry[(offset + i) * lanes + x % lanes] = table.weights(x)[i];
    }
    layout.plan = HorizontalPlan{
        channels, table.sourceLength(), targets, lanes, taps, layout.starts.data(), layout.weights.data()};
    return layout;
}

// Everything the row workers share, read only.
struct Job {
    const Kernels &kernels;
    FIBITMAP *source = nullptr;
    FIBITMAP *target = nullptr;
    int channels = 0;
    int sourceWidth = 0;
    int sourceHeight = 0;
    int targetWidth = 0;
    // FreeImage's order: across first when the width shrinks or stays, down
    // first when it grows. Each pass rounds to bytes before the next.
    bool acrossFirst = true;
    std::optional<HorizontalLayout> across = std::nullopt;
    std::optional<ResampleWeights> down = std::nullopt;
    // The horizontal loops read a 24-bit row one byte past its end; the one
    // source row where that byte may lie outside the image is copied first.
    const std::uint8_t *rowWithoutSlack = nullptr;
};

// One thread's buffers, made before it takes its first rows so that the loops
// over the rows never allocate.
struct Scratch {
    std::vector<double> widened;
    std::vector<std::uint8_t> slackRow;
    // Source rows after the horizontal pass, for the vertical one: each slot
    // holds one row, and tags says which.
    std::vector<std::uint8_t> ring;
    std::vector<int> ringTags;
    std::vector<const std::uint8_t *> rows;
    // Rows after the vertical pass, for the horizontal one.
    std::vector<std::uint8_t> downRows;
};

std::size_t rowBytes(const Job &job, int width)
{
    return std::size_t(width) * job.channels;
}

Scratch scratchFor(const Job &job)
{
    const int rowsTogether = job.kernels.rowsTogether;
    // Rows of our own get a spare byte at the end for the horizontal loops.
    Scratch scratch;
    scratch.widened.resize(std::size_t(rowsTogether) * resampling::widenedLength(job.channels, job.sourceWidth));
    if (job.rowWithoutSlack)
        scratch.slackRow.resize(rowBytes(job, job.sourceWidth) + 1);
    if (job.down) {
        scratch.rows.resize(std::max(1, job.down->widest()));
        if (job.acrossFirst && job.across) {
            // Room for the rows made together with a window's last one.
            const int ringSlots = std::min(job.down->widest() + rowsTogether - 1, job.sourceHeight);
            scratch.ring.resize(ringSlots * rowBytes(job, job.targetWidth) + 1);
            scratch.ringTags.assign(ringSlots, -1);
        } else if (!job.acrossFirst) {
            scratch.downRows.resize(rowsTogether * (rowBytes(job, job.sourceWidth) + 1));
        }
    }
    return scratch;
}

const std::uint8_t *scanline(FIBITMAP *image, int y)
{
    return FreeImage_GetScanLine(image, y);
}

// The horizontal pass over up to rowsTogether rows.
void across(const Job &job, Scratch &scratch, const std::uint8_t *const *rows, int count, std::uint8_t *const *targets)
{
    const std::uint8_t *sources[resampling::kMaxRowsTogether];
    for (int r = 0; r < count; ++r) {
        sources[r] = rows[r];
        if (rows[r] == job.rowWithoutSlack) {
            std::copy_n(rows[r], scratch.slackRow.size() - 1, scratch.slackRow.begin());
            sources[r] = scratch.slackRow.data();
        }
    }
    job.kernels.horizontal(sources, count, job.across->plan, scratch.widened.data(), targets);
}

// Source row y after the horizontal pass, made once per worker while it is
// needed, together with the rows after it that the loop takes at once. The
// windows only move down, so those rows are needed next; the ring has room
// for them beside every row of the current window.
const std::uint8_t *acrossRow(const Job &job, Scratch &scratch, int y)
{
    const int ringSlots = int(scratch.ringTags.size());
    auto slotRow = [&](int row) { return scratch.ring.data() + (row % ringSlots) * rowBytes(job, job.targetWidth); };
    if (scratch.ringTags[y % ringSlots] != y) {
        const int count = std::min(job.kernels.rowsTogether, job.sourceHeight - y);
        const std::uint8_t *sources[resampling::kMaxRowsTogether];
        std::uint8_t *targets[resampling::kMaxRowsTogether];
        for (int r = 0; r < count; ++r) {
            sources[r] = scanline(job.source, y + r);
            targets[r] = slotRow(y + r);
            scratch.ringTags[(y + r) % ringSlots] = y + r;
        }
        across(job, scratch, sources, count, targets);
    }
    return slotRow(y);
}

// The vertical pass for target row y, `width` pixels wide.
void downRow(const Job &job, Scratch &scratch, int y, int width, std::uint8_t *target)
{
    const ResampleWeights &weights = *job.down;
    const int first = weights.first(y);
    const int count = weights.count(y);
    for (int k = 0; k < count; ++k) {
        const int sourceRow = first + k;
        scratch.rows[k] =
            job.acrossFirst && job.across ? acrossRow(job, scratch, sourceRow) : scanline(job.source, sourceRow);
    }
    job.kernels.vertical(scratch.rows.data(), weights.weights(y), count, width * job.channels, target);
}

// Target rows [firstRow, endRow), bottom-up scanline numbers as FreeImage
// counts them.
void resampleRows(const Job &job, Scratch &scratch, int firstRow, int endRow)
{
    if (job.acrossFirst && job.down) {
        for (int y = firstRow; y < endRow; ++y)
            downRow(job, scratch, y, job.targetWidth, FreeImage_GetScanLine(job.target, y));
        return;
    }
    // The horizontal pass comes last (or alone): rows go through it together.
    const int rowsTogether = job.kernels.rowsTogether;
    for (int y = firstRow; y < endRow; y += rowsTogether) {
        const int count = std::min(rowsTogether, endRow - y);
        const std::uint8_t *sources[resampling::kMaxRowsTogether];
        std::uint8_t *targets[resampling::kMaxRowsTogether];
        for (int r = 0; r < count; ++r) {
            targets[r] = FreeImage_GetScanLine(job.target, y + r);
            if (job.down) {
                std::uint8_t *row = scratch.downRows.data() + r * (rowBytes(job, job.sourceWidth) + 1);
                downRow(job, scratch, y + r, job.sourceWidth, row);
                sources[r] = row;
            } else {
                sources[r] = scanline(job.source, y + r);
            }
        }
        across(job, scratch, sources, count, targets);
    }
}

// The target rows in as many blocks as the pool has threads, worked through
// by the calling thread and by helpers on the pool's free threads, each with
// buffers of its own. Helpers start only on threads that are free now, never
// queued behind work that may be waiting for this very resampling. Every row
// is computed from the source alone, so the split changes no byte.
void runRows(const Job &job, int targetHeight, QThreadPool *pool)
{
    const int blocks = pool ? std::clamp(pool->maxThreadCount(), 1, targetHeight) : 1;
    std::atomic<int> next = 0;
    // Consecutive blocks continue one another: a thread that takes them in
    // turn reuses the rows its buffers hold.
    const auto workThrough = [&](Scratch &scratch) {
        for (int block; (block = next.fetch_add(1)) < blocks;)
            resampleRows(job, scratch, int(std::int64_t(targetHeight) * block / blocks),
                         int(std::int64_t(targetHeight) * (block + 1) / blocks));
    };
    Scratch scratch = scratchFor(job);
    // Each helper keeps the semaphore alive: its release may come after the
    // wait below has returned.
    const auto helpersDone = std::make_shared<QSemaphore>();
    const auto helper = [&workThrough, &job, helpersDone] {
        try {
            Scratch own = scratchFor(job);
            workThrough(own);
        } catch (const std::bad_alloc &) {
            // The other threads take its blocks.
        }
        helpersDone->release();
    };
    int helpers = 0;
    try {
        while (helpers < blocks - 1 && pool->tryStart(helper))
            ++helpers;
    } catch (const std::bad_alloc &) {
        // Fewer helpers.
    }
    workThrough(scratch);
    helpersDone->acquire(helpers);
}

} // namespace

bool processorHas(VectorUnit vectors)
{
    switch (vectors) {
    case VectorUnit::Avx512:
        return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl")
            && __builtin_cpu_supports("avx512bw");
    case VectorUnit::Avx2:
        return __builtin_cpu_supports("avx2");
    default:
        return true;
    }
}

VectorUnit widestVectorUnit()
{
    for (VectorUnit vectors : {VectorUnit::Avx512, VectorUnit::Avx2})
        if (processorHas(vectors))
            return vectors;
    return VectorUnit::Sse2;
}

bool resamplesItself(FIBITMAP *image, int width, int height, std::int32_t filter)
{
    return image && width > 0 && height > 0 && isReproducedFilter(filter) && channelsOf(image) != 0
        && (unsigned(width) != FreeImage_GetWidth(image) || unsigned(height) != FreeImage_GetHeight(image));
}

FIBITMAP *resample(FIBITMAP *image, int width, int height, std::int32_t filter, const ResampleOptions &options)
{
    if (!resamplesItself(image, width, height, filter))
        return FreeImage_Rescale(image, width, height, FREE_IMAGE_FILTER(filter));

    const int sourceWidth = int(FreeImage_GetWidth(image));
    const int sourceHeight = int(FreeImage_GetHeight(image));
    const int channels = channelsOf(image);
    try {
        Job job{.kernels = kernelsFor(options.vectors),
                .source = image,
                .channels = channels,
                .sourceWidth = sourceWidth,
                .sourceHeight = sourceHeight,
                .targetWidth = width,
                .acrossFirst = width <= sourceWidth};
        if (width != sourceWidth)
            job.across = horizontalLayout(ResampleWeights(filter, sourceWidth, width), channels,
                                          channels == 1 ? job.kernels.greyLanes : job.kernels.colourLanes);
        if (height != sourceHeight)
            job.down.emplace(filter, sourceHeight, height);
        if (channels == 3 && FreeImage_GetPitch(image) == unsigned(3 * sourceWidth))
            job.rowWithoutSlack = scanline(image, sourceHeight - 1);

        Bitmap target(FreeImage_AllocateT(FIT_BITMAP, width, height, int(FreeImage_GetBPP(image))));
        if (!target)
            return nullptr;
        if (channels == 1 && greyRampOf(image) == GreyRamp::Descending) {
            RGBQUAD *palette = FreeImage_GetPalette(target.get());
            for (int i = 0; i < 256; ++i)
                palette[i].rgbRed = palette[i].rgbGreen = palette[i].rgbBlue = BYTE(255 - i);
        }
        job.target = target.get();
        runRows(job, height, options.pool);
        FreeImage_CloneMetadata(target.get(), image);
        return target.release();
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}

} // namespace tovin
