// Albums and the batch window's preview opened from disk in a real browser.

#include "albumpreview.h"
#include "albumwriter.h"
#include "batchfixture.h"
#include "headlesschromium.h"
#include "testenvironment.h"
#include "testimages.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace tovin;
using namespace tovin::test;

namespace {

// Big thumbnails in a 3 x 3 grid right of the slide, controls below it.
const QString kBig = "slide_x=20 slide_y=20 slide_p=12 thumb_x=1000 thumb_y=40 thumb_w=160 thumb_h=120 "
                     "thumb_p=6 thumb_s=12 thumb_r=3 thumb_c=3 bbutton_x=1000 bbutton_y=440 nbutton_x=1470 "
                     "nbutton_y=440 caption_w=900 caption_h=60";

// The probe at the foot of an album page, its harness beside the page.
void addProbe(const QString &folder)
{
    QByteArray page = readBytes(folder + "/Sorvel.xml");
    QVERIFY(writeBytes(folder + "/Sorvel.xml", page.replace("</body>", "<script src=\"probe.js\"/>\n</body>")));
    for (const QString name : {"probe.js", "harness.html"})
        QVERIFY(QFile::copy(QStringLiteral(TOVIN_ALBUM_PROBE_DIR "/") + name, folder + u'/' + name));
}

QJsonObject runProbe(const QString &folder, const QString &scenario, QSize size, const QString &page = "index.html")
{
    QUrl url = QUrl::fromLocalFile(folder + "/harness.html");
    url.setQuery(
        QString("width=%1&height=%2&scenario=%3&page=%4").arg(size.width()).arg(size.height()).arg(scenario, page));
    QString error;
    const QString dom = dumpDom(url, &error, scenario == QLatin1String("interaction") ? 20000 : 5000);
    static const QRegularExpression result("<pre id=\"probe-result\">(.*)</pre>");
    QString json = result.match(dom).captured(1);
    json.replace("&lt;", "<").replace("&gt;", ">").replace("&amp;", "&");
    const QJsonObject report = QJsonDocument::fromJson(json.toUtf8()).object();
    if (report.isEmpty())
        qWarning().noquote() << "no probe report:" << error << dom.left(1500);
    return report;
}

// Every control lies inside the window, and the page never scrolls sideways.
void verifyInside(const QJsonObject &report)
{
    QCOMPARE(report.value("player").toString(), QStringLiteral("ready"));
    QVERIFY2(report.value("outside").toArray().isEmpty(),
             QJsonDocument(report.value("outside").toArray()).toJson().constData());
    QVERIFY(!report.value("sideways").toBool());
}

// Landscape and portrait in turn; the second has no description.
QList<AlbumEntry> photos(int count)
{
    QList<AlbumEntry> entries;
    for (int n = 1; n <= count; ++n) {
        const bool portrait = n % 2 == 0;
        entries.append({QStringLiteral("photo %1 & #co.jpg").arg(n, 4, 10, QLatin1Char('0')), portrait ? 20 : 30,
                        portrait ? 30 : 20, portrait ? 200 : 300, portrait ? 300 : 200,
                        QStringLiteral("2024-05-%1").arg(n % 28 + 1),
                        n == 2 ? QString() : QStringLiteral("Caption of photo %1").arg(n)});
    }
    return entries;
}

// An album in "My holiday" from the installed templates, with the probe.
QString writeAlbum(const QTemporaryDir &root, const QList<AlbumEntry> &entries, const QString &layout = {})
{
    const QString folder = root.filePath("My holiday");
    AlbumLayout values = defaultAlbumLayout();
    for (const QString &word : layout.split(u' ', Qt::SkipEmptyParts))
        values.fields[word.section(u'=', 0, 0)] = word.section(u'=', 1);
    const QString landscape = root.filePath("landscape.jpg");
    const QString portrait = root.filePath("portrait.jpg");
    if (!writeTestJpeg(landscape, {300, 200}) || !writeTestJpeg(portrait, {200, 300})
        || !QDir().mkpath(folder + "/slides") || !QDir().mkpath(folder + "/thumbs"))
        qFatal("could not lay out an album");
    AlbumWriter writer(builtProgramFolder() + "/src/sorv");
    writer.start(folder, values);
    for (const AlbumEntry &entry : entries) {
        for (const QString sub : {"/slides/", "/thumbs/"})
            QFile::copy(entry.slideWidth >= entry.slideHeight ? landscape : portrait, folder + sub + entry.outputName);
        writer.addEntry(entry);
    }
    writer.finish();
    addProbe(folder);
    return folder;
}

} // namespace

class AlbumBrowserTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!chromiumIsInstalled())
            QSKIP("chromium is not installed");
    }

    void firstView_data()
    {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<int>("count");
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QString>("arrangement");
        // The thumbnail's width at the reference size; 0 where it must shrink.
        QTest::addColumn<int>("referenceThumbWidth");
        QTest::newRow("default layout, laptop") << "" << 30 << QSize(1366, 768) << "layout" << 40;
        QTest::newRow("default layout, phone") << "" << 30 << QSize(390, 844) << "stacked" << 0;
        QTest::newRow("big thumbnails, desktop") << kBig << 30 << QSize(1920, 1080) << "layout" << 160;
        QTest::newRow("big thumbnails, laptop") << kBig << 30 << QSize(1366, 768) << "layout" << 0;
        QTest::newRow("big thumbnails, landscape phone") << kBig << 30 << QSize(844, 390) << "layout" << 0;
        QTest::newRow("a large album") << "thumb_r=3 thumb_c=4" << 1000 << QSize(1366, 768) << "layout" << 40;
    }

    // The player opens on the first photo, whatever its name, its caption shown
    // as text; only the first page of thumbnails and two slides are fetched.
    void firstView()
    {
        QFETCH(QString, layout);
        QFETCH(int, count);
        QFETCH(QSize, window);
        QFETCH(int, referenceThumbWidth);
        QList<AlbumEntry> entries = photos(count);
        entries[0].description = "A long caption: "
            + QString("the path climbs along the river, past the old mill & the <b>bridge</b> ]]> ").repeated(8);
        QTemporaryDir root;
        const QJsonObject report = runProbe(writeAlbum(root, entries, layout), "geometry", window);

        verifyInside(report);
        QCOMPARE(report.value("title").toString(), QStringLiteral("My holiday"));
        QCOMPARE(report.value("slide").toString(), QStringLiteral("./slides/photo%200001%20%26%20%23co.jpg"));
        QCOMPARE(report.value("caption").toString(), entries[0].description);
        QCOMPARE(report.value("markup").toInt(), 0);
        QTEST(report.value("arrangement").toString(), "arrangement");
        QVERIFY(report.value("controls").toInt() >= 10);
        QVERIFY2(report.value("captionReadable").toBool(), "a long caption must grow or scroll");
        if (referenceThumbWidth > 0) {
            QCOMPARE(report.value("scale").toDouble(), 1.0);
            QCOMPARE(report.value("thumbWidth").toInt(), referenceThumbWidth);
        } else if (report.value("arrangement") == QLatin1String("layout")) {
            QVERIFY(report.value("scale").toDouble() < 1.0);
        }
        QStringList firstPage;
        for (int i = 0; i < report.value("cells").toInt(); ++i)
            firstPage.append(entries.at(i).outputName);
        QCOMPARE(report.value("thumbs").toVariant().toStringList(), firstPage);
        QCOMPARE(report.value("slides").toVariant().toStringList(), firstPage.mid(0, 2));
    }

    // Keys, a swipe and buttons move through the album, four photos a page; the
    // alt text and announcement name a photo by its description, else its file.
    void keysChangeTheSlideAndThePageListsThePhotosWithoutThePlayer()
    {
        const QList<AlbumEntry> entries = photos(6);
        QTemporaryDir root;
        const QString album = writeAlbum(root, entries);
        const QJsonArray steps = runProbe(album, "interaction", {1366, 768}).value("steps").toArray();
        QStringList seen;
        for (const QJsonValue &value : steps) {
            const QJsonObject step = value.toObject();
            const int index = step.value("step").toString().section(u' ', -4, -4).toInt();
            const AlbumEntry shown = entries.value(index);
            const QString name = shown.description.isEmpty() ? shown.outputName : shown.description;
            QCOMPARE(step.value("alt").toString(), name);
            QCOMPARE(step.value("status").toString(), QStringLiteral("Photo %1 of 6: %2").arg(index + 1).arg(name));
            const bool larger = step.value("width").toInt() > steps.first()["width"].toInt();
            seen << step.value("step").toString() + (larger ? " larger" : "");
        }
        QCOMPARE(
            seen,
            (QStringList{"start: 0 0 layout paused", "ArrowRight: 1 0 layout paused", "ArrowLeft: 0 0 layout paused",
                         "End: 5 1 layout paused", "Home: 0 0 layout paused", "PageDown: 0 1 layout paused",
                         "swipe left: 1 0 layout paused", "swipe right: 0 0 layout paused", "F: 0 0 full paused larger",
                         "Escape: 0 0 layout paused", "full screen button: 0 0 full paused larger",
                         "full screen button again: 0 0 layout paused", "Space: 1 0 layout playing",
                         "slideshow runs on: 2 0 layout playing", "ArrowRight pauses: 3 0 layout paused",
                         "next button: 4 1 layout paused", "first page button: 4 0 layout paused",
                         "page number typed: 4 1 layout paused"}));

        // Without its player (not copied, blocked, scripts off) it lists the photos.
        QVERIFY(QFile::remove(album + "/Sorvel.js"));
        QString error;
        const QString dom = dumpDom(QUrl::fromLocalFile(album + "/Sorvel.xml"), &error);
        QVERIFY2(!dom.isEmpty(), qPrintable(error));
        // The list is hidden only while the page carries the script mark.
        QVERIFY2(!dom.contains("data-script="), qPrintable(dom.left(600)));
        QCOMPARE(dom.count("class=\"sorvel-photo\""), 6);
        QVERIFY2(dom.contains("href=\"./slides/photo%200002%20%26%20%23co.jpg\""), qPrintable(dom));
    }

    // In the batch window's small browser the preview shows the layout scaled
    // down, never stacked, with the user's first picture for the samples.
    void previewShowsTheLayoutScaledDown()
    {
        QTemporaryDir program;
        installPreviewTemplates(program.path());
        const QString prv = program.filePath("src/prv");
        const QString picture = program.filePath("my photo #1.jpg");
        QVERIFY(writeTestJpeg(picture, {40, 30}));
        QCOMPARE(AlbumPreview(program.path(), program.filePath("cache")).write(defaultAlbumLayout(), {picture}).status,
                 AlbumPreview::Status::Written);
        addProbe(prv);

        const QJsonObject report = runProbe(prv, "geometry", {320, 420}, AlbumPreview::pageName());
        verifyInside(report);
        QCOMPARE(report.value("arrangement").toString(), QStringLiteral("layout"));
        QVERIFY(report.value("scale").toDouble() < 1.0);
        QCOMPARE(report.value("slide").toString(), QUrl::fromLocalFile(picture).toString(QUrl::FullyEncoded));
    }
};

QTEST_GUILESS_MAIN(AlbumBrowserTest)
#include "tst_albumbrowser.moc"
