// The batch run under faults: sources that are no pictures, destinations
// that cannot be written, outputs that feed later sources, runs that end
// early. Whatever happens is said, in the order a run one by one would say
// it, and the album always opens.

#include "batchfixture.h"
#include "batchjob.h"
#include "filesystemfaults.h"
#include "imageengine.h"
#include "testimages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QXmlStreamReader>

#include <sys/stat.h>

#include <cstdio>

using namespace tovin;
using tovin::test::BatchFixture;
using Kind = tovin::test::ShownPrompt::Kind;

namespace {

QSize sizeOf(const QString &path)
{
    return imageFileSize(path, kFormatJpeg);
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Whether a Sorvel.xml is well-formed XML to its end, as a browser needs it.
bool parsesAsXml(const QByteArray &album)
{
    QXmlStreamReader xml(album);
    while (!xml.atEnd())
        xml.readNext();
    return !xml.hasError() && !album.isEmpty();
}

// The id of a process that has ended.
qint64 endedProcessId()
{
    QProcess process;
    process.start(QStringLiteral("true"), QStringList());
    process.waitForStarted();
    const qint64 id = process.processId();
    process.waitForFinished();
    return id;
}

} // namespace

class BatchFaultsTest : public QObject
{
    Q_OBJECT

private slots:
    void imagesThatCannotBeReadAreSkippedAndNamed_data();
    void imagesThatCannotBeReadAreSkippedAndNamed();
    void destinationThatCannotBeWrittenStopsTheRun_data();
    void destinationThatCannotBeWrittenStopsTheRun();
    void failedRecordLookupStopsTheRun();
    void outputsFeedingLaterSourcesGiveTheOneByOneResult_data();
    void outputsFeedingLaterSourcesGiveTheOneByOneResult();
    void errorComesBeforeTheNextImagesQuestion_data();
    void errorComesBeforeTheNextImagesQuestion();
    void albumParsesAfterEveryEnding_data();
    void albumParsesAfterEveryEnding();
    void replacedFileKeepsItsPermissionBits();
    void leftoversOfEndedRunsAreRemoved();
};

// clang-format off
void BatchFaultsTest::imagesThatCannotBeReadAreSkippedAndNamed_data()
{
    QTest::addColumn<BatchMode>("mode");
    QTest::addColumn<int>("workers");
    QTest::newRow("scale, one worker") << BatchMode::ScaleOnly << 1;
    QTest::newRow("scale, three workers") << BatchMode::ScaleOnly << 3;
    QTest::newRow("album, two workers") << BatchMode::ScaleAndAlbum << 2;
    QTest::newRow("album only") << BatchMode::AlbumOnly << 2;
}
// clang-format on

// Files that are no pictures, or no files, among two good photos: the good
// ones are written, the others passed over, named with the reason, after
// "Done". A device or a FIFO is never read (the run would never end).
void BatchFaultsTest::imagesThatCannotBeReadAreSkippedAndNamed()
{
    QFETCH(BatchMode, mode);
    QFETCH(int, workers);
    BatchFixture fixture;
    const QString photos = fixture.photoFolder() + u'/';
    const BatchItem first = fixture.addPhoto(QStringLiteral("first.jpg"), {40, 30});
    const QByteArray photo = test::fileContents(first.key);
    QVERIFY(writeBytes(photos + QStringLiteral("empty.jpg"), {}));
    QVERIFY(writeBytes(photos + QStringLiteral("words.jpg"), "no picture at all"));
    QVERIFY(writeBytes(photos + QStringLiteral("cut.jpg"), photo.left(20)));
    QVERIFY(QFile::link(QStringLiteral("/dev/zero"), photos + QStringLiteral("zero.jpg")));
    QCOMPARE(::mkfifo(QFile::encodeName(photos + QStringLiteral("fifo.jpg")).constData(), 0644), 0);
    QVERIFY(QDir().mkdir(photos + QStringLiteral("folder.jpg")));

    const QList<QPair<QString, QString>> hostile{
        {QStringLiteral("empty.jpg"), QStringLiteral("cannot be read or decoded")},
        {QStringLiteral("words.jpg"), QStringLiteral("cannot be read or decoded")},
        {QStringLiteral("cut.jpg"), QStringLiteral("cannot be read or decoded")},
        {QStringLiteral("zero.jpg"), QStringLiteral("not a regular file")},
        {QStringLiteral("fifo.jpg"), QStringLiteral("not a regular file")},
        {QStringLiteral("folder.jpg"), QStringLiteral("not a regular file")},
        {QStringLiteral("gone.jpg"), QStringLiteral("File not found")},
        {QFile::decodeName("caf\xe9.jpg"), QStringLiteral("the name is not valid UTF-8")},
    };
    std::FILE *latin1Name = std::fopen((QFile::encodeName(photos) + "caf\xe9.jpg").constData(), "w");
    QVERIFY(latin1Name && std::fwrite(photo.constData(), 1, photo.size(), latin1Name) == size_t(photo.size()));
    std::fclose(latin1Name);
    QList<BatchItem> items{first};
    QList<SkippedImage> expected;
    for (const auto &[name, reason] : hostile) {
        items.append({photos + name, true, ListEntryKind::Image, {}});
        expected.append({photos + name, reason});
    }
    items.append(fixture.addPhoto(QStringLiteral("last.jpg"), {60, 30}));

    QCOMPARE(fixture.run(fixture.request(mode, items), workers), BatchOutcome::Done);
    QCOMPARE(fixture.observer.skipped, expected);
    QCOMPARE(fixture.observer.titleBeforeSkipped, QStringLiteral("Done"));
    QVERIFY2(fixture.prompts.shown.size() == 1, qPrintable(fixture.prompts.transcript()));
    const QStringList written{QStringLiteral("first.jpg"), QStringLiteral("last.jpg")};
    if (mode == BatchMode::ScaleOnly) {
        QCOMPARE(fixture.filesIn(), written);
        return;
    }
    QCOMPARE(fixture.filesIn(QStringLiteral("thumbs")), mode == BatchMode::AlbumOnly ? QStringList() : written);
    QCOMPARE(fixture.filesIn(QStringLiteral("slides")), mode == BatchMode::AlbumOnly ? QStringList() : written);
    const QList<QStringList> entries = fixture.albumEntries();
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries.at(1).mid(0, 6), (QStringList{"./thumbs/last.jpg", "./slides/last.jpg", "30", "15", "60", "30"}));
}

