// The image engine on real files: sizes, copy or re-encode, qualities, the
// fast reduction, and why nothing was written.

#include "fastreduction.h"
#include "imageengine.h"
#include "jpegrecipes.h"
#include "testenvironment.h"
#include "testimages.h"

#include <FreeImage.h>

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace tovin;
using tovin::test::readBytes;

Q_DECLARE_METATYPE(tovin::ScaleSkip)

class ImageEngineTest : public QObject
{
    Q_OBJECT

    QString path(const QString &name) const { return QDir(m_dir->path()).filePath(name); }
    QString makeJpeg(const QString &name, QSize size)
    {
        if (!test::writeTestJpeg(path(name), size))
            qFatal("could not write a test image");
        return path(name);
    }
    bool scale(const QString &from, const QString &to, double width, double height, int flags)
    {
        return ScaleImageFile(from, to, {width, height, FILTER_BICUBIC, {.saveFlags = flags}}).written;
    }

    std::unique_ptr<QTemporaryDir> m_dir;

private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    // Quality 0: copied byte for byte.
    void scales_data()
    {
        QTest::addColumn<QSize>("source");
        QTest::addColumn<double>("widthPercent");
        QTest::addColumn<double>("heightPercent");
        QTest::addColumn<int>("saveFlags");
        QTest::addColumn<QSize>("result");
        QTest::addColumn<int>("quality");
        const QSize small(64, 48);
        QTest::newRow("500.5 rounds to even 500") << QSize(1001, 20) << 50.0 << 100.0 << 85 << QSize(500, 20) << 85;
        QTest::newRow("501.5 rounds to even 502") << QSize(1003, 20) << 50.0 << 100.0 << 85 << QSize(502, 20) << 85;
        QTest::newRow("height below 1: as the width") << QSize(1000, 10) << 50.0 << 1.0 << 85 << QSize(500, 5) << 85;
        QTest::newRow("width below 1: as the height") << QSize(10, 1000) << 1.0 << 50.0 << 85 << QSize(5, 500) << 85;
        QTest::newRow("both below one pixel: unchanged") << QSize(1, 1) << 10.0 << 10.0 << 85 << QSize(1, 1) << 85;
        QTest::newRow("a side still 0 after the other: unchanged")
            << QSize(1000, 10) << 0.5 << 0.5 << 85 << QSize(1000, 10) << 85;
        QTest::newRow("fraction of a percent") << QSize(400, 300) << 0.5 << 50.0 << 85 << QSize(2, 150) << 85;
        QTest::newRow("enlargement") << QSize(120, 80) << 200.0 << 150.0 << 85 << QSize(240, 120) << 85;
        QTest::newRow("nothing to change: copied, never decoded") << small << 100.0 << 100.0 << 0 << small << 0;
        QTest::newRow("\"100\" re-encodes at full size") << small << 100.0 << 100.0 << 100 << small << 100;
        QTest::newRow("refused typing: the library's default") << small << 50.0 << 50.0 << 0 << QSize(32, 24) << 75;
    }

    void scales()
    {
        QFETCH(QSize, source);
        QFETCH(double, widthPercent);
        QFETCH(double, heightPercent);
        QFETCH(int, saveFlags);
        QFETCH(int, quality);
        const QString input = makeJpeg(QStringLiteral("in.jpg"), source);
        if (quality == 0)
            QVERIFY(test::writeBytes(input, "no picture, copied as it is"));
        // A larger file stands where the output goes: it must be replaced whole.
        const QString output = makeJpeg(QStringLiteral("out.jpg"), {200, 150});
        QVERIFY(scale(input, output, widthPercent, heightPercent, saveFlags));
        QCOMPARE(readBytes(output) == readBytes(input), quality == 0);
        if (quality != 0) {
            QTEST(imageFileSize(output), "result");
            QCOMPARE(test::firstQuantisationTable(output), test::expectedLuminanceTable(quality));
        }
    }

    // The largest denominator that keeps the decoded picture at least the
    // target (1001 x 751 decodes to 501 x 376, 251 x 188 and 126 x 94).
    void fastReduction_data()
    {
        QTest::addColumn<QSize>("source");
        QTest::addColumn<double>("widthPercent");
        QTest::addColumn<double>("heightPercent");
        QTest::addColumn<int>("denominator");
        QTest::newRow("exactly 1/2") << QSize(1001, 751) << 50.05 << 50.05 << 2;
        QTest::newRow("width one above 1/2") << QSize(1001, 751) << 50.15 << 50.05 << 1;
        QTest::newRow("height one above 1/2") << QSize(1001, 751) << 50.05 << 50.2 << 1;
        QTest::newRow("exactly 1/4") << QSize(1001, 751) << 25.08 << 25.04 << 4;
        QTest::newRow("one above 1/4") << QSize(1001, 751) << 25.17 << 25.04 << 2;
        QTest::newRow("exactly 1/8") << QSize(1001, 751) << 12.6 << 12.52 << 8;
        QTest::newRow("one above 1/8") << QSize(1001, 751) << 12.6 << 12.6 << 4;
        QTest::newRow("to 1 x 1") << QSize(33, 17) << 3.0 << 5.0 << 8;
        QTest::newRow("one-pixel column halved") << QSize(1, 100) << 100.0 << 50.0 << 2;
        QTest::newRow("one side only") << QSize(643, 411) << 100.0 << 30.0 << 1;
        QTest::newRow("reduced one way, enlarged the other") << QSize(300, 200) << 20.0 << 150.0 << 1;
    }

