// What the batch window tells before and during a run: the images, their
// weight, the projected output, and the time left.

#include "batchestimate.h"
#include "runprogress.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tovin;

namespace {

QString writeBytes(const QTemporaryDir &dir, const QString &name, int size)
{
    const QString path = dir.filePath(name);
    return test::writeBytes(path, QByteArray(size, 'x')) ? path : QString();
}

} // namespace

class BatchProgressTest : public QObject
{
    Q_OBJECT

private slots:
    void estimateCountsSelectedImagesOnly()
    {
        QTemporaryDir dir;
        const QList<BatchItem> items{
            {writeBytes(dir, QStringLiteral("a.jpg"), 1000), true, ListEntryKind::Image, {}},
            {writeBytes(dir, QStringLiteral("b.jpg"), 2048), true, ListEntryKind::Image, {}},
            {writeBytes(dir, QStringLiteral("c.jpg"), 5000), false, ListEntryKind::Image, {}},
            {dir.path(), true, ListEntryKind::Folder, {}},
            {dir.filePath(QStringLiteral("gone.jpg")), true, ListEntryKind::Image, {}},
        };
        const BatchEstimate estimate = estimateBatch(items);
        QCOMPARE(estimate.images, 3);
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
        QFile old(writeBytes(dir, QStringLiteral("old.jpg"), 700));
        QVERIFY(old.open(QIODevice::ReadWrite));
        QVERIFY(old.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime));
        old.close();
        const QDateTime start = QDateTime::currentDateTime().addSecs(-1);
        writeBytes(dir, QStringLiteral("new.jpg"), 300);
        QCOMPARE(bytesWrittenSince(dir.path(), start), qint64(300));
        QCOMPARE(bytesWrittenSince(dir.filePath(QStringLiteral("missing")), start), qint64(0));
    }

    void timeLeftAtThePaceSoFar()
    {
        QCOMPARE((RunProgress{0, 4, 1200}.timeText()), QStringLiteral("0:01 elapsed"));
        QCOMPARE((RunProgress{1, 4, 10000}.timeText()), QStringLiteral("0:10 elapsed, about 0:30 left"));
        QCOMPARE((RunProgress{4, 4, 61000}.timeText()), QStringLiteral("1:01 elapsed, about 0:00 left"));
        QCOMPARE((RunProgress{1, 2, 3725000}.timeText()), QStringLiteral("1:02:05 elapsed, about 1:02:05 left"));
    }
};

QTEST_GUILESS_MAIN(BatchProgressTest)
#include "tst_batchprogress.moc"
