// Our resampler against FreeImage_Rescale itself, byte for byte: random
// images over hundreds of size pairs, every filter the program offers, grey,
// colour and colour with alpha, both vector paths and several thread counts.
// Any difference in any byte, palette entry, metadata or resolution fails.

#include "resampler.h"

#include <FreeImage.h>

#include <QTest>

#include <memory>
#include <random>

using namespace tovin;

namespace {

struct Release {
    void operator()(FIBITMAP *bitmap) const { FreeImage_Unload(bitmap); }
};
using Image = std::unique_ptr<FIBITMAP, Release>;

enum class Kind { Grey, GreyReversed, Colour, ColourAlpha };

const int kFilters[] = {FILTER_BOX, FILTER_BILINEAR, FILTER_BICUBIC, FILTER_BSPLINE};

int bitsOf(Kind kind)
{
    switch (kind) {
    case Kind::Grey:
    case Kind::GreyReversed:
        return 8;
    case Kind::Colour:
        return 24;
    case Kind::ColourAlpha:
        return 32;
    }
    return 0;
}

QString nameOf(Kind kind)
{
    static const char *const names[] = {"grey", "grey reversed", "24-bit", "32-bit"};
    return QString::fromLatin1(names[int(kind)]);
}

QString filterName(int filter)
{
    switch (filter) {
    case FILTER_BOX:
        return QStringLiteral("box");
    case FILTER_BILINEAR:
        return QStringLiteral("bilinear");
    case FILTER_BICUBIC:
        return QStringLiteral("bicubic");
    default:
        return QStringLiteral("bspline");
    }
}

// Noise, with runs of black and white now and then so that the filters'
// negative lobes overshoot and the clamping is exercised. The padding at the
// end of each scanline is left as FreeImage made it.
Image randomImage(QSize size, Kind kind, std::uint32_t seed)
{
    Image image(FreeImage_AllocateT(FIT_BITMAP, size.width(), size.height(), bitsOf(kind)));
    std::mt19937 random(seed);
    const int bytes = size.width() * bitsOf(kind) / 8;
    for (int y = 0; y < size.height(); ++y) {
        BYTE *row = FreeImage_GetScanLine(image.get(), y);
        for (int i = 0; i < bytes; ++i) {
            const std::uint32_t value = random();
            row[i] = (value >> 28) == 0 ? ((value >> 8) & 1 ? 255 : 0) : BYTE(value);
        }
    }
    if (kind == Kind::GreyReversed) {
        RGBQUAD *palette = FreeImage_GetPalette(image.get());
        for (int i = 0; i < 256; ++i)
            palette[i].rgbRed = palette[i].rgbGreen = palette[i].rgbBlue = BYTE(255 - i);
    }
    FreeImage_SetMetadataKeyValue(FIMD_COMMENTS, image.get(), "Comment", "kept through resampling");
    FreeImage_SetDotsPerMeterX(image.get(), 2835 + seed % 7);
    FreeImage_SetDotsPerMeterY(image.get(), 3780);
    return image;
}

QString commentOf(FIBITMAP *image)
{
    FITAG *tag = nullptr;
    if (!FreeImage_GetMetadata(FIMD_COMMENTS, image, "Comment", &tag) || !tag)
        return {};
    return QString::fromLatin1(static_cast<const char *>(FreeImage_GetTagValue(tag)));
}

// The first difference between two images, or an empty text.
QString difference(FIBITMAP *expected, FIBITMAP *actual)
{
    if (!expected || !actual)
        return expected == actual ? QString() : QStringLiteral("only one of the two is an image");
    if (FreeImage_GetWidth(expected) != FreeImage_GetWidth(actual)
        || FreeImage_GetHeight(expected) != FreeImage_GetHeight(actual)
        || FreeImage_GetBPP(expected) != FreeImage_GetBPP(actual)
        || FreeImage_GetPitch(expected) != FreeImage_GetPitch(actual)
        || FreeImage_GetImageType(expected) != FreeImage_GetImageType(actual))
        return QStringLiteral("different shape");
    for (unsigned y = 0; y < FreeImage_GetHeight(expected); ++y) {
        const BYTE *a = FreeImage_GetScanLine(expected, int(y));
        const BYTE *b = FreeImage_GetScanLine(actual, int(y));
        for (unsigned i = 0; i < FreeImage_GetPitch(expected); ++i) {
            if (a[i] != b[i])
                return QStringLiteral("scanline %1 byte %2: %3 instead of %4").arg(y).arg(i).arg(b[i]).arg(a[i]);
        }
    }
    if (FreeImage_GetColorsUsed(expected) != FreeImage_GetColorsUsed(actual)
        || (FreeImage_GetColorsUsed(expected) != 0
            && memcmp(FreeImage_GetPalette(expected), FreeImage_GetPalette(actual),
                      FreeImage_GetColorsUsed(expected) * sizeof(RGBQUAD))
                != 0))
        return QStringLiteral("different palette");
    if (FreeImage_GetColorType(expected) != FreeImage_GetColorType(actual)
        || FreeImage_IsTransparent(expected) != FreeImage_IsTransparent(actual))
        return QStringLiteral("different colour type");
    if (FreeImage_GetDotsPerMeterX(expected) != FreeImage_GetDotsPerMeterX(actual)
        || FreeImage_GetDotsPerMeterY(expected) != FreeImage_GetDotsPerMeterY(actual))
        return QStringLiteral("different resolution");
    for (int model = FIMD_COMMENTS; model <= FIMD_EXIF_RAW; ++model) {
        if (FreeImage_GetMetadataCount(FREE_IMAGE_MDMODEL(model), expected)
            != FreeImage_GetMetadataCount(FREE_IMAGE_MDMODEL(model), actual))
            return QStringLiteral("different metadata in model %1").arg(model);
    }
    if (commentOf(expected) != commentOf(actual))
        return QStringLiteral("different comment");
    return {};
}

struct SizePair {
    QSize source;
    QSize target;
};

// Edge cases by name, then random pairs from a fixed seed: reductions,
// enlargements, one side up and the other down, and reductions by one pixel.
QList<SizePair> sizePairs()
{
    QList<SizePair> pairs{
        {{1, 1}, {3, 2}},         {{1, 1}, {1, 9}},         {{5, 3}, {1, 1}},       {{1, 40}, {1, 17}},
        {{40, 1}, {17, 1}},       {{1, 17}, {1, 40}},       {{17, 1}, {40, 1}},     {{1, 30}, {30, 1}},
        {{30, 1}, {1, 30}},       {{2, 2}, {1, 1}},         {{3, 3}, {2, 2}},       {{7, 5}, {13, 11}},
        {{13, 11}, {7, 5}},       {{1000, 7}, {999, 7}},    {{7, 1000}, {7, 999}},  {{1000, 9}, {999, 8}},
        {{3000, 2}, {1, 1}},      {{2, 3000}, {1, 1}},      {{3000, 3}, {1, 3}},    {{3, 3000}, {3, 1}},
        {{301, 203}, {150, 101}}, {{64, 64}, {1024, 1024}}, {{5, 5}, {1000, 3}},    {{255, 257}, {256, 256}},
        {{97, 89}, {97, 45}},     {{97, 89}, {45, 89}},     {{97, 89}, {200, 89}},  {{97, 89}, {97, 200}},
        {{640, 480}, {64, 48}},   {{640, 480}, {1, 480}},   {{640, 480}, {640, 1}}, {{33, 65}, {66, 130}},
    };
    std::mt19937 random(20241207);
    auto between = [&random](int low, int high) { return low + int(random() % std::uint32_t(high - low + 1)); };
    for (int i = 0; i < 128; ++i) {
        const QSize source(between(1, 256), between(1, 256));
        QSize target;
        switch (i % 4) {
        case 0: // reduction
            target = QSize(between(1, source.width()), between(1, source.height()));
            break;
        case 1: // enlargement
            target = QSize(between(source.width(), 3 * source.width() + 4),
                           between(source.height(), 3 * source.height() + 4));
            break;
        case 2: // one side up, the other down
            target = QSize(between(1, 2 * source.width() + 2), between(1, 2 * source.height() + 2));
            break;
        default: // a pixel less
            target = QSize(std::max(1, source.width() - 1), std::max(1, source.height() - int(random() % 2)));
            break;
        }
        if (target != source)
            pairs.append({source, target});
    }
    return pairs;
}

} // namespace

class ResamplerTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void sameAsFreeImage_data();
    void sameAsFreeImage();
    void largeImages_data();
    void largeImages();
    void anyThreadCount_data();
    void anyThreadCount();
    void handsOnWhatItDoesNotReproduce_data();
    void handsOnWhatItDoesNotReproduce();

private:
    // Compares our result on every available vector path with FreeImage's.
    void checkAllPaths(FIBITMAP *source, QSize target, int filter, int threads);

    QList<VectorUnit> m_paths;
    int m_cases = 0;
};

void ResamplerTest::initTestCase()
{
    FreeImage_Initialise(FALSE);
    m_paths = {VectorUnit::Sse2};
    if (processorHasAvx2())
        m_paths.append(VectorUnit::Avx2);
    else
        qWarning("This processor has no AVX2: only the SSE2 path is checked.");
}

void ResamplerTest::cleanupTestCase()
{
    qInfo("%d resamplings compared byte for byte with FreeImage_Rescale", m_cases);
    FreeImage_DeInitialise();
}

void ResamplerTest::checkAllPaths(FIBITMAP *source, QSize target, int filter, int threads)
{
    QVERIFY(resamplesItself(source, target.width(), target.height(), filter));
    const Image expected(FreeImage_Rescale(source, target.width(), target.height(), FREE_IMAGE_FILTER(filter)));
    QVERIFY(expected);
    for (VectorUnit path : m_paths) {
        const Image actual(resample(source, target.width(), target.height(), filter, {threads, path}));
        const QString problem = difference(expected.get(), actual.get());
        QVERIFY2(problem.isEmpty(),
                 qPrintable(QStringLiteral("%1 path: %2").arg(path == VectorUnit::Avx2 ? "AVX2" : "SSE2", problem)));
        ++m_cases;
    }
}

