// The image engine on real files: sizes, copy versus re-encode, qualities,
// adjustments, failures, and files other programs wrote badly.

#include "fastreduction.h"
#include "imageengine.h"
#include "jpegrecipes.h"
#include "scriptedprompts.h"
#include "testenvironment.h"
#include "testimages.h"

#include <FreeImage.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tovin;
using tovin::test::ScriptedPrompts;

Q_DECLARE_METATYPE(tovin::ScaleSkip)

namespace {

QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The engine's own signature, with the filter and format every caller uses.
bool scale(const QString &source, const QString &destination, ScriptedPrompts &prompts, double widthPercent,
           double heightPercent, int saveFlags, double brightness = 0, double contrast = 0)
{
    return ScaleImageFile(source, destination, widthPercent, heightPercent, FILTER_BICUBIC, saveFlags, kFormatJpeg,
                          brightness, contrast, prompts);
}

QString exifOrientation(const QString &path)
{
    FIBITMAP *bitmap = FreeImage_Load(FIF_JPEG, QFile::encodeName(path).constData(), FIF_LOAD_NOPIXELS);
    FITAG *tag = nullptr;
    QString value;
    if (bitmap && FreeImage_GetMetadata(FIMD_EXIF_MAIN, bitmap, "Orientation", &tag) && tag)
        value = QString::fromLatin1(FreeImage_TagToString(FIMD_EXIF_MAIN, tag));
    FreeImage_Unload(bitmap);
    return value;
}

} // namespace

class ImageEngineTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void resizesByPercent_data();
    void resizesByPercent();
    void copiesOrEncodes_data();
    void copiesOrEncodes();
    void plainCopyNeedsNoDecodableSource();
    void brightnessThenContrast();
    void keepsExifOrientation();
    void resamplesLikeFreeImage_data();
    void resamplesLikeFreeImage();
    void fastDecodeDenominators_data();
    void fastDecodeDenominators();
    void fastReductionKeepsSizes_data();
    void fastReductionKeepsSizes();
    void missingFiles_data();
    void missingFiles();
    void failureLeavesExistingFileAlone();
    void unusualFiles_data();
    void unusualFiles();
    void fileExists_data();
    void fileExists();
    void outcomeNamesTheReason_data();
    void outcomeNamesTheReason();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QString makeJpeg(const QString &name, QSize size);

    std::unique_ptr<QTemporaryDir> m_dir;
    ScriptedPrompts m_prompts;
};

void ImageEngineTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_prompts = ScriptedPrompts();
}

QString ImageEngineTest::makeJpeg(const QString &name, QSize size)
{
    const QString file = path(name);
    if (!test::writeTestJpeg(file, size))
        qFatal("could not write a test image");
    return file;
}

// clang-format off
void ImageEngineTest::resizesByPercent_data()
{
    QTest::addColumn<QSize>("source");
    QTest::addColumn<double>("widthPercent");
    QTest::addColumn<double>("heightPercent");
    QTest::addColumn<QSize>("result");
    QTest::newRow("500.5 rounds to even 500") << QSize(1001, 20) << 50.0 << 100.0 << QSize(500, 20);
    QTest::newRow("501.5 rounds to even 502") << QSize(1003, 20) << 50.0 << 100.0 << QSize(502, 20);
    QTest::newRow("height below one pixel follows the width") << QSize(1000, 10) << 50.0 << 1.0 << QSize(500, 5);
    QTest::newRow("width below one pixel follows the height") << QSize(10, 1000) << 1.0 << 50.0 << QSize(5, 500);
    QTest::newRow("both below one pixel: unchanged") << QSize(1, 1) << 10.0 << 10.0 << QSize(1, 1);
    QTest::newRow("fraction of a percent") << QSize(400, 300) << 0.5 << 50.0 << QSize(2, 150);
    QTest::newRow("enlargement") << QSize(120, 80) << 200.0 << 150.0 << QSize(240, 120);
}
// clang-format on

void ImageEngineTest::resizesByPercent()
{
    QFETCH(QSize, source);
    QFETCH(double, widthPercent);
    QFETCH(double, heightPercent);
    QFETCH(QSize, result);
    const QString input = makeJpeg(QStringLiteral("in.jpg"), source);
    QVERIFY(scale(input, path(QStringLiteral("out.jpg")), m_prompts, widthPercent, heightPercent, 85));
    QCOMPARE(imageFileSize(path(QStringLiteral("out.jpg")), kFormatJpeg), result);
    QCOMPARE(GetImageFileWidth(path(QStringLiteral("out.jpg")), kFormatJpeg), result.width());
    QCOMPARE(GetImageFileHeight(path(QStringLiteral("out.jpg")), kFormatJpeg), result.height());
    QVERIFY(m_prompts.shown.isEmpty());
}

