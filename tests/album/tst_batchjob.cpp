// The batch run driven with scripted answers: which images it takes, the
// names it gives, the questions it asks, the album it writes, and how it
// ends, with one worker and with several.

#include "albumwriter.h"
#include "batchfixture.h"
#include "batchjob.h"
#include "imageengine.h"
#include "recordschema.h"
#include "testimages.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace tovin;
using tovin::test::BatchFixture;
using tovin::test::ShownPrompt;

namespace {

const QString kTable = QString::fromLatin1(kRecordTable);
const QString kKey = QString::fromLatin1(kRecordKeyField);

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

BatchItem listLine(ListEntryKind kind, const QString &key, bool selected = true)
{
    return {key, selected, kind, {}};
}

} // namespace

class BatchJobTest : public QObject
{
    Q_OBJECT

private slots:
    void noQualifyingImage_data();
    void noQualifyingImage();
    void namesAndNumbering_data();
    void namesAndNumbering();
    void albumOnlyWritesNoImageButReadsSizes();
    void recordedAdjustmentsWin();
    void thumbnailSizesRoundHalfToEven_data();
    void thumbnailSizesRoundHalfToEven();
    void cancelKeepsEverythingBeforeAndNothingAfter_data();
    void cancelKeepsEverythingBeforeAndNothingAfter();
    void replaceWithoutAskingLastsUntilACancel();
    void sameNameTwiceInOneRunIsAsked();
    void trailingSeparatorGivesTheSamePaths();
    void missingTemplatesWriteNothing();
    void missingFootEndsWithTheErrorReport();
    void destinationThatCannotBeMade();
    void slideCopyFailureStopsInOrder_data();
    void slideCopyFailureStopsInOrder();
    void workersChangeNothingInTheOutput();
};

void BatchJobTest::noQualifyingImage_data()
{
    QTest::addColumn<BatchMode>("mode");
    QTest::addColumn<QString>("opened");
    QTest::newRow("scale only") << BatchMode::ScaleOnly << "";
    QTest::newRow("album") << BatchMode::ScaleAndAlbum << "/index.html";
}

void BatchJobTest::noQualifyingImage()
{
    QFETCH(BatchMode, mode);
    QFETCH(QString, opened);
    BatchFixture fixture;
    const BatchItem unselected = fixture.addPhoto(QStringLiteral("a.jpg"), {40, 30}, false);
    const QList<BatchItem> items{listLine(ListEntryKind::Up, fixture.photoFolder() + u'/'),
                                 listLine(ListEntryKind::Folder, fixture.photoFolder() + QStringLiteral("/sub")),
                                 unselected};

    QCOMPARE(fixture.run(fixture.request(mode, items)), BatchOutcome::Done);
    QCOMPARE(fixture.observer.titles, QStringList{QStringLiteral("Done")});
    QCOMPARE(fixture.observer.controlsEnabled, (QList<bool>{false, true}));
    QVERIFY(!fixture.observer.busy);
    const QList<ShownPrompt> documents = fixture.prompts.ofKind(ShownPrompt::Kind::Document);
    QCOMPARE(documents.size(), 1);
    QCOMPARE(documents.first().text, fixture.destination() + opened);
    if (mode == BatchMode::ScaleOnly) {
        QVERIFY(filesIn(fixture.destination()).isEmpty());
        return;
    }
    QCOMPARE(filesIn(fixture.destination()),
             (QStringList{"Sorvel.js", "Sorvel.xml", "back_button.jpg", "index.html", "next_button.jpg"}));
    QVERIFY(filesIn(fixture.inDestination(QStringLiteral("thumbs"))).isEmpty());
    QVERIFY(filesIn(fixture.inDestination(QStringLiteral("slides"))).isEmpty());
    QVERIFY(test::albumEntries(fixture.inDestination(QStringLiteral("Sorvel.xml"))).isEmpty());
    QVERIFY(test::fileContents(fixture.inDestination(QStringLiteral("Sorvel.xml"))).trimmed().endsWith("</html>"));
}

