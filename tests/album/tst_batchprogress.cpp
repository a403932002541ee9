// What the batch window tells before and during a run: the images, their
// weight, the projected output, and the time left.

#include "batchestimate.h"
#include "runprogress.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tovin;

namespace {

QString writeBytes(const QTemporaryDir &dir, const QString &name, int size)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray(size, 'x')) != size)
        qFatal("could not write a test file");
    return path;
}

} // namespace

class BatchProgressTest : public QObject
{
    Q_OBJECT

private slots:
    void estimateCountsSelectedImagesOnly();
    void projectionFollowsTheImagesDone_data();
    void projectionFollowsTheImagesDone();
    void onlyFilesOfTheRunCount();
    void timeLeftAtThePaceSoFar_data();
    void timeLeftAtThePaceSoFar();
};

void BatchProgressTest::estimateCountsSelectedImagesOnly()
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

void BatchProgressTest::projectionFollowsTheImagesDone_data()
{
    QTest::addColumn<int>("done");
    QTest::addColumn<qint64>("written");
    QTest::addColumn<QString>("text");
    QTest::newRow("nothing yet") << 0 << qint64(0) << "4 images, 2.0 MB";
    QTest::newRow("one of four") << 1 << qint64(300 * 1024) << "4 images, 2.0 MB; output about 1.2 MB";
    QTest::newRow("nothing written") << 2 << qint64(0) << "4 images, 2.0 MB";
}

void BatchProgressTest::projectionFollowsTheImagesDone()
{
    QFETCH(int, done);
    QFETCH(qint64, written);
    QFETCH(QString, text);
    BatchEstimate estimate{4, 2 * 1024 * 1024, {}};
    projectOutput(estimate, done, written);
    QCOMPARE(estimate.text(), text);
}

void BatchProgressTest::onlyFilesOfTheRunCount()
{
    QTemporaryDir dir;
    writeBytes(dir, QStringLiteral("old.jpg"), 700);
    QFile old(dir.filePath(QStringLiteral("old.jpg")));
    QVERIFY(old.open(QIODevice::ReadWrite));
    QVERIFY(old.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime));
    old.close();
    const QDateTime start = QDateTime::currentDateTime().addSecs(-1);
    writeBytes(dir, QStringLiteral("new.jpg"), 300);
    QCOMPARE(bytesWrittenSince(dir.path(), start), qint64(300));
    QCOMPARE(bytesWrittenSince(dir.filePath(QStringLiteral("missing")), start), qint64(0));
}

void BatchProgressTest::timeLeftAtThePaceSoFar_data()
{
    QTest::addColumn<int>("done");
    QTest::addColumn<int>("total");
    QTest::addColumn<qint64>("elapsedMs");
    QTest::addColumn<QString>("text");
    QTest::newRow("nothing done yet") << 0 << 4 << qint64(1200) << "0:01 elapsed";
    QTest::newRow("one of four") << 1 << 4 << qint64(10000) << "0:10 elapsed, about 0:30 left";
    QTest::newRow("all done") << 4 << 4 << qint64(61000) << "1:01 elapsed, about 0:00 left";
    QTest::newRow("past an hour") << 1 << 2 << qint64(3725000) << "1:02:05 elapsed, about 1:02:05 left";
}

void BatchProgressTest::timeLeftAtThePaceSoFar()
{
    QFETCH(int, done);
    QFETCH(int, total);
    QFETCH(qint64, elapsedMs);
    QFETCH(QString, text);
    QCOMPARE((RunProgress{done, total, elapsedMs}.timeText()), text);
}

QTEST_GUILESS_MAIN(BatchProgressTest)
#include "tst_batchprogress.moc"