    void fastReduction()
    {
        QFETCH(QSize, source);
        QFETCH(double, widthPercent);
        QFETCH(double, heightPercent);
        QFETCH(int, denominator);
        const QSize target = rescaledSize(source, widthPercent, heightPercent).value();
        QCOMPARE(fastDecodeDenominator(source, target), denominator);
        const QString input = makeJpeg(QStringLiteral("in.jpg"), source);
        const QString exact = path(QStringLiteral("exact.jpg")), fast = path(QStringLiteral("fast.jpg"));
        ScaleSettings settings{widthPercent, heightPercent, FILTER_BICUBIC, {.saveFlags = 90}};
        QVERIFY(ScaleImageFile(input, exact, settings).written);
        settings.fastReduction = true;
        QVERIFY(ScaleImageFile(input, fast, settings).written);
        QCOMPARE(imageFileSize(fast), target);
        QCOMPARE(imageFileSize(exact), target);
        QCOMPARE(readBytes(fast) == readBytes(exact), denominator == 1);
    }

    // Nothing written comes with a run-time error naming the file or with a
    // reason to list the image as skipped; no file and no folder appears.
    void outcomes_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("destination");
        QTest::addColumn<double>("percent");
        QTest::addColumn<int>("saveFlags");
        QTest::addColumn<ScaleSkip>("skip");
        QTest::addColumn<QString>("error"); // number and file
        using enum ScaleSkip;
        // clang-format off
        QTest::newRow("written") << "in.jpg" << "out.jpg" << 50.0 << 85 << None << "";
        QTest::newRow("no folder, re-encode") << "in.jpg" << "no/out.jpg" << 100.0 << 85 << None << "76 no/out.jpg";
        QTest::newRow("no folder, copy") << "in.jpg" << "no/out.jpg" << 100.0 << 0 << None << "76 no/out.jpg";
        QTest::newRow("no source, copy") << "gone.jpg" << "out.jpg" << 100.0 << 0 << None << "53 gone.jpg";
        QTest::newRow("no source") << "gone.jpg" << "out.jpg" << 100.0 << 85 << SourceUnreadable << "";
        QTest::newRow("a folder as source") << "folder" << "out.jpg" << 50.0 << 85 << SourceUnreadable << "";
        QTest::newRow("not a JPEG") << "text.jpg" << "out.jpg" << 50.0 << 85 << NotDecodable << "";
        QTest::newRow("header beyond the budget") << "huge.jpg" << "out.jpg" << 50.0 << 85 << TooLargeToDecode << "";
        // 64 x 48 at 40 times: 2560 x 1920 fits the budget, 70 times over it does not.
        QTest::newRow("enlarged within it") << "in.jpg" << "out.jpg" << 4000.0 << 85 << None << "";
        QTest::newRow("enlarged beyond it") << "in.jpg" << "out.jpg" << 70000.0 << 85 << TooLargeToEnlarge << "";
        // clang-format on
    }

    void outcomes()
    {
        QFETCH(QString, source);
        QFETCH(QString, destination);
        QFETCH(double, percent);
        QFETCH(int, saveFlags);
        QFETCH(ScaleSkip, skip);
        QFETCH(QString, error);
        makeJpeg(QStringLiteral("in.jpg"), {64, 48});
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("folder")));
        QVERIFY(test::writeBytes(path(QStringLiteral("text.jpg")), "plain text, not a picture"));
        const QByteArray huge = test::encodeJpeg({.size = {16, 16}, .arithmetic = true});
        QVERIFY(test::writeBytes(path(QStringLiteral("huge.jpg")), test::withClaimedSize(huge, {40000, 30000})));

        const ScaleSettings settings{percent, percent, FILTER_BILINEAR, {.saveFlags = saveFlags}};
        const ScaleOutcome outcome = ScaleImageFile(path(source), path(destination), settings);
        QCOMPARE(outcome.skip, skip);
        QCOMPARE(outcome.written, skip == ScaleSkip::None && error.isEmpty());
        QCOMPARE(QFile::exists(path(destination)), outcome.written);
        QVERIFY(!QDir(path(QStringLiteral("no"))).exists());
        if (!outcome.error) {
            QVERIFY(error.isEmpty());
            return;
        }
        const RuntimeError &raised = *outcome.error;
        QCOMPARE(QStringLiteral("%1 %2").arg(raised.number()).arg(QDir(m_dir->path()).relativeFilePath(raised.file())),
                 error);
    }

    void failureLeavesExistingFileAlone()
    {
        const QString good = makeJpeg(QStringLiteral("out.jpg"), {32, 32});
        const QByteArray before = readBytes(good);
        QVERIFY(test::writeBytes(path(QStringLiteral("broken.jpg")), before.left(20)));
        QVERIFY(!scale(path(QStringLiteral("broken.jpg")), good, 50, 50, 85));
        QCOMPARE(readBytes(good), before);
        QVERIFY(scale(good, good, 50, 50, 85));
        QCOMPARE(imageFileSize(good), QSize(16, 16));
        // Nothing half-written is left behind either way.
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{QStringLiteral("broken.jpg"), QStringLiteral("out.jpg")}));
    }

    // A dot file is an ordinary file here: calling it missing would let the
    // batch run replace it without asking.
    void fileExists()
    {
        QVERIFY(test::writeBytes(path(QStringLiteral(".a.jpg")), {}));
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("folder")));
        for (auto [name, exists] : {std::pair(".a.jpg", true), {"folder", false}, {"b.jpg", false}})
            QCOMPARE(FileExists(path(QLatin1String(name))), exists);
        QVERIFY(!FileExists(QString()));
    }
};

QTEST_GUILESS_MAIN(ImageEngineTest)
#include "tst_imageengine.moc"