// clang-format off
void ImageEngineTest::copiesOrEncodes_data()
{
    QTest::addColumn<double>("percent");
    QTest::addColumn<int>("saveFlags");
    QTest::addColumn<int>("quality"); // 0: a byte-for-byte copy
    QTest::newRow("nothing to change: the exact bytes") << 100.0 << 0 << 0;
    QTest::newRow("\"100\" re-encodes at full size") << 100.0 << 100 << 100;
    QTest::newRow("\"High\": superb") << 50.0 << JPEG_QUALITYSUPERB << 100;
    QTest::newRow("\"Med\": normal") << 50.0 << JPEG_QUALITYNORMAL << 50;
    QTest::newRow("\"Low\": average") << 50.0 << JPEG_QUALITYAVERAGE << 25;
    QTest::newRow("typed 85") << 50.0 << 85 << 85;
    QTest::newRow("refused typing: the library's default") << 50.0 << 0 << 75;
}
// clang-format on

void ImageEngineTest::copiesOrEncodes()
{
    QFETCH(double, percent);
    QFETCH(int, saveFlags);
    QFETCH(int, quality);
    const QString input = makeJpeg(QStringLiteral("in.jpg"), {64, 48});
    // A larger file stands where the output goes: it must be replaced whole.
    const QString output = makeJpeg(QStringLiteral("out.jpg"), {200, 150});
    QVERIFY(scale(input, output, m_prompts, percent, percent, saveFlags));
    if (quality == 0) {
        QCOMPARE(contentsOf(output), contentsOf(input));
        return;
    }
    QVERIFY(contentsOf(output) != contentsOf(input));
    QCOMPARE(imageFileSize(output, kFormatJpeg), QSize(64, 48) * (percent / 100));
    QCOMPARE(test::firstQuantisationTable(output), test::expectedLuminanceTable(quality));
}

void ImageEngineTest::plainCopyNeedsNoDecodableSource()
{
    TOVIN_REQUIRE_SHARED_TESTDATA(shared);
    const QString broken = shared + QStringLiteral("/unusual/missing-sof.jpg");
    QVERIFY(scale(broken, path(QStringLiteral("out.jpg")), m_prompts, 100, 100, 0));
    QCOMPARE(contentsOf(path(QStringLiteral("out.jpg"))), contentsOf(broken));
}

void ImageEngineTest::brightnessThenContrast()
{
    const QString input = makeJpeg(QStringLiteral("in.jpg"), {64, 48});
    auto writeByHand = [&](const QString &name, bool brightnessFirst) {
        FIBITMAP *bitmap = FreeImage_Load(FIF_JPEG, QFile::encodeName(input).constData(), 0);
        if (brightnessFirst) {
            FreeImage_AdjustBrightness(bitmap, 30);
            FreeImage_AdjustContrast(bitmap, 50);
        } else {
            FreeImage_AdjustContrast(bitmap, 50);
            FreeImage_AdjustBrightness(bitmap, 30);
        }
        FreeImage_Save(FIF_JPEG, bitmap, QFile::encodeName(path(name)).constData(), 90);
        FreeImage_Unload(bitmap);
        return contentsOf(path(name));
    };
    QVERIFY(scale(input, path(QStringLiteral("out.jpg")), m_prompts, 100, 100, 90, 30, 50));
    const QByteArray written = contentsOf(path(QStringLiteral("out.jpg")));
    QCOMPARE(written, writeByHand(QStringLiteral("bc.jpg"), true));
    QVERIFY(written != writeByHand(QStringLiteral("cb.jpg"), false));
}

// The whole chain with our own resampler gives the very file FreeImage's
// load, rescale and save would, for every filter and any thread count.
void ImageEngineTest::resamplesLikeFreeImage_data()
{
    QTest::addColumn<int>("filter");
    QTest::addColumn<int>("threads");
    QTest::newRow("box") << int(FILTER_BOX) << 1;
    QTest::newRow("bilinear") << int(FILTER_BILINEAR) << 1;
    QTest::newRow("bspline") << int(FILTER_BSPLINE) << 1;
    QTest::newRow("bicubic") << int(FILTER_BICUBIC) << 1;
    QTest::newRow("bicubic, 3 threads") << int(FILTER_BICUBIC) << 3;
}

