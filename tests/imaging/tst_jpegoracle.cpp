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
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tovin;
using tovin::test::JpegRecipe;

namespace {

constexpr int kCom = 0xFE;
constexpr int kApp0 = 0xE0;

Bitmap libraryLoad(const QString &path)
{
    return Bitmap(FreeImage_Load(FIF_JPEG, QFile::encodeName(path).constData(), 0));
}

Bitmap ourDecode(const QString &path)
{
    const QByteArray bytes = test::readBytes(path);
    return decodeJpeg({reinterpret_cast<const unsigned char *>(bytes.constData()), size_t(bytes.size())}).bitmap;
}

QByteArray savedBytes(FIBITMAP *bitmap, int flags)
{
    FIMEMORY *memory = FreeImage_OpenMemory();
    QByteArray bytes("(not saved)");
    if (FreeImage_SaveToMemory(FIF_JPEG, bitmap, memory, flags)) {
        BYTE *data = nullptr;
        DWORD length = 0;
        FreeImage_AcquireMemory(memory, &data, &length);
        bytes = QByteArray(reinterpret_cast<const char *>(data), qsizetype(length));
    }
    FreeImage_CloseMemory(memory);
    return bytes;
}

// The first way the two bitmaps differ, in saving them too, or an empty text.
QString decodedDifference(FIBITMAP *expected, FIBITMAP *actual)
{
    if (const QString difference = test::bitmapDifference(expected, actual); !difference.isEmpty() || !expected)
        return difference;
    for (int flags : {0, 90 | JPEG_PROGRESSIVE}) {
        if (savedBytes(expected, flags) != savedBytes(actual, flags))
            return QStringLiteral("saved with flags %1").arg(flags);
    }
    return {};
}

JpegRecipe withSegments(QList<std::pair<int, QByteArray>> segments)
{
    JpegRecipe recipe;
    recipe.segments = std::move(segments);
    return recipe;
}

QByteArray smallJpeg()
{
    JpegRecipe small;
    small.size = {16, 12};
    return test::encodeJpeg(small);
}

QByteArray jfifThumbnail()
{
    return QByteArray("JFXX\0\x10", 6) + smallJpeg();
}

// A photo-sized file with its compressed data damaged in many ways: stray
// bytes, stray 0xFF bytes and stray markers. libjpeg decodes damaged data
// with one of two Huffman decoders depending on how much of the file it has
// buffered, and the library's loader buffers less than we do.
QList<std::pair<QString, QByteArray>> damagedFiles()
{
    JpegRecipe recipe;
    recipe.size = {1280, 960};
    recipe.quality = 97;
    const QByteArray sound = test::encodeJpeg(recipe);
    const qsizetype scanData = sound.indexOf("\xff\xda") + 20;
    QList<std::pair<QString, QByteArray>> damaged;
    quint32 seed = 12345;
    const auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 8; };
    for (int variant = 0; variant < 24; ++variant) {
        QByteArray bytes = sound;
        for (int change = 0; change <= variant % 8; ++change) {
            const qsizetype at = scanData + qsizetype(next() % quint32(bytes.size() - scanData - 2));
            bytes[at] = char(variant % 3 == 0 ? 0xFF : next());
            if (variant % 4 == 1)
                bytes[at + 1] = char(0xD0 + next() % 10); // a restart or end marker
        }
        damaged.append({QStringLiteral("damaged %1").arg(variant), bytes});
    }
    return damaged;
}

