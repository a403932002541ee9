// The batch run driven with scripted answers: which images it takes, the
// names it gives, the questions it asks, the album it writes, and how it
// ends, with one worker and with several.

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
using Kind = tovin::test::ShownPrompt::Kind;

namespace {

BatchItem listLine(ListEntryKind kind, const QString &key)
{
    return {key, true, kind, {}};
}

QSize sizeOf(const QString &path)
{
    return imageFileSize(path, kFormatJpeg);
}

// Whether the album got its foot, which only a run that ends well writes.
bool endsWithFoot(const QByteArray &album)
{
    return album.trimmed().endsWith("</html>");
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
    void runThatCannotStartWritesNothing_data();
    void runThatCannotStartWritesNothing();
    void missingFootEndsWithTheErrorReport();
    void failedSlideCopyStopsInOrder_data();
    void failedSlideCopyStopsInOrder();
    void workersChangeNothingInTheOutput_data();
    void workersChangeNothingInTheOutput();
};

// clang-format off
void BatchJobTest::noQualifyingImage_data()
{
    QTest::addColumn<BatchMode>("mode");
    QTest::addColumn<QString>("opened");
    QTest::newRow("scale only") << BatchMode::ScaleOnly << "";
    QTest::newRow("album") << BatchMode::ScaleAndAlbum << "/index.html";
}
// clang-format on

void BatchJobTest::noQualifyingImage()
{
    QFETCH(BatchMode, mode);
    QFETCH(QString, opened);
    BatchFixture fixture;
    const QList<BatchItem> items{listLine(ListEntryKind::Up, fixture.photoFolder() + u'/'),
                                 listLine(ListEntryKind::Folder, fixture.photoFolder() + QStringLiteral("/sub")),
                                 fixture.addPhoto(QStringLiteral("a.jpg"), {40, 30}, false)};

    QCOMPARE(fixture.run(fixture.request(mode, items)), BatchOutcome::Done);
    QCOMPARE(fixture.observer.titles, QStringList{QStringLiteral("Done")});
    QCOMPARE(fixture.observer.controlsEnabled, (QList<bool>{false, true}));
    QCOMPARE(fixture.shown(Kind::Document).size(), 1);
    QCOMPARE(fixture.shown(Kind::Document).first().text, fixture.destination() + opened);
    if (mode == BatchMode::ScaleOnly) {
        QVERIFY(fixture.filesIn().isEmpty());
        return;
    }
    QCOMPARE(fixture.filesIn(),
             (QStringList{"Sorvel.js", "Sorvel.xml", "back_button.jpg", "index.html", "next_button.jpg"}));
    QVERIFY(fixture.filesIn(QStringLiteral("thumbs")).isEmpty() && fixture.filesIn(QStringLiteral("slides")).isEmpty());
    QVERIFY(fixture.albumEntries().isEmpty());
    QVERIFY(endsWithFoot(fixture.album()));
}

// clang-format off
void BatchJobTest::namesAndNumbering_data()
{
    QTest::addColumn<QString>("baseName");
    QTest::addColumn<QStringList>("outputs");
    QTest::newRow("base name numbers in list order") << "trip" << QStringList{"trip1.jpg", "trip2.jpg", "trip3.jpg"};
    QTest::newRow("blanks around the base name") << "  trip " << QStringList{"trip1.jpg", "trip2.jpg", "trip3.jpg"};
    QTest::newRow("no base name keeps the file names") << "" << QStringList{"z.jpg", "a.JPG", "m.jpeg"};
}
// clang-format on

// Folders, the up entry and unselected images are passed over and take no
// number. The sizes tell the outputs apart: each is half its source.
void BatchJobTest::namesAndNumbering()
{
    QFETCH(QString, baseName);
    QFETCH(QStringList, outputs);
    BatchFixture fixture;
    BatchRequest request =
        fixture.request(BatchMode::ScaleOnly,
                        {fixture.addPhoto(QStringLiteral("z.jpg"), {100, 60}),
                         listLine(ListEntryKind::Folder, fixture.photoFolder() + QStringLiteral("/s")),
                         fixture.addPhoto(QStringLiteral("skipped.jpg"), {10, 10}, false),
                         fixture.addPhoto(QStringLiteral("a.JPG"), {120, 60}),
                         listLine(ListEntryKind::Up, fixture.photoFolder() + u'/'),
                         fixture.addPhoto(QStringLiteral("m.jpeg"), {140, 60})});
    request.baseName = baseName;

    QCOMPARE(fixture.run(request), BatchOutcome::Done);
    QCOMPARE(fixture.filesIn().size(), 3);
    for (int i = 0; i < outputs.size(); ++i)
        QCOMPARE(sizeOf(fixture.inDestination(outputs.at(i))), QSize(50 + 10 * i, 30));
    QCOMPARE(fixture.observer.titles, (QStringList{"Scaling: z.jpg", "Scaling: a.JPG", "Scaling: m.jpeg", "Done"}));
    QCOMPARE(fixture.observer.imagesDoneCalls, 3);
}

void BatchJobTest::albumOnlyWritesNoImageButReadsSizes()
{
    BatchFixture fixture;
    const QList<BatchItem> items{fixture.addPhoto(QStringLiteral("a.jpg"), {200, 100}),
                                 fixture.addPhoto(QStringLiteral("b.jpg"), {90, 160})};
    QDir().mkpath(fixture.inDestination(QStringLiteral("thumbs")));
    QVERIFY(test::writeTestJpeg(fixture.inDestination(QStringLiteral("thumbs/a.jpg")), {7, 7}));

    QCOMPARE(fixture.run(fixture.request(BatchMode::AlbumOnly, items)), BatchOutcome::Done);
    QVERIFY(fixture.shown(Kind::Overwrite).isEmpty());
    QCOMPARE(fixture.filesIn(QStringLiteral("thumbs")), QStringList{QStringLiteral("a.jpg")});
    QCOMPARE(sizeOf(fixture.inDestination(QStringLiteral("thumbs/a.jpg"))), QSize(7, 7));
    QVERIFY(fixture.filesIn(QStringLiteral("slides")).isEmpty());
    const QList<QStringList> entries = fixture.albumEntries();
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries.at(0),
             (QStringList{"./thumbs/a.jpg", "./slides/a.jpg", "100", "50", "200", "100", "date of a.jpg",
                          "caption of the run"}));
    QCOMPARE(entries.at(1).mid(2, 4), (QStringList{"45", "80", "90", "160"}));
}

