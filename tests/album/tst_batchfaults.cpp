// The batch run under faults: sources that are no pictures, destinations
// that cannot be written, outputs that feed later sources, runs that end
// early. Whatever happens is said, in the order a run one by one would say
// it, and the album always opens.

#include "batchfixture.h"
#include "testenvironment.h"
#include "testimages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

using namespace tovin;
using namespace tovin::test;

class BatchFaultsTest : public QObject
{
    Q_OBJECT

private slots:
    void imagesThatCannotBeReadAreSkippedAndNamed_data()
    {
        QTest::addColumn<BatchMode>("mode");
        QTest::addColumn<int>("workers");
        QTest::addColumn<QString>("left");
        const QString scaled = "first.jpg 20x15, last.jpg 30x15";
        const QString album = "Sorvel.xml 20x15 30x15";
        const QString pictures =
            ", slides/first.jpg 40x30, slides/last.jpg 60x30, thumbs/first.jpg 20x15, thumbs/last.jpg 30x15";
        QTest::newRow("scale, one worker") << BatchMode::ScaleOnly << 1 << scaled;
        QTest::newRow("scale, three workers") << BatchMode::ScaleOnly << 3 << scaled;
        QTest::newRow("album, two workers") << BatchMode::ScaleAndAlbum << 2 << album + pictures;
        QTest::newRow("album only") << BatchMode::AlbumOnly << 2 << album;
    }

    // Files that are no pictures, or no files, among two good photos: the good
    // ones are written, the others passed over, named with the reason, after
    // "Done". A device or a FIFO is never read (the run would never end).
    void imagesThatCannotBeReadAreSkippedAndNamed()
    {
        QFETCH(BatchMode, mode);
        QFETCH(int, workers);
        BatchFixture fixture;
        const QString photos = fixture.photoFolder() + u'/';
        QList<BatchItem> items{fixture.addPhoto("first.jpg", {40, 30})};
        const QByteArray photo = readBytes(items.first().key);
        const QByteArray latin1Name = QFile::encodeName(photos) + "caf\xe9.jpg";
        QVERIFY(writeBytes(photos + "empty.jpg", {}) && writeBytes(photos + "words.jpg", "no picture at all"));
        QVERIFY(writeBytes(photos + "cut.jpg", photo.left(20)) && writeBytes(photos + "cafe.jpg", photo));
        QCOMPARE(std::rename(QFile::encodeName(photos + "cafe.jpg").constData(), latin1Name.constData()), 0);
        QVERIFY(QFile::link("/dev/zero", photos + "zero.jpg") && QDir().mkdir(photos + "folder.jpg"));
        QCOMPARE(::mkfifo(QFile::encodeName(photos + "fifo.jpg").constData(), 0644), 0);
        const QStringList names{"empty.jpg", "words.jpg",  "cut.jpg",  "zero.jpg",
                                "fifo.jpg",  "folder.jpg", "gone.jpg", QFile::decodeName("caf\xe9.jpg")};
        const QString undecodable = "cannot be read or decoded";
        const QStringList reasons{
            undecodable,          undecodable,          undecodable,      "not a regular file",
            "not a regular file", "not a regular file", "File not found", "the name is not valid UTF-8"};
        QList<SkippedImage> expected;
        for (qsizetype i = 0; i < names.size(); ++i) {
            items.append({photos + names.at(i), true, ListEntryKind::Image, {}});
            expected.append({items.last().key, reasons.at(i)});
        }
        items.append(fixture.addPhoto("last.jpg", {60, 30}));

        QCOMPARE(fixture.run(fixture.request(mode, items), workers), BatchOutcome::Done);
        // Its name cannot be read back, so the folder could not be removed.
        QCOMPARE(::unlink(latin1Name.constData()), 0);
        QCOMPARE(fixture.observer.skipped, expected);
        QCOMPARE(fixture.observer.titleBeforeSkipped, QStringLiteral("Done"));
        QVERIFY2(fixture.prompts.shown.size() == 1, qPrintable(fixture.prompts.transcript()));
        QTEST(fixture.contents().join(", "), "left");
    }

