// Our resampler against FreeImage_Rescale itself, byte for byte (padding,
// palette, metadata and resolution included), on both vector paths.

#include "bitmapcompare.h"
#include "freeimagebitmap.h"
#include "resampler.h"

#include <QTest>
#include <QThreadPool>

#include <array>
#include <random>
#include <vector>

using namespace tovin;

namespace {

// The last four are handed on to FreeImage_Rescale.
enum class Kind { Grey, GreyReversed, Colour, ColourAlpha, ColourPalette, TransparentGrey, Bits4, Bits16 };
const char *const kKindNames[] = {"grey",          "grey reversed",          "24-bit", "32-bit",
                                  "8-bit palette", "8-bit transparent grey", "4-bit",  "16-bit"};
const int kKindBits[] = {8, 8, 24, 32, 8, 8, 4, 16};
const std::pair<int, const char *> kFilters[] = {{FILTER_BOX, "box"},
                                                 {FILTER_BILINEAR, "bilinear"},
                                                 {FILTER_BICUBIC, "bicubic"},
                                                 {FILTER_BSPLINE, "bspline"}};

// Noise, with runs of black and white so that the filters' negative lobes
// overshoot and the clamping is exercised.
Bitmap randomImage(QSize size, Kind kind, std::uint32_t seed)
{
    Bitmap image(FreeImage_AllocateT(FIT_BITMAP, size.width(), size.height(), kKindBits[int(kind)]));
    std::mt19937 random(seed);
    for (int y = 0; y < size.height(); ++y) {
        BYTE *row = FreeImage_GetScanLine(image.get(), y);
        for (unsigned i = 0; i < FreeImage_GetLine(image.get()); ++i) {
            const std::uint32_t value = random();
            row[i] = (value >> 28) == 0 ? ((value >> 8) & 1 ? 255 : 0) : BYTE(value);
        }
    }
    for (int i = 0; kind == Kind::GreyReversed && i < 256; ++i) {
        RGBQUAD &entry = FreeImage_GetPalette(image.get())[i];
        entry.rgbRed = entry.rgbGreen = entry.rgbBlue = BYTE(255 - i);
    }
    if (kind == Kind::ColourPalette)
        FreeImage_GetPalette(image.get())[5].rgbRed = 200;
    if (kind == Kind::TransparentGrey) {
        std::vector<BYTE> table(256, 255);
        table[0] = 0;
        FreeImage_SetTransparencyTable(image.get(), table.data(), 256);
    }
    FreeImage_SetMetadataKeyValue(FIMD_COMMENTS, image.get(), "Comment", "kept through resampling");
    FreeImage_SetDotsPerMeterX(image.get(), 2835 + seed % 7);
    FreeImage_SetDotsPerMeterY(image.get(), 3780);
    return image;
}

// Edge cases by name, then random pairs from a fixed seed: reductions,
// enlargements, one side up and the other down, and reductions by one pixel.
QList<std::pair<QSize, QSize>> sizePairs()
{
    QList<std::pair<QSize, QSize>> pairs{
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
        const int w = between(1, 256);
        const int h = between(1, 256);
        const QSize targets[] = {{between(1, w), between(1, h)},
                                 {between(w, 3 * w + 4), between(h, 3 * h + 4)},
                                 {between(1, 2 * w + 2), between(1, 2 * h + 2)},
                                 {std::max(1, w - 1), std::max(1, h - int(random() % 2))}};
        if (targets[i % 4] != QSize(w, h))
            pairs.append({{w, h}, targets[i % 4]});
    }
    return pairs;
}

} // namespace

class ResamplerTest : public QObject
{
    Q_OBJECT

    QList<VectorUnit> m_paths{VectorUnit::Sse2};

private slots:
    void initTestCase()
    {
        FreeImage_Initialise(FALSE);
        for (VectorUnit vectors : {VectorUnit::Avx2, VectorUnit::Avx512})
            if (processorHas(vectors))
                m_paths.append(vectors);
    }

