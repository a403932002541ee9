// The batch run driven with scripted answers: which images it takes, the
// names it gives, the questions it asks, the album it writes, and how it
// ends, with one worker and with several.

#include "batchfixture.h"
#include "recordschema.h"
#include "testenvironment.h"
#include "testimages.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace tovin;
using namespace tovin::test;
using Kind = ShownPrompt::Kind;

class BatchJobTest : public QObject
{
    Q_OBJECT

private slots:
    void runs_data()
    {
        addRunColumns();
        const QString names = "z.jpg:100x60 s/ -skip.jpg:10x10 a.JPG:120x60 .. m.jpeg:140x60";
        const QString scaled = "Scaling: z.jpg | Scaling: a.JPG | Scaling: m.jpeg | Done | open OUT";
        const QString numbered = "trip1.jpg 50x30, trip2.jpg 60x30, trip3.jpg 70x30";
        const QString fiveImages = "a.jpg b.jpg c.jpg d.jpg e.jpg";
        // clang-format off
        QTest::newRow("the up entry, folders and unselected images are no images")
            << ".. sub/ -a.jpg" << "" << "" << BatchOutcome::Done << "Done | open OUT" << "";
        QTest::newRow("an album of no images")
            << ".. sub/ -a.jpg" << "" << "album" << BatchOutcome::Done << "Done | open OUT/index.html" << "Sorvel.xml";
        QTest::newRow("a base name numbers in list order")
            << names << "" << "base=trip" << BatchOutcome::Done << scaled << numbered;
        QTest::newRow("blanks around the base name")
            << names << "" << "base=%20%20trip%20" << BatchOutcome::Done << scaled << numbered;
        QTest::newRow("no base name keeps the names")
            << names << "" << "" << BatchOutcome::Done << scaled << "a.JPG 60x30, m.jpeg 70x30, z.jpg 50x30";
        // The album only mode writes nothing but the album and asks nothing;
        // thumbnail sizes round half to even.
        QTest::newRow("album only, portrait")
            << "a.jpg:90x160" << "thumbs/a.jpg" << "album-only" << BatchOutcome::Done
            << "Scaling: a.jpg | Done | open OUT/index.html" << "Sorvel.xml 45x80, thumbs/a.jpg 5x5";
        QTest::newRow("album only, 511.5 -> 512")
            << "a.jpg:1023x8" << "" << "album-only" << BatchOutcome::Done
            << "Scaling: a.jpg | Done | open OUT/index.html" << "Sorvel.xml 512x4";
        QTest::newRow("album only, 512.5 -> 512")
            << "a.jpg:1025x8" << "" << "album-only" << BatchOutcome::Done
            << "Scaling: a.jpg | Done | open OUT/index.html" << "Sorvel.xml 512x4";
        QTest::newRow("album only, a fractional percent is rounded first")
            << "a.jpg:1000x8" << "" << "album-only width=50.5" << BatchOutcome::Done
            << "Scaling: a.jpg | Done | open OUT/index.html" << "Sorvel.xml 500x4";
        // The first x.jpg is still being scaled when the second comes up: the
        // question must come all the same, as it does one by one.
        QTest::newRow("the same name twice in one run")
            << "x.jpg:80x40 other/x.jpg:120x40" << "" << "workers=2" << BatchOutcome::Done
            << "Scaling: x.jpg | Scaling: x.jpg | ? x.jpg | Done | open OUT" << "x.jpg 60x20";
        // A cancel keeps everything before and nothing after, whatever ran
        // ahead; the album is closed with what was finished.
        QTest::newRow("cancel at the first question")
            << fiveImages << "thumbs/a.jpg" << "album cancel" << BatchOutcome::Canceled
            << "Scaling: a.jpg | ? a.jpg | Operation Canceled." << "Sorvel.xml, thumbs/a.jpg 5x5";
        QTest::newRow("cancel at the first question, two workers")
            << fiveImages << "thumbs/a.jpg" << "album cancel workers=2" << BatchOutcome::Canceled
            << "Scaling: a.jpg | ? a.jpg | Operation Canceled." << "Sorvel.xml, thumbs/a.jpg 5x5";
        QTest::newRow("cancel at the third image, three workers")
            << fiveImages << "thumbs/c.jpg" << "album cancel workers=3" << BatchOutcome::Canceled
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
        QTest::newRow("no album foot")
            << "a.jpg b.jpg" << "" << "album remove=Sorvel_foot.tpl" << BatchOutcome::Failed
            << "Scaling: a.jpg | Scaling: b.jpg | Error! (# 53): File not found: PROGRAM/src/sorv/Sorvel_foot.tpl"
            << "Sorvel.xml 20x15 20x15 unclosed, slides/a.jpg 40x30, slides/b.jpg 40x30, thumbs/a.jpg 20x15, "
               "thumbs/b.jpg 20x15";
        // clang-format on
    }