void BatchJobTest::namesAndNumbering_data()
{
    QTest::addColumn<QString>("baseName");
    QTest::addColumn<QStringList>("outputs");
    QTest::newRow("base name numbers in list order") << "trip" << QStringList{"trip1.jpg", "trip2.jpg", "trip3.jpg"};
    QTest::newRow("blanks around the base name") << "  trip " << QStringList{"trip1.jpg", "trip2.jpg", "trip3.jpg"};
    QTest::newRow("no base name keeps the file names") << "" << QStringList{"z.jpg", "a.JPG", "m.jpeg"};
}

void BatchJobTest::namesAndNumbering()
{
    QFETCH(QString, baseName);
    QFETCH(QStringList, outputs);
    BatchFixture fixture;
    // Sizes tell the outputs apart: each is half its source.
    const QList<BatchItem> items{
        fixture.addPhoto(QStringLiteral("z.jpg"), {100, 60}),
        listLine(ListEntryKind::Folder, fixture.photoFolder() + QStringLiteral("/sub")),
        fixture.addPhoto(QStringLiteral("skipped.jpg"), {10, 10}, false),
        fixture.addPhoto(QStringLiteral("a.JPG"), {120, 60}),
        listLine(ListEntryKind::Up, fixture.photoFolder() + u'/'),
        fixture.addPhoto(QStringLiteral("m.jpeg"), {140, 60}),
    };
    BatchRequest request = fixture.request(BatchMode::ScaleOnly, items);
    request.baseName = baseName;

    QCOMPARE(fixture.run(request), BatchOutcome::Done);
    QStringList sorted = outputs;
    sorted.sort();
    QCOMPARE(filesIn(fixture.destination()), sorted);
    const QList<int> widths{50, 60, 70};
    for (int i = 0; i < outputs.size(); ++i)
        QCOMPARE(imageFileSize(fixture.inDestination(outputs.at(i)), kFormatJpeg), QSize(widths.at(i), 30));
    QCOMPARE(fixture.observer.titles, (QStringList{"Scaling: z.jpg", "Scaling: a.JPG", "Scaling: m.jpeg", "Done"}));
    QCOMPARE(fixture.observer.imagesDoneCalls, 3);
}

void BatchJobTest::albumOnlyWritesNoImageButReadsSizes()
{
    BatchFixture fixture;
    const QList<BatchItem> items{fixture.addPhoto(QStringLiteral("a.jpg"), {200, 100}),
                                 fixture.addPhoto(QStringLiteral("b.jpg"), {90, 160})};
    QDir().mkpath(fixture.inDestination(QStringLiteral("thumbs")));
    QFile::copy(items.first().key, fixture.inDestination(QStringLiteral("thumbs/a.jpg")));
    const QByteArray standing = test::fileContents(fixture.inDestination(QStringLiteral("thumbs/a.jpg")));

    QCOMPARE(fixture.run(fixture.request(BatchMode::AlbumOnly, items)), BatchOutcome::Done);
    QVERIFY(fixture.prompts.ofKind(ShownPrompt::Kind::Overwrite).isEmpty());
    QCOMPARE(filesIn(fixture.inDestination(QStringLiteral("thumbs"))), QStringList{QStringLiteral("a.jpg")});
    QCOMPARE(test::fileContents(fixture.inDestination(QStringLiteral("thumbs/a.jpg"))), standing);
    QVERIFY(filesIn(fixture.inDestination(QStringLiteral("slides"))).isEmpty());
    const QList<QStringList> entries = test::albumEntries(fixture.inDestination(QStringLiteral("Sorvel.xml")));
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries.at(0),
             (QStringList{"./thumbs/a.jpg", "./slides/a.jpg", "100", "50", "200", "100", "date of a.jpg",
                          "caption of the run"}));
    QCOMPARE(entries.at(1).mid(2, 4), (QStringList{"45", "80", "90", "160"}));
}