void ImageEngineTest::resamplesLikeFreeImage()
{
    QFETCH(int, filter);
    QFETCH(int, threads);
    const QString input = makeJpeg(QStringLiteral("in.jpg"), QSize(643, 411));
    ScaleSettings settings;
    settings.widthPercent = 37;
    settings.heightPercent = 37;
    settings.filter = filter;
    settings.saveFlags = 90;
    settings.resampleThreads = threads;
    QVERIFY(tryScaleImageFile(input, path(QStringLiteral("ours.jpg")), settings).written);

    FIBITMAP *loaded = FreeImage_Load(FIF_JPEG, QFile::encodeName(input).constData(), 0);
    FIBITMAP *rescaled = FreeImage_Rescale(loaded, 238, 152, FREE_IMAGE_FILTER(filter));
    QVERIFY(FreeImage_Save(FIF_JPEG, rescaled, QFile::encodeName(path(QStringLiteral("theirs.jpg"))).constData(), 90));
    FreeImage_Unload(rescaled);
    FreeImage_Unload(loaded);
    QCOMPARE(contentsOf(path(QStringLiteral("ours.jpg"))), contentsOf(path(QStringLiteral("theirs.jpg"))));
}

// clang-format off
void ImageEngineTest::fastDecodeDenominators_data()
{
    QTest::addColumn<QSize>("source");
    QTest::addColumn<QSize>("target");
    QTest::addColumn<int>("denominator");
    // 1001 x 751 decodes to 501 x 376, 251 x 188 and 126 x 94: each side
    // rounded up.
    QTest::newRow("exactly 1/2") << QSize(1001, 751) << QSize(501, 376) << 2;
    QTest::newRow("width one above 1/2") << QSize(1001, 751) << QSize(502, 376) << 1;
    QTest::newRow("height one above 1/2") << QSize(1001, 751) << QSize(501, 377) << 1;
    QTest::newRow("below 1/2") << QSize(1001, 751) << QSize(500, 300) << 2;
    QTest::newRow("exactly 1/4") << QSize(1001, 751) << QSize(251, 188) << 4;
    QTest::newRow("one above 1/4") << QSize(1001, 751) << QSize(252, 188) << 2;
    QTest::newRow("exactly 1/8") << QSize(1001, 751) << QSize(126, 94) << 8;
    QTest::newRow("one above 1/8") << QSize(1001, 751) << QSize(126, 95) << 4;
    QTest::newRow("far below 1/8") << QSize(4000, 3000) << QSize(40, 30) << 8;
    QTest::newRow("1 x 1 from 1 x 1") << QSize(1, 1) << QSize(1, 1) << 1;
    QTest::newRow("1 x 1 from 9 x 9") << QSize(9, 9) << QSize(1, 1) << 8;
    QTest::newRow("one-pixel column halved") << QSize(1, 100) << QSize(1, 50) << 2;
    QTest::newRow("same size") << QSize(640, 480) << QSize(640, 480) << 1;
    QTest::newRow("enlargement") << QSize(640, 480) << QSize(1280, 960) << 1;
    QTest::newRow("narrower but taller") << QSize(640, 480) << QSize(100, 500) << 1;
}
// clang-format on

void ImageEngineTest::fastDecodeDenominators()
{
    QFETCH(QSize, source);
    QFETCH(QSize, target);
    QFETCH(int, denominator);
    QCOMPARE(fastDecodeDenominator(source, target), denominator);
}

