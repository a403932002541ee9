// A generated album opened in a real browser, straight from disk.

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
#include <QUrl>
#include <QUrlQuery>

using namespace tovin;
using tovin::test::BatchFixture;

namespace {

const QString kProbeFolder = QStringLiteral(TOVIN_ALBUM_PROBE_DIR);

// Layout values that differ from the defaults, by field name.
using LayoutValues = QMap<QString, QString>;

// Big thumbnails in a 3 x 3 grid to the right of the slide, the buttons and
// the page controls below the grid, a wide caption.
LayoutValues bigThumbnails()
{
    return {{"slide_x", "20"},    {"slide_y", "20"},     {"slide_p", "12"},    {"thumb_x", "1000"},
            {"thumb_y", "40"},    {"thumb_w", "160"},    {"thumb_h", "120"},   {"thumb_p", "6"},
            {"thumb_s", "12"},    {"thumb_r", "3"},      {"thumb_c", "3"},     {"bbutton_x", "1000"},
            {"bbutton_y", "440"}, {"nbutton_x", "1470"}, {"nbutton_y", "440"}, {"caption_w", "900"},
            {"caption_h", "60"}};
}

QString longCaption()
{
    return QStringLiteral("A long caption: ")
        + QStringLiteral("the path climbs along the river, past the old mill & the bridge <b>not bold</b>; ")
              .repeated(8);
}

// Runs one scenario of the probe (probe.js, beside the page) on a page shown
// in a frame of this size.
QJsonObject runProbe(const QString &folder, const QString &scenario, QSize size,
                     const QString &page = QStringLiteral("Sorvel.xml"))
{
    test::HeadlessChromium chromium;
    // The interaction scenario waits for a slideshow to move on twice.
    chromium.setVirtualTimeBudget(scenario == QLatin1String("interaction") ? 20000 : 5000);
    QUrl url = QUrl::fromLocalFile(folder + QStringLiteral("/harness.html"));
    url.setQuery(QUrlQuery({{QStringLiteral("width"), QString::number(size.width())},
                            {QStringLiteral("height"), QString::number(size.height())},
                            {QStringLiteral("scenario"), scenario},
                            {QStringLiteral("page"), page}}));
    const QString dom = chromium.dumpDom(url);
    static const QRegularExpression result(QStringLiteral("<pre id=\"probe-result\">(.*)</pre>"));
    QString json = result.match(dom).captured(1);
    json.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
        .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
        .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    const QJsonObject report = QJsonDocument::fromJson(json.toUtf8()).object();
    if (report.isEmpty())
        qWarning().noquote() << "no probe report:" << chromium.errorString() << dom.left(1500);
    return report;
}

// Files and sub-folders, one level deep as the program's folders are.
void copyFolder(const QString &from, const QString &to)
{
    const QDir source(from);
    QVERIFY(QDir().mkpath(to));
    for (const QString &name : source.entryList(QDir::Files))
        QVERIFY(QFile::copy(source.filePath(name), to + u'/' + name));
    for (const QString &sub : source.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        copyFolder(source.filePath(sub), to + u'/' + sub);
}

void copyProbe(const QString &folder)
{
    for (const QString &name : {QStringLiteral("probe.js"), QStringLiteral("harness.html")})
        QVERIFY(QFile::copy(kProbeFolder + u'/' + name, folder + u'/' + name));
}

// An album written by the real writer from the installed templates, with
// the test probe added to its foot, and the pages that drive it.
class ProbedAlbum
{
public:
    explicit ProbedAlbum(const LayoutValues &values = {})
        : m_templates(m_root.filePath(QStringLiteral("templates")))
    {
        copyFolder(test::builtProgramFolder() + QStringLiteral("/src/sorv"), m_templates);
        addProbeToFoot(m_templates + QStringLiteral("/Sorvel_foot.tpl"));
        m_layout = defaultAlbumLayout();
        for (auto it = values.begin(); it != values.end(); ++it)
            m_layout.fields[it.key()] = it.value();
        QDir().mkpath(folder() + QStringLiteral("/slides"));
        QDir().mkpath(folder() + QStringLiteral("/thumbs"));
        copyProbe(folder());
    }

    static void addProbeToFoot(const QString &footPath)
    {
        QByteArray foot = test::fileContents(footPath);
        QVERIFY(test::writeBytes(footPath, foot.replace("</body>", "<script src=\"probe.js\"/>\n</body>")));
    }

    QString folder() const { return m_root.filePath(QStringLiteral("My holiday")); }

    // Photos alternate landscape and portrait; every entry gets its own
    // pair of files (copies of two written once).
    void write(const QList<AlbumEntry> &entries)
    {
        const QString landscape = m_root.filePath(QStringLiteral("landscape.jpg"));
        const QString portrait = m_root.filePath(QStringLiteral("portrait.jpg"));
        QVERIFY(test::writeTestJpeg(landscape, {300, 200}) && test::writeTestJpeg(portrait, {200, 300}));
        AlbumWriter writer(m_templates);
        writer.start(folder(), m_layout);
        for (const AlbumEntry &entry : entries) {
            const QString picture = entry.slideWidth >= entry.slideHeight ? landscape : portrait;
            for (const QString &sub : {QStringLiteral("/slides/"), QStringLiteral("/thumbs/")})
                QVERIFY(QFile::copy(picture, folder() + sub + entry.outputName));
            writer.addEntry(entry);
        }
        writer.finish();
    }

    QUrl page(const QString &name) const { return QUrl::fromLocalFile(folder() + u'/' + name); }
    QJsonObject probe(const QString &scenario, QSize size) const { return runProbe(folder(), scenario, size); }

private:
    QTemporaryDir m_root;
    QString m_templates;
    AlbumLayout m_layout;
};

// Landscape and portrait in turn; the second has no description.
QList<AlbumEntry> photos(int count)
{
    QList<AlbumEntry> entries;
    for (int n = 1; n <= count; ++n) {
        const bool portrait = n % 2 == 0;
        entries.append({QStringLiteral("photo %1 & co.jpg").arg(n, 4, 10, QLatin1Char('0')), portrait ? 20 : 30,
                        portrait ? 30 : 20, portrait ? 200 : 300, portrait ? 300 : 200,
                        QStringLiteral("2024-05-%1").arg(n % 28 + 1),
                        n == 2 ? QString() : QStringLiteral("Caption of photo %1").arg(n)});
    }
    return entries;
}

#define SKIP_WITHOUT_CHROMIUM()                                                                                        \
    if (!test::HeadlessChromium().isAvailable())                                                                       \
    QSKIP("chromium is not installed")

} // namespace

class AlbumBrowserTest : public QObject
{
    Q_OBJECT

private slots:
    void playerShowsTheFirstSlide()
    {
        test::HeadlessChromium chromium;
        if (!chromium.isAvailable())
            QSKIP(qPrintable(chromium.errorString()));

        BatchFixture fixture;
        BatchRequest request = fixture.request(BatchMode::ScaleAndAlbum,
                                               {fixture.addPhoto(QString::fromUtf8("Fête & #1.jpg"), {320, 240}),
                                                fixture.addPhoto(QStringLiteral("b.jpg"), {240, 320}),
                                                fixture.addPhoto(QStringLiteral("c.jpg"), {200, 100})});
        request.adjustments.description = QStringLiteral("Tom & Jerry <b>not bold</b> ]]> end");
        QCOMPARE(fixture.run(request), BatchOutcome::Done);

        const QString dom = chromium.dumpDom(QUrl::fromLocalFile(fixture.inDestination(QStringLiteral("index.html"))));
        QVERIFY2(!dom.isEmpty(), qPrintable(chromium.errorString()));
        QVERIFY2(dom.contains(QStringLiteral("data-player=\"ready\"")), qPrintable(dom.left(2000)));
        QVERIFY(dom.contains(QStringLiteral("data-slide-count=\"3\"")));
        QVERIFY(dom.contains(QStringLiteral("data-slide-index=\"0\"")));
        const QRegularExpression slide(QStringLiteral("<img[^>]*id=\"slide\"[^>]*>"));
        const QString slideTag = slide.match(dom).captured();
        QVERIFY2(slideTag.contains(QStringLiteral("slides/F%C3%AAte%20%26%20%231.jpg")), qPrintable(slideTag));
        QVERIFY2(dom.contains(QStringLiteral("Tom &amp; Jerry &lt;b&gt;not bold&lt;/b&gt; ]]&gt; end")),
                 "the description must show as typed, as text");
        QVERIFY2(!dom.contains(QStringLiteral("<b>not bold</b>")), "nothing of a caption may become markup");
        QCOMPARE(dom.count(QStringLiteral("class=\"thumb\"")), 3);
        // The album is named after its folder.
        QVERIFY(dom.contains(QStringLiteral("<h1 id=\"album-title\">out</h1>")));
    }