void BatchJobTest::recordedAdjustmentsWin()
{
    BatchFixture fixture;
    const QList<BatchItem> items{fixture.addPhoto(QStringLiteral("recorded.jpg"), {200, 100}),
                                 fixture.addPhoto(QStringLiteral("plain.jpg"), {200, 100})};
    // The row says 25 % by 40 %, brightness 0, and remembers another size,
    // date and description than the file has.
    const QVariantList row{items.first().key,
                           640,
                           480,
                           25,
                           40,
                           0,
                           0,
                           3,
                           1,
                           QStringLiteral("recorded date"),
                           QStringLiteral("recorded words"),
                           true};
    QCOMPARE(fixture.records.SaveRecord(items.first().key, row, kKey, kTable), RecordResult::Done);

    BatchRequest request = fixture.request(BatchMode::ScaleAndAlbum, items);
    request.adjustments.saveQuality = 30;
    QCOMPARE(fixture.run(request), BatchOutcome::Done);

    QCOMPARE(imageFileSize(fixture.inDestination(QStringLiteral("thumbs/recorded.jpg")), kFormatJpeg), QSize(50, 40));
    QCOMPARE(imageFileSize(fixture.inDestination(QStringLiteral("thumbs/plain.jpg")), kFormatJpeg), QSize(100, 50));
    // Quality always comes from the main window's current choice.
    QCOMPARE(test::firstQuantisationTable(fixture.inDestination(QStringLiteral("thumbs/recorded.jpg"))),
             test::expectedLuminanceTable(30));
    QCOMPARE(test::fileContents(fixture.inDestination(QStringLiteral("slides/recorded.jpg"))),
             test::fileContents(items.first().key));

    const QList<QStringList> entries = test::albumEntries(fixture.inDestination(QStringLiteral("Sorvel.xml")));
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries.at(0).mid(2), (QStringList{"160", "192", "640", "480", "recorded date", "recorded words"}));
    QCOMPARE(entries.at(1).mid(2), (QStringList{"100", "50", "200", "100", "date of plain.jpg", "caption of the run"}));
}

void BatchJobTest::thumbnailSizesRoundHalfToEven_data()
{
    QTest::addColumn<int>("slideWidth");
    QTest::addColumn<QString>("percent");
    QTest::addColumn<QString>("thumbWidth");
    QTest::newRow("511.5 -> 512") << 1023 << "50"
                                  << "512";
    QTest::newRow("512.5 -> 512") << 1025 << "50"
                                  << "512";
    QTest::newRow("a fractional percent is rounded first") << 1000 << "50.5"
                                                           << "500";
}

void BatchJobTest::thumbnailSizesRoundHalfToEven()
{
    QFETCH(int, slideWidth);
    QFETCH(QString, percent);
    QFETCH(QString, thumbWidth);
    BatchFixture fixture;
    BatchRequest request =
        fixture.request(BatchMode::AlbumOnly, {fixture.addPhoto(QStringLiteral("a.jpg"), {slideWidth, 8})});
    request.adjustments.width = percent;
    QCOMPARE(fixture.run(request), BatchOutcome::Done);
    const QList<QStringList> entries = test::albumEntries(fixture.inDestination(QStringLiteral("Sorvel.xml")));
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries.first().at(2), thumbWidth);
}

void BatchJobTest::cancelKeepsEverythingBeforeAndNothingAfter_data()
{
    QTest::addColumn<int>("workers");
    QTest::addColumn<int>("cancelAt");
    QTest::newRow("first question, one worker") << 1 << 0;
    QTest::newRow("first question, two workers") << 2 << 0;
    QTest::newRow("third image, one worker") << 1 << 2;
    QTest::newRow("third image, three workers") << 3 << 2;
}