// clang-format off
void ImageEngineTest::fastReductionKeepsSizes_data()
{
    QTest::addColumn<QSize>("source");
    QTest::addColumn<double>("widthPercent");
    QTest::addColumn<double>("heightPercent");
    QTest::addColumn<int>("filter");
    QTest::addColumn<bool>("shrinksWhileDecoding");
    // 1001 x 751 is 500 x 376 at 50 %, 250 x 189 at 25 x 25.2 %, 125 x 94 at
    // 12.5 % and 126 x 95 at 12.6 %.
    QTest::newRow("half, odd sides") << QSize(1001, 751) << 50.0 << 50.0 << int(FILTER_BICUBIC) << true;
    QTest::newRow("just above 1/2") << QSize(1001, 751) << 50.1 << 50.0 << int(FILTER_BICUBIC) << false;
    QTest::newRow("quarter") << QSize(1001, 751) << 25.0 << 25.0 << int(FILTER_BILINEAR) << true;
    QTest::newRow("just above 1/4") << QSize(1001, 751) << 25.0 << 25.2 << int(FILTER_BOX) << true;
    QTest::newRow("eighth") << QSize(1001, 751) << 12.5 << 12.5 << int(FILTER_BSPLINE) << true;
    QTest::newRow("just above 1/8") << QSize(1001, 751) << 12.6 << 12.6 << int(FILTER_BICUBIC) << true;
    QTest::newRow("far below 1/8") << QSize(1001, 751) << 3.0 << 7.0 << int(FILTER_BICUBIC) << true;
    QTest::newRow("to 1 x 1") << QSize(33, 17) << 3.0 << 5.0 << int(FILTER_BICUBIC) << true;
    QTest::newRow("1 x 1 kept") << QSize(1, 1) << 60.0 << 60.0 << int(FILTER_BICUBIC) << false;
    QTest::newRow("slight reduction") << QSize(643, 411) << 90.0 << 90.0 << int(FILTER_BICUBIC) << false;
    QTest::newRow("one side only") << QSize(643, 411) << 100.0 << 30.0 << int(FILTER_BICUBIC) << false;
    QTest::newRow("enlargement") << QSize(120, 80) << 200.0 << 150.0 << int(FILTER_BICUBIC) << false;
    QTest::newRow("reduced one way, enlarged the other") << QSize(300, 200) << 20.0 << 150.0 << int(FILTER_BICUBIC)
                                                        << false;
}
// clang-format on

// The fast path gives the exact path's sizes; where the decoder cannot
// shrink, it is the exact path, byte for byte.
void ImageEngineTest::fastReductionKeepsSizes()
{
    QFETCH(QSize, source);
    QFETCH(double, widthPercent);
    QFETCH(double, heightPercent);
    QFETCH(int, filter);
    QFETCH(bool, shrinksWhileDecoding);
    const QString input = makeJpeg(QStringLiteral("in.jpg"), source);
    ScaleSettings settings;
    settings.widthPercent = widthPercent;
    settings.heightPercent = heightPercent;
    settings.filter = filter;
    settings.saveFlags = 90;
    QVERIFY(tryScaleImageFile(input, path(QStringLiteral("exact.jpg")), settings).written);
    settings.fastReduction = true;
    QVERIFY(tryScaleImageFile(input, path(QStringLiteral("fast.jpg")), settings).written);

    QCOMPARE(imageFileSize(path(QStringLiteral("fast.jpg")), kFormatJpeg),
             imageFileSize(path(QStringLiteral("exact.jpg")), kFormatJpeg));
    const bool same = contentsOf(path(QStringLiteral("fast.jpg"))) == contentsOf(path(QStringLiteral("exact.jpg")));
    QCOMPARE(same, !shrinksWhileDecoding);
}

void ImageEngineTest::keepsExifOrientation()
{
    TOVIN_REQUIRE_SHARED_TESTDATA(shared);
    const QString photo = shared + QStringLiteral("/orientation/Landscape_6.jpg");
    QCOMPARE(imageFileSize(photo, kFormatJpeg), QSize(1200, 1800));
    QVERIFY(scale(photo, path(QStringLiteral("out.jpg")), m_prompts, 50, 50, 85));
    QCOMPARE(imageFileSize(path(QStringLiteral("out.jpg")), kFormatJpeg), QSize(600, 900));
    QCOMPARE(exifOrientation(path(QStringLiteral("out.jpg"))), exifOrientation(photo));
    QVERIFY(!exifOrientation(photo).isEmpty());
}

// A copy that fails and a save that cannot write its destination raise an
// error the user is told about, naming the file; a failed decode is a quiet
// false. Either way no file appears.
// clang-format off
void ImageEngineTest::missingFiles_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("destination");
    QTest::addColumn<int>("saveFlags");
    QTest::addColumn<QString>("report");
    QTest::addColumn<QString>("title");
    QTest::newRow("no destination folder, re-encode") << "in.jpg" << "no/such/out.jpg" << 85 << "Error! (# 76): Path not found: no/such/out.jpg" << "Error! #76";
    QTest::newRow("no destination folder, copy") << "in.jpg" << "no/such/out.jpg" << 0 << "Error! (# 76): Path not found: no/such/out.jpg" << "Error! #76";
    QTest::newRow("no source, re-encode") << "gone.jpg" << "out.jpg" << 85 << QString() << QString();
    QTest::newRow("no source, copy") << "gone.jpg" << "out.jpg" << 0 << "Error! (# 53): File not found: gone.jpg" << "Error! #53";
}
// clang-format on