// clang-format off
void BatchFaultsTest::destinationThatCannotBeWrittenStopsTheRun_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("workers");
    QTest::addColumn<QString>("failedOutput");
    QTest::addColumn<QString>("report");
    QTest::newRow("folder at the output path") << "folder" << 2 << "b.jpg" << "Error! (# 75): Path/File access error";
    QTest::newRow("output the user may not write") << "protected" << 2 << "b.jpg" << "Error! (# 70): Permission denied";
    QTest::newRow("full disk") << "full" << 1 << "a.jpg" << "Error! (# 61): Disk full";
    QTest::newRow("full disk, three workers") << "full" << 3 << "a.jpg" << "Error! (# 61): Disk full";
    QTest::newRow("read-only file system") << "read-only" << 2 << "a.jpg" << "Error! (# 70): Permission denied";
}
// clang-format on

// Today's fault: each of these printed "Done" with files missing. The run
// stops at the image whose output cannot be written, with the common error
// report naming that output; nothing after it is written, no temporary file
// stays.
void BatchFaultsTest::destinationThatCannotBeWrittenStopsTheRun()
{
    QFETCH(QString, fault);
    QFETCH(int, workers);
    QFETCH(QString, failedOutput);
    QFETCH(QString, report);
    BatchFixture fixture;
    const QList<BatchItem> items{fixture.addPhoto(QStringLiteral("a.jpg"), {200, 150}),
                                 fixture.addPhoto(QStringLiteral("b.jpg"), {200, 150}),
                                 fixture.addPhoto(QStringLiteral("c.jpg"), {200, 150})};
    BatchRequest request = fixture.request(BatchMode::ScaleOnly, items);
    request.adjustments.saveQuality = 100;

    std::unique_ptr<test::ScratchMount> mount;
    std::unique_ptr<test::WriteProtection> protection;
    QString destination = fixture.destination();
    if (fault == QLatin1String("full") || fault == QLatin1String("read-only")) {
        mount = std::make_unique<test::ScratchMount>(256);
        if (!mount->isMounted())
            QSKIP("a tmpfs cannot be mounted here (needs root)");
        destination = mount->path();
        QVERIFY(fault == QLatin1String("full") ? mount->fill() : mount->remountReadOnly());
    }
    QDir().mkpath(destination);
    const QString failedPath = destination + u'/' + failedOutput;
    QByteArray standing;
    if (fault == QLatin1String("folder"))
        QVERIFY(QDir().mkdir(failedPath));
    if (fault == QLatin1String("protected")) {
        QVERIFY(test::writeTestJpeg(failedPath, {5, 5}));
        standing = test::fileContents(failedPath);
        protection = std::make_unique<test::WriteProtection>(failedPath);
        QVERIFY(protection->isActive());
    }
    request.destination = destination;

    QCOMPARE(fixture.run(request, workers), BatchOutcome::Failed);
    QCOMPARE(fixture.prompts.ofKind(Kind::Message).size(), 1);
    QCOMPARE(fixture.prompts.ofKind(Kind::Message).first().text, report + QStringLiteral(": ") + failedPath);
    QVERIFY(!fixture.observer.titles.contains(QStringLiteral("Done")));
    QCOMPARE(fixture.observer.titles.last(), QStringLiteral("Scaling: ") + failedOutput);
    QVERIFY(!QFileInfo::exists(destination + QStringLiteral("/c.jpg")));
    const QStringList left = QDir(destination).entryList(QDir::Files | QDir::Hidden);
    QVERIFY2(left.filter(QStringLiteral(".part")).isEmpty(), qPrintable(left.join(u' ')));
    if (fault != QLatin1String("full") && fault != QLatin1String("read-only"))
        QCOMPARE(sizeOf(destination + QStringLiteral("/a.jpg")), QSize(100, 75));
    if (fault == QLatin1String("protected"))
        QCOMPARE(test::fileContents(failedPath), standing);
}