    void controlsStayInsideTheWindow_data()
    {
        QTest::addColumn<LayoutValues>("values");
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QString>("arrangement");
        // The width a thumbnail picture has at the layout's reference size, or
        // 0 where the design must shrink or stack.
        QTest::addColumn<int>("referenceThumbWidth");

        const QSize desktop(1920, 1080);
        const QSize laptop(1366, 768);
        const QSize phone(390, 844);
        QTest::newRow("default layout, desktop") << LayoutValues() << desktop << "layout" << 40;
        QTest::newRow("default layout, laptop") << LayoutValues() << laptop << "layout" << 40;
        QTest::newRow("default layout, phone") << LayoutValues() << phone << "stacked" << 0;
        QTest::newRow("big thumbnails, desktop") << bigThumbnails() << desktop << "layout" << 160;
        QTest::newRow("big thumbnails, laptop") << bigThumbnails() << laptop << "layout" << 0;
        QTest::newRow("big thumbnails, phone") << bigThumbnails() << phone << "stacked" << 0;
        QTest::newRow("big thumbnails, landscape phone") << bigThumbnails() << QSize(844, 390) << "layout" << 0;
    }

    void controlsStayInsideTheWindow()
    {
        SKIP_WITHOUT_CHROMIUM();
        QFETCH(LayoutValues, values);
        QFETCH(QSize, window);
        QFETCH(QString, arrangement);
        QFETCH(int, referenceThumbWidth);

        ProbedAlbum album(values);
        QList<AlbumEntry> entries = photos(30);
        entries[0].description = longCaption();
        album.write(entries);

        const QJsonObject report = album.probe(QStringLiteral("geometry"), window);
        QCOMPARE(report.value("player").toString(), QStringLiteral("ready"));
        QVERIFY2(report.value("outside").toArray().isEmpty(),
                 QJsonDocument(report.value("outside").toArray()).toJson().constData());
        const int width = report.value("window").toArray().at(0).toInt();
        QVERIFY2(report.value("scrollWidth").toInt() <= width, "the page must never scroll sideways");
        QCOMPARE(report.value("arrangement").toString(), arrangement);
        QVERIFY(report.value("controls").toInt() >= 10);
        QVERIFY2(report.value("captionReadable").toBool(), "a long caption must grow or scroll");
        if (referenceThumbWidth > 0) {
            QCOMPARE(report.value("scale").toDouble(), 1.0);
            QCOMPARE(report.value("thumbWidth").toInt(), referenceThumbWidth);
        } else if (arrangement == QLatin1String("layout")) {
            QVERIFY(report.value("scale").toDouble() < 1.0);
        }
    }

