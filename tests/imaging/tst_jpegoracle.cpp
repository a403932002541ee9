// Our JPEG decoder against the image library's own loader, file by file: the
// same bitmap (pixels, palette, layout, density, metadata, thumbnail) and the
// same bytes when saved; and the image engine writes the same files as it did
// when the library decoded for it.

#include "bitmapcompare.h"
#include "imageengine.h"
#include "jpegdecoder.h"
#include "jpegrecipes.h"
#include "testenvironment.h"

#include <FreeImage.h>

#include <QDirIterator>
#include <QTemporaryDir>
#include <QTest>

using namespace tovin;
using tovin::test::JpegRecipe;

namespace {

constexpr int kCom = 0xFE;
constexpr int kApp0 = 0xE0;

QByteArray savedBytes(FIBITMAP *bitmap, int flags)
{
    FIMEMORY *memory = FreeImage_OpenMemory();
    QByteArray bytes("(not saved)");
    BYTE *data = nullptr;
    DWORD length = 0;
    if (FreeImage_SaveToMemory(FIF_JPEG, bitmap, memory, flags) && FreeImage_AcquireMemory(memory, &data, &length))
        bytes = QByteArray(reinterpret_cast<const char *>(data), qsizetype(length));
    FreeImage_CloseMemory(memory);
    return bytes;
}

// What the engine wrote when the library's loader decoded for it.
bool scaleTheOldWay(const QString &source, const QString &destination, const ScaleSettings &settings)
{
    FIBITMAP *image = FreeImage_Load(FIF_JPEG, QFile::encodeName(source).constData(), 0);
    if (!image)
        return false;
    image = RescaleByPercent(image, settings.widthPercent, settings.heightPercent, true, settings.filter);
    if (settings.brightness != 0)
        FreeImage_AdjustBrightness(image, settings.brightness);
    if (settings.contrast != 0)
        FreeImage_AdjustContrast(image, settings.contrast);
    const bool saved = FreeImage_Save(FIF_JPEG, image, QFile::encodeName(destination).constData(), settings.saveFlags);
    FreeImage_Unload(image);
    return saved;
}

QList<std::pair<int, QByteArray>> iccSegments(int profileBytes)
{
    QList<std::pair<int, QByteArray>> segments;
    for (const QByteArray &icc : test::iccSegments(profileBytes))
        segments.append({kApp0 + 2, icc});
    return segments;
}

// Files other programs write, made with libjpeg's encoder.
QList<std::pair<QString, QByteArray>> generatedFiles()
{
    const QByteArray small = test::encodeJpeg({.size = {16, 12}});
    const QByteArray baseline = test::encodeJpeg({.size = {300, 200}});
    const QByteArray progressive = test::encodeJpeg({.size = {300, 200}, .progressive = true});
    QList<std::pair<int, QByteArray>> everything{{kCom, "A comment"},
                                                 {kApp0 + 1, test::exifSegment(6)},
                                                 {kApp0 + 1, test::xmpSegment()},
                                                 {kApp0 + 13, test::iptcSegment()}};
    everything += iccSegments(3000);
    const QList<std::pair<QString, JpegRecipe>> recipes{
        {"4:2:0", {}},
        {"4:2:2", {.lumaSampling = {2, 1}}},
        {"4:4:4", {.lumaSampling = {1, 1}}},
        {"4:4:0", {.lumaSampling = {1, 2}}},
        {"grey", {.components = 1}},
        {"progressive", {.progressive = true}},
        {"progressive grey", {.components = 1, .progressive = true}},
        {"arithmetic", {.arithmetic = true}},
        {"restart markers", {.restartRows = 1}},
        {"1 x 1", {.size = {1, 1}}},
        {"17 x 9", {.size = {17, 9}}},
        {"255 x 3 4:2:2", {.size = {255, 3}, .lumaSampling = {2, 1}}},
        {"CMYK", {.components = 4}},
        {"YCCK", {.components = 4, .ycck = true}},
        {"300 dots per inch", {.densityUnit = 1, .xDensity = 300, .yDensity = 299}},
        {"118 dots per cm", {.densityUnit = 2, .xDensity = 118, .yDensity = 118}},
        {"1280 x 960 high quality", {.size = {1280, 960}, .quality = 97}},
        {"comment, EXIF, XMP, IPTC, ICC", {.segments = everything}},
        {"ICC over two segments", {.segments = iccSegments(70000)}},
        {"JFIF thumbnail", {.segments = {{kApp0, QByteArray("JFXX\0\x10", 6) + small}}}},
        {"EXIF thumbnail", {.segments = {{kApp0 + 1, test::exifSegment(3, small)}}}},
    };
    QList<std::pair<QString, QByteArray>> files{{"truncated baseline", baseline.left(baseline.size() * 3 / 5)},
                                                {"truncated progressive", progressive.left(progressive.size() / 2)}};
    for (const auto &[name, recipe] : recipes)
        files.append({name, test::encodeJpeg(recipe)});
    return files;
}

} // namespace

