// Our JPEG decoder and writer against the image library's own loader and
// writer, file by file: the same bitmap, the same saved bytes, the same
// engine output. Then its limits:
// hostile files, the memory budget, reduced decoding, fuzzed bytes, each also
// with private metadata left out.

#include "bitmapcompare.h"
#include "bitmapwriter.h"
#include "cameraphotos.h"
#include "encodedimagefile.h"
#include "imageengine.h"
#include "jpegdecoder.h"
#include "jpegmetadata.h"
#include "jpegrecipes.h"
#include "privatemetadata.h"
#include "testenvironment.h"

#include <FreeImage.h>

#include <QDirIterator>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace tovin;
using namespace tovin::test;

Q_DECLARE_METATYPE(tovin::DecodeFailure)

namespace {

std::span<const unsigned char> spanOf(const QByteArray &bytes)
{
    return {reinterpret_cast<const unsigned char *>(bytes.constData()), size_t(bytes.size())};
}

QByteArray sharedFile(const QString &name)
{
    const QString shared = test::sharedTestData();
    return shared.isEmpty() ? QByteArray() : test::readBytes(shared + QStringLiteral("/unusual/") + name);
}

const QByteArray kTiny = encodeJpeg({.size = {16, 16}, .components = 1});
const QList<std::pair<int, QByteArray>> kEverySegment{{0xFE, "A comment"},
                                                      {0xE1, test::exifSegment(6, kTiny)},
                                                      {0xE1, test::xmpSegment()},
                                                      {0xED, test::iptcSegment()},
                                                      test::iccSegments(200).first()};

// Big-endian, IFD0 at 4 with no entries: its link (bytes 6 to 9) holds the
// low half of the first IFD's offset.
const QByteArray kIfd0InItsHeader("Exif\0\0MM\0*\0\0\0\x04\0\x04\0\x05", 18);

QByteArray savedBytes(FIBITMAP *bitmap, int flags)
{
    FIMEMORY *memory = FreeImage_OpenMemory();
    BYTE *data = nullptr;
    DWORD length = 0;
    FreeImage_SaveToMemory(FIF_JPEG, bitmap, memory, flags);
    FreeImage_AcquireMemory(memory, &data, &length); // nothing saved: no bytes
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(length));
    FreeImage_CloseMemory(memory);
    return bytes;
}

// What the engine wrote when the library did everything (loading,
// resampling and saving), with the colour profile that the library's
// resampling leaves behind attached again.
bool scaleTheOldWay(const QString &source, const QString &destination, const ScaleSettings &settings)
{
    FIBITMAP *image = FreeImage_Load(FIF_JPEG, QFile::encodeName(source).constData(), 0);
    if (!image)
        return false;
    const FIICCPROFILE *loaded = FreeImage_GetICCProfile(image);
    const QByteArray profile(static_cast<const char *>(loaded->data), qsizetype(loaded->size));
    const QSize size(int(FreeImage_GetWidth(image)), int(FreeImage_GetHeight(image)));
    if (const std::optional<QSize> target = rescaledSize(size, settings.widthPercent, settings.heightPercent)) {
        if (FIBITMAP *resampled =
                FreeImage_Rescale(image, target->width(), target->height(), FREE_IMAGE_FILTER(settings.filter))) {
            FreeImage_Unload(image);
            image = resampled;
        }
    }
    if (!FreeImage_GetICCProfile(image)->data && !profile.isEmpty())
        FreeImage_CreateICCProfile(image, const_cast<char *>(profile.constData()), long(profile.size()));
    if (settings.brightness != 0)
        FreeImage_AdjustBrightness(image, settings.brightness);
    if (settings.contrast != 0)
        FreeImage_AdjustContrast(image, settings.contrast);
    const bool saved =
        FreeImage_Save(FIF_JPEG, image, QFile::encodeName(destination).constData(), settings.output.saveFlags);
    FreeImage_Unload(image);
    return saved;
}