// A recorded image uses its row's percentages, size, date and description;
// filter and quality always come from the main window. The destination is
// typed with a trailing separator, which changes no path.
void BatchJobTest::recordedAdjustmentsWin()
{
    BatchFixture fixture;
    const QList<BatchItem> items{fixture.addPhoto(QStringLiteral("recorded.jpg"), {200, 100}),
                                 fixture.addPhoto(QStringLiteral("plain.jpg"), {200, 100})};
    const QVariantList row{items.first().key, 640, 480, 25, 40, 0, 0, 3, 1, "recorded date", "recorded words", true};
    QCOMPARE(fixture.records.SaveRecord(items.first().key, row, QString::fromLatin1(kRecordKeyField),
                                        QString::fromLatin1(kRecordTable)),
             RecordResult::Done);
    BatchRequest request = fixture.request(BatchMode::ScaleAndAlbum, items);
    request.adjustments.saveQuality = 30;
    request.destination += QStringLiteral("//");

    QCOMPARE(fixture.run(request), BatchOutcome::Done);
    const QString recorded = fixture.inDestination(QStringLiteral("thumbs/recorded.jpg"));
    QCOMPARE(sizeOf(recorded), QSize(50, 40));
    QCOMPARE(sizeOf(fixture.inDestination(QStringLiteral("thumbs/plain.jpg"))), QSize(100, 50));
    QCOMPARE(test::firstQuantisationTable(recorded), test::expectedLuminanceTable(30));
    QCOMPARE(test::fileContents(fixture.inDestination(QStringLiteral("slides/recorded.jpg"))),
             test::fileContents(items.first().key));
    const QList<QStringList> entries = fixture.albumEntries();
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries.at(0).mid(2), (QStringList{"160", "192", "640", "480", "recorded date", "recorded words"}));
    QCOMPARE(entries.at(1).mid(2), (QStringList{"100", "50", "200", "100", "date of plain.jpg", "caption of the run"}));
    QCOMPARE(fixture.shown(Kind::Document).first().text, fixture.destination() + QStringLiteral("/index.html"));
}