void ResamplerTest::sameAsFreeImage_data()
{
    QTest::addColumn<QSize>("source");
    QTest::addColumn<QSize>("target");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("filter");
    QTest::addColumn<int>("threads");

    int row = 0;
    for (const SizePair &pair : sizePairs()) {
        for (Kind kind : {Kind::Grey, Kind::GreyReversed, Kind::Colour, Kind::ColourAlpha}) {
            // The reversed ramp only differs in its palette: fewer cases.
            if (kind == Kind::GreyReversed && row % 5 != 0)
                continue;
            for (int filter : kFilters) {
                const int threads = 1 + row % 3;
                QTest::addRow("%dx%d to %dx%d %s %s %d thread(s)", pair.source.width(), pair.source.height(),
                              pair.target.width(), pair.target.height(), qPrintable(nameOf(kind)),
                              qPrintable(filterName(filter)), threads)
                    << pair.source << pair.target << int(kind) << filter << threads;
                ++row;
            }
        }
    }
}

void ResamplerTest::sameAsFreeImage()
{
    QFETCH(QSize, source);
    QFETCH(QSize, target);
    QFETCH(int, kind);
    QFETCH(int, filter);
    QFETCH(int, threads);
    const Image image = randomImage(source, Kind(kind), std::uint32_t(qHash(QTest::currentDataTag())));
    checkAllPaths(image.get(), target, filter, threads);
}

void ResamplerTest::largeImages_data()
{
    QTest::addColumn<QSize>("source");
    QTest::addColumn<QSize>("target");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("filter");

    for (int filter : {FILTER_BOX, FILTER_BICUBIC})
        QTest::addRow("4000x3000 to 2000x1500 24-bit %s", qPrintable(filterName(filter)))
            << QSize(4000, 3000) << QSize(2000, 1500) << int(Kind::Colour) << filter;
    QTest::newRow("4000x3000 to 2000x1500 grey bicubic")
        << QSize(4000, 3000) << QSize(2000, 1500) << int(Kind::Grey) << int(FILTER_BICUBIC);
    QTest::newRow("4000x3000 to 2000x1500 32-bit bicubic")
        << QSize(4000, 3000) << QSize(2000, 1500) << int(Kind::ColourAlpha) << int(FILTER_BICUBIC);
    QTest::newRow("3000x4000 to 1x1 24-bit bicubic")
        << QSize(3000, 4000) << QSize(1, 1) << int(Kind::Colour) << int(FILTER_BICUBIC);
    QTest::newRow("1000x750 to 4000x3000 24-bit bspline")
        << QSize(1000, 750) << QSize(4000, 3000) << int(Kind::Colour) << int(FILTER_BSPLINE);
}

