// The batch run with scripted answers and one worker or several: the images it
// takes, names, questions, album and ending, also under faults; and what the
// batch window tells in words: a file's weight, the run's estimate and pace.

#include "batchestimate.h"
#include "batchfixture.h"
#include "cameraphotos.h"
#include "filesystemfaults.h"
#include "imageinfo.h"
#include "imagework.h"
#include "messagetable.h"
#include "runprogress.h"
#include "testenvironment.h"
#include "testimages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <optional>

using namespace tovin;
using namespace tovin::test;
using Kind = ShownPrompt::Kind;

namespace {

// What an album's own files take on a file system of 4 KB blocks while its
// entries are written (the empty album file, the fixed files, and the album
// file being written beside it, each of them shorter than its head template
// and foot), and a block for one small thumbnail.
int albumKilobytes(const QString &programFolder)
{
    const QDir sorv(programFolder + "/src/sorv");
    const auto blocks = [](qint64 bytes) { return int((bytes + 4095) / 4096) * 4; };
    const qint64 head = QFileInfo(sorv.filePath("Sorvel_head.tpl")).size();
    int kilobytes = 2 * blocks(head) + 4;
    for (const char *name : {"Sorvel.js", "Sorvel.html", "next_button.jpg", "back_button.jpg"})
        kilobytes += blocks(QFileInfo(sorv.filePath(name)).size());
    return kilobytes;
}

} // namespace