// clang-format off
void BatchJobTest::thumbnailSizesRoundHalfToEven_data()
{
    QTest::addColumn<int>("slideWidth");
    QTest::addColumn<QString>("percent");
    QTest::addColumn<QString>("thumbWidth");
    QTest::newRow("511.5 -> 512") << 1023 << "50" << "512";
    QTest::newRow("512.5 -> 512") << 1025 << "50" << "512";
    QTest::newRow("a fractional percent is rounded first") << 1000 << "50.5" << "500";
}
// clang-format on

void BatchJobTest::thumbnailSizesRoundHalfToEven()
{
    QFETCH(int, slideWidth);
    QFETCH(QString, percent);
    BatchFixture fixture;
    BatchRequest request =
        fixture.request(BatchMode::AlbumOnly, {fixture.addPhoto(QStringLiteral("a.jpg"), {slideWidth, 8})});
    request.adjustments.width = percent;
    QCOMPARE(fixture.run(request), BatchOutcome::Done);
    QCOMPARE(fixture.albumEntries().size(), 1);
    QTEST(fixture.albumEntries().first().at(2), "thumbWidth");
}

// clang-format off
void BatchJobTest::cancelKeepsEverythingBeforeAndNothingAfter_data()
{
    QTest::addColumn<int>("workers");
    QTest::addColumn<int>("cancelAt");
    QTest::newRow("first question, one worker") << 1 << 0;
    QTest::newRow("first question, two workers") << 2 << 0;
    QTest::newRow("third image, three workers") << 3 << 2;
}
// clang-format on

void BatchJobTest::cancelKeepsEverythingBeforeAndNothingAfter()
{
    QFETCH(int, workers);
    QFETCH(int, cancelAt);
    BatchFixture fixture;
    QList<BatchItem> items;
    QStringList before;
    for (int i = 0; i < 5; ++i) {
        items.append(fixture.addPhoto(QStringLiteral("p%1.jpg").arg(i), {60, 40}));
        if (i < cancelAt)
            before << QStringLiteral("p%1.jpg").arg(i);
    }
    QDir().mkpath(fixture.inDestination(QStringLiteral("thumbs")));
    const QString standing = fixture.inDestination(QStringLiteral("thumbs/p%1.jpg").arg(cancelAt));
    QVERIFY(test::writeTestJpeg(standing, {7, 7}));
    fixture.prompts.overwriteAnswers = {OverwriteAnswer::Cancel};

    QCOMPARE(fixture.run(fixture.request(BatchMode::ScaleAndAlbum, items), workers), BatchOutcome::Canceled);
    QCOMPARE(fixture.shown(Kind::Overwrite).size(), 1);
    QCOMPARE(fixture.shown(Kind::Overwrite).first().text,
             QStringLiteral("p%1.jpg is ALREADY EXISTED. Would you like to replace this file?\n\nWarning: If you click "
                            "\"YES\", you wont be able to recover your old file. If you click \"Cancel\", the "
                            "operation will be stopped and no files will be replaced.")
                 .arg(cancelAt));
    QCOMPARE(fixture.filesIn(QStringLiteral("slides")), before);
    QCOMPARE(fixture.filesIn(QStringLiteral("thumbs")), before << QStringLiteral("p%1.jpg").arg(cancelAt));
    QCOMPARE(sizeOf(standing), QSize(7, 7));
    QCOMPARE(fixture.observer.titles.last(), QStringLiteral("Operation Canceled."));
    QCOMPARE(fixture.observer.controlsEnabled.last(), true);
    QVERIFY(fixture.shown(Kind::Document).isEmpty());
    // The album holds the head and what was finished, closed with its foot.
    QVERIFY(fixture.album().contains("sorvel-layout"));
    QCOMPARE(fixture.albumEntries().size(), cancelAt);
    QVERIFY(endsWithFoot(fixture.album()));
}