void BatchJobTest::cancelKeepsEverythingBeforeAndNothingAfter()
{
    QFETCH(int, workers);
    QFETCH(int, cancelAt);
    BatchFixture fixture;
    QList<BatchItem> items;
    for (int i = 0; i < 5; ++i)
        items.append(fixture.addPhoto(QStringLiteral("p%1.jpg").arg(i), {60 + 2 * i, 40}));
    const QString thumbs = fixture.inDestination(QStringLiteral("thumbs"));
    QDir().mkpath(thumbs);
    const QString standing = thumbs + QStringLiteral("/p%1.jpg").arg(cancelAt);
    QVERIFY(test::writeTestJpeg(standing, {7, 7}));
    fixture.prompts.overwriteAnswers = {OverwriteAnswer::Cancel};
    fixture.choice.dontAskAgain = false;

    QCOMPARE(fixture.run(fixture.request(BatchMode::ScaleAndAlbum, items), workers), BatchOutcome::Canceled);

    const QList<ShownPrompt> questions = fixture.prompts.ofKind(ShownPrompt::Kind::Overwrite);
    QCOMPARE(questions.size(), 1);
    QCOMPARE(questions.first().text,
             QStringLiteral("p%1.jpg is ALREADY EXISTED. Would you like to replace this file?\n\nWarning: If you click "
                            "\"YES\", you wont be able to recover your old file. If you click \"Cancel\", the "
                            "operation will be stopped and no files will be replaced.")
                 .arg(cancelAt));
    QStringList before;
    for (int i = 0; i < cancelAt; ++i)
        before << QStringLiteral("p%1.jpg").arg(i);
    QCOMPARE(filesIn(fixture.inDestination(QStringLiteral("slides"))), before);
    QCOMPARE(filesIn(thumbs), QStringList(before) << QStringLiteral("p%1.jpg").arg(cancelAt));
    QCOMPARE(imageFileSize(standing, kFormatJpeg), QSize(7, 7));
    QCOMPARE(fixture.observer.titles.last(), QStringLiteral("Operation Canceled."));
    QCOMPARE(fixture.observer.controlsEnabled.last(), true);
    QVERIFY(fixture.prompts.ofKind(ShownPrompt::Kind::Document).isEmpty());

    // The album holds what was finished and no foot.
    const QByteArray album = test::fileContents(fixture.inDestination(QStringLiteral("Sorvel.xml")));
    QVERIFY(album.contains("sorvel-layout"));
    QVERIFY(!album.trimmed().endsWith("</html>"));
    QCOMPARE(album.count("class=\"sorvel-photo\""), qsizetype(cancelAt));
}

void BatchJobTest::replaceWithoutAskingLastsUntilACancel()
{
    BatchFixture fixture;
    const QList<BatchItem> items{fixture.addPhoto(QStringLiteral("a.jpg"), {40, 40}),
                                 fixture.addPhoto(QStringLiteral("b.jpg"), {40, 40})};
    const BatchRequest request = fixture.request(BatchMode::ScaleOnly, items);
    auto questions = [&] { return fixture.prompts.ofKind(ShownPrompt::Kind::Overwrite).size(); };
    QCOMPARE(fixture.run(request), BatchOutcome::Done);
    QCOMPARE(questions(), 0);

    fixture.prompts.overwriteAnswers = {OverwriteAnswer::ReplaceWithoutAsking};
    QCOMPARE(fixture.run(request), BatchOutcome::Done);
    QCOMPARE(questions(), 1);
    // A later run of the same window replaces without a question ...
    QCOMPARE(fixture.run(request), BatchOutcome::Done);
    QCOMPARE(questions(), 1);

    // ... until a run is stopped, which clears the choice.
    fixture.observer.stop = true;
    QCOMPARE(fixture.run(request), BatchOutcome::Canceled);
    QVERIFY(!fixture.choice.dontAskAgain);
    fixture.observer.stop = false;
    QCOMPARE(fixture.run(request), BatchOutcome::Done);
    QCOMPARE(questions(), 3);
}

void BatchJobTest::sameNameTwiceInOneRunIsAsked()
{
    BatchFixture fixture;
    QDir(fixture.photoFolder()).mkdir(QStringLiteral("other"));
    const BatchItem first = fixture.addPhoto(QStringLiteral("x.jpg"), {80, 40});
    const BatchItem second = fixture.addPhoto(QStringLiteral("other/x.jpg"), {120, 40});
    fixture.prompts.overwriteAnswers = {OverwriteAnswer::Replace};

    // With two workers the first x.jpg is still being scaled when the second
    // comes up: the question must come all the same, as it does one by one.
    QCOMPARE(fixture.run(fixture.request(BatchMode::ScaleOnly, {first, second}), 2), BatchOutcome::Done);
    QCOMPARE(fixture.prompts.ofKind(ShownPrompt::Kind::Overwrite).size(), 1);
    QCOMPARE(imageFileSize(fixture.inDestination(QStringLiteral("x.jpg")), kFormatJpeg), QSize(60, 20));
}