// Files other programs write, made with libjpeg's encoder.
QList<std::pair<QString, QByteArray>> generatedFiles()
{
    auto recipe = [](auto change) {
        JpegRecipe made;
        change(made);
        return test::encodeJpeg(made);
    };
    QList<std::pair<int, QByteArray>> everything{{kCom, "A comment"},
                                                 {kApp0 + 1, test::exifSegment(6)},
                                                 {kApp0 + 1, test::xmpSegment()},
                                                 {kApp0 + 13, test::iptcSegment()}};
    for (const QByteArray &icc : test::iccSegments(3000))
        everything.append({kApp0 + 2, icc});
    QList<std::pair<int, QByteArray>> bigProfile;
    for (const QByteArray &icc : test::iccSegments(70000))
        bigProfile.append({kApp0 + 2, icc});

    const QByteArray baseline = recipe([](JpegRecipe &r) { r.size = {300, 200}; });
    const QByteArray progressive = recipe([](JpegRecipe &r) {
        r.size = {300, 200};
        r.progressive = true;
    });
    // clang-format off
    return QList<std::pair<QString, QByteArray>>{
        {"4:2:0", recipe([](JpegRecipe &) {})},
        {"4:2:2", recipe([](JpegRecipe &r) { r.lumaSampling = {2, 1}; })},
        {"4:4:4", recipe([](JpegRecipe &r) { r.lumaSampling = {1, 1}; })},
        {"4:4:0", recipe([](JpegRecipe &r) { r.lumaSampling = {1, 2}; })},
        {"grey", recipe([](JpegRecipe &r) { r.components = 1; })},
        {"progressive", recipe([](JpegRecipe &r) { r.progressive = true; })},
        {"progressive grey", recipe([](JpegRecipe &r) { r.progressive = true; r.components = 1; })},
        {"arithmetic", recipe([](JpegRecipe &r) { r.arithmetic = true; })},
        {"restart markers", recipe([](JpegRecipe &r) { r.restartRows = 1; })},
        {"1 x 1", recipe([](JpegRecipe &r) { r.size = {1, 1}; })},
        {"17 x 9", recipe([](JpegRecipe &r) { r.size = {17, 9}; })},
        {"255 x 3 4:2:2", recipe([](JpegRecipe &r) { r.size = {255, 3}; r.lumaSampling = {2, 1}; })},
        {"CMYK", recipe([](JpegRecipe &r) { r.components = 4; })},
        {"YCCK", recipe([](JpegRecipe &r) { r.components = 4; r.ycck = true; })},
        {"300 dots per inch", recipe([](JpegRecipe &r) { r.densityUnit = 1; r.xDensity = 300; r.yDensity = 299; })},
        {"118 dots per cm", recipe([](JpegRecipe &r) { r.densityUnit = 2; r.xDensity = 118; r.yDensity = 118; })},
        {"1280 x 960 high quality", recipe([](JpegRecipe &r) { r.size = {1280, 960}; r.quality = 97; })},
        {"comment, EXIF, XMP, IPTC, ICC", test::encodeJpeg(withSegments(everything))},
        {"ICC over two segments", test::encodeJpeg(withSegments(bigProfile))},
        {"JFIF thumbnail", test::encodeJpeg(withSegments({{kApp0, jfifThumbnail()}}))},
        {"EXIF thumbnail", test::encodeJpeg(withSegments({{kApp0 + 1, test::exifSegment(3, smallJpeg())}}))},
        {"truncated baseline", baseline.left(baseline.size() * 3 / 5)},
        {"truncated progressive", progressive.left(progressive.size() / 2)},
    } + damagedFiles();
    // clang-format on
}

} // namespace

namespace {

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

} // namespace

class JpegOracleTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        FreeImage_Initialise(FALSE);
        // The library cannot safely be asked about this one (it claims 65535 x
        // 65535 pixels); the decoder tests cover it.
        const QStringList tooHostileForTheLibrary{QStringLiteral("max_size.jpg")};
        if (const QString shared = test::sharedTestData(); !shared.isEmpty()) {
            QDirIterator found(shared, {QStringLiteral("*.jpg")}, QDir::Files, QDirIterator::Subdirectories);
            while (found.hasNext()) {
                const QString path = found.next();
                if (!tooHostileForTheLibrary.contains(found.fileName()))
                    m_files.append({QDir(shared).relativeFilePath(path), path});
            }
        }
        int index = 0;
        for (const auto &[name, bytes] : generatedFiles()) {
            const QString path = m_dir.filePath(QStringLiteral("made%1.jpg").arg(index++));
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
            m_files.append({name, path});
        }
        std::sort(m_files.begin(), m_files.end());
        qInfo("%d files compared with the library's loader", int(m_files.size()));
    }

    void sameBitmap_data() { addFileRows(); }

    void sameBitmap()
    {
        QFETCH(QString, path);
        const Bitmap expected = libraryLoad(path);
        const Bitmap actual = ourDecode(path);
        if (QByteArray(QTest::currentDataTag()).contains("thumbnail"))
            QVERIFY(FreeImage_GetThumbnail(expected.get()));
        QCOMPARE(decodedDifference(expected.get(), actual.get()), QString());
    }

    void sameEngineOutput_data() { addFileRows(); }

    void sameEngineOutput()
    {
        QFETCH(QString, path);
        // clang-format off
        const QList<ScaleSettings> settingsList{
            {50, 50, FILTER_BICUBIC, 85, kFormatJpeg, 0, 0},
            {100, 100, FILTER_BICUBIC, 90, kFormatJpeg, 10, 10},
            {37, 61, FILTER_LANCZOS3, JPEG_QUALITYSUPERB, kFormatJpeg, -20, 35},
            {150, 150, FILTER_BILINEAR, JPEG_QUALITYAVERAGE, kFormatJpeg, 0, 0},
        };
        // clang-format on
        for (const ScaleSettings &settings : settingsList) {
            const QString before = m_dir.filePath(QStringLiteral("before.jpg"));
            const QString after = m_dir.filePath(QStringLiteral("after.jpg"));
            QFile::remove(before);
            QFile::remove(after);
            const bool wroteBefore = scaleTheOldWay(path, before, settings);
            const ScaleOutcome outcome = tryScaleImageFile(path, after, settings);
            QCOMPARE(outcome.written, wroteBefore);
            QVERIFY(!outcome.error);
            QCOMPARE(test::readBytes(after), test::readBytes(before));
        }
    }

private:
    void addFileRows()
    {
        QTest::addColumn<QString>("path");
        for (const auto &[name, path] : m_files)
            QTest::newRow(qPrintable(name)) << path;
    }

    QTemporaryDir m_dir;
    QList<std::pair<QString, QString>> m_files;
};

QTEST_GUILESS_MAIN(JpegOracleTest)
#include "tst_jpegoracle.moc"