void BatchJobTest::replaceWithoutAskingLastsUntilACancel()
{
    BatchFixture fixture;
    const BatchRequest request = fixture.request(
        BatchMode::ScaleOnly,
        {fixture.addPhoto(QStringLiteral("a.jpg"), {40, 40}), fixture.addPhoto(QStringLiteral("b.jpg"), {40, 40})});
    auto questionsAfterRun = [&](BatchOutcome outcome) {
        const BatchOutcome ended = fixture.run(request);
        return ended == outcome ? fixture.shown(Kind::Overwrite).size() : -1;
    };
    QCOMPARE(questionsAfterRun(BatchOutcome::Done), 0);
    fixture.prompts.overwriteAnswers = {OverwriteAnswer::ReplaceWithoutAsking};
    QCOMPARE(questionsAfterRun(BatchOutcome::Done), 1);
    // Later runs of the same window replace without a question ...
    QCOMPARE(questionsAfterRun(BatchOutcome::Done), 1);
    // ... until a run is stopped, which clears the choice.
    fixture.observer.stop = true;
    QCOMPARE(questionsAfterRun(BatchOutcome::Canceled), 1);
    QVERIFY(!fixture.choice.dontAskAgain);
    fixture.observer.stop = false;
    QCOMPARE(questionsAfterRun(BatchOutcome::Done), 3);
}

// With two workers the first x.jpg is still being scaled when the second
// comes up: the question must come all the same, as it does one by one.
void BatchJobTest::sameNameTwiceInOneRunIsAsked()
{
    BatchFixture fixture;
    QDir(fixture.photoFolder()).mkdir(QStringLiteral("other"));
    const BatchRequest request = fixture.request(BatchMode::ScaleOnly,
                                                 {fixture.addPhoto(QStringLiteral("x.jpg"), {80, 40}),
                                                  fixture.addPhoto(QStringLiteral("other/x.jpg"), {120, 40})});
    QCOMPARE(fixture.run(request, 2), BatchOutcome::Done);
    QCOMPARE(fixture.shown(Kind::Overwrite).size(), 1);
    QCOMPARE(sizeOf(fixture.inDestination(QStringLiteral("x.jpg"))), QSize(60, 20));
}

// clang-format off
void BatchJobTest::runThatCannotStartWritesNothing_data()
{
    QTest::addColumn<bool>("removeTemplates");
    QTest::addColumn<QString>("destination");
    QTest::addColumn<ShownPrompt>("prompt");
    QTest::newRow("no album template") << true << "" << ShownPrompt{Kind::Notice, "Template files for Sorvel could not be found.\n\nPlease reinstall Sorvel Package and try again. If you do not have Sorvel, you can get it at: https://www.example.org/sorvel/", "Error!", PromptIcon::None, PromptButtons::Ok};
    QTest::newRow("destination two levels deep") << false << "/two/levels" << test::messageBox("Could not create folder:%1/two/levels Path not found", "Error! #76", PromptIcon::Critical);
}
// clang-format on

void BatchJobTest::runThatCannotStartWritesNothing()
{
    QFETCH(bool, removeTemplates);
    QFETCH(QString, destination);
    QFETCH(ShownPrompt, prompt);
    BatchFixture fixture;
    for (const char *name : {"Sorvel_head.tpl", "Sorvel_loop.tpl", "Sorvel_foot.tpl"}) {
        if (removeTemplates)
            QVERIFY(QFile::remove(fixture.programFolder() + QStringLiteral("/src/sorv/") + QLatin1String(name)));
    }
    BatchRequest request =
        fixture.request(BatchMode::ScaleAndAlbum, {fixture.addPhoto(QStringLiteral("a.jpg"), {40, 40})});
    request.destination += destination;
    prompt.text = prompt.text.arg(fixture.destination());

    QCOMPARE(fixture.run(request), BatchOutcome::NotStarted);
    QCOMPARE(fixture.prompts.shown, QList<ShownPrompt>{prompt});
    QVERIFY(!QFileInfo::exists(fixture.destination()));
    QCOMPARE(fixture.observer.templatesMissing, removeTemplates ? 1 : 0);
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
    QCOMPARE(fixture.filesIn(QStringLiteral("thumbs")), (QStringList{"a.jpg", "b.jpg"}));
    QCOMPARE(fixture.filesIn(QStringLiteral("slides")), (QStringList{"a.jpg", "b.jpg"}));
    QVERIFY(fixture.filesIn().contains(QStringLiteral("index.html")));
    QCOMPARE(fixture.album().count("class=\"sorvel-photo\""), qsizetype(2));
    QVERIFY(!endsWithFoot(fixture.album()));
    QCOMPARE(
        fixture.prompts.shown,
        QList<ShownPrompt>{test::messageBox(QStringLiteral("Error! (# 53): File not found: ") + fixture.programFolder()
                                                + QStringLiteral("/src/sorv/Sorvel_foot.tpl"),
                                            QStringLiteral("Error! #53"), PromptIcon::Critical)});
    QVERIFY(!fixture.observer.titles.contains(QStringLiteral("Done")));
}