// The image must never be scaled with adjustments other than its own: when
// the Record List cannot be read, the run stops at the first image.
void BatchFaultsTest::failedRecordLookupStopsTheRun()
{
    BatchFixture fixture;
    const QList<BatchItem> items{fixture.addPhoto(QStringLiteral("a.jpg"), {40, 30}),
                                 fixture.addPhoto(QStringLiteral("b.jpg"), {40, 30})};
    fixture.records.CloseRecordStore();

    QCOMPARE(fixture.run(fixture.request(BatchMode::ScaleAndAlbum, items), 2), BatchOutcome::Failed);
    QCOMPARE(fixture.transcript(), (QStringList{"Scaling: a.jpg", "Error! (# 91): The Record List is not open"}));
    QVERIFY(fixture.filesIn(QStringLiteral("thumbs")).isEmpty());
    QVERIFY(fixture.filesIn(QStringLiteral("slides")).isEmpty());
    QVERIFY(fixture.albumEntries().isEmpty());
}

// clang-format off
void BatchFaultsTest::outputsFeedingLaterSourcesGiveTheOneByOneResult_data()
{
    QTest::addColumn<int>("workers");
    QTest::newRow("one worker") << 1;
    QTest::newRow("two workers") << 2;
    QTest::newRow("three workers") << 3;
}
// clang-format on

// The outputs go into the photo folder under the base name "p": a.jpg
// becomes p1.jpg, which is then the second source and becomes p2.jpg, and
// so on. One by one each image halves the one before; the questions come
// each at its image's turn.
void BatchFaultsTest::outputsFeedingLaterSourcesGiveTheOneByOneResult()
{
    QFETCH(int, workers);
    BatchFixture fixture;
    const QList<BatchItem> items{fixture.addPhoto(QStringLiteral("a.jpg"), {400, 300}),
                                 fixture.addPhoto(QStringLiteral("p1.jpg"), {64, 48}),
                                 fixture.addPhoto(QStringLiteral("p2.jpg"), {32, 24})};
    BatchRequest request = fixture.request(BatchMode::ScaleOnly, items);
    request.destination = fixture.photoFolder();
    request.baseName = QStringLiteral("p");

    QCOMPARE(fixture.run(request, workers), BatchOutcome::Done);
    QCOMPARE(sizeOf(fixture.photoFolder() + QStringLiteral("/p1.jpg")), QSize(200, 150));
    QCOMPARE(sizeOf(fixture.photoFolder() + QStringLiteral("/p2.jpg")), QSize(100, 75));
    QCOMPARE(sizeOf(fixture.photoFolder() + QStringLiteral("/p3.jpg")), QSize(50, 38));
    QCOMPARE(fixture.transcript(),
             (QStringList{"Scaling: a.jpg", "? p1.jpg", "Scaling: p1.jpg", "? p2.jpg", "Scaling: p2.jpg", "Done"}));

    BatchFixture oneByOne;
    const QList<BatchItem> again{oneByOne.addPhoto(QStringLiteral("a.jpg"), {400, 300}),
                                 oneByOne.addPhoto(QStringLiteral("p1.jpg"), {64, 48}),
                                 oneByOne.addPhoto(QStringLiteral("p2.jpg"), {32, 24})};
    BatchRequest alone = oneByOne.request(BatchMode::ScaleOnly, again);
    alone.destination = oneByOne.photoFolder();
    alone.baseName = QStringLiteral("p");
    QCOMPARE(oneByOne.run(alone, 1), BatchOutcome::Done);
    for (const char *name : {"/p1.jpg", "/p2.jpg", "/p3.jpg"}) {
        QCOMPARE(test::fileContents(fixture.photoFolder() + QLatin1String(name)),
                 test::fileContents(oneByOne.photoFolder() + QLatin1String(name)));
    }
}