class BatchRunTest : public QObject
{
    Q_OBJECT

private slots:
    // "said" is the transcript, "left" the contents. Options: "album",
    // "album-only", "workers=N", "base=NAME" (percent-encoded), "width=PERCENT",
    // "dest=SUFFIX", "into-photos", "cancel", "no-records",
    // "remove=TEMPLATE,...", "protect=NAME", "full-disk" (or "full-disk=KB" with
    // some room left, "=album" with room for the album's own files),
    // "read-only-disk".
    void runs_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("standing");
        QTest::addColumn<QString>("options");
        QTest::addColumn<BatchOutcome>("outcome");
        QTest::addColumn<QString>("said");
        QTest::addColumn<QString>("left");
        const QString names = "z.jpg:100x60 s/ -skip.jpg:10x10 a.JPG:120x60 .. m.jpeg:140x60";
        const QString scaled = "Scaling: z.jpg | Scaling: a.JPG | Scaling: m.jpeg | Done | open OUT";
        const QString numbered = "trip1.jpg 50x30, trip2.jpg 60x30, trip3.jpg 70x30";
        const QString albumOnly = "Scaling: a.jpg | Done | open OUT/index.html";
        const QString abc = "a.jpg b.jpg c.jpg";
        const QString slidesFile =
            "Could not create folder:OUT/slides File already exists | Scaling: a.jpg | Operation Failed. | Error! "
            "(# 76): Path not found: OUT/slides/a.jpg";
        // clang-format off
        QTest::newRow("the up entry, folders and unselected images are no images")
            << ".. sub/ -a.jpg" << "" << "album" << BatchOutcome::Done << "Done | open OUT/index.html" << "Sorvel.xml";
        QTest::newRow("a base name numbers in list order")
            << names << "" << "base=trip" << BatchOutcome::Done << scaled << numbered;
        QTest::newRow("blanks around the base name")
            << names << "" << "base=%20%20trip%20" << BatchOutcome::Done << scaled << numbered;
        // The album names no file that it cannot hold; the images are passed over.
        QTest::newRow("a control character in the base name") << "a.jpg b.jpg" << "" << "album base=a%01b"
            << BatchOutcome::Done << "Scaling: a.jpg | Scaling: b.jpg | Done | open OUT/index.html" << "Sorvel.xml";
        QTest::newRow("no base name keeps the names")
            << names << "" << "" << BatchOutcome::Done << scaled << "a.JPG 60x30, m.jpeg 70x30, z.jpg 50x30";
        // Nothing but the album, no question.
        QTest::newRow("album only, portrait") << "a.jpg:90x160" << "thumbs/a.jpg" << "album-only" << BatchOutcome::Done
            << albumOnly << "Sorvel.xml 45x80, thumbs/a.jpg 5x5";
        QTest::newRow("album only, a fractional percent is rounded first")
            << "a.jpg:1000x8" << "" << "album-only width=50.5" << BatchOutcome::Done << albumOnly << "Sorvel.xml 500x4";
        // The first x.jpg is still being scaled when the second asks.
        QTest::newRow("the same name twice in one run")
            << "x.jpg:80x40 other/x.jpg:120x40" << "" << "workers=2" << BatchOutcome::Done
            << "Scaling: x.jpg | Scaling: x.jpg | ? x.jpg | Done | open OUT" << "x.jpg 60x20";
        // A cancel keeps what came before, nothing after, whatever ran ahead.
        QTest::newRow("cancel at the first question")
            << "a.jpg b.jpg c.jpg d.jpg e.jpg" << "thumbs/a.jpg" << "album cancel" << BatchOutcome::Canceled
            << "Scaling: a.jpg | ? a.jpg | Operation Canceled." << "Sorvel.xml, thumbs/a.jpg 5x5";
        QTest::newRow("cancel at the third image, three workers")
            << "a.jpg b.jpg c.jpg d.jpg e.jpg" << "thumbs/c.jpg" << "album cancel workers=3" << BatchOutcome::Canceled
            << "Scaling: a.jpg | Scaling: b.jpg | Scaling: c.jpg | ? c.jpg | Operation Canceled."
            << "Sorvel.xml 20x15 20x15, slides/a.jpg 40x30, slides/b.jpg 40x30, thumbs/a.jpg 20x15, "
               "thumbs/b.jpg 20x15, thumbs/c.jpg 5x5";
        QTest::newRow("no album template")
            << "a.jpg" << "" << "album remove=Sorvel_head.tpl,Sorvel_loop.tpl,Sorvel_foot.tpl"
            << BatchOutcome::NotStarted << "Template files for Sorvel could not be found.\n\nPlease reinstall Sorvel "
               "Package and try again. If you do not have Sorvel, you can get it at: https://www.example.org/sorvel/"
            << "";
        QTest::newRow("destination two levels deep")
            << "a.jpg" << "" << "album dest=/two/levels" << BatchOutcome::NotStarted
            << "Could not create folder:OUT/two/levels Path not found" << "";
        // Every template is read before anything is written.
        QTest::newRow("no album foot")
            << "a.jpg b.jpg" << "" << "album remove=Sorvel_foot.tpl" << BatchOutcome::Failed
            << "Operation Failed. | Error! (# 53): File not found: PROGRAM/src/sorv/Sorvel_foot.tpl" << "";
        // Each of these once printed "Done" with files missing. The run stops at
        // the output it cannot write; nothing after it is written or left.
        QTest::newRow("output the user may not write")
            << abc << "b.jpg" << "workers=2 protect=b.jpg" << BatchOutcome::Failed
            << "Scaling: a.jpg | Scaling: b.jpg | ? b.jpg | Operation Failed. | Error! (# 70): Permission denied: OUT/b.jpg"
            << "a.jpg 20x15, b.jpg 5x5";
        for (const char *workers : {"1", "3"})
            QTest::addRow("full disk, %s workers", workers) << abc << "" << QString("full-disk workers=") + workers
                << BatchOutcome::Failed << "Scaling: a.jpg | Operation Failed. | Error! (# 61): Disk full: OUT/a.jpg" << "filler";
        // A failed run leaves a whole album or none: no album file without the
        // start page, the player and the buttons.
        QTest::newRow("full disk, album") << abc << "" << "album full-disk" << BatchOutcome::Failed
            << "Operation Failed. | Error! (# 61): Disk full: OUT/Sorvel.xml" << "filler";
        QTest::newRow("room for an empty album file only") << abc << "" << "album full-disk=6" << BatchOutcome::Failed
            << "Operation Failed. | Error! (# 61): Disk full: OUT/Sorvel.js" << "filler";
        QTest::newRow("room for the album and a thumbnail") << abc << "" << "album full-disk=album"
            << BatchOutcome::Failed << "Scaling: a.jpg | Operation Failed. | Error! (# 61): Disk full: OUT/slides/a.jpg"
            << "Sorvel.xml, filler, thumbs/a.jpg 20x15";
        QTest::newRow("read-only file system")
            << abc << "" << "read-only-disk workers=2" << BatchOutcome::Failed
            << "Scaling: a.jpg | Operation Failed. | Error! (# 70): Permission denied: OUT/a.jpg" << "";
        // A file where the slides folder should be: said, then a copy fails.
        QTest::newRow("slide copy fails") << "a.jpg b.jpg c.jpg d.jpg" << "slides=" << "album workers=3"
            << BatchOutcome::Failed << slidesFile << "Sorvel.xml, slides, thumbs/a.jpg 20x15";
        // An image is never scaled with adjustments other than its own.
        QTest::newRow("the Record List cannot be read")
            << "a.jpg b.jpg" << "" << "album workers=2 no-records" << BatchOutcome::Failed
            << "Scaling: a.jpg | Operation Failed. | Error! (# 91): The Record List is not open" << "Sorvel.xml";
        for (const char *workers : {"1", "2", "3"}) {
            // a.jpg becomes p1.jpg, the second source, which becomes p2.jpg...
            QTest::addRow("outputs feed later sources, %s workers", workers)
                << "a.jpg:400x300 p1.jpg:64x48 p2.jpg:32x24" << "" << QString("into-photos base=p workers=") + workers
                << BatchOutcome::Done
                << "Scaling: a.jpg | ? p1.jpg | Scaling: p1.jpg | ? p2.jpg | Scaling: p2.jpg | Done | open PHOTOS"
                << "a.jpg 400x300, p1.jpg 200x150, p2.jpg 100x75, p3.jpg 50x38";
            // The run stops at a.jpg; b.jpg's question never comes.
            QTest::addRow("error before the next question, %s workers", workers)
                << abc << "a.jpg/ b.jpg" << QString("workers=") + workers << BatchOutcome::Failed
                << "Scaling: a.jpg | Operation Failed. | Error! (# 75): Path/File access error: OUT/a.jpg" << "b.jpg 5x5";
        }
        // A new album is closed when the run fails.
        QTest::newRow("failed at the second image")
            << abc << "slides/b.jpg/" << "album workers=2" << BatchOutcome::Failed
            << "Scaling: a.jpg | Scaling: b.jpg | Operation Failed. | Error! (# 75): Path/File access error: OUT/slides/b.jpg"
            << "Sorvel.xml 20x15, slides/a.jpg 40x30, thumbs/a.jpg 20x15, thumbs/b.jpg 20x15";
        // clang-format on
    }

    void runs()
    {
        QFETCH(QString, list);
        QFETCH(QString, standing);
        QFETCH(QString, options);
        QFETCH(BatchOutcome, outcome);
        QFETCH(QString, said);
        const QStringList words = options.split(u' ', Qt::SkipEmptyParts);
        const auto value = [&words](const QString &name, const QString &otherwise = {}) {
            const QStringList given = words.filter(QRegularExpression(u'^' + name + u'='));
            return given.isEmpty() ? otherwise : QUrl::fromPercentEncoding(given.first().section(u'=', 1).toUtf8());
        };
        BatchFixture fixture;
        const BatchMode mode = words.contains("album") ? BatchMode::ScaleAndAlbum
            : words.contains("album-only")             ? BatchMode::AlbumOnly
                                                       : BatchMode::ScaleOnly;
        BatchRequest request = fixture.request(mode, fixture.addList(list));
        request.baseName = value("base");
        request.adjustments.width = value("width", "50");
        request.destination =
            words.contains("into-photos") ? fixture.photoFolder() : request.destination + value("dest");
        fixture.addStanding(standing);
        std::optional<WriteProtection> protection;
        if (!value("protect").isEmpty())
            QVERIFY(protection.emplace(fixture.inDestination(value("protect"))).isActive());
        std::optional<ScratchMount> mount;
        const QString room = value("full-disk");
        const bool fullDisk = words.contains("full-disk") || !room.isEmpty();
        if (fullDisk || words.contains("read-only-disk")) {
            if (!mount.emplace(256).isMounted())
                QSKIP("a tmpfs cannot be mounted here (needs root)");
            request.destination = mount->path();
            const int left = room == "album" ? albumKilobytes(fixture.programFolder()) : room.toInt();
            QVERIFY(fullDisk ? mount->fill(left) : mount->remountReadOnly());
        }
        if (words.contains("cancel"))
            fixture.prompts.overwriteAnswers = {OverwriteAnswer::Cancel};
        if (words.contains("no-records"))
            fixture.records.CloseRecordStore();
        for (const QString &name : value("remove").split(u',', Qt::SkipEmptyParts))
            QVERIFY(QFile::remove(fixture.programFolder() + "/src/sorv/" + name));

        QCOMPARE(fixture.run(request, value("workers", "1").toInt()), outcome);
        QCOMPARE(fixture.transcript().replaceInStrings(request.destination, "OUT").join(" | "), said);
        QTEST(fixture.contents(request.destination).join(", "), "left");
        QCOMPARE(fixture.observer.controlsEnabled, (QList<bool>{false, true}));
        int albumFiles = 0;
        for (const QString &name : kFixedAlbumFiles + QStringList{"Sorvel.xml"})
            albumFiles += QFileInfo::exists(request.destination + u'/' + name);
        QVERIFY2(albumFiles == 0 || albumFiles == 5, "half an album");
        QCOMPARE(fixture.observer.templatesMissing, value("remove").contains("head") ? 1 : 0);
        if (outcome == BatchOutcome::NotStarted)
            QVERIFY(!QFileInfo::exists(fixture.destination()));
    }

    void imagesThatCannotBeReadAreSkippedAndNamed_data()
    {
        QTest::addColumn<BatchMode>("mode");
        QTest::addColumn<int>("workers");
        QTest::addColumn<QString>("left");
        const QString album = "Sorvel.xml 20x15 30x15";
        const QString pictures =
            ", slides/first.jpg 40x30, slides/last.jpg 60x30, thumbs/first.jpg 20x15, thumbs/last.jpg 30x15";
        QTest::newRow("scale, three workers")
            << BatchMode::ScaleOnly << 3 << "first.jpg 20x15, last.jpg 30x15, pic\x01one.jpg 20x15";
        QTest::newRow("album, two workers") << BatchMode::ScaleAndAlbum << 2 << album + pictures;
        QTest::newRow("album only") << BatchMode::AlbumOnly << 2 << album;
    }

    // Files that are no pictures, or no files, are named with the reason after
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
        const QString undecodable = "cannot be read or decoded";
        const QString special = "not a regular file";
        const QList<std::pair<QString, QString>> namesAndReasons{
            {"empty.jpg", undecodable},     {"words.jpg", undecodable},
            {"cut.jpg", undecodable},       {"zero.jpg", special},
            {"fifo.jpg", special},          {"folder.jpg", special},
            {"gone.jpg", "File not found"}, {QFile::decodeName("caf\xe9.jpg"), "the name is not valid UTF-8"}};
        QList<SkippedImage> expected;
        for (const auto &[name, reason] : namesAndReasons) {
            items.append({photos + name, true, ListEntryKind::Image, {}});
            expected.append({items.last().key, reason});
        }
        // Named and written as it is where no album names it.
        items.append(fixture.addPhoto("pic\x01one.jpg", {40, 30}));
        if (mode != BatchMode::ScaleOnly)
            expected.append({items.last().key, "the name holds a control character (U+0001), which no album can name"});
        items.append(fixture.addPhoto("last.jpg", {60, 30}));

        QCOMPARE(fixture.run(fixture.request(mode, items), workers), BatchOutcome::Done);
        // Its name cannot be read back, so the folder could not be removed.
        QCOMPARE(::unlink(latin1Name.constData()), 0);
        QCOMPARE(fixture.observer.skipped, expected);
        QCOMPARE(fixture.observer.titleBeforeSkipped, QStringLiteral("Done"));
        QVERIFY2(fixture.prompts.shown.size() == 1, qPrintable(fixture.prompts.transcript()));
        QTEST(fixture.contents().join(", "), "left");
    }

    // A recorded image uses its row's percentages, size, date and description,
    // never its quality; a trailing separator changes no path.
    void recordedAdjustmentsWin()
    {
        BatchFixture fixture;
        const QList<BatchItem> items = fixture.addList("recorded.jpg:200x100 plain.jpg:200x100");
        const QVariantList row{items.first().key, 640, 480, 25, 40, 0, 0, 3, 1, "recorded date",
                               "recorded words",  true};
        QCOMPARE(fixture.records.SaveRecord(items.first().key, row), RecordResult::Done);
        BatchRequest request = fixture.request(BatchMode::ScaleAndAlbum, items);
        request.adjustments.saveQuality = 30;
        request.destination += "//";

        QCOMPARE(fixture.run(request), BatchOutcome::Done);
        QCOMPARE(fixture.contents(),
                 (QStringList{"Sorvel.xml 160x192 100x50", "slides/plain.jpg 200x100", "slides/recorded.jpg 200x100",
                              "thumbs/plain.jpg 100x50", "thumbs/recorded.jpg 50x40"}));
        QCOMPARE(firstQuantisationTable(fixture.inDestination("thumbs/recorded.jpg")), expectedLuminanceTable(30));
        QCOMPARE(readBytes(fixture.inDestination("slides/recorded.jpg")), readBytes(items.first().key));
        const QList<QStringList> entries = albumEntries(fixture.inDestination("Sorvel.xml"));
        QCOMPARE(entries.value(0).mid(4), (QStringList{"640", "480", "recorded date", "recorded words"}));
        QCOMPARE(entries.value(1).mid(4), (QStringList{"200", "100", "date of plain.jpg", "caption of the run"}));
    }

    // An image the list has not dated yet gets the date the list would show:
    // when the photo was taken.
    void datesTheListHasNotReadYet()
    {
        BatchFixture fixture;
        const QString taken = fixture.photoFolder() + QStringLiteral("/taken.jpg");
        QVERIFY(writeTaggedPhotos({{taken, {QStringLiteral("DateTimeOriginal=2019:07:14 09:30:05")}}}));
        const BatchItem item{taken, true, ListEntryKind::Image, {}};
        QCOMPARE(fixture.run(fixture.request(BatchMode::AlbumOnly, {item})), BatchOutcome::Done);
        QCOMPARE(albumEntries(fixture.inDestination("Sorvel.xml")).value(0).value(6),
                 listDateText(QDateTime(QDate(2019, 7, 14), QTime(9, 30, 5), Qt::UTC)));
    }

    void replaceWithoutAskingLastsUntilACancel()
    {
        BatchFixture fixture;
        const BatchRequest request = fixture.request(BatchMode::ScaleOnly, fixture.addList("a.jpg b.jpg"));
        auto questionsAfterRun = [&](BatchOutcome outcome) {
            return fixture.run(request) == outcome ? fixture.shown(Kind::Overwrite).size() : -1;
        };
        QCOMPARE(questionsAfterRun(BatchOutcome::Done), 0);
        fixture.prompts.overwriteAnswers = {OverwriteAnswer::ReplaceWithoutAsking};
        QCOMPARE(questionsAfterRun(BatchOutcome::Done), 1);
        QCOMPARE(fixture.shown(Kind::Overwrite).first().text, "a.jpg " + message(84) + "\n\n" + message(85));
        fixture.observer.stop = true;
        QCOMPARE(questionsAfterRun(BatchOutcome::Canceled), 1);
        QVERIFY(!fixture.choice.dontAskAgain);
        fixture.observer.stop = false;
        QCOMPARE(questionsAfterRun(BatchOutcome::Done), 3);
    }

    // The same bytes with one worker and with several, also where idle
    // workers share the resampling of fewer images than there are workers.
    void workersChangeNothingInTheOutput()
    {
        for (const auto &[images, workers] : {std::pair(7, 4), std::pair(2, 3)}) {
            BatchFixture one;
            BatchFixture many;
            for (BatchFixture *fixture : {&one, &many}) {
                QList<BatchItem> items;
                for (int i = 0; i < images; ++i)
                    items.append(fixture->addPhoto(QString("p%1.jpg").arg(i), {90 + 10 * i, 60 + 4 * i}, i != 3));
                BatchRequest request = fixture->request(BatchMode::ScaleAndAlbum, items);
                request.baseName = "day";
                QCOMPARE(fixture->run(request, fixture == &one ? 1 : workers), BatchOutcome::Done);
            }
            QCOMPARE(one.contents().size(), 1 + 2 * (images > 3 ? images - 1 : images));
            QCOMPARE(many.contents(), one.contents());
            qint64 pictureBytes = 0;
            for (const QString &file : one.contents()) {
                const QString name = file.section(u' ', 0, 0);
                QCOMPARE(readBytes(many.inDestination(name)), readBytes(one.inDestination(name)));
                if (!name.endsWith(".xml"))
                    pictureBytes += QFileInfo(one.inDestination(name)).size();
            }
            // The window's projection counts what the run put in place.
            QCOMPARE(one.observer.bytesWritten, pictureBytes);
            QCOMPARE(many.observer.bytesWritten, pictureBytes);
        }
    }

    // Files are flushed to disk after the worker wrote them; a file gone by
    // then (another program tidying the folder) stops the run by the name of
    // its output, as a file that could not be written does.
    void aFileGoneBeforeItsFlushIsAFailedWrite_data()
    {
        QTest::addColumn<QString>("gone");
        QTest::addColumn<QString>("failedOutput");
        QTest::addColumn<QStringList>("kept");
        QTest::newRow("both there") << ""
                                    << "" << QStringList{".s.part", ".t.part"};
        QTest::newRow("scaled image gone") << ".t.part"
                                           << "thumbs/a.jpg" << QStringList();
        QTest::newRow("slide gone") << ".s.part"
                                    << "slides/a.jpg" << QStringList{".t.part"};
    }

    void aFileGoneBeforeItsFlushIsAFailedWrite()
    {
        QFETCH(QString, gone);
        QFETCH(QString, failedOutput);
        QFETCH(QStringList, kept);
        QTemporaryDir folder;
        const auto at = [&](const QString &name) { return folder.filePath(name); };
        ImageWork work;
        work.source = at("a.jpg");
        work.scales = work.copiesSlide = true;
        work.scaledOutput = at("thumbs/a.jpg");
        work.scaledTemporary = at(".t.part");
        work.slideOutput = at("slides/a.jpg");
        work.slideTemporary = at(".s.part");
        for (const QString temporary : {".t.part", ".s.part"}) {
            if (temporary != gone)
                QVERIFY(writeBytes(at(temporary), "picture"));
        }
        ImageWorkResult result;
        result.scaled = true;
        flushImageWork(work, result);
        QCOMPARE(result.error ? result.error->file() : QString(), failedOutput.isEmpty() ? "" : at(failedOutput));
        QCOMPARE(result.scaled, kept.contains(".t.part"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), kept);
    }

    // The next run removes a killed run's temporary files, not a live run's.
    // A file replaced keeps its permission bits.
    void leftoversGoAndReplacedFilesKeepTheirMode()
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
                            + "-900.part= .tovin-notes.part= slides/x.part= thumbs/a.jpg");
        const QByteArray replaced = QFile::encodeName(fixture.inDestination("thumbs/a.jpg"));
        QCOMPARE(::chmod(replaced.constData(), 0640), 0);

        QCOMPARE(fixture.run(fixture.request(BatchMode::ScaleAndAlbum, fixture.addList("a.jpg"))), BatchOutcome::Done);
        QCOMPARE(fixture.contents(),
                 (QStringList{".tovin-notes.part", "Sorvel.xml 20x15", "slides/a.jpg 40x30", "slides/x.part",
                              "thumbs/.tovin-" + alive + "-900.part", "thumbs/a.jpg 20x15"}));
        struct stat status { };
        QCOMPARE(::stat(replaced.constData(), &status), 0);
        QCOMPARE(status.st_mode & 07777, mode_t(0640));
    }

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
        QTEST(imageInfoText(file.fileName()), "text");
    }

    // Selected images that exist count; the output is projected once an image
    // is done and something was written.
    void estimateAndProjection()
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
        for (const auto &[done, written, text] :
             {std::tuple(0, 0, "4 images, 2.0 MB"), std::tuple(1, 300 * 1024, "4 images, 2.0 MB; output about 1.2 MB"),
              std::tuple(2, 0, "4 images, 2.0 MB")}) {
            BatchEstimate projected{4, 2 * 1024 * 1024, {}};
            projectOutput(projected, done, written);
            QCOMPARE(projected.text(), QString::fromLatin1(text));
        }
    }

    // Slides fitted within the side or copied; the thumbnails come from the
    // originals either way, and no file of the album tells where the photo
    // was taken. Copied slides keep their image data byte for byte.
    void slidesForTheWeb_data()
    {
        QTest::addColumn<int>("side");
        QTest::addColumn<QString>("slides");
        QTest::newRow("originals") << 0 << "800x600 600x800 300x200 400x300";
        QTest::newRow("fitted within 400") << 400 << "400x300 300x400 300x200 400x300";
    }

    void slidesForTheWeb()
    {
        QFETCH(int, side);
        BatchFixture fixture;
        const QList<BatchItem> items = fixture.addList("p.jpg:600x800 s.jpg:300x200 e.jpg:400x300");
        const QString camera = fixture.photoFolder() + "/c.jpg";
        QVERIFY(writeCameraPhoto(camera, {800, 600}));
        BatchRequest request = fixture.request(BatchMode::ScaleAndAlbum,
                                               QList<BatchItem>{{camera, true, ListEntryKind::Image, {}}} + items);
        request.slidesFitWithin = side;
        QCOMPARE(fixture.run(request), BatchOutcome::Done);

        QStringList thumbs;
        QStringList slides;
        for (const QStringList &entry : albumEntries(fixture.inDestination("Sorvel.xml"))) {
            const QString name = entry[0].section(u'/', -1);
            thumbs << entry[2] + u'x' + entry[3];
            slides << entry[4] + u'x' + entry[5];
            QCOMPARE(jpegSize(fixture.inDestination("slides/" + name)), QSize(entry[4].toInt(), entry[5].toInt()));
            for (const QString &written : {"slides/" + name, "thumbs/" + name})
                QVERIFY(metadataKeys(fixture.inDestination(written)).filter("GPS").isEmpty());
        }
        QCOMPARE(thumbs.join(u' '), QStringLiteral("400x300 300x400 150x100 200x150"));
        QTEST(slides.join(u' '), "slides");
        QCOMPARE(scanData(readBytes(fixture.inDestination("slides/c.jpg"))) == scanData(readBytes(camera)), side == 0);
    }

    // Before a run the window tells how many photos carry a position and what
    // the output should weigh: what the pixels weighed in the originals.
    void whatTheWindowTellsBeforeARun()
    {
        BatchFixture fixture;
        QList<BatchItem> items = fixture.addList("a.jpg:1000x500 -b.jpg b/");
        items.append({fixture.photoFolder() + "/c.jpg", true, ListEntryKind::Image, {}});
        QVERIFY(writeCameraPhoto(items.last().key, {400, 300}));
        const QList<SurveyedPhoto> photos = surveyPhotos(items, [] { return false; });
        QCOMPARE(photos.size(), 2);
        QCOMPARE(locationText(photos, true),
                 QStringLiteral("1 of 2 photos carries a GPS position: it will be removed"));
        QCOMPARE(locationText(photos.mid(0, 1), false), QStringLiteral("The photo carries no GPS position."));
        QCOMPARE(surveyPhotos(items, [] { return true; }).size(), 0);

        const QList<SurveyedPhoto> sized{{4000, {1000, 500}, false}, {1000, {0, 0}, false}};
        for (const auto &[mode, side, text] : {std::tuple(BatchMode::ScaleOnly, 0, "; output about 1000 bytes"),
                                               std::tuple(BatchMode::ScaleAndAlbum, 0, "; album about 4.9 KB"),
                                               std::tuple(BatchMode::ScaleAndAlbum, 500, "; album about 2.0 KB"),
                                               std::tuple(BatchMode::AlbumOnly, 500, "")}) {
            BatchRequest request = fixture.request(mode, {});
            request.slidesFitWithin = side;
            BatchEstimate estimate{2, 5000, {}};
            projectFromPhotos(estimate, sized, request);
            QCOMPARE(estimate.text(), QStringLiteral("2 images, 4.9 KB") + QLatin1String(text));
        }
    }

    void timeLeftAtThePaceSoFar()
    {
        QCOMPARE((RunProgress{0, 4, 1200}.timeText()), QStringLiteral("0:01 elapsed"));
        QCOMPARE((RunProgress{1, 4, 10000}.timeText()), QStringLiteral("0:10 elapsed, about 0:30 left"));
        QCOMPARE((RunProgress{4, 4, 61000}.timeText()), QStringLiteral("1:01 elapsed, about 0:00 left"));
        QCOMPARE((RunProgress{1, 2, 3725000}.timeText()), QStringLiteral("1:02:05 elapsed, about 1:02:05 left"));
    }
};

QTEST_GUILESS_MAIN(BatchRunTest)
#include "tst_batchrun.moc"
