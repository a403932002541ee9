// Adjusted previews rendered away from the window's thread: what reaches the
// preview file, and that an overtaken request is never shown.

#include "adjustedpreviewrunner.h"
#include "imageengine.h"
#include "testenvironment.h"
#include "testimages.h"

#include <FreeImage.h>

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace tovin;

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

    // Whether it is copied or re-encoded is the engine's rule, tested with it.
    void writesThePreviewFile()
    {
        AdjustedPreviewRunner runner(m_preview);
        QSignalSpy finished(&runner, &AdjustedPreviewRunner::finished);
        runner.start(m_source, {50, 50, FILTER_BICUBIC, {.saveFlags = 100}});
        QVERIFY(runner.isBusy());
        QVERIFY(finished.wait(20000));
        QVERIFY(!runner.isBusy());
        QVERIFY(finished.first().first().value<AdjustedPreviewOutcome>().written);
        QCOMPARE(imageFileSize(m_preview), QSize(320, 240));
        QCOMPARE(previewFolderFiles(), QStringList{"x.jpg"});
    }

    void overtakenRequestIsNeverShown()
    {
        // The first request is overtaken before its result comes back.
        QVERIFY(test::writeTestJpeg(m_preview, QSize(10, 10)));
        AdjustedPreviewRunner runner(m_preview);
        QList<QSize> sizesShown;
        connect(&runner, &AdjustedPreviewRunner::finished, this,
                [&](const AdjustedPreviewOutcome &) { sizesShown.append(imageFileSize(m_preview)); });
        runner.start(m_source, {200, 200, FILTER_BICUBIC, {.saveFlags = 100}});
        runner.start(m_source, {25, 25, FILTER_BICUBIC, {.saveFlags = 100}});
        runner.waitForIdle();
        QTRY_COMPARE(sizesShown.size(), 1);
        QTest::qWait(50);
        QCOMPARE(sizesShown, QList<QSize>{QSize(160, 120)});
        QCOMPARE(imageFileSize(m_preview), QSize(160, 120));
        QCOMPARE(previewFolderFiles(), QStringList{"x.jpg"});
    }

    void cancelledOrFailedRequestWritesNothing()
    {
        AdjustedPreviewRunner runner(m_preview);
        QSignalSpy finished(&runner, &AdjustedPreviewRunner::finished);
        runner.start(m_source, {50, 50, FILTER_BICUBIC, {.saveFlags = 100}});
        runner.cancel();
        runner.waitForIdle();
        QTRY_VERIFY(!runner.isBusy());
        QCOMPARE(finished.size(), 0);
        QVERIFY(previewFolderFiles().isEmpty());

        QVERIFY(test::writeBytes(m_source, "not a picture"));
        runner.start(m_source, {50, 50, FILTER_BICUBIC, {.saveFlags = 100}});
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