// Stray bytes and markers in a photo's compressed data: libjpeg decodes
// damaged data with one of two Huffman decoders depending on how much of the
// file it has buffered, and the library's loader buffers less than we do.
QList<std::pair<QString, QByteArray>> damagedFiles()
{
    const QByteArray sound = encodeJpeg({.size = {1280, 960}, .quality = 97});
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
    const QByteArray small = encodeJpeg({.size = {16, 12}});
    const QByteArray baseline = encodeJpeg({.size = {300, 200}});
    const QByteArray progressive = encodeJpeg({.size = {300, 200}, .progressive = true});
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
        {"comment, EXIF, XMP, IPTC, ICC", {.segments = kEverySegment}},
        {"ICC over two segments", {.segments = test::iccSegments(70000)}},
        {"JFIF thumbnail", {.segments = {{0xE0, QByteArray("JFXX\0\x10", 6) + small}}}},
        {"EXIF thumbnail", {.segments = {{0xE1, test::exifSegment(3, small)}}}},
    };
    QList<std::pair<QString, QByteArray>> files{{"truncated baseline", baseline.left(baseline.size() * 3 / 5)},
                                                {"truncated progressive", progressive.left(progressive.size() / 2)}};
    for (const auto &[name, recipe] : recipes)
        files.append({name, encodeJpeg(recipe)});
    return files + damagedFiles();
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
        FreeImage_Initialise(FALSE);
        if (const QString shared = test::sharedTestData(); !shared.isEmpty()) {
            QDirIterator found(shared, {QStringLiteral("*.jpg")}, QDir::Files, QDirIterator::Subdirectories);
            // The library cannot safely be asked about max_size.jpg (65535 x
            // 65535 pixels claimed); the hostile files cover it.
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
    }

    // Refused before any memory is taken (run before the comparisons raise
    // the peak). Segments never reach the library in a form that makes it
    // read past them or decode a thumbnail; the picture still decodes.
    void hostileFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("headerSize");
        QTest::addColumn<DecodeFailure>("failure");
        QTest::addColumn<bool>("thumbnail");
        const QSize none(0, 0);
        const QSize sound(61, 47);
        using enum DecodeFailure;
        const auto tiny = [](bool progressive, int components, bool arithmetic) {
            return encodeJpeg(
                {.size = {16, 16}, .components = components, .progressive = progressive, .arithmetic = arithmetic});
        };
        const auto exif = [](const QByteArray &segment) { return encodeJpeg({.segments = {{0xE1, segment}}}); };
        const QByteArray bomb = withClaimedSize(tiny(true, 1, true), {20000, 20000});
        const QByteArray longProgressive = withClaimedSize(tiny(true, 1, false), {49157, 27397});
        const QByteArray largeColour = withClaimedSize(tiny(false, 3, true), {30000, 20000});
        const QByteArray jfifBomb = encodeJpeg({.segments = {{0xE0, QByteArray("JFXX\0\x10", 6) + bomb}}});
        // IFD0's entry count, and IFD1's thumbnail offset and length, made huge.
        const QByteArray longIfd = test::exifSegment(6).replace(14, 2, "\x02\xFF");
        QByteArray farThumbnail = test::exifSegment(6, kTiny);
        const qsizetype ifd1 = farThumbnail.size() - kTiny.size() - 30;
        farThumbnail.replace(ifd1 + 10, 4, QByteArray("\0\xFF\xFF\xFF", 4))
            .replace(ifd1 + 22, 4, QByteArray("\0\x02\0\0", 4));
        // Huffman-coded: far too few bytes for the blocks claimed.
        QTest::newRow("186 bytes for 65535 x 65535") << sharedFile("max_size.jpg") << none << NotDecodable << false;
        QTest::newRow("progressive claiming 49157 x 27397") << longProgressive << none << NotDecodable << false;
        QTest::newRow("empty") << QByteArray() << none << NotDecodable << false;
        QTest::newRow("no frame header") << sharedFile("missing-sof.jpg") << none << NotDecodable << false;
        QTest::newRow("not a JPEG") << QByteArray("GIF89a\x01\x00\x01\x00", 10) << none << NotDecodable << false;
        // Arithmetic coding can be that small: the budget refuses the picture
        // (the progressive one would need 800 MB of coefficients).
        QTest::newRow("colour above the bitmap budget") << largeColour << QSize(30000, 20000) << TooLarge << false;
        QTest::newRow("progressive above the working memory") << bomb << QSize(20000, 20000) << TooLarge << false;
        // The library's own loader reads far past the segment here and crashes.
        QTest::newRow("EXIF IFD past its end") << exif(longIfd) << sound << None << false;
        QTest::newRow("thumbnail past 4 GB") << exif(farThumbnail) << sound << None << false;
        QTest::newRow("EXIF IFD0 inside its header") << exif(kIfd0InItsHeader) << sound << None << false;
        QTest::newRow("EXIF thumbnail in place") << exif(test::exifSegment(6, kTiny)) << sound << None << true;
        QTest::newRow("EXIF thumbnail of 20000 x 20000") << exif(test::exifSegment(6, bomb)) << sound << None << false;
        QTest::newRow("JFIF thumbnail of 20000 x 20000") << jfifBomb << sound << None << false;
    }

    void hostileFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(DecodeFailure, failure);
        if (bytes.isEmpty() && QByteArray(QTest::currentDataTag()) != "empty")
            QSKIP("the shared test images are not beside this checkout");
        const std::int64_t peakBefore = peakResidentBytes();
        QTEST(readJpegSize(spanOf(bytes)).value_or(QSize(0, 0)), "headerSize");
        const DecodedJpeg decoded = decodeJpeg(spanOf(bytes));
        QCOMPARE(decoded.failure, failure);
        QCOMPARE(bool(decoded.bitmap), failure == DecodeFailure::None);
        QTEST(decoded.bitmap && FreeImage_GetThumbnail(decoded.bitmap.get()), "thumbnail");
        if (decoded.bitmap)
            QCOMPARE(FreeImage_GetMetadataCount(FIMD_EXIF_RAW, decoded.bitmap.get()),
                     bytes.contains(QByteArray("Exif\0\0", 6)) ? 1u : 0u);
        // The metadata of every picture the decoder takes can be published.
        QVERIFY(withoutPrivateMetadata(bytes) || failure != DecodeFailure::None);
        QVERIFY2(peakResidentBytes() - peakBefore < (64 << 20), "a hostile file took memory");
    }

    // What the library is given of an EXIF segment: IFD1 unlinked, and never
    // a block whose unchecked fields lie past its end.
    void exifForTheLibrary_data()
    {
        QTest::addColumn<QByteArray>("segment");
        QTest::addColumn<bool>("given");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray withThumbnail = test::exifSegment(6, kTiny);
        // IFD0 at 8 with two entries: its link is at 8 + 2 + 24.
        const QByteArray unlinked = QByteArray(withThumbnail).replace(6 + 34, 4, QByteArray(4, char(0)));
        const QByteArray longIfd = test::exifSegment(6).replace(14, 2, "\x02\xFF");
        const QByteArray noTiff("Exif\0\0JFIF", 10);
        const QByteArray firstIfdBeyond("Exif\0\0II*\0\xFF\0\0\0\0\0", 14);
        QTest::newRow("thumbnail unlinked") << withThumbnail << true << unlinked;
        QTest::newRow("no thumbnail") << test::exifSegment(6) << true << test::exifSegment(6);
        QTest::newRow("no TIFF header") << noTiff << true << noTiff;
        QTest::newRow("first IFD past the end") << firstIfdBeyond << true << firstIfdBeyond;
        QTest::newRow("cut in the header") << QByteArray("Exif\0\0II*\0\x08", 11) << false << QByteArray();
        QTest::newRow("IFD0 past the end") << longIfd << false << QByteArray();
        QTest::newRow("IFD0 inside the header, big-endian") << kIfd0InItsHeader << false << QByteArray();
        QTest::newRow("IFD0 inside the header, little-endian")
            << QByteArray("Exif\0\0II*\0\x05\0\0\0\0\0\0\0\0\0", 18) << false << QByteArray();
    }

    void exifForTheLibrary()
    {
        QFETCH(QByteArray, segment);
        QFETCH(bool, given);
        const std::optional<QByteArray> parsed = exifForLibraryParsing(segment);
        QCOMPARE(parsed.has_value(), given);
        if (given)
            QTEST(*parsed, "expected");
    }

    // A reduced decode is sized as libjpeg sizes it: each side divided,
    // rounded up; grey stays 8 bits, CMYK becomes 24. The largest photograph
    // is over the old 300-megapixel limit, under the bitmap budget.
    void reducedDecoding()
    {
        const QString path = m_dir.filePath(QStringLiteral("reduced.jpg"));
        for (const JpegRecipe &recipe :
             {JpegRecipe{.size = {61, 47}}, JpegRecipe{.size = {17, 9}, .components = 1, .progressive = true},
              JpegRecipe{.size = {1, 1}, .components = 4},
              JpegRecipe{.size = {20000, 15500}, .quality = 10, .smooth = true}}) {
            QVERIFY(test::writeBytes(path, encodeJpeg(recipe)));
            QCOMPARE(imageFileSize(path), recipe.size);
            EncodedImageFile encoded(path);
            for (int denominator : {1, 2, 4, 8}) {
                const DecodedJpeg decoded = encoded.decode(denominator);
                QCOMPARE(decoded.failure, DecodeFailure::None);
                FIBITMAP *b = decoded.bitmap.get();
                QCOMPARE(std::tuple(FreeImage_GetWidth(b), FreeImage_GetHeight(b), FreeImage_GetBPP(b)),
                         std::tuple(unsigned((recipe.size.width() + denominator - 1) / denominator),
                                    unsigned((recipe.size.height() + denominator - 1) / denominator),
                                    recipe.components == 1 ? 8u : 24u));
            }
        }
    }

    // Another program may rewrite a photograph while a run has it open. A
    // file cut short meanwhile is what is left of it, as if it had been
    // truncated before: nothing crashes.
    void fileCutShortAfterOpening_data()
    {
        QTest::addColumn<int>("keptPercent");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<DecodeFailure>("failure");
        QTest::newRow("half") << 50 << QSize(640, 480) << DecodeFailure::None;
        QTest::newRow("inside the header") << 1 << QSize(0, 0) << DecodeFailure::NotDecodable;
        QTest::newRow("emptied") << 0 << QSize(0, 0) << DecodeFailure::NotDecodable;
    }

    void fileCutShortAfterOpening()
    {
        QFETCH(int, keptPercent);
        const QString path = m_dir.filePath(QStringLiteral("rewritten.jpg"));
        const QByteArray bytes = encodeJpeg({.size = {640, 480}, .segments = kEverySegment});
        QVERIFY(test::writeBytes(path, bytes));
        EncodedImageFile encoded(path);
        QVERIFY(QFile::resize(path, bytes.size() * keptPercent / 100));
        QTEST(encoded.size(), "size");
        QTEST(encoded.decode().failure, "failure");
    }

    // A thumbnail's own thumbnail is decoded a level deeper, and a file can
    // nest them as deep as one segment holds. Each level must stay small on
    // the stack: here the whole nest decodes on a thread with 1 MB of it.
    void thumbnailsNestedAsDeepAsASegmentHolds()
    {
        QByteArray nest = kTiny;
        int depth = 0;
        for (;;) {
            const QByteArray outer =
                encodeJpeg({.size = {16, 16}, .components = 1, .segments = {{0xE1, test::exifSegment(1, nest)}}});
            if (test::exifSegment(1, outer).size() > 0xFFFF - 2)
                break;
            nest = outer;
            ++depth;
        }
        QVERIFY(depth > 100);
        bool decoded = false;
        std::unique_ptr<QThread> thread(QThread::create([&] { decoded = bool(decodeJpeg(spanOf(nest)).bitmap); }));
        thread->setStackSize(1 << 20);
        thread->start();
        QVERIFY(thread->wait());
        QVERIFY(decoded);
    }

    // Whatever the bytes, a bitmap comes exactly when no failure is reported.
    void fuzzedBytesNeverCrash()
    {
        QList<QByteArray> originals{encodeJpeg({.size = {40, 30}, .segments = kEverySegment}),
                                    encodeJpeg({.size = {40, 30}, .progressive = true})};
        if (const QByteArray real = sharedFile("jpg-cmyk-1.jpg"); !real.isEmpty())
            originals.append(real);
        // Most of a small camera photo is metadata: EXIF with maker notes, XMP, IPTC.
        QVERIFY(test::writeCameraPhoto(m_dir.filePath(QStringLiteral("camera.jpg")), {40, 30}));
        originals.append(test::readBytes(m_dir.filePath(QStringLiteral("camera.jpg"))));

        QRandomGenerator random(20261207);
        for (const QByteArray &original : originals) {
            for (int round = 0; round < 200; ++round) {
                QByteArray bytes = original;
                switch (random.bounded(3)) {
                case 0: // a few bytes changed
                    for (int count = 1 + random.bounded(8); count > 0; --count)
                        bytes[random.bounded(bytes.size())] = char(random.bounded(256));
                    break;
                case 1: // cut short, then a byte changed
                    bytes.truncate(1 + random.bounded(bytes.size()));
                    bytes[random.bounded(bytes.size())] = char(random.bounded(256));
                    break;
                default: // a stretch repeated
                    const int from = random.bounded(bytes.size());
                    bytes.insert(random.bounded(bytes.size()), bytes.mid(from, 1 + random.bounded(64)));
                }
                readJpegSize(spanOf(bytes));
                withoutPrivateMetadata(bytes);
                const DecodedJpeg result = decodeJpeg(spanOf(bytes), 1 << random.bounded(4));
                QCOMPARE(bool(result.bitmap), result.failure == DecodeFailure::None);
            }
        }
    }

    void sameBitmap_data() { addFileRows(); }

    // In saving them too, with the library's default and with other flags.
    void sameBitmap()
    {
        QFETCH(QString, path);
        const Bitmap expected(FreeImage_Load(FIF_JPEG, QFile::encodeName(path).constData(), 0));
        const Bitmap actual = decodeJpeg(spanOf(test::readBytes(path))).bitmap;
        if (QByteArray(QTest::currentDataTag()).contains("thumbnail"))
            QVERIFY(FreeImage_GetThumbnail(expected.get()));
        QCOMPARE(test::bitmapDifference(expected.get(), actual.get()), QString());
        for (int flags : {0, 90 | JPEG_PROGRESSIVE})
            QVERIFY2(!expected || savedBytes(expected.get(), flags) == savedBytes(actual.get(), flags),
                     "saved differently");
        // Our writer hands colour rows to libjpeg itself: the library's bytes
        // all the same, whatever the metadata, for every quality it reads
        // from the flags (a named one wins over a number) and the flags it
        // leaves to the library.
        for (int flags : {0, 1, 85, 100, 127, JPEG_QUALITYSUPERB, JPEG_QUALITYAVERAGE | 90,
                          JPEG_QUALITYNORMAL | JPEG_QUALITYGOOD, JPEG_QUALITYBAD, 85 | JPEG_SUBSAMPLING_444,
                          75 | JPEG_OPTIMIZE, JPEG_BASELINE})
            QVERIFY2(!actual || encodeBitmap(actual.get(), {.saveFlags = flags}) == savedBytes(actual.get(), flags),
                     qPrintable(QStringLiteral("written differently with flags %1").arg(flags, 0, 16)));
    }

    void sameEngineOutput_data() { addFileRows(); }

    void sameEngineOutput()
    {
        QFETCH(QString, path);
        const QString before = m_dir.filePath(QStringLiteral("before.jpg"));
        const QString after = m_dir.filePath(QStringLiteral("after.jpg"));
        for (const ScaleSettings &settings :
             {ScaleSettings{50, 50, FILTER_BICUBIC, {.saveFlags = 85}},
              ScaleSettings{100, 100, FILTER_BICUBIC, {.saveFlags = 90}, 10, 10},
              ScaleSettings{37, 61, FILTER_LANCZOS3, {.saveFlags = JPEG_QUALITYSUPERB}, -20, 35},
              ScaleSettings{150, 150, FILTER_BILINEAR, {.saveFlags = JPEG_QUALITYAVERAGE}}}) {
            QFile::remove(before);
            QFile::remove(after);
            const ScaleOutcome outcome = ScaleImageFile(path, after, settings);
            QCOMPARE(outcome.written, scaleTheOldWay(path, before, settings));
            QVERIFY(!outcome.error);
            QCOMPARE(test::readBytes(after), test::readBytes(before));
            // Written or passed over with a reason, never a failure.
            ScaleSettings published = settings;
            published.removePrivateData = true;
            const ScaleOutcome withoutPrivateData = ScaleImageFile(path, after, published);
            QVERIFY(!withoutPrivateData.error);
            QCOMPARE(withoutPrivateData.written, withoutPrivateData.skip == ScaleSkip::None);
        }
    }
};

QTEST_GUILESS_MAIN(JpegOracleTest)
#include "tst_jpegoracle.moc"
