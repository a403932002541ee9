// Adjusted previews rendered away from the window's thread: what reaches the
// preview file, and that an overtaken request is never shown.

#include "adjustedpreviewrunner.h"
#include "testenvironment.h"
#include "testimages.h"

#include <FreeImage.h>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace tovin;

namespace {

ScaleSettings settingsFor(double percent, int saveFlags = 100)
{
    ScaleSettings settings;
    settings.widthPercent = settings.heightPercent = percent;
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
    void init()
    {
        m_folder = std::make_unique<QTemporaryDir>();
        m_source = m_folder->filePath(QStringLiteral("photo.jpg"));
        m_preview = m_folder->filePath(QStringLiteral("tmp/x.jpg"));
        QVERIFY(QDir(m_folder->path()).mkdir(QStringLiteral("tmp")));
        QVERIFY(test::writeTestJpeg(m_source, QSize(640, 480), 75));
    }

    void writesThePreviewFile_data()
    {
        QTest::addColumn<double>("percent");
        QTest::addColumn<int>("saveFlags");
        QTest::addColumn<QSize>("size");
        // A refused typed quality leaves the flags at 0: nothing to change, so the
        // preview is the original's bytes.
        QTest::newRow("no change, flags 0: copy") << 100.0 << 0 << QSize(640, 480);
        QTest::newRow("quality 100: re-encoded") << 100.0 << 100 << QSize(640, 480);
        QTest::newRow("half size") << 50.0 << 100 << QSize(320, 240);
    }

    void writesThePreviewFile()
    {
        QFETCH(double, percent);
        QFETCH(int, saveFlags);
        QFETCH(QSize, size);
        AdjustedPreviewRunner runner(m_preview);
        QSignalSpy finished(&runner, &AdjustedPreviewRunner::finished);
        runner.start(m_source, settingsFor(percent, saveFlags));
        QVERIFY(runner.isBusy());
        QVERIFY(finished.wait(20000));
        QVERIFY(!runner.isBusy());
        QVERIFY(finished.first().first().value<AdjustedPreviewOutcome>().written);
        QCOMPARE(test::readBytes(m_preview) == test::readBytes(m_source), saveFlags == 0);
        QCOMPARE(jpegSize(m_preview), size);
        if (saveFlags == 100)
            QCOMPARE(test::firstQuantisationTable(m_preview), test::expectedLuminanceTable(100));
        QCOMPARE(previewFolderFiles(), QStringList{"x.jpg"});
    }

    void overtakenRequestIsNeverShown()
    {
        // An older preview file is in place; the first request is overtaken by a
        // second before its result comes back.
        QVERIFY(test::writeTestJpeg(m_preview, QSize(10, 10)));
        AdjustedPreviewRunner runner(m_preview);
        QList<QSize> sizesShown;
        connect(&runner, &AdjustedPreviewRunner::finished, this,
                [&](const AdjustedPreviewOutcome &) { sizesShown.append(jpegSize(m_preview)); });
        runner.start(m_source, settingsFor(200));
        runner.start(m_source, settingsFor(25));
        runner.waitForIdle();
        QTRY_COMPARE(sizesShown.size(), 1);
        QTest::qWait(50);
        QCOMPARE(sizesShown, QList<QSize>{QSize(160, 120)});
        QCOMPARE(jpegSize(m_preview), QSize(160, 120));
        QCOMPARE(previewFolderFiles(), QStringList{"x.jpg"});
    }

    void cancelledOrFailedRequestWritesNothing()
    {
        AdjustedPreviewRunner runner(m_preview);
        QSignalSpy finished(&runner, &AdjustedPreviewRunner::finished);
        runner.start(m_source, settingsFor(50));
        runner.cancel();
        runner.waitForIdle();
        QTRY_VERIFY(!runner.isBusy());
        QCOMPARE(finished.size(), 0);
        QVERIFY(previewFolderFiles().isEmpty());

        QVERIFY(test::writeBytes(m_source, "not a picture"));
        runner.start(m_source, settingsFor(50));
        QVERIFY(finished.wait(20000));
        QVERIFY(!finished.first().first().value<AdjustedPreviewOutcome>().written);
        QVERIFY(previewFolderFiles().isEmpty());
    }

private:
    QStringList previewFolderFiles() const { return QDir(m_folder->filePath("tmp")).entryList(QDir::Files); }

    std::unique_ptr<QTemporaryDir> m_folder;
    QString m_source;
    QString m_preview;
};

QTEST_GUILESS_MAIN(AdjustedPreviewTest)
#include "tst_adjustedpreview.moc"