    void runsThatEndEarly_data()
    {
        addRunColumns();
        const QString photoFeeding = "a.jpg:400x300 p1.jpg:64x48 p2.jpg:32x24";
        const QString saidFeeding = "Scaling: a.jpg | ? p1.jpg | Scaling: p1.jpg | ? p2.jpg | Scaling: p2.jpg | Done | "
                                    "open PHOTOS";
        const QString leftFeeding = "a.jpg 400x300, p1.jpg 200x150, p2.jpg 100x75, p3.jpg 50x38";
        const QString saidFolder = "Scaling: a.jpg | Error! (# 75): Path/File access error: OUT/a.jpg";
        const QString slidesFile = "Could not create folder:OUT/slides File already exists | Scaling: a.jpg | Error! "
                                   "(# 76): Path not found: OUT/slides/a.jpg";
        const QString abc = "a.jpg b.jpg c.jpg";
        const QString full = "Scaling: a.jpg | Error! (# 61): Disk full: OUT/a.jpg";
        // clang-format off
        // Each of these once printed "Done" with files missing. The run stops
        // at the image whose output cannot be written, with the common error
        // report naming that output; nothing after it is written, no
        // temporary file stays.
        QTest::newRow("output the user may not write")
            << abc << "b.jpg" << "workers=2 protect=b.jpg" << BatchOutcome::Failed
            << "Scaling: a.jpg | Scaling: b.jpg | ? b.jpg | Error! (# 70): Permission denied: OUT/b.jpg"
            << "a.jpg 20x15, b.jpg 5x5";
        QTest::newRow("full disk") << abc << "" << "full-disk" << BatchOutcome::Failed << full << "filler";
        QTest::newRow("full disk, three workers")
            << abc << "" << "full-disk workers=3" << BatchOutcome::Failed << full << "filler";
        QTest::newRow("read-only file system")
            << abc << "" << "read-only-disk workers=2" << BatchOutcome::Failed
            << "Scaling: a.jpg | Error! (# 70): Permission denied: OUT/a.jpg" << "";
        // A file where the slides folder should be: the folder cannot be made
        // (said and passed over), then the first slide copy stops the run. The
        // first image is written, nothing after it, whatever ran ahead.
        QTest::newRow("slide copy fails")
            << "a.jpg b.jpg c.jpg d.jpg" << "slides=" << "album" << BatchOutcome::Failed << slidesFile
            << "Sorvel.xml, slides, thumbs/a.jpg 20x15";
        QTest::newRow("slide copy fails, three workers")
            << "a.jpg b.jpg c.jpg d.jpg" << "slides=" << "album workers=3" << BatchOutcome::Failed << slidesFile
            << "Sorvel.xml, slides, thumbs/a.jpg 20x15";
        // An image is never scaled with adjustments other than its own.
        QTest::newRow("the Record List cannot be read")
            << "a.jpg b.jpg" << "" << "album workers=2 no-records" << BatchOutcome::Failed
            << "Scaling: a.jpg | Error! (# 91): The Record List is not open" << "Sorvel.xml";
        // The outputs go into the photo folder under the base name "p": a.jpg
        // becomes p1.jpg, which is then the second source and becomes p2.jpg,
        // and so on. One by one each image halves the one before; the
        // questions come each at its image's turn.
        QTest::newRow("outputs feed later sources, one worker")
            << photoFeeding << "" << "into-photos base=p" << BatchOutcome::Done << saidFeeding << leftFeeding;
        QTest::newRow("outputs feed later sources, two workers")
            << photoFeeding << "" << "into-photos base=p workers=2" << BatchOutcome::Done << saidFeeding << leftFeeding;
        QTest::newRow("outputs feed later sources, three workers")
            << photoFeeding << "" << "into-photos base=p workers=3" << BatchOutcome::Done << saidFeeding << leftFeeding;
        // The first output cannot be written and the second exists: the run
        // stops at the first, so the second question is never asked.
        QTest::newRow("error before the next question, one worker")
            << abc << "a.jpg/ b.jpg" << "" << BatchOutcome::Failed << saidFolder << "b.jpg 5x5";
        QTest::newRow("error before the next question, two workers")
            << abc << "a.jpg/ b.jpg" << "workers=2" << BatchOutcome::Failed << saidFolder << "b.jpg 5x5";
        QTest::newRow("error before the next question, three workers")
            << abc << "a.jpg/ b.jpg" << "workers=3" << BatchOutcome::Failed << saidFolder << "b.jpg 5x5";
        // A new album is closed with its foot however the run ends, so that it
        // opens with the entries written so far; a finished album that stood
        // there is never replaced by an unfinished one.
        QTest::newRow("stopped (Ctrl+C)")
            << abc << "" << "album workers=2 stop" << BatchOutcome::Canceled
            << "Operation Canceled." << "Sorvel.xml";
        QTest::newRow("failed at the second image")
            << abc << "slides/b.jpg/" << "album workers=2" << BatchOutcome::Failed
            << "Scaling: a.jpg | Scaling: b.jpg | Error! (# 75): Path/File access error: OUT/slides/b.jpg"
            << "Sorvel.xml 20x15, slides/a.jpg 40x30, thumbs/a.jpg 20x15, thumbs/b.jpg 20x15";
        QTest::newRow("failed over a finished album")
            << abc << "Sorvel.xml slides/b.jpg/" << "album workers=2" << BatchOutcome::Failed
            << "Scaling: a.jpg | Scaling: b.jpg | Error! (# 75): Path/File access error: OUT/slides/b.jpg"
            << "Sorvel.xml, slides/a.jpg 40x30, thumbs/a.jpg 20x15, thumbs/b.jpg 20x15";
        // clang-format on
    }

