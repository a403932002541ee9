// Times our resampler against FreeImage_Rescale on the same image, round by
// round, the two taking turns to go first. Prints the median wall time and
// the median processor time of each, their ratios and whether the bytes are
// the same. On a busy machine the processor times are the steadier measure.
//
//   bench_resampler [--rounds N] [--image FILE.jpg]
//
// Without --image the source is noise made here: the arithmetic does not
// depend on the pixels, so neither does the time.

#include "resampler.h"

#include <FreeImage.h>

#include <QThreadPool>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <random>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Case {
    const char *name;
    int bits;
    int width;
    int height;
    int filter;
    int threads;
};

const char *const kVectorNames[] = {"automatic", "SSE2", "AVX2", "AVX-512"};

const Case kCases[] = {
    {"4000x3000 -> 2000x1500 bicubic, 24-bit", 24, 2000, 1500, FILTER_BICUBIC, 1},
    {"4000x3000 -> 2000x1500 box, 24-bit", 24, 2000, 1500, FILTER_BOX, 1},
    {"4000x3000 -> 2000x1500 bilinear, 24-bit", 24, 2000, 1500, FILTER_BILINEAR, 1},
    {"4000x3000 -> 2000x1500 bspline, 24-bit", 24, 2000, 1500, FILTER_BSPLINE, 1},
    {"4000x3000 -> 2000x1500 bicubic, 32-bit", 32, 2000, 1500, FILTER_BICUBIC, 1},
    {"4000x3000 -> 2000x1500 bicubic, grey", 8, 2000, 1500, FILTER_BICUBIC, 1},
    {"4000x3000 -> 1632x1224 bicubic, 24-bit", 24, 1632, 1224, FILTER_BICUBIC, 1},
    {"4000x3000 -> 400x300 bicubic, 24-bit (album thumbnail)", 24, 400, 300, FILTER_BICUBIC, 1},
    {"4000x3000 -> 6000x4500 bicubic, 24-bit", 24, 6000, 4500, FILTER_BICUBIC, 1},
    {"4000x3000 -> 2000x1500 bicubic, 24-bit, 2 threads", 24, 2000, 1500, FILTER_BICUBIC, 2},
};

FIBITMAP *noise(int bits)
{
    FIBITMAP *image = FreeImage_Allocate(4000, 3000, bits);
    std::minstd_rand random(1);
    const unsigned line = FreeImage_GetLine(image);
    for (int y = 0; y < 3000; ++y) {
        BYTE *row = FreeImage_GetScanLine(image, y);
        for (unsigned i = 0; i < line; ++i)
            row[i] = BYTE(random() >> 7);
    }
    return image;
}

FIBITMAP *sourceFor(int bits, const char *path)
{
    if (!path)
        return noise(bits);
    FIBITMAP *loaded = FreeImage_Load(FIF_JPEG, path, 0);
    if (!loaded)
        return nullptr;
    FIBITMAP *sized = FreeImage_GetWidth(loaded) == 4000 && FreeImage_GetHeight(loaded) == 3000
        ? FreeImage_Clone(loaded)
        : FreeImage_Rescale(loaded, 4000, 3000, FILTER_BICUBIC);
    FreeImage_Unload(loaded);
    FIBITMAP *converted = bits == 8 ? FreeImage_ConvertToGreyscale(sized)
        : bits == 32                ? FreeImage_ConvertTo32Bits(sized)
                                    : FreeImage_ConvertTo24Bits(sized);
    FreeImage_Unload(sized);
    return converted;
}

bool sameBytes(FIBITMAP *a, FIBITMAP *b)
{
    if (!a || !b || FreeImage_GetPitch(a) != FreeImage_GetPitch(b) || FreeImage_GetHeight(a) != FreeImage_GetHeight(b))
        return false;
    for (unsigned y = 0; y < FreeImage_GetHeight(a); ++y) {
        if (std::memcmp(FreeImage_GetScanLine(a, int(y)), FreeImage_GetScanLine(b, int(y)), FreeImage_GetPitch(a)) != 0)
            return false;
    }
    return true;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double processorMs()
{
    timespec now;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

struct Times {
    std::vector<double> wall;
    std::vector<double> processor;
};

template<typename Run> FIBITMAP *timed(Run run, Times &times)
{
    const double processorStart = processorMs();
    const Clock::time_point start = Clock::now();
    FIBITMAP *result = run();
    times.wall.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    times.processor.push_back(processorMs() - processorStart);
    return result;
}

} // namespace

int main(int argc, char **argv)
{
    int rounds = 7;
    const char *imagePath = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--rounds") && i + 1 < argc)
            rounds = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--image") && i + 1 < argc)
            imagePath = argv[++i];
        else {
            std::fprintf(stderr, "usage: %s [--rounds N] [--image FILE.jpg]\n", argv[0]);
            return 2;
        }
    }
    FreeImage_Initialise(FALSE);
    std::printf("vector path: %s; %d round(s), FreeImage and ours taking turns to go first\n\n",
                kVectorNames[int(tovin::widestVectorUnit())], rounds);
    std::printf("%-52s %26s   %26s   %6s\n", "", "wall ms (median)", "processor ms (median)", "");
    std::printf("%-52s %9s %8s %7s   %9s %8s %7s   %6s\n", "case", "FreeImage", "ours", "ratio", "FreeImage", "ours",
                "ratio", "bytes");

    bool allSame = true;
    for (const Case &c : kCases) {
        FIBITMAP *source = sourceFor(c.bits, imagePath);
        if (!source) {
            std::fprintf(stderr, "cannot read %s\n", imagePath);
            return 1;
        }
        Times theirs;
        Times ours;
        bool same = true;
        QThreadPool pool;
        pool.setMaxThreadCount(c.threads);
        for (int round = 0; round < rounds; ++round) {
            FIBITMAP *expected = nullptr;
            FIBITMAP *actual = nullptr;
            auto runTheirs = [&] {
                expected = timed(
                    [&] { return FreeImage_Rescale(source, c.width, c.height, FREE_IMAGE_FILTER(c.filter)); }, theirs);
            };
            auto runOurs = [&] {
                actual = timed([&] { return tovin::resample(source, c.width, c.height, c.filter, {&pool}); }, ours);
            };
            if (round % 2) {
                runOurs();
                runTheirs();
            } else {
                runTheirs();
                runOurs();
            }
            same = same && sameBytes(expected, actual);
            FreeImage_Unload(expected);
            FreeImage_Unload(actual);
        }
        FreeImage_Unload(source);
        allSame = allSame && same;
        const double wallTheirs = median(theirs.wall);
        const double wallOurs = median(ours.wall);
        const double processorTheirs = median(theirs.processor);
        const double processorOurs = median(ours.processor);
        std::printf("%-52s %9.1f %8.1f %6.2fx   %9.1f %8.1f %6.2fx   %6s\n", c.name, wallTheirs, wallOurs,
                    wallTheirs / wallOurs, processorTheirs, processorOurs, processorTheirs / processorOurs,
                    same ? "same" : "DIFFER");
        std::fflush(stdout);
    }
    FreeImage_DeInitialise();
    return allSame ? 0 : 1;
}
