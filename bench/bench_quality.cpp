// How close scaled pictures come to a reference of the same size: PSNR over
// the red, green and blue samples, and SSIM of the luma (Wang, Bovik, Sheikh
// and Simoncelli 2004: 11 x 11 Gaussian window of sigma 1.5, K1 0.01,
// K2 0.03, averaged over every window that lies wholly inside the picture).
//
//   bench_quality REFERENCE IMAGE...
//
// Prints one line per image: "PSNR SSIM name", PSNR in decibels ("inf" for
// identical pixels). Exits 1 when a file cannot be read or the sizes differ.

#include <FreeImage.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

struct Unload {
    void operator()(FIBITMAP *image) const { FreeImage_Unload(image); }
};
using Image = std::unique_ptr<FIBITMAP, Unload>;

Image load24(const char *path)
{
    FREE_IMAGE_FORMAT format = FreeImage_GetFileType(path, 0);
    if (format == FIF_UNKNOWN)
        format = FreeImage_GetFIFFromFilename(path);
    Image loaded(format == FIF_UNKNOWN ? nullptr : FreeImage_Load(format, path, 0));
    if (!loaded)
        return nullptr;
    return Image(FreeImage_ConvertTo24Bits(loaded.get()));
}

struct Plane {
    int width = 0;
    int height = 0;
    std::vector<double> values;
    double &at(int x, int y) { return values[size_t(y) * size_t(width) + size_t(x)]; }
};

Plane luma(FIBITMAP *image)
{
    Plane plane{int(FreeImage_GetWidth(image)), int(FreeImage_GetHeight(image)), {}};
    plane.values.resize(size_t(plane.width) * size_t(plane.height));
    for (int y = 0; y < plane.height; ++y) {
        const BYTE *row = FreeImage_GetScanLine(image, y);
        for (int x = 0; x < plane.width; ++x, row += 3)
            plane.at(x, y) = 0.299 * row[FI_RGBA_RED] + 0.587 * row[FI_RGBA_GREEN] + 0.114 * row[FI_RGBA_BLUE];
    }
    return plane;
}

// The Gaussian-weighted mean of every 11 x 11 window wholly inside: a plane
// smaller by 10 in each side.
Plane windowMeans(const Plane &in)
{
    static const std::vector<double> kernel = [] {
        std::vector<double> weights(11);
        double sum = 0;
        for (int i = 0; i < 11; ++i)
            sum += weights[size_t(i)] = std::exp(-double((i - 5) * (i - 5)) / (2 * 1.5 * 1.5));
        for (double &weight : weights)
            weight /= sum;
        return weights;
    }();
    Plane across{in.width - 10, in.height, std::vector<double>(size_t(in.width - 10) * size_t(in.height))};
    for (int y = 0; y < in.height; ++y) {
        const double *row = &in.values[size_t(y) * size_t(in.width)];
        for (int x = 0; x < across.width; ++x) {
            double sum = 0;
            for (int i = 0; i < 11; ++i)
                sum += kernel[size_t(i)] * row[x + i];
            across.at(x, y) = sum;
        }
    }
    Plane out{across.width, in.height - 10, std::vector<double>(size_t(across.width) * size_t(in.height - 10))};
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            double sum = 0;
            for (int i = 0; i < 11; ++i)
                sum += kernel[size_t(i)] * across.at(x, y + i);
            out.at(x, y) = sum;
        }
    return out;
}

Plane product(const Plane &a, const Plane &b)
{
    Plane out{a.width, a.height, std::vector<double>(a.values.size())};
    for (size_t i = 0; i < a.values.size(); ++i)
        out.values[i] = a.values[i] * b.values[i];
    return out;
}

double ssim(FIBITMAP *reference, FIBITMAP *image)
{
    const Plane x = luma(reference);
    const Plane y = luma(image);
    if (x.width < 11 || x.height < 11)
        return std::nan("");
    const Plane meanX = windowMeans(x);
    const Plane meanY = windowMeans(y);
    const Plane meanXX = windowMeans(product(x, x));
    const Plane meanYY = windowMeans(product(y, y));
    const Plane meanXY = windowMeans(product(x, y));
    const double c1 = (0.01 * 255) * (0.01 * 255);
    const double c2 = (0.03 * 255) * (0.03 * 255);
    double sum = 0;
    for (size_t i = 0; i < meanX.values.size(); ++i) {
        const double mx = meanX.values[i];
        const double my = meanY.values[i];
        const double vx = meanXX.values[i] - mx * mx;
        const double vy = meanYY.values[i] - my * my;
        const double cxy = meanXY.values[i] - mx * my;
        sum += ((2 * mx * my + c1) * (2 * cxy + c2)) / ((mx * mx + my * my + c1) * (vx + vy + c2));
    }
    return sum / double(meanX.values.size());
}

double psnr(FIBITMAP *reference, FIBITMAP *image)
{
    const int width = int(FreeImage_GetWidth(reference));
    const int height = int(FreeImage_GetHeight(reference));
    double squares = 0;
    for (int y = 0; y < height; ++y) {
        const BYTE *a = FreeImage_GetScanLine(reference, y);
        const BYTE *b = FreeImage_GetScanLine(image, y);
        for (int i = 0; i < 3 * width; ++i) {
            const double difference = double(a[i]) - double(b[i]);
            squares += difference * difference;
        }
    }
    const double mse = squares / (3.0 * width * height);
    return mse == 0 ? INFINITY : 10 * std::log10(255.0 * 255.0 / mse);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_quality REFERENCE IMAGE...\n");
        return 2;
    }
    FreeImage_Initialise();
    const Image reference = load24(argv[1]);
    if (!reference) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    int status = 0;
    for (int i = 2; i < argc; ++i) {
        const Image image = load24(argv[i]);
        if (!image || FreeImage_GetWidth(image.get()) != FreeImage_GetWidth(reference.get())
            || FreeImage_GetHeight(image.get()) != FreeImage_GetHeight(reference.get())) {
            std::fprintf(stderr, "cannot read %s, or its size is not the reference's\n", argv[i]);
            status = 1;
            continue;
        }
        std::printf("%.3f %.5f %s\n", psnr(reference.get(), image.get()), ssim(reference.get(), image.get()), argv[i]);
    }
    FreeImage_DeInitialise();
    return status;
}