// clang-format off
void BatchJobTest::failedSlideCopyStopsInOrder_data()
{
    QTest::addColumn<int>("workers");
    QTest::newRow("one worker") << 1;
    QTest::newRow("three workers") << 3;
}
// clang-format on

// A file where the slides folder should be: the folder cannot be made (said
// and passed over), then the first slide copy fails and stops the run. The
// first image is written, nothing after it, whatever ran ahead.
void BatchJobTest::failedSlideCopyStopsInOrder()
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
    QCOMPARE(fixture.prompts.shown.at(1).text,
             QStringLiteral("Error! (# 76): Path not found: ")
                 + fixture.inDestination(QStringLiteral("slides/p0.jpg")));
    QCOMPARE(fixture.filesIn(QStringLiteral("thumbs")), QStringList{QStringLiteral("p0.jpg")});
    QCOMPARE(fixture.album().count("class=\"sorvel-photo\""), qsizetype(0));
    QCOMPARE(fixture.observer.controlsEnabled.last(), true);
}

void BatchJobTest::workersChangeNothingInTheOutput_data()
{
    QTest::addColumn<int>("images");
    QTest::addColumn<int>("workers");
    QTest::newRow("seven images, four workers") << 7 << 4;
    // Fewer images than workers: the idle workers share the resampling.
    QTest::newRow("two images, three workers") << 2 << 3;
}

void BatchJobTest::workersChangeNothingInTheOutput()
{
    QFETCH(int, images);
    QFETCH(int, workers);
    BatchFixture one;
    BatchFixture many;
    QList<BatchItem> itemsOne;
    QList<BatchItem> itemsMany;
    for (int i = 0; i < images; ++i) {
        const QString name = QStringLiteral("p%1.jpg").arg(i);
        itemsOne.append(one.addPhoto(name, QSize(90 + 10 * i, 60 + 4 * i), i != 3));
        itemsMany.append(many.addPhoto(name, QSize(90 + 10 * i, 60 + 4 * i), i != 3));
    }
    BatchRequest requestOne = one.request(BatchMode::ScaleAndAlbum, itemsOne);
    BatchRequest requestMany = many.request(BatchMode::ScaleAndAlbum, itemsMany);
    requestOne.baseName = requestMany.baseName = QStringLiteral("day");
    QCOMPARE(one.run(requestOne, 1), BatchOutcome::Done);
    QCOMPARE(many.run(requestMany, workers), BatchOutcome::Done);

    for (const QString &folder : {QStringLiteral("thumbs"), QStringLiteral("slides")}) {
        QCOMPARE(one.filesIn(folder).size(), images > 3 ? images - 1 : images);
        QCOMPARE(many.filesIn(folder), one.filesIn(folder));
        for (const QString &name : one.filesIn(folder))
            QCOMPARE(test::fileContents(many.inDestination(folder + u'/' + name)),
                     test::fileContents(one.inDestination(folder + u'/' + name)));
    }
    QCOMPARE(many.album().replace(many.photoFolder().toUtf8(), one.photoFolder().toUtf8()), one.album());
    QCOMPARE(many.observer.titles, one.observer.titles);
}

QTEST_GUILESS_MAIN(BatchJobTest)
#include "tst_batchjob.moc"
