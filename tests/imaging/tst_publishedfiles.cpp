// What the engine writes for the web, on photos made as cameras write them:
// the colour profile kept or converted to sRGB, private metadata left out,
// slides fitted within a square.

#include "cameraphotos.h"
#include "colourprofile.h"
#include "imageengine.h"
#include "jpegdecoder.h"
#include "testenvironment.h"
#include "testimages.h"

#include <FreeImage.h>

#include <QTemporaryDir>
#include <QTest>

#include <array>

using namespace tovin;
using test::readBytes;

Q_DECLARE_METATYPE(tovin::ScaleSettings)

namespace {

ScaleSettings scaled(double percent, int quality)
{
    ScaleSettings settings;
    settings.widthPercent = settings.heightPercent = percent;
    settings.output.saveFlags = quality;
    return settings;
}

ScaleSettings with(ScaleSettings settings, const std::function<void(ScaleSettings &)> &change)
{
    change(settings);
    return settings;
}

// The paths an image takes through the engine.
void addPaths()
{
    QTest::addColumn<ScaleSettings>("settings");
    const ScaleSettings exact = scaled(50, 85);
    QTest::newRow("exact path") << exact;
    QTest::newRow("fast path") << with(exact, [](ScaleSettings &s) { s.fastReduction = true; });
    QTest::newRow("brightness, no resampling") << with(scaled(100, 85), [](ScaleSettings &s) { s.brightness = 10; });
    QTest::newRow("fitted") << with(scaled(100, 85), [](ScaleSettings &s) { s.fitWithin = 500; });
    QTest::newRow("copy") << scaled(100, 0);
}

// Patches in Adobe RGB, and what `vips icc_transform patches.v out.v srgb
// --input-profile adobe.icc --intent perceptual` (libvips 8.14) gives for
// them with the profile adobeRgbProfile() builds.
struct Patch {
    std::array<int, 3> adobe;
    std::array<int, 3> srgb;
};
constexpr std::array<Patch, 7> kPatches{{{{200, 40, 40}, {233, 35, 35}},
                                         {{40, 180, 60}, {0, 181, 42}},
                                         {{50, 70, 200}, {34, 68, 205}},
                                         {{128, 128, 128}, {129, 129, 129}},
                                         {{0, 255, 0}, {0, 255, 0}},
                                         {{255, 255, 255}, {255, 255, 255}},
                                         {{20, 20, 20}, {12, 12, 12}}}};
constexpr int kPatchSide = 32;

bool writePatches(const QString &path, const QByteArray &profile)
{
    FIBITMAP *bitmap = FreeImage_Allocate(int(kPatches.size()) * kPatchSide, kPatchSide, 24);
    for (int y = 0; y < kPatchSide; ++y) {
        BYTE *row = FreeImage_GetScanLine(bitmap, y);
        for (int x = 0; x < int(kPatches.size()) * kPatchSide; ++x) {
            const std::array<int, 3> &rgb = kPatches[size_t(x / kPatchSide)].adobe;
            row[3 * x + FI_RGBA_RED] = BYTE(rgb[0]);
            row[3 * x + FI_RGBA_GREEN] = BYTE(rgb[1]);
            row[3 * x + FI_RGBA_BLUE] = BYTE(rgb[2]);
        }
    }
    if (!profile.isEmpty())
        FreeImage_CreateICCProfile(bitmap, const_cast<char *>(profile.constData()), long(profile.size()));
    const bool saved =
        FreeImage_Save(FIF_JPEG, bitmap, QFile::encodeName(path).constData(), 100 | JPEG_SUBSAMPLING_444) == TRUE;
    FreeImage_Unload(bitmap);
    return saved;
}

QSize sizeOf(const QString &path)
{
    return imageFileSize(path);
}

} // namespace

class PublishedFilesTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase() { FreeImage_Initialise(FALSE); }

    void colourProfileKeptOnEveryPath_data() { addPaths(); }

    // Byte for byte as the source has it, also when it needs two segments,
    // and also where private data is left out.
    void colourProfileKeptOnEveryPath()
    {
        QFETCH(ScaleSettings, settings);
        for (const QByteArray &profile : {test::adobeRgbProfile(), test::adobeRgbProfile(40000)}) {
            QVERIFY(test::writeCameraPhoto(path("wide.jpg"), {1200, 800}, profile));
            QCOMPARE(test::colourProfileOfFile(path("wide.jpg")), profile);
            for (bool removePrivateData : {false, true}) {
                settings.removePrivateData = removePrivateData;
                QVERIFY(ScaleImageFile(path("wide.jpg"), path("out.jpg"), settings).written);
                QVERIFY(test::colourProfileOfFile(path("out.jpg")) == profile);
            }
        }
    }

    // Close to an independent reference; photos without a profile keep
    // their very bytes.
    void srgbConversionMatchesReference()
    {
        QVERIFY(writePatches(path("adobe.jpg"), test::adobeRgbProfile()));
        ScaleSettings settings = scaled(100, 100);
        settings.convertToSrgb = true;
        QVERIFY(ScaleImageFile(path("adobe.jpg"), path("srgb.jpg"), settings).written);
        QCOMPARE(colourProfileName(test::colourProfileOfFile(path("srgb.jpg"))), QStringLiteral("sRGB IEC61966-2.1"));
        const QByteArray bytes = readBytes(path("srgb.jpg"));
        const Bitmap converted =
            decodeJpeg(std::span(reinterpret_cast<const unsigned char *>(bytes.constData()), size_t(bytes.size())))
                .bitmap;
        QVERIFY(converted);
        for (size_t patch = 0; patch < kPatches.size(); ++patch) {
            RGBQUAD pixel{};
            FreeImage_GetPixelColor(converted.get(), unsigned(patch) * kPatchSide + kPatchSide / 2, kPatchSide / 2,
                                    &pixel);
            const std::array<int, 3> got{pixel.rgbRed, pixel.rgbGreen, pixel.rgbBlue};
            for (int channel = 0; channel < 3; ++channel)
                QVERIFY2(
                    std::abs(got[size_t(channel)] - kPatches[patch].srgb[size_t(channel)]) <= 3,
                    qPrintable(QStringLiteral("patch %1: %2 %3 %4").arg(patch).arg(got[0]).arg(got[1]).arg(got[2])));
        }

        QVERIFY(writePatches(path("plain.jpg"), {}));
        QVERIFY(ScaleImageFile(path("plain.jpg"), path("converted.jpg"), settings).written);
        settings.convertToSrgb = false;
        QVERIFY(ScaleImageFile(path("plain.jpg"), path("kept.jpg"), settings).written);
        QCOMPARE(readBytes(path("converted.jpg")), readBytes(path("kept.jpg")));
    }

    void privateDataLeftOut_data() { addPaths(); }

    // Read back with Exiv2; a copy keeps its image data byte for byte.
    void privateDataLeftOut()
    {
        QFETCH(ScaleSettings, settings);
        QVERIFY(test::writeCameraPhoto(path("camera.jpg"), {900, 600}));
        for (bool removePrivateData : {false, true}) {
            settings.removePrivateData = removePrivateData;
            QVERIFY(ScaleImageFile(path("camera.jpg"), path("out.jpg"), settings).written);
            const QStringList keys = test::metadataKeys(path("out.jpg"));
            for (const QString &kept : test::kKeptKeys)
                QVERIFY2(keys.contains(kept), qPrintable(kept));
            for (const QString &part : test::kPrivateKeyParts)
                QCOMPARE(keys.filter(part).isEmpty(), removePrivateData);
        }
        if (settings.output.saveFlags == 0)
            QCOMPARE(test::scanData(readBytes(path("out.jpg"))), test::scanData(readBytes(path("camera.jpg"))));
    }

    // One decoding for several outputs gives each the bytes it gets alone,
    // whatever the order (a picture kept at its size is adjusted in place).
    void severalOutputsOfOneDecoding()
    {
        QVERIFY(test::writeCameraPhoto(path("camera.jpg"), {900, 600}, test::adobeRgbProfile()));
        QList<ScaleOutput> outputs;
        const ScaleSettings kept = with(scaled(100, 85), [](ScaleSettings &s) { s.brightness = 20; });
        const ScaleSettings thumb = with(scaled(10, 85), [](ScaleSettings &s) { s.brightness = 20; });
        const ScaleSettings slide = with(thumb, [](ScaleSettings &s) { s.fitWithin = 500; });
        for (const ScaleSettings &settings : {kept, thumb, slide, scaled(100, 0), kept})
            outputs.append({path(QStringLiteral("together%1.jpg").arg(outputs.size())), settings});
        for (const ScaleOutcome &outcome : scaleImageFiles(path("camera.jpg"), outputs))
            QVERIFY(outcome.written);
        for (const ScaleOutput &output : outputs) {
            QVERIFY(ScaleImageFile(path("camera.jpg"), path("alone.jpg"), output.settings).written);
            QCOMPARE(readBytes(output.destination), readBytes(path("alone.jpg")));
        }
    }

    void fittedWithin_data()
    {
        QTest::addColumn<QSize>("source");
        QTest::addColumn<int>("side");
        QTest::addColumn<QSize>("fitted");
        QTest::newRow("landscape") << QSize(1200, 800) << 500 << QSize(500, 333);
        QTest::newRow("portrait") << QSize(800, 1200) << 500 << QSize(333, 500);
        QTest::newRow("smaller, never enlarged") << QSize(400, 300) << 500 << QSize(400, 300);
        QTest::newRow("exactly the side") << QSize(500, 375) << 500 << QSize(500, 375);
        QTest::newRow("rounded") << QSize(999, 500) << 320 << QSize(320, 160);
        QTest::newRow("thin, at least a pixel") << QSize(2000, 3) << 320 << QSize(320, 1);
    }

    // On the disk too; a picture that fits already is copied as it is.
    void fittedWithin()
    {
        QFETCH(QSize, source);
        QFETCH(int, side);
        QTEST(fittedSize(source, side), "fitted");
        QVERIFY(test::writeTestJpeg(path("source.jpg"), source));
        ScaleSettings settings = scaled(100, 0);
        settings.fitWithin = side;
        QVERIFY(ScaleImageFile(path("source.jpg"), path("fitted.jpg"), settings).written);
        QTEST(sizeOf(path("fitted.jpg")), "fitted");
        QCOMPARE(readBytes(path("fitted.jpg")) == readBytes(path("source.jpg")), source == fittedSize(source, side));
    }
};

QTEST_GUILESS_MAIN(PublishedFilesTest)
#include "tst_publishedfiles.moc"