class JpegOracleTest : public QObject
{
    Q_OBJECT

    void addFileRows()
    {
        QTest::addColumn<QString>("path");
        for (const auto &[name, path] : m_files)
            QTest::newRow(qPrintable(name)) << path;
    }

    QTemporaryDir m_dir;
    QList<std::pair<QString, QString>> m_files;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        FreeImage_Initialise(FALSE);
        if (const QString shared = test::sharedTestData(); !shared.isEmpty()) {
            QDirIterator found(shared, {QStringLiteral("*.jpg")}, QDir::Files, QDirIterator::Subdirectories);
            // The library cannot safely be asked about max_size.jpg (it claims
            // 65535 x 65535 pixels); the decoder tests cover it.
            while (found.hasNext()) {
                if (const QString path = found.next(); found.fileName() != QLatin1String("max_size.jpg"))
                    m_files.append({QDir(shared).relativeFilePath(path), path});
            }
        }
        for (const auto &[name, bytes] : generatedFiles()) {
            m_files.append({name, m_dir.filePath(QStringLiteral("made%1.jpg").arg(m_files.size()))});
            QVERIFY(test::writeBytes(m_files.last().second, bytes));
        }
        std::sort(m_files.begin(), m_files.end());
        qInfo("%d files compared with the library's loader", int(m_files.size()));
    }

    void sameBitmap_data() { addFileRows(); }

    // In saving them too, with the library's default and with other flags.
    void sameBitmap()
    {
        QFETCH(QString, path);
        const Bitmap expected(FreeImage_Load(FIF_JPEG, QFile::encodeName(path).constData(), 0));
        const QByteArray bytes = test::readBytes(path);
        const Bitmap actual =
            decodeJpeg({reinterpret_cast<const unsigned char *>(bytes.constData()), size_t(bytes.size())}).bitmap;
        if (QByteArray(QTest::currentDataTag()).contains("thumbnail"))
            QVERIFY(FreeImage_GetThumbnail(expected.get()));
        QCOMPARE(test::bitmapDifference(expected.get(), actual.get()), QString());
        for (int flags : {0, 90 | JPEG_PROGRESSIVE})
            QVERIFY2(!expected || savedBytes(expected.get(), flags) == savedBytes(actual.get(), flags),
                     "saved differently");
    }

    void sameEngineOutput_data() { addFileRows(); }

    void sameEngineOutput()
    {
        QFETCH(QString, path);
        const QString before = m_dir.filePath(QStringLiteral("before.jpg"));
        const QString after = m_dir.filePath(QStringLiteral("after.jpg"));
        for (const ScaleSettings &settings :
             {ScaleSettings{50, 50, FILTER_BICUBIC, 85},
              ScaleSettings{100, 100, FILTER_BICUBIC, 90, kFormatJpeg, 10, 10},
              ScaleSettings{37, 61, FILTER_LANCZOS3, JPEG_QUALITYSUPERB, kFormatJpeg, -20, 35},
              ScaleSettings{150, 150, FILTER_BILINEAR, JPEG_QUALITYAVERAGE}}) {
            QFile::remove(before);
            QFile::remove(after);
            const ScaleOutcome outcome = tryScaleImageFile(path, after, settings);
            QCOMPARE(outcome.written, scaleTheOldWay(path, before, settings));
            QVERIFY(!outcome.error);
            QCOMPARE(test::readBytes(after), test::readBytes(before));
        }
    }
};

QTEST_GUILESS_MAIN(JpegOracleTest)
#include "tst_jpegoracle.moc"