void BatchJobTest::trailingSeparatorGivesTheSamePaths()
{
    BatchFixture fixture;
    BatchRequest request =
        fixture.request(BatchMode::ScaleAndAlbum, {fixture.addPhoto(QStringLiteral("a.jpg"), {40, 40})});
    request.destination = fixture.destination() + QStringLiteral("//");
    QCOMPARE(fixture.run(request), BatchOutcome::Done);
    QCOMPARE(filesIn(fixture.inDestination(QStringLiteral("thumbs"))), QStringList{QStringLiteral("a.jpg")});
    QCOMPARE(filesIn(fixture.inDestination(QStringLiteral("slides"))), QStringList{QStringLiteral("a.jpg")});
    QCOMPARE(fixture.prompts.ofKind(ShownPrompt::Kind::Document).first().text,
             fixture.destination() + QStringLiteral("/index.html"));
}

void BatchJobTest::missingTemplatesWriteNothing()
{
    BatchFixture fixture;
    for (const char *name : {"Sorvel_head.tpl", "Sorvel_loop.tpl", "Sorvel_foot.tpl"})
        QVERIFY(QFile::remove(fixture.programFolder() + QStringLiteral("/src/sorv/") + QLatin1String(name)));
    const BatchRequest request =
        fixture.request(BatchMode::ScaleAndAlbum, {fixture.addPhoto(QStringLiteral("a.jpg"), {40, 40})});

    QCOMPARE(fixture.run(request), BatchOutcome::NotStarted);
    QVERIFY(!QFileInfo::exists(fixture.destination()));
    QCOMPARE(fixture.prompts.shown.size(), 1);
    const ShownPrompt &notice = fixture.prompts.shown.first();
    QCOMPARE(notice.kind, ShownPrompt::Kind::Notice);
    QCOMPARE(notice.title, QStringLiteral("Error!"));
    QVERIFY(notice.text.startsWith(QStringLiteral(
        "Template files for Sorvel could not be found.\n\nPlease reinstall Sorvel Package and try again. If you do "
        "not have Sorvel, you can get it at: ")));
    QCOMPARE(fixture.observer.templatesMissing, 1);
    QCOMPARE(fixture.observer.controlsEnabled, (QList<bool>{false, true}));
    QVERIFY(fixture.observer.titles.isEmpty());
}

void BatchJobTest::missingFootEndsWithTheErrorReport()
{
    BatchFixture fixture;
    QVERIFY(QFile::remove(fixture.programFolder() + QStringLiteral("/src/sorv/Sorvel_foot.tpl")));
    const QList<BatchItem> items{fixture.addPhoto(QStringLiteral("a.jpg"), {40, 40}),
                                 fixture.addPhoto(QStringLiteral("b.jpg"), {40, 40})};

    QCOMPARE(fixture.run(fixture.request(BatchMode::ScaleAndAlbum, items)), BatchOutcome::Failed);
    QCOMPARE(filesIn(fixture.inDestination(QStringLiteral("thumbs"))), (QStringList{"a.jpg", "b.jpg"}));
    QCOMPARE(filesIn(fixture.inDestination(QStringLiteral("slides"))), (QStringList{"a.jpg", "b.jpg"}));
    QVERIFY(QFileInfo::exists(fixture.inDestination(QStringLiteral("index.html"))));
    const QByteArray album = test::fileContents(fixture.inDestination(QStringLiteral("Sorvel.xml")));
    QCOMPARE(album.count("class=\"sorvel-photo\""), qsizetype(2));
    QVERIFY(!album.trimmed().endsWith("</html>"));
    QCOMPARE(fixture.prompts.shown.size(), 1);
    QCOMPARE(fixture.prompts.shown.first().text, QStringLiteral("Error! (# 53): File not found"));
    QCOMPARE(fixture.prompts.shown.first().title, QStringLiteral("Error! #53"));
    QVERIFY(fixture.prompts.ofKind(ShownPrompt::Kind::Document).isEmpty());
    QVERIFY(!fixture.observer.titles.contains(QStringLiteral("Done")));
}