    void runsThatEndEarly() { checkRun(); }

    // The output is written beside the file it replaces and renamed over it; the
    // replaced file's permission bits stay.
    void replacedFileKeepsItsPermissionBits()
    {
        BatchFixture fixture;
        const QList<BatchItem> items = fixture.addList("a.jpg");
        fixture.addStanding("a.jpg");
        const QByteArray output = QFile::encodeName(fixture.inDestination("a.jpg"));
        QCOMPARE(::chmod(output.constData(), 0640), 0);

        QCOMPARE(fixture.run(fixture.request(BatchMode::ScaleOnly, items)), BatchOutcome::Done);
        QCOMPARE(fixture.contents(), QStringList{"a.jpg 20x15"});
        struct stat status { };
        QCOMPARE(::stat(output.constData(), &status), 0);
        QCOMPARE(status.st_mode & 07777, mode_t(0640));
    }

    // A run killed while it worked leaves its temporary files; the next run into
    // the folder removes them, but not those of a run still going on.
    void leftoversOfEndedRunsAreRemoved()
    {
        BatchFixture fixture;
        QProcess ended;
        ended.start("true", QStringList());
        QVERIFY(ended.waitForStarted());
        const QString gone = QString::number(ended.processId());
        QVERIFY(ended.waitForFinished());
        const QString alive = QString::number(QCoreApplication::applicationPid());
        fixture.addStanding(".tovin-" + gone + "-3.part= thumbs/.tovin-" + gone + "-4.part= slides/.tovin-" + gone
                            + "-5.part.Ab12Cd= thumbs/.tovin-" + alive
                            + "-900.part= .tovin-notes.part= slides/x.part=");

        QCOMPARE(fixture.run(fixture.request(BatchMode::ScaleAndAlbum, fixture.addList("a.jpg"))), BatchOutcome::Done);
        QCOMPARE(fixture.contents(),
                 (QStringList{".tovin-notes.part", "Sorvel.xml 20x15", "slides/a.jpg 40x30", "slides/x.part",
                              "thumbs/.tovin-" + alive + "-900.part", "thumbs/a.jpg 20x15"}));
    }
};

QTEST_GUILESS_MAIN(BatchFaultsTest)
#include "tst_batchfaults.moc"