// clang-format off
void BatchFaultsTest::errorComesBeforeTheNextImagesQuestion_data()
{
    QTest::addColumn<int>("workers");
    QTest::newRow("one worker") << 1;
    QTest::newRow("two workers") << 2;
    QTest::newRow("three workers") << 3;
}
// clang-format on

// The first output cannot be written (a folder stands there) and the second
// exists: the run stops at the first, so the second question is never asked
// and the second title never shown.
void BatchFaultsTest::errorComesBeforeTheNextImagesQuestion()
{
    QFETCH(int, workers);
    BatchFixture fixture;
    const QList<BatchItem> items{fixture.addPhoto(QStringLiteral("a.jpg"), {40, 30}),
                                 fixture.addPhoto(QStringLiteral("b.jpg"), {40, 30}),
                                 fixture.addPhoto(QStringLiteral("c.jpg"), {40, 30})};
    QDir().mkpath(fixture.inDestination(QStringLiteral("a.jpg")));
    QVERIFY(test::writeTestJpeg(fixture.inDestination(QStringLiteral("b.jpg")), {5, 5}));

    QCOMPARE(fixture.run(fixture.request(BatchMode::ScaleOnly, items), workers), BatchOutcome::Failed);
    QCOMPARE(fixture.transcript(),
             (QStringList{"Scaling: a.jpg",
                          "Error! (# 75): Path/File access error: " + fixture.inDestination(QStringLiteral("a.jpg"))}));
    QCOMPARE(sizeOf(fixture.inDestination(QStringLiteral("b.jpg"))), QSize(5, 5));
    QCOMPARE(fixture.filesIn(), QStringList{QStringLiteral("b.jpg")});
}

// clang-format off
void BatchFaultsTest::albumParsesAfterEveryEnding_data()
{
    QTest::addColumn<QString>("ending");
    QTest::addColumn<bool>("albumStood");
    QTest::addColumn<BatchOutcome>("outcome");
    QTest::addColumn<int>("entries");
    QTest::newRow("done") << "done" << false << BatchOutcome::Done << 3;
    QTest::newRow("cancelled at a question") << "cancel" << false << BatchOutcome::Canceled << 1;
    QTest::newRow("stopped (Ctrl+C)") << "stop" << false << BatchOutcome::Canceled << 0;
    QTest::newRow("failed") << "fail" << false << BatchOutcome::Failed << 1;
    QTest::newRow("failed over a finished album") << "fail" << true << BatchOutcome::Failed << 3;
}
// clang-format on