    void runs() { checkRun(); }

    // A recorded image uses its row's percentages, size, date and description;
    // filter and quality always come from the main window. The destination is
    // typed with a trailing separator, which changes no path.
    void recordedAdjustmentsWin()
    {
        BatchFixture fixture;
        const QList<BatchItem> items = fixture.addList("recorded.jpg:200x100 plain.jpg:200x100");
        const QVariantList row{items.first().key, 640, 480, 25, 40, 0, 0, 3, 1, "recorded date",
                               "recorded words",  true};
        QCOMPARE(fixture.records.SaveRecord(items.first().key, row, QString::fromLatin1(kRecordKeyField),
                                            QString::fromLatin1(kRecordTable)),
                 RecordResult::Done);
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
        QCOMPARE(fixture.transcript().last(), QStringLiteral("open OUT/index.html"));
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
        QCOMPARE(fixture.shown(Kind::Overwrite).first().text,
                 "a.jpg is ALREADY EXISTED. Would you like to replace this file?\n\nWarning: If you click \"YES\", you "
                 "wont be able to recover your old file. If you click \"Cancel\", the operation will be stopped and no "
                 "files will be replaced.");
        // Later runs of the same window replace without a question ...
        QCOMPARE(questionsAfterRun(BatchOutcome::Done), 1);
        // ... until a run is stopped, which clears the choice.
        fixture.observer.stop = true;
        QCOMPARE(questionsAfterRun(BatchOutcome::Canceled), 1);
        QVERIFY(!fixture.choice.dontAskAgain);
        fixture.observer.stop = false;
        QCOMPARE(questionsAfterRun(BatchOutcome::Done), 3);
    }

    void workersChangeNothingInTheOutput_data()
    {
        QTest::addColumn<int>("images");
        QTest::addColumn<int>("workers");
        QTest::newRow("seven images, four workers") << 7 << 4;
        // Fewer images than workers: the idle workers share the resampling.
        QTest::newRow("two images, three workers") << 2 << 3;
    }

    void workersChangeNothingInTheOutput()
    {
        QFETCH(int, images);
        QFETCH(int, workers);
        BatchFixture one;
        BatchFixture many;
        for (BatchFixture *fixture : {&one, &many}) {
            QList<BatchItem> items;
            for (int i = 0; i < images; ++i)
                items.append(fixture->addPhoto(QStringLiteral("p%1.jpg").arg(i), {90 + 10 * i, 60 + 4 * i}, i != 3));
            BatchRequest request = fixture->request(BatchMode::ScaleAndAlbum, items);
            request.baseName = "day";
            QCOMPARE(fixture->run(request, fixture == &one ? 1 : workers), BatchOutcome::Done);
        }
        QCOMPARE(one.contents().size(), 1 + 2 * (images > 3 ? images - 1 : images));
        QCOMPARE(many.contents(), one.contents());
        QCOMPARE(many.transcript(), one.transcript());
        for (const QString &file : one.contents()) {
            const QString name = file.section(u' ', 0, 0);
            QCOMPARE(readBytes(many.inDestination(name)), readBytes(one.inDestination(name)));
        }
    }
};

QTEST_GUILESS_MAIN(BatchJobTest)
#include "tst_batchjob.moc"