    void keysChangeTheSlideAndThePageListsThePhotosWithoutThePlayer()
    {
        SKIP_WITHOUT_CHROMIUM();
        ProbedAlbum album;
        const QList<AlbumEntry> entries = photos(6);
        album.write(entries);

        const QJsonObject report = album.probe(QStringLiteral("interaction"), {1366, 768});
        const QJsonArray steps = report.value("steps").toArray();
        struct Expected {
            const char *step;
            int index;
            int page;
            const char *arrangement;
            const char *slideshow;
        };
        // Four photos to a page in the default layout.
        const QList<Expected> expected{
            {"start", 0, 0, "layout", "paused"},
            {"ArrowRight", 1, 0, "layout", "paused"},
            {"ArrowLeft", 0, 0, "layout", "paused"},
            {"End", 5, 1, "layout", "paused"},
            {"Home", 0, 0, "layout", "paused"},
            {"PageDown", 0, 1, "layout", "paused"},
            {"swipe left", 1, 0, "layout", "paused"},
            {"swipe right", 0, 0, "layout", "paused"},
            {"F", 0, 0, "full", "paused"},
            {"Escape", 0, 0, "layout", "paused"},
            {"full screen button", 0, 0, "full", "paused"},
            {"full screen button again", 0, 0, "layout", "paused"},
            {"Space", 1, 0, "layout", "playing"},
            {"slideshow runs on", 2, 0, "layout", "playing"},
            {"ArrowRight pauses", 3, 0, "layout", "paused"},
            {"next button", 4, 1, "layout", "paused"},
            {"first page button", 4, 0, "layout", "paused"},
            {"page number typed", 4, 1, "layout", "paused"},
        };
        QCOMPARE(steps.size(), expected.size());
        int layoutSlideWidth = 0;
        for (qsizetype i = 0; i < expected.size(); ++i) {
            const QJsonObject step = steps.at(i).toObject();
            const Expected &want = expected.at(i);
            QCOMPARE(std::tuple(step.value("step").toString(), step.value("index").toInt(), step.value("page").toInt(),
                                step.value("arrangement").toString(), step.value("slideshow").toString()),
                     std::tuple(QString::fromLatin1(want.step), want.index, want.page,
                                QString::fromLatin1(want.arrangement), QString::fromLatin1(want.slideshow)));

            // The slide's alternative text and the announcement say which photo
            // it is by its description, or by its file name when it has none.
            const AlbumEntry &shown = entries.at(want.index);
            const QString name = shown.description.isEmpty() ? shown.outputName : shown.description;
            QCOMPARE(step.value("alt").toString(), name);
            QCOMPARE(step.value("status").toString(),
                     QStringLiteral("Photo %1 of 6: %2").arg(want.index + 1).arg(name));

            const int slideWidth = step.value("slideWidth").toInt();
            if (i == 0)
                layoutSlideWidth = slideWidth;
            if (QLatin1String(want.arrangement) == QLatin1String("full") && want.index == 0)
                QVERIFY2(slideWidth > layoutSlideWidth, "full screen shows the photo larger");
        }

        // A page whose player cannot run (not copied, blocked, scripts off)
        // shows the list of photos that the album file itself holds, each
        // linking to its slide whatever its name holds.
        QVERIFY(QFile::remove(album.folder() + QStringLiteral("/Sorvel.js")));
        test::HeadlessChromium chromium;
        const QString dom = chromium.dumpDom(album.page(QStringLiteral("Sorvel.xml")));
        QVERIFY2(!dom.isEmpty(), qPrintable(chromium.errorString()));
        // The list is hidden only while the page carries the script mark.
        QVERIFY2(!dom.contains(QStringLiteral("data-script=")), qPrintable(dom.left(600)));
        QVERIFY(dom.contains(QStringLiteral("id=\"sorvel-fallback\"")));
        QCOMPARE(dom.count(QStringLiteral("class=\"sorvel-photo\"")), 6);
        QVERIFY(dom.contains(QStringLiteral("href=\"slides/\"")));
        QVERIFY2(dom.contains(QStringLiteral("href=\"./slides/photo%200002%20%26%20co.jpg\"")), qPrintable(dom));
    }