void ImageEngineTest::missingFiles()
{
    QFETCH(QString, source);
    QFETCH(QString, destination);
    QFETCH(int, saveFlags);
    QFETCH(QString, report);
    QFETCH(QString, title);
    makeJpeg(QStringLiteral("in.jpg"), {64, 48});
    QVERIFY(!scale(path(source), path(destination), m_prompts, 100, 100, saveFlags));
    QVERIFY(!QFile::exists(path(destination)));
    QVERIFY(!QDir(path(QStringLiteral("no"))).exists());
    const QString named = report.section(QStringLiteral(": "), 0, 1) + QStringLiteral(": ")
        + path(report.section(QStringLiteral(": "), 2));
    const QList<test::ShownPrompt> expected{test::messageBox(named, title, PromptIcon::Critical)};
    QCOMPARE(m_prompts.shown, report.isEmpty() ? QList<test::ShownPrompt>() : expected);
}

void ImageEngineTest::failureLeavesExistingFileAlone()
{
    const QString good = makeJpeg(QStringLiteral("out.jpg"), {32, 32});
    const QByteArray before = contentsOf(good);
    QFile broken(path(QStringLiteral("broken.jpg")));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write(contentsOf(good).left(20));
    broken.close();

    QVERIFY(!scale(broken.fileName(), good, m_prompts, 50, 50, 85));
    QCOMPARE(contentsOf(good), before);
    QVERIFY(scale(good, good, m_prompts, 50, 50, 85));
    QCOMPARE(imageFileSize(good, kFormatJpeg), QSize(16, 16));
    // Nothing half-written is left behind either way.
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden),
             (QStringList{QStringLiteral("broken.jpg"), QStringLiteral("out.jpg")}));
}

// clang-format off
void ImageEngineTest::unusualFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QSize>("halfSize");
    const QSize none(0, 0);
    QTest::newRow("empty") << "empty.jpg" << none << none;
    QTest::newRow("no frame header") << "missing-sof.jpg" << none << none;
    QTest::newRow("claims 65535 x 65535") << "max_size.jpg" << none << none;
    QTest::newRow("garbage after scan start") << "extraneous-bytes-after-sos.jpg" << QSize(1744, 2464) << QSize(872, 1232);
    QTest::newRow("truncated progressive") << "partial_progressive.jpg" << QSize(4, 4) << QSize(2, 2);
    QTest::newRow("progressive") << "jpg-progressive.jpg" << QSize(32, 32) << QSize(16, 16);
    QTest::newRow("CMYK") << "jpg-cmyk-1.jpg" << QSize(32, 32) << QSize(16, 16);
    QTest::newRow("greyscale") << "jpg-gray.jpg" << QSize(32, 32) << QSize(16, 16);
    QTest::newRow("one pixel") << "jpg-size-1x1.jpg" << QSize(1, 1) << QSize(1, 1);
    QTest::newRow("17 x 17") << "jpg-size-17x17.jpg" << QSize(17, 17) << QSize(8, 8);
    QTest::newRow("restart markers") << "restarts.jpg" << QSize(33, 33) << QSize(16, 16);
}
// clang-format on

// Every file must come through without a crash, a hang or a huge allocation.
void ImageEngineTest::unusualFiles()
{
    TOVIN_REQUIRE_SHARED_TESTDATA(shared);
    QFETCH(QString, name);
    QFETCH(QSize, size);
    QFETCH(QSize, halfSize);
    const QString source = shared + QStringLiteral("/unusual/") + name;
    const QString output = path(QStringLiteral("out.jpg"));

    const QSize measured = imageFileSize(source, kFormatJpeg);
    QCOMPARE(GetImageFileWidth(source, kFormatJpeg), measured.width());
    QCOMPARE(GetImageFileHeight(source, kFormatJpeg), measured.height());
    const bool written = scale(source, output, m_prompts, 50, 50, 85, 10, 10);
    QVERIFY(m_prompts.shown.isEmpty());
    if (size.isEmpty()) {
        QCOMPARE(measured, size);
        QVERIFY(!written);
        QVERIFY(!QFile::exists(output));
        return;
    }
    QVERIFY(written);
    QCOMPARE(measured, size);
    QCOMPARE(imageFileSize(output, kFormatJpeg), halfSize);
}

