// A file's weight, download time and size in words; before and during a run,
// the images, their weight, the projected output and the time left.

#include "batchestimate.h"
#include "imageinfo.h"
#include "runprogress.h"
#include "runtimeerror.h"
#include "testenvironment.h"
#include "testimages.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tovin;
using namespace tovin::test;

class BatchTextsTest : public QObject
{
    Q_OBJECT

private slots:
    void imageInfo_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("text");
        const auto info = [](const char *kilobytes, const char *download, const char *dimensions) {
            return QStringLiteral("File Size: %1 KB \nDownload Speed: %2 @28.8Kbps\nDimensions: (%3)")
                .arg(kilobytes, download, dimensions);
        };
        const QSize photo(64, 48);
        // clang-format off
        QTest::newRow("0 bytes") << qint64(0) << QSize() << info("0", "0 Secs", "0 x 0");
        QTest::newRow("58.5 s rounds down to even") << qint64(215631) << photo << info("211", "58 Secs", "64 x 48");
        QTest::newRow("59.5 s rounds up to 60: minutes") << qint64(219317) << photo << info("214", "1 Mins", "64 x 48");
        QTest::newRow("1.5 KB rounds to 2") << qint64(1536) << QSize() << info("2", "0 Secs", "0 x 0");
        QTest::newRow("2.5 KB rounds to 2") << qint64(2560) << QSize() << info("2", "1 Secs", "0 x 0");
        QTest::newRow("whole hours drop out") << qint64(3686LL * 3600) << QSize() << info("12959", "0 Mins", "0 x 0");
        // clang-format on
    }

    // A photo padded to the byte count (decoders stop at the end-of-image
    // marker), or bytes that are no picture.
    void imageInfo()
    {
        QFETCH(qint64, bytes);
        QFETCH(QSize, size);
        QTemporaryDir folder;
        QFile file(folder.filePath("photo.jpg"));
        QVERIFY(!size.isValid() || writeTestJpeg(file.fileName(), size, 75));
        QVERIFY(file.open(QIODevice::ReadWrite) && file.size() <= bytes && file.resize(bytes));
        file.close();
        QTEST(imageInfoText(file.fileName()), "text");
        QVERIFY_THROWS_EXCEPTION(RuntimeError, imageInfoText("/no/such/photo.jpg"));
    }

    void estimateCountsSelectedImagesOnly()
    {
        QTemporaryDir dir;
        QList<BatchItem> items{{dir.path(), true, ListEntryKind::Folder, {}},
                               {dir.filePath("gone.jpg"), true, ListEntryKind::Image, {}}};
        for (const auto &[name, size, selected] :
             {std::tuple("a.jpg", 1000, true), std::tuple("b.jpg", 2048, true), std::tuple("c.jpg", 5000, false)}) {
            items.append({dir.filePath(name), selected, ListEntryKind::Image, {}});
            QVERIFY(writeBytes(items.last().key, QByteArray(size, 'x')));
        }
        const BatchEstimate estimate = estimateBatch(items);
        QCOMPARE(estimate.originalBytes, qint64(3048));
        QCOMPARE(estimate.text(), QStringLiteral("3 images, 3.0 KB"));
    }

    void projectionFollowsTheImagesDone()
    {
        // No projection before the first image is done, nor from nothing written.
        for (const auto &[done, written, text] :
             {std::tuple(0, 0, "4 images, 2.0 MB"), std::tuple(1, 300 * 1024, "4 images, 2.0 MB; output about 1.2 MB"),
              std::tuple(2, 0, "4 images, 2.0 MB")}) {
            BatchEstimate estimate{4, 2 * 1024 * 1024, {}};
            projectOutput(estimate, done, written);
            QCOMPARE(estimate.text(), QString::fromLatin1(text));
        }
    }

    void onlyFilesOfTheRunCount()
    {
        QTemporaryDir dir;
        QFile old(dir.filePath("old.jpg"));
        QVERIFY(writeBytes(old.fileName(), QByteArray(700, 'x')) && old.open(QIODevice::ReadWrite));
        QVERIFY(old.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime));
        old.close();
        const QDateTime start = QDateTime::currentDateTime().addSecs(-1);
        QVERIFY(writeBytes(dir.filePath("new.jpg"), QByteArray(300, 'x')));
        QCOMPARE(bytesWrittenSince(dir.path(), start), qint64(300));
        QCOMPARE(bytesWrittenSince(dir.filePath("missing"), start), qint64(0));
    }

    void timeLeftAtThePaceSoFar()
    {
        QCOMPARE((RunProgress{0, 4, 1200}.timeText()), QStringLiteral("0:01 elapsed"));
        QCOMPARE((RunProgress{1, 4, 10000}.timeText()), QStringLiteral("0:10 elapsed, about 0:30 left"));
        QCOMPARE((RunProgress{4, 4, 61000}.timeText()), QStringLiteral("1:01 elapsed, about 0:00 left"));
        QCOMPARE((RunProgress{1, 2, 3725000}.timeText()), QStringLiteral("1:02:05 elapsed, about 1:02:05 left"));
    }
};

QTEST_GUILESS_MAIN(BatchTextsTest)
#include "tst_batchtexts.moc"