    void firstViewOfALargeAlbumFetchesOnlyWhatItShows()
    {
        SKIP_WITHOUT_CHROMIUM();
        ProbedAlbum album({{"thumb_r", "3"}, {"thumb_c", "4"}});
        const QList<AlbumEntry> entries = photos(1000);
        album.write(entries);

        const QJsonObject report = album.probe(QStringLiteral("resources"), {1366, 768});
        const auto names = [&report](const char *list) { return report.value(list).toVariant().toStringList(); };
        QStringList firstPage;
        for (int i = 0; i < 12; ++i)
            firstPage.append(entries.at(i).outputName);
        QCOMPARE(names("thumbs"), firstPage);
        QCOMPARE(report.value("cells").toInt(), 12);

        // The first slide, then its neighbour fetched ahead once it is shown.
        QCOMPARE(names("slides"), (QStringList{entries.at(0).outputName, entries.at(1).outputName}));
    }

    void previewShowsTheLayoutScaledDown()
    {
        SKIP_WITHOUT_CHROMIUM();
        // The preview album as the batch window writes it: the expanded head,
        // rows x columns x 2 copies of the entry template, the foot.
        QTemporaryDir program;
        const QString preview = program.filePath(QStringLiteral("prv"));
        copyFolder(test::builtProgramFolder() + QStringLiteral("/src/prv"), preview);
        ProbedAlbum::addProbeToFoot(preview + QStringLiteral("/prv_Sorvel_foot.tpl"));
        copyProbe(preview);

        QString text =
            expandTokens(QString::fromUtf8(test::fileContents(preview + QStringLiteral("/prv_Sorvel_head.tpl"))),
                         headReplacements(defaultAlbumLayout()));
        text += QString::fromUtf8(test::fileContents(preview + QStringLiteral("/prv_Sorvel_loop.tpl"))).repeated(8);
        text += QString::fromUtf8(test::fileContents(preview + QStringLiteral("/prv_Sorvel_foot.tpl")));
        QVERIFY(test::writeBytes(preview + QStringLiteral("/Sorvel.xml"), text.toUtf8()));

        // The batch window's browser is small and may be narrow: the preview
        // shows the layout itself, scaled down, never the stacked arrangement.
        const QJsonObject report =
            runProbe(preview, QStringLiteral("geometry"), {320, 420}, QStringLiteral("prv_Index.html"));
        QCOMPARE(report.value("player").toString(), QStringLiteral("ready"));
        QCOMPARE(report.value("arrangement").toString(), QStringLiteral("layout"));
        QVERIFY(report.value("scale").toDouble() < 1.0);
        QVERIFY2(report.value("outside").toArray().isEmpty(),
                 QJsonDocument(report.value("outside").toArray()).toJson().constData());
    }
};

QTEST_GUILESS_MAIN(AlbumBrowserTest)
#include "tst_albumbrowser.moc"