void BatchJobTest::destinationThatCannotBeMade()
{
    BatchFixture fixture;
    BatchRequest request =
        fixture.request(BatchMode::ScaleAndAlbum, {fixture.addPhoto(QStringLiteral("a.jpg"), {40, 40})});
    request.destination = fixture.destination() + QStringLiteral("/two/levels");
    QCOMPARE(fixture.run(request), BatchOutcome::NotStarted);
    QCOMPARE(fixture.prompts.shown.size(), 1);
    QCOMPARE(fixture.prompts.shown.first().text,
             QStringLiteral("Could not create folder:%1 Path not found").arg(request.destination));
    QVERIFY(!QFileInfo::exists(fixture.destination()));
}

void BatchJobTest::slideCopyFailureStopsInOrder_data()
{
    QTest::addColumn<int>("workers");
    QTest::newRow("one worker") << 1;
    QTest::newRow("three workers") << 3;
}

// A file where the slides folder should be: the folder cannot be made (said
// and passed over), then the first slide copy fails and stops the run. The
// first image is written, nothing after it, whatever ran ahead.
void BatchJobTest::slideCopyFailureStopsInOrder()
{
    QFETCH(int, workers);
    BatchFixture fixture;
    QList<BatchItem> items;
    for (int i = 0; i < 4; ++i)
        items.append(fixture.addPhoto(QStringLiteral("p%1.jpg").arg(i), {40, 40}));
    QDir().mkpath(fixture.destination());
    QFile(fixture.inDestination(QStringLiteral("slides"))).open(QIODevice::WriteOnly);

    QCOMPARE(fixture.run(fixture.request(BatchMode::ScaleAndAlbum, items), workers), BatchOutcome::Failed);
    QCOMPARE(fixture.prompts.shown.size(), 2);
    QVERIFY(fixture.prompts.shown.at(0).text.startsWith(QStringLiteral("Could not create folder:")));
    QCOMPARE(fixture.prompts.shown.at(1).text, QStringLiteral("Error! (# 76): Path not found"));
    QCOMPARE(filesIn(fixture.inDestination(QStringLiteral("thumbs"))), QStringList{QStringLiteral("p0.jpg")});
    QCOMPARE(test::fileContents(fixture.inDestination(QStringLiteral("Sorvel.xml"))).count("class=\"sorvel-photo\""),
             qsizetype(0));
    QCOMPARE(fixture.observer.controlsEnabled.last(), true);
}

void BatchJobTest::workersChangeNothingInTheOutput()
{
    BatchFixture one;
    BatchFixture many;
    QList<BatchItem> itemsOne;
    QList<BatchItem> itemsMany;
    for (int i = 0; i < 7; ++i) {
        const QString name = QStringLiteral("p%1.jpg").arg(i);
        const QSize size(90 + 10 * i, 60 + 4 * i);
        itemsOne.append(one.addPhoto(name, size, i != 3));
        itemsMany.append(many.addPhoto(name, size, i != 3));
    }
    BatchRequest requestOne = one.request(BatchMode::ScaleAndAlbum, itemsOne);
    BatchRequest requestMany = many.request(BatchMode::ScaleAndAlbum, itemsMany);
    requestOne.baseName = requestMany.baseName = QStringLiteral("day");
    QCOMPARE(one.run(requestOne, 1), BatchOutcome::Done);
    QCOMPARE(many.run(requestMany, 4), BatchOutcome::Done);

    for (const QString &folder : {QStringLiteral("thumbs"), QStringLiteral("slides")}) {
        const QStringList names = filesIn(one.inDestination(folder));
        QCOMPARE(names.size(), 6);
        QCOMPARE(filesIn(many.inDestination(folder)), names);
        for (const QString &name : names)
            QCOMPARE(test::fileContents(many.inDestination(folder + u'/' + name)),
                     test::fileContents(one.inDestination(folder + u'/' + name)));
    }
    const QByteArray albumOne = test::fileContents(one.inDestination(QStringLiteral("Sorvel.xml")));
    QByteArray albumMany = test::fileContents(many.inDestination(QStringLiteral("Sorvel.xml")));
    albumMany.replace(many.photoFolder().toUtf8(), one.photoFolder().toUtf8());
    QCOMPARE(albumMany, albumOne);
    QCOMPARE(many.observer.titles, one.observer.titles);
}

QTEST_GUILESS_MAIN(BatchJobTest)
#include "tst_batchjob.moc"