void ResamplerTest::largeImages()
{
    QFETCH(QSize, source);
    QFETCH(QSize, target);
    QFETCH(int, kind);
    QFETCH(int, filter);
    const Image image = randomImage(source, Kind(kind), 7);
    checkAllPaths(image.get(), target, filter, 2);
}

void ResamplerTest::anyThreadCount_data()
{
    QTest::addColumn<QSize>("source");
    QTest::addColumn<QSize>("target");
    QTest::addColumn<int>("threads");

    for (int threads : {1, 2, 3, 8}) {
        QTest::addRow("reduction, %d thread(s)", threads) << QSize(413, 297) << QSize(200, 141) << threads;
        QTest::addRow("enlargement, %d thread(s)", threads) << QSize(97, 61) << QSize(301, 190) << threads;
        QTest::addRow("more threads than rows, %d", threads) << QSize(50, 9) << QSize(31, 2) << threads;
    }
}

void ResamplerTest::anyThreadCount()
{
    QFETCH(QSize, source);
    QFETCH(QSize, target);
    QFETCH(int, threads);
    const Image image = randomImage(source, Kind::Colour, 11);
    checkAllPaths(image.get(), target, FILTER_BICUBIC, threads);
}

void ResamplerTest::handsOnWhatItDoesNotReproduce_data()
{
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("filter");
    QTest::addColumn<QSize>("target");
    QTest::addColumn<bool>("colourPalette");
    QTest::addColumn<bool>("transparent");

    QTest::newRow("Catmull-Rom filter") << 24 << int(FILTER_CATMULLROM) << QSize(20, 15) << false << false;
    QTest::newRow("Lanczos filter") << 24 << int(FILTER_LANCZOS3) << QSize(20, 15) << false << false;
    QTest::newRow("same size") << 24 << int(FILTER_BICUBIC) << QSize(37, 23) << false << false;
    QTest::newRow("8-bit colour palette") << 8 << int(FILTER_BICUBIC) << QSize(20, 15) << true << false;
    QTest::newRow("8-bit transparent grey") << 8 << int(FILTER_BICUBIC) << QSize(20, 15) << false << true;
    QTest::newRow("4-bit") << 4 << int(FILTER_BICUBIC) << QSize(20, 15) << false << false;
    QTest::newRow("16-bit") << 16 << int(FILTER_BICUBIC) << QSize(20, 15) << false << false;
}

void ResamplerTest::handsOnWhatItDoesNotReproduce()
{
    QFETCH(int, bits);
    QFETCH(int, filter);
    QFETCH(QSize, target);
    QFETCH(bool, colourPalette);
    QFETCH(bool, transparent);

    const Image image(FreeImage_Allocate(37, 23, bits));
    std::mt19937 random(3);
    for (int y = 0; y < 23; ++y) {
        BYTE *row = FreeImage_GetScanLine(image.get(), y);
        for (unsigned i = 0; i < FreeImage_GetLine(image.get()); ++i)
            row[i] = BYTE(random());
    }
    if (colourPalette)
        FreeImage_GetPalette(image.get())[5].rgbRed = 200;
    if (transparent) {
        BYTE table[256];
        std::fill(std::begin(table), std::end(table), BYTE(255));
        table[0] = 0;
        FreeImage_SetTransparencyTable(image.get(), table, 256);
    }

    QVERIFY(!resamplesItself(image.get(), target.width(), target.height(), filter));
    const Image expected(FreeImage_Rescale(image.get(), target.width(), target.height(), FREE_IMAGE_FILTER(filter)));
    const Image actual(resample(image.get(), target.width(), target.height(), filter));
    QCOMPARE(difference(expected.get(), actual.get()), QString());
}

QTEST_GUILESS_MAIN(ResamplerTest)
#include "tst_resampler.moc"
