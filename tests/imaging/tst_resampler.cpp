// Our resampler against FreeImage_Rescale itself, byte for byte: random
// images over hundreds of size pairs, every filter the program offers, grey,
// colour and colour with alpha, both vector paths and several thread counts.
// Any difference in any byte, palette entry, metadata or resolution fails.

#include "bitmapcompare.h"
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
const char *const kKindNames[] = {"grey", "grey reversed", "24-bit", "32-bit"};
const int kKindBits[] = {8, 8, 24, 32};
const std::pair<int, const char *> kFilters[] = {{FILTER_BOX, "box"},
                                                 {FILTER_BILINEAR, "bilinear"},
                                                 {FILTER_BICUBIC, "bicubic"},
                                                 {FILTER_BSPLINE, "bspline"}};

// Noise, with runs of black and white now and then so that the filters'
// negative lobes overshoot and the clamping is exercised. The padding at the
// end of each scanline is left as FreeImage made it.
Image randomImage(QSize size, Kind kind, std::uint32_t seed)
{
    Image image(FreeImage_AllocateT(FIT_BITMAP, size.width(), size.height(), kKindBits[int(kind)]));
    std::mt19937 random(seed);
    const int bytes = size.width() * kKindBits[int(kind)] / 8;
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
    void initTestCase()
    {
        FreeImage_Initialise(FALSE);
        m_paths = {VectorUnit::Sse2};
        if (processorHasAvx2())
            m_paths.append(VectorUnit::Avx2);
        else
            qWarning("This processor has no AVX2: only the SSE2 path is checked.");
    }

    void cleanupTestCase()
    {
        qInfo("%d resamplings compared byte for byte with FreeImage_Rescale", m_cases);
        FreeImage_DeInitialise();
    }

    void sameAsFreeImage_data()
    {
        QTest::addColumn<QSize>("source");
        QTest::addColumn<QSize>("target");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("filter");
        QTest::addColumn<int>("threads");
        auto addRow = [](QSize source, QSize target, Kind kind, std::pair<int, const char *> filter, int threads) {
            QTest::addRow("%dx%d to %dx%d %s %s %d thread(s)", source.width(), source.height(), target.width(),
                          target.height(), kKindNames[int(kind)], filter.second, threads)
                << source << target << int(kind) << filter.first << threads;
        };
        int row = 0;
        for (const SizePair &pair : sizePairs()) {
            for (Kind kind : {Kind::Grey, Kind::GreyReversed, Kind::Colour, Kind::ColourAlpha}) {
                // The reversed ramp only differs in its palette: fewer cases.
                if (kind == Kind::GreyReversed && row % 5 != 0)
                    continue;
                for (const auto &filter : kFilters)
                    addRow(pair.source, pair.target, kind, filter, 1 + row++ % 3);
            }
        }
        // Photograph sizes, and rows shared out among threads (more threads than
        // rows included).
        const auto box = kFilters[0], bicubic = kFilters[2], bspline = kFilters[3];
        for (Kind kind : {Kind::Grey, Kind::Colour, Kind::ColourAlpha})
            addRow({4000, 3000}, {2000, 1500}, kind, bicubic, 2);
        addRow({4000, 3000}, {2000, 1500}, Kind::Colour, box, 2);
        addRow({3000, 4000}, {1, 1}, Kind::Colour, bicubic, 2);
        addRow({1000, 750}, {4000, 3000}, Kind::Colour, bspline, 2);
        for (int threads : {1, 2, 3, 8}) {
            addRow({413, 297}, {200, 141}, Kind::Colour, bicubic, threads);
            addRow({97, 61}, {301, 190}, Kind::Colour, bicubic, threads);
            addRow({50, 9}, {31, 2}, Kind::Colour, bicubic, threads);
        }
    }

    void sameAsFreeImage()
    {
        QFETCH(QSize, source);
        QFETCH(QSize, target);
        QFETCH(int, kind);
        QFETCH(int, filter);
        QFETCH(int, threads);
        const Image image = randomImage(source, Kind(kind), std::uint32_t(qHash(QTest::currentDataTag())));
        checkAllPaths(image.get(), target, filter, threads);
    }

    void handsOnWhatItDoesNotReproduce_data()
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

    void handsOnWhatItDoesNotReproduce()
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
        const Image expected(
            FreeImage_Rescale(image.get(), target.width(), target.height(), FREE_IMAGE_FILTER(filter)));
        const Image actual(resample(image.get(), target.width(), target.height(), filter));
        QCOMPARE(test::bitmapDifference(expected.get(), actual.get(), true), QString());
    }

private:
    // Compares our result on every available vector path with FreeImage's.
    void checkAllPaths(FIBITMAP *source, QSize target, int filter, int threads)
    {
        QVERIFY(resamplesItself(source, target.width(), target.height(), filter));
        const Image expected(FreeImage_Rescale(source, target.width(), target.height(), FREE_IMAGE_FILTER(filter)));
        QVERIFY(expected);
        for (VectorUnit path : m_paths) {
            const Image actual(resample(source, target.width(), target.height(), filter, {threads, path}));
            const QString problem = test::bitmapDifference(expected.get(), actual.get(), true);
            QVERIFY2(
                problem.isEmpty(),
                qPrintable(QStringLiteral("%1 path: %2").arg(path == VectorUnit::Avx2 ? "AVX2" : "SSE2", problem)));
            ++m_cases;
        }
    }

    QList<VectorUnit> m_paths;
    int m_cases = 0;
};

QTEST_GUILESS_MAIN(ResamplerTest)
#include "tst_resampler.moc"