// A new album is closed with its foot however the run ends, so it opens in
// a browser with the entries written so far; a finished album that stood
// there is never replaced by an unfinished one.
void BatchFaultsTest::albumParsesAfterEveryEnding()
{
    QFETCH(QString, ending);
    QFETCH(bool, albumStood);
    QFETCH(BatchOutcome, outcome);
    QFETCH(int, entries);
    BatchFixture fixture;
    const QList<BatchItem> items{fixture.addPhoto(QStringLiteral("a.jpg"), {40, 30}),
                                 fixture.addPhoto(QStringLiteral("b.jpg"), {40, 30}),
                                 fixture.addPhoto(QStringLiteral("c.jpg"), {40, 30})};
    const BatchRequest request = fixture.request(BatchMode::ScaleAndAlbum, items);
    if (albumStood) {
        QCOMPARE(fixture.run(request, 2), BatchOutcome::Done);
        fixture.prompts.overwriteAnswers = {OverwriteAnswer::ReplaceWithoutAsking};
    }
    const QByteArray before = fixture.album();
    if (ending == QLatin1String("cancel")) {
        QVERIFY(QDir().mkpath(fixture.inDestination(QStringLiteral("thumbs"))));
        QVERIFY(test::writeTestJpeg(fixture.inDestination(QStringLiteral("thumbs/b.jpg")), {5, 5}));
        fixture.prompts.overwriteAnswers = {OverwriteAnswer::Cancel};
    }
    if (ending == QLatin1String("stop"))
        fixture.observer.stop = true;
    if (ending == QLatin1String("fail")) {
        QFile::remove(fixture.inDestination(QStringLiteral("slides/b.jpg")));
        QVERIFY(QDir().mkpath(fixture.inDestination(QStringLiteral("slides/b.jpg"))));
    }

    QCOMPARE(fixture.run(request, 2), outcome);
    QVERIFY(parsesAsXml(fixture.album()));
    QCOMPARE(fixture.albumEntries().size(), entries);
    if (albumStood)
        QCOMPARE(fixture.album(), before);
    const QStringList left = fixture.filesIn();
    QVERIFY2(left.filter(QStringLiteral("Sorvel.xml.")).isEmpty(), qPrintable(left.join(u' ')));
}

// The output is written beside the file it replaces and renamed over it; the
// replaced file's permission bits stay.
void BatchFaultsTest::replacedFileKeepsItsPermissionBits()
{
    BatchFixture fixture;
    const QList<BatchItem> items{fixture.addPhoto(QStringLiteral("a.jpg"), {40, 30})};
    const QString output = fixture.inDestination(QStringLiteral("a.jpg"));
    QDir().mkpath(fixture.destination());
    QVERIFY(test::writeTestJpeg(output, {5, 5}));
    QVERIFY(::chmod(QFile::encodeName(output).constData(), 0640) == 0);

    QCOMPARE(fixture.run(fixture.request(BatchMode::ScaleOnly, items)), BatchOutcome::Done);
    QCOMPARE(sizeOf(output), QSize(20, 15));
    struct stat status { };
    QCOMPARE(::stat(QFile::encodeName(output).constData(), &status), 0);
    QCOMPARE(status.st_mode & 07777, mode_t(0640));
}

// A run killed while it worked leaves its temporary files; the next run into
// the folder removes them, but not those of a run still going on.
void BatchFaultsTest::leftoversOfEndedRunsAreRemoved()
{
    BatchFixture fixture;
    const QList<BatchItem> items{fixture.addPhoto(QStringLiteral("a.jpg"), {40, 30})};
    const qint64 ended = endedProcessId();
    const qint64 alive = QCoreApplication::applicationPid();
    const QStringList leftovers{QStringLiteral(".tovin-%1-3.part").arg(ended),
                                QStringLiteral("thumbs/.tovin-%1-4.part").arg(ended),
                                QStringLiteral("slides/.tovin-%1-5.part.Ab12Cd").arg(ended)};
    const QStringList kept{QStringLiteral("thumbs/.tovin-%1-900.part").arg(alive), QStringLiteral(".tovin-notes.part"),
                           QStringLiteral("slides/x.part")};
    for (const QString &folder : {QStringLiteral("thumbs"), QStringLiteral("slides")})
        QVERIFY(QDir().mkpath(fixture.inDestination(folder)));
    for (const QString &name : leftovers + kept)
        QVERIFY(writeBytes(fixture.inDestination(name), "partial"));

    QCOMPARE(fixture.run(fixture.request(BatchMode::ScaleAndAlbum, items)), BatchOutcome::Done);
    for (const QString &name : leftovers)
        QVERIFY2(!QFileInfo::exists(fixture.inDestination(name)), qPrintable(name));
    for (const QString &name : kept)
        QVERIFY2(QFileInfo::exists(fixture.inDestination(name)), qPrintable(name));
}

QTEST_GUILESS_MAIN(BatchFaultsTest)
#include "tst_batchfaults.moc"