// clang-format off
void ImageEngineTest::fileExists_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("exists");
    QTest::newRow("file") << "a.jpg" << true;
    // A dot file is an ordinary file here: calling it missing would let the
    // batch run replace it without asking.
    QTest::newRow("dot file") << ".a.jpg" << true;
    QTest::newRow("folder") << "folder" << false;
    QTest::newRow("missing") << "b.jpg" << false;
}
// clang-format on

void ImageEngineTest::fileExists()
{
    QFETCH(QString, name);
    QFETCH(bool, exists);
    QFile(path(QStringLiteral("a.jpg"))).open(QIODevice::WriteOnly);
    QFile(path(QStringLiteral(".a.jpg"))).open(QIODevice::WriteOnly);
    QDir(m_dir->path()).mkdir(QStringLiteral("folder"));
    QCOMPARE(FileExists(path(name)), exists);
    QVERIFY(!FileExists(QString()));
}

// clang-format off
void ImageEngineTest::outcomeNamesTheReason_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<double>("percent");
    QTest::addColumn<QString>("destination");
    QTest::addColumn<ScaleSkip>("skip");
    QTest::addColumn<QString>("text");
    QTest::newRow("written") << "in.jpg" << 50.0 << "out.jpg" << ScaleSkip::None << "";
    QTest::newRow("no source") << "gone.jpg" << 50.0 << "out.jpg" << ScaleSkip::SourceUnreadable
                               << "cannot be read";
    QTest::newRow("a folder as source") << "folder" << 50.0 << "out.jpg" << ScaleSkip::SourceUnreadable
                                        << "cannot be read";
    QTest::newRow("not a JPEG") << "text.jpg" << 50.0 << "out.jpg" << ScaleSkip::NotDecodable
                                << "cannot be read or decoded";
    QTest::newRow("header beyond the budget") << "huge.jpg" << 50.0 << "out.jpg" << ScaleSkip::TooLargeToDecode
        << "too large to decode in the memory allowed for one image";
    // 64 x 48 at 40 times: 2560 x 1920 is fine, 70 times over the budget is not.
    QTest::newRow("enlargement within the budget") << "in.jpg" << 4000.0 << "out.jpg" << ScaleSkip::None << "";
    QTest::newRow("enlargement beyond the budget") << "in.jpg" << 70000.0 << "out.jpg" << ScaleSkip::TooLargeToEnlarge
        << "the enlarged picture would not fit in the memory allowed for one image";
}
// clang-format on

// Nothing written always comes with a reason a list of skipped images can
// name; only a written image has none.
void ImageEngineTest::outcomeNamesTheReason()
{
    QFETCH(QString, source);
    QFETCH(double, percent);
    QFETCH(QString, destination);
    QFETCH(ScaleSkip, skip);
    QFETCH(QString, text);
    makeJpeg(QStringLiteral("in.jpg"), {64, 48});
    QDir(m_dir->path()).mkdir(QStringLiteral("folder"));
    QFile textFile(path(QStringLiteral("text.jpg")));
    QVERIFY(textFile.open(QIODevice::WriteOnly) && textFile.write("plain text, not a picture") > 0);
    textFile.close();
    test::JpegRecipe huge;
    huge.size = {16, 16};
    huge.arithmetic = true;
    QFile hugeFile(path(QStringLiteral("huge.jpg")));
    QVERIFY(hugeFile.open(QIODevice::WriteOnly));
    hugeFile.write(test::withClaimedSize(test::encodeJpeg(huge), {40000, 30000}));
    hugeFile.close();

    const ScaleOutcome outcome =
        tryScaleImageFile(path(source), path(destination), {percent, percent, FILTER_BILINEAR, 85, kFormatJpeg, 0, 0});
    QCOMPARE(outcome.skip, skip);
    QCOMPARE(outcome.written, skip == ScaleSkip::None);
    QVERIFY(!outcome.error);
    QCOMPARE(QFile::exists(path(destination)), outcome.written);
    QCOMPARE(scaleSkipText(skip), text);
}

QTEST_GUILESS_MAIN(ImageEngineTest)
#include "tst_imageengine.moc"
