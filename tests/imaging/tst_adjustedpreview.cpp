// Adjusted previews rendered away from the window's thread: what reaches the
// preview file, and that an overtaken request is never shown.

#include "adjustedpreviewrunner.h"
#include "testimages.h"

#include <FreeImage.h>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace tovin;

namespace {

QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

ScaleSettings settingsFor(double percent, int saveFlags)
{
    ScaleSettings settings;
    settings.widthPercent = percent;
    settings.heightPercent = percent;
    settings.filter = FILTER_BICUBIC;
    settings.saveFlags = saveFlags;
    return settings;
}

QSize jpegSize(const QString &path)
{
    FIBITMAP *bitmap = FreeImage_Load(FIF_JPEG, QFile::encodeName(path).constData(), FIF_LOAD_NOPIXELS);
    const QSize size = bitmap ? QSize(int(FreeImage_GetWidth(bitmap)), int(FreeImage_GetHeight(bitmap))) : QSize();
    FreeImage_Unload(bitmap);
    return size;
}

} // namespace

class AdjustedPreviewTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void writesThePreviewFile_data();
    void writesThePreviewFile();
    void overtakenRequestIsNeverShown();
    void cancelledRequestLeavesNothing();
    void failureIsReportedNotWritten();

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    QString m_source;
    QString m_preview;
};

void AdjustedPreviewTest::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    m_source = m_folder->filePath(QStringLiteral("photo.jpg"));
    m_preview = m_folder->filePath(QStringLiteral("tmp/x.jpg"));
    QVERIFY(QDir(m_folder->path()).mkdir(QStringLiteral("tmp")));
    QVERIFY(test::writeTestJpeg(m_source, QSize(640, 480), 75));
}

void AdjustedPreviewTest::writesThePreviewFile_data()
{
    QTest::addColumn<double>("percent");
    QTest::addColumn<int>("saveFlags");
    QTest::addColumn<bool>("byteCopy");
    QTest::addColumn<QSize>("size");

    // A refused typed quality leaves the flags at 0: nothing to change, so the
    // preview is the original's bytes.
    QTest::newRow("no change, flags 0: copy") << 100.0 << 0 << true << QSize(640, 480);
    QTest::newRow("quality 100: re-encoded") << 100.0 << 100 << false << QSize(640, 480);
    QTest::newRow("half size") << 50.0 << 100 << false << QSize(320, 240);
}

void AdjustedPreviewTest::writesThePreviewFile()
{
    QFETCH(double, percent);
    QFETCH(int, saveFlags);
    QFETCH(bool, byteCopy);
    QFETCH(QSize, size);

    AdjustedPreviewRunner runner(m_preview);
    QSignalSpy finished(&runner, &AdjustedPreviewRunner::finished);
    runner.start(m_source, settingsFor(percent, saveFlags));
    QVERIFY(runner.isBusy());
    QVERIFY(finished.wait(20000));
    QVERIFY(!runner.isBusy());
    QVERIFY(finished.first().first().value<AdjustedPreviewOutcome>().written);
    QCOMPARE(contentsOf(m_preview) == contentsOf(m_source), byteCopy);
    QCOMPARE(jpegSize(m_preview), size);
    if (saveFlags == 100)
        QCOMPARE(test::firstQuantisationTable(m_preview), test::expectedLuminanceTable(100));
    QCOMPARE(QDir(m_folder->filePath(QStringLiteral("tmp"))).entryList(QDir::Files), QStringList{"x.jpg"});
}

void AdjustedPreviewTest::overtakenRequestIsNeverShown()
{
    // An older preview file is in place; the first request is overtaken by a
    // second before its result comes back.
    QVERIFY(test::writeTestJpeg(m_preview, QSize(10, 10)));
    AdjustedPreviewRunner runner(m_preview);
    QList<AdjustedPreviewOutcome> shown;
    QList<QSize> sizesShown;
    connect(&runner, &AdjustedPreviewRunner::finished, this, [&](const AdjustedPreviewOutcome &outcome) {
        shown.append(outcome);
        sizesShown.append(jpegSize(m_preview));
    });
    runner.start(m_source, settingsFor(200, 100));
    runner.start(m_source, settingsFor(25, 100));
    runner.waitForIdle();
    QTRY_COMPARE(shown.size(), 1);
    QTest::qWait(50);
    QCOMPARE(shown.size(), 1);
    QCOMPARE(sizesShown, QList<QSize>{QSize(160, 120)});
    QCOMPARE(jpegSize(m_preview), QSize(160, 120));
    QCOMPARE(QDir(m_folder->filePath(QStringLiteral("tmp"))).entryList(QDir::Files), QStringList{"x.jpg"});
}

void AdjustedPreviewTest::cancelledRequestLeavesNothing()
{
    AdjustedPreviewRunner runner(m_preview);
    QSignalSpy finished(&runner, &AdjustedPreviewRunner::finished);
    runner.start(m_source, settingsFor(50, 100));
    runner.cancel();
    runner.waitForIdle();
    QTRY_VERIFY(!runner.isBusy());
    QCOMPARE(finished.size(), 0);
    QVERIFY(QDir(m_folder->filePath(QStringLiteral("tmp"))).entryList(QDir::Files).isEmpty());
}

void AdjustedPreviewTest::failureIsReportedNotWritten()
{
    QFile broken(m_source);
    QVERIFY(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
    broken.write("not a picture");
    broken.close();
    AdjustedPreviewRunner runner(m_preview);
    QSignalSpy finished(&runner, &AdjustedPreviewRunner::finished);
    runner.start(m_source, settingsFor(50, 100));
    QVERIFY(finished.wait(20000));
    QVERIFY(!finished.first().first().value<AdjustedPreviewOutcome>().written);
    QVERIFY(!QFile::exists(m_preview));
}

QTEST_GUILESS_MAIN(AdjustedPreviewTest)
#include "tst_adjustedpreview.moc"