    void sameAsFreeImage_data()
    {
        QTest::addColumn<QSize>("source");
        QTest::addColumn<QSize>("target");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("filter");
        QTest::addColumn<int>("threads");
        QTest::addColumn<bool>("itself");
        auto addRow = [](QSize source, QSize target, Kind kind, std::pair<int, const char *> filter, int threads,
                         bool itself = true) {
            QTest::addRow("%dx%d to %dx%d %s %s %d thread(s)", source.width(), source.height(), target.width(),
                          target.height(), kKindNames[int(kind)], filter.second, threads)
                << source << target << int(kind) << filter.first << threads << itself;
        };
        int row = 0;
        for (const auto &[source, target] : sizePairs()) {
            for (Kind kind : {Kind::Grey, Kind::GreyReversed, Kind::Colour, Kind::ColourAlpha}) {
                // The reversed ramp only differs in its palette: fewer cases.
                if (kind == Kind::GreyReversed && row % 5 != 0)
                    continue;
                for (const auto &filter : kFilters)
                    addRow(source, target, kind, filter, 1 + row++ % 3);
            }
        }
        // Photograph sizes, and rows shared out among threads (more than rows too).
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
        // What it does not reproduce itself it hands on.
        addRow({37, 23}, {20, 15}, Kind::Colour, {FILTER_CATMULLROM, "Catmull-Rom"}, 1, false);
        addRow({37, 23}, {20, 15}, Kind::Colour, {FILTER_LANCZOS3, "Lanczos"}, 1, false);
        addRow({37, 23}, {37, 23}, Kind::Colour, bicubic, 1, false);
        for (Kind kind : {Kind::ColourPalette, Kind::TransparentGrey, Kind::Bits4, Kind::Bits16})
            addRow({37, 23}, {20, 15}, kind, bicubic, 1, false);
    }

    void sameAsFreeImage()
    {
        QFETCH(QSize, source);
        QFETCH(QSize, target);
        QFETCH(int, kind);
        QFETCH(int, filter);
        QFETCH(int, threads);
        QFETCH(bool, itself);
        const Bitmap image = randomImage(source, Kind(kind), std::uint32_t(qHash(QTest::currentDataTag())));
        QCOMPARE(resamplesItself(image.get(), target.width(), target.height(), filter), itself);
        const Bitmap expected(
            FreeImage_Rescale(image.get(), target.width(), target.height(), FREE_IMAGE_FILTER(filter)));
        QVERIFY(expected);
        QThreadPool pool;
        pool.setMaxThreadCount(threads);
        for (VectorUnit path : m_paths) {
            const Bitmap actual(resample(image.get(), target.width(), target.height(), filter, {&pool, path}));
            const QString problem = test::bitmapDifference(expected.get(), actual.get(), true);
            QVERIFY2(problem.isEmpty(), qPrintable(QString("vector path %1: ").arg(int(path)) + problem));
        }
    }

    // The pool's own tasks resample with it while each of its threads is
    // busy and more tasks wait: none waits for a thread the pool has not got.
    void resamplesInsideItsBusyPool()
    {
        const Bitmap image = randomImage({413, 297}, Kind::Colour, 7);
        const Bitmap expected(FreeImage_Rescale(image.get(), 200, 141, FILTER_BICUBIC));
        QThreadPool pool;
        pool.setMaxThreadCount(2);
        std::array<QString, 4> problems;
        for (QString &problem : problems) {
            pool.start([&] {
                const Bitmap actual(resample(image.get(), 200, 141, FILTER_BICUBIC, {&pool}));
                problem = test::bitmapDifference(expected.get(), actual.get(), true);
            });
        }
        QVERIFY(pool.waitForDone(60000));
        for (const QString &problem : problems)
            QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }
};

QTEST_GUILESS_MAIN(ResamplerTest)
#include "tst_resampler.moc"
