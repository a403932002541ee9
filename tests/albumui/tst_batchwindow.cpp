// frmBatch driven as a user drives it, offscreen with scripted prompts: what
// it shows on opening, what it stores on closing, its option sizes, its
// swatches and field checks, the preview in its browser, and a run started
// and stopped from it.

#include "albumlayoutfields.h"
#include "batchfixture.h"
#include "batchwindow.h"
#include "messagetable.h"
#include "settingsstore.h"
#include "testenvironment.h"
#include "twipsgeometry.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <memory>

using namespace tovin;
using tovin::test::BatchFixture;
using tovin::test::ShownPrompt;
using Kind = tovin::test::ShownPrompt::Kind;

namespace {

// A batch window over the photos of a batch fixture, with settings of its
// own.
class WindowFixture
{
public:
    explicit WindowFixture(int photos = 0)
        : settings(QStringLiteral("tst_batchwindow_%1").arg(++s_count))
    {
        for (int i = 1; i <= photos; ++i)
            items.append(batch.addPhoto(QStringLiteral("p%1.jpg").arg(i), QSize(64, 48)));
        settings.write(QStringLiteral("Startup"), QStringLiteral("dstInput2"), batch.destination());
    }

    BatchWindow &open()
    {
        window = std::make_unique<BatchWindow>(
            BatchWindowContext{batch.programFolder(), batch.records, settings, batch.prompts, items,
                               batch.request(BatchMode::ScaleOnly, {}).adjustments, 697, 1});
        return *window;
    }

    template<typename T = QWidget> T *child(const QString &name) const
    {
        T *found = window->findChild<T *>(name);
        if (found == nullptr)
            qFatal("no control %s", qPrintable(name));
        return found;
    }

    QString swatchText(const char *name) const { return child<QLabel>(QLatin1String(name) + "Hex")->text(); }
    QString stored(const QString &section, const QString &key) const
    {
        return settings.read(section, key, QStringLiteral("(none)"));
    }

    // Writes minimal preview templates whose album shows the slide's
    // background colour, and a page that goes straight to it.
    void installPreviewTemplates() const
    {
        const QString prv = batch.programFolder() + QStringLiteral("/src/prv/");
        QDir().mkpath(prv);
        const QList<QPair<QString, QByteArray>> files{
            {QStringLiteral("prv_Index.html"),
             "<html><head><meta http-equiv=\"refresh\" content=\"0; url=Sorvel.xml\"/></head></html>"},
            {QStringLiteral("prv_Sorvel_head.tpl"),
             "<html xmlns=\"http://www.w3.org/1999/xhtml\"><body><div id=\"slide\" "
             "title=\"#SLIDE_FRAME_BACKGROUND_COLOR#\">"},
            {QStringLiteral("prv_Sorvel_loop.tpl"), "<p class=\"entry\">entry</p>"},
            {QStringLiteral("prv_Sorvel_foot.tpl"), "</div></body></html>"},
        };
        for (const auto &[name, bytes] : files) {
            QFile file(prv + name);
            if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
                qFatal("could not write a preview template");
        }
    }

    BatchFixture batch;
    SettingsStore settings;
    QList<BatchItem> items;
    std::unique_ptr<BatchWindow> window;

private:
    static inline int s_count = 0;
};

const QString kSorvel = QStringLiteral("Startup\\Sorvel");

// The page's answer to a script, once the page has one.
QString evaluate(QWebEngineView *view, const QString &script)
{
    QString result;
    bool answered = false;
    view->page()->runJavaScript(script, [&](const QVariant &value) {
        result = value.toString();
        answered = true;
    });
    if (!QTest::qWaitFor([&] { return answered; }, 10000))
        return QStringLiteral("(no answer)");
    return result;
}

} // namespace

class BatchWindowTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_settingsFolder;

private slots:
    void initTestCase() { tovin::test::useTemporarySettings(m_settingsFolder); }
    void firstOpeningShowsTheDefaults();
    void storedColoursShowAsTheirHexText_data();
    void storedColoursShowAsTheirHexText();
    void closingStoresTheFields();
    void optionClicksSizeTheWindow_data();
    void optionClicksSizeTheWindow();
    void swatchesAndTheColourChooser();
    void leavingAFieldChecksIt_data();
    void leavingAFieldChecksIt();
    void folderChooserFillsTheDestination();
    void missingPreviewTemplatesHideTheBrowser();
    void previewFollowsASwatch();
    void runStoppedFromTheWindow();
    void skippedImagesAreShownAfterTheRun();
    void doNotAskAgainLastsAsLongAsTheWindow();
};

void BatchWindowTest::firstOpeningShowsTheDefaults()
{
    WindowFixture fixture;
    fixture.settings.write(QStringLiteral("Startup"), QStringLiteral("dstInput2"), QStringLiteral("/tmp"));
    BatchWindow &window = fixture.open();
    QCOMPARE(window.windowTitle(), message(115));
    QCOMPARE(fixture.child<QLineEdit>(QStringLiteral("dstInput"))->text(), QStringLiteral("/tmp"));
    QCOMPARE(fixture.child<QLineEdit>(QStringLiteral("saveasInput"))->text(), QString());
    for (const AlbumLayoutField &field : kAlbumLayoutFields) {
        if (field.range == FieldRange::Color)
            QCOMPARE(fixture.swatchText(field.name), QStringLiteral("000000"));
        else
            QCOMPARE(fixture.child<QLineEdit>(QLatin1String(field.name))->text(), QLatin1String(field.defaultText));
    }
    QVERIFY(fixture.child<QRadioButton>(QStringLiteral("scaleOption1"))->isChecked());
    QVERIFY(!fixture.child<QCheckBox>(QStringLiteral("fastReduction"))->isChecked());
    for (int page = 1; page <= 3; ++page)
        QVERIFY(!fixture.child(QStringLiteral("TabFrame%1").arg(page))->isEnabled());
    QCOMPARE(window.size(), twipsSize(10485, 7005, &window));
    QCOMPARE(fixture.child<QRadioButton>(QStringLiteral("scaleOption2"))->text(),
             QStringLiteral("Scale && &Create Album Template"));
}

void BatchWindowTest::storedColoursShowAsTheirHexText_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("hex");
    QTest::addColumn<QColor>("shown");
    QTest::newRow("red") << "255"
                         << "FF0000" << QColor(255, 0, 0);
    QTest::newRow("blue") << "16711680"
                          << "0000FF" << QColor(0, 0, 255);
    QTest::newRow("not a number") << "pink"
                                  << "000000" << QColor(0, 0, 0);
}

void BatchWindowTest::storedColoursShowAsTheirHexText()
{
    QFETCH(QString, stored);
    QFETCH(QString, hex);
    QFETCH(QColor, shown);
    WindowFixture fixture;
    fixture.settings.write(kSorvel, QStringLiteral("caption_l"), stored);
    fixture.open();
    QCOMPARE(fixture.swatchText("caption_ln"), hex);
    QCOMPARE(fixture.child<QLabel>(QStringLiteral("caption_ln"))->palette().color(QPalette::Window), shown);
}

void BatchWindowTest::closingStoresTheFields()
{
    WindowFixture fixture;
    BatchWindow &window = fixture.open();
    window.show();
    fixture.child<QLineEdit>(QStringLiteral("thumb_r"))->setText(QStringLiteral(" 5 "));
    fixture.child<QLineEdit>(QStringLiteral("dstInput"))->setText(QStringLiteral(" /tmp/out "));
    fixture.child<QLineEdit>(QStringLiteral("saveasInput"))->setText(QStringLiteral("trip "));
    auto *fast = fixture.child<QCheckBox>(QStringLiteral("fastReduction"));
    // On the box itself: the check box is wider than what it reacts to.
    QTest::mouseClick(fast, Qt::LeftButton, {}, QPoint(8, fast->height() / 2));
    fixture.batch.prompts.colorAnswers = {16711680};
    QTest::mouseClick(fixture.child(QStringLiteral("thumb_bg")), Qt::LeftButton);
    QVERIFY(window.close());

    QCOMPARE(fixture.stored(kSorvel, QStringLiteral("thumb_r")), QStringLiteral("5"));
    QCOMPARE(fixture.stored(kSorvel, QStringLiteral("thumb_b")), QStringLiteral("16711680"));
    QCOMPARE(fixture.stored(kSorvel, QStringLiteral("caption_b")), QStringLiteral("0"));
    QCOMPARE(fixture.stored(kSorvel, QStringLiteral("slide_x")), QStringLiteral("30"));
    QCOMPARE(fixture.stored(QStringLiteral("Startup"), QStringLiteral("dstInput2")), QStringLiteral(" /tmp/out "));
    QCOMPARE(fixture.stored(QStringLiteral("Startup"), QStringLiteral("saveasInput")), QStringLiteral("trip "));
    QCOMPARE(fixture.stored(QStringLiteral("Startup"), QStringLiteral("fastReduction")), QStringLiteral("1"));

    WindowFixture reopened;
    reopened.settings.write(QStringLiteral("Startup"), QStringLiteral("fastReduction"), QStringLiteral("1"));
    reopened.open();
    QVERIFY(reopened.child<QCheckBox>(QStringLiteral("fastReduction"))->isChecked());
}

void BatchWindowTest::optionClicksSizeTheWindow_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<double>("widthTwips");
    QTest::addColumn<bool>("pagesEnabled");
    QTest::newRow("scale only") << "scaleOption1" << 3750.0 << false;
    QTest::newRow("scale and album") << "scaleOption2" << 697.0 * 15 << true;
    QTest::newRow("album only") << "scaleOption3" << 697.0 * 15 << true;
}

void BatchWindowTest::optionClicksSizeTheWindow()
{
    QFETCH(QString, option);
    QFETCH(double, widthTwips);
    QFETCH(bool, pagesEnabled);
    WindowFixture fixture;
    BatchWindow &window = fixture.open();
    QCOMPARE(window.logicalDpiX(), 96);
    fixture.child<QLineEdit>(QStringLiteral("slide_p"))->setText(QStringLiteral("7"));
    QTest::mouseClick(fixture.child<QRadioButton>(QStringLiteral("scaleOption2")), Qt::LeftButton);
    QTest::mouseClick(fixture.child<QRadioButton>(option), Qt::LeftButton);

    QCOMPARE(window.width(), twipsToPixels(widthTwips, &window));
    // The content keeps the height it needs where the designed 4245 twips
    // would cut it off.
    QVERIFY(window.height() >= twipsToPixels(4245, &window));
    QVERIFY(window.height() < twipsToPixels(7005, &window));
    for (int page = 1; page <= 3; ++page)
        QCOMPARE(fixture.child(QStringLiteral("TabFrame%1").arg(page))->isEnabled(), pagesEnabled);
    QCOMPARE(fixture.child<QLineEdit>(QStringLiteral("slide_p"))->text(), QStringLiteral("7"));
}

void BatchWindowTest::swatchesAndTheColourChooser()
{
    WindowFixture fixture;
    fixture.open();
    fixture.batch.prompts.colorAnswers = {255, -1, 65280};
    QTest::mouseClick(fixture.child(QStringLiteral("slide_bg")), Qt::LeftButton);
    QTest::mouseClick(fixture.child(QStringLiteral("thumb_ln")), Qt::LeftButton);
    QTest::mouseClick(fixture.child(QStringLiteral("caption_bg")), Qt::LeftButton);

    QCOMPARE(fixture.swatchText("slide_bg"), QStringLiteral("FF0000"));
    QCOMPARE(fixture.swatchText("thumb_ln"), QStringLiteral("000000"));
    QCOMPARE(fixture.swatchText("caption_bg"), QStringLiteral("00FF00"));
    // Black first, then the last colour chosen; a cancel changes nothing.
    QStringList initial;
    for (const ShownPrompt &prompt : fixture.batch.shown(Kind::Color))
        initial << prompt.text;
    QCOMPARE(initial, (QStringList{QStringLiteral("0"), QStringLiteral("255"), QStringLiteral("255")}));
}

void BatchWindowTest::leavingAFieldChecksIt_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("help");
    QTest::newRow("layout field in range") << "slide_x"
                                           << "30" << true << message(120);
    QTest::newRow("eleven rows") << "thumb_r"
                                 << "11" << false << message(133);
    QTest::newRow("wider than the screen") << "caption_w"
                                           << "99999" << false << message(140);
    QTest::newRow("forbidden in a folder") << "dstInput"
                                           << "/tmp/a*b" << false << message(159);
    QTest::newRow("empty folder") << "dstInput"
                                  << "" << false << message(159);
    QTest::newRow("empty name") << "saveasInput"
                                << "" << true << message(159);
    QTest::newRow("folder in a name") << "saveasInput"
                                      << "a/b" << false << message(159);
}

void BatchWindowTest::leavingAFieldChecksIt()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QFETCH(QString, help);
    WindowFixture fixture;
    BatchWindow &window = fixture.open();
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::mouseClick(fixture.child<QRadioButton>(QStringLiteral("scaleOption2")), Qt::LeftButton);
    auto *input = fixture.child<QLineEdit>(field);
    input->setFocus(Qt::TabFocusReason);
    QCOMPARE(fixture.child<QLabel>(QStringLiteral("toolTipLabel"))->text(), help);
    input->setText(text);
    fixture.child<QLineEdit>(QStringLiteral("thumb_s"))->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();

    QCOMPARE(fixture.batch.shown(Kind::Message).size(), accepted ? 0 : 1);
    QCOMPARE(QApplication::focusWidget() == input, !accepted);
    QCOMPARE(input->text(), text);
}

void BatchWindowTest::folderChooserFillsTheDestination()
{
    WindowFixture fixture;
    fixture.open();
    auto *destination = fixture.child<QLineEdit>(QStringLiteral("dstInput"));
    const QString before = destination->text();
    fixture.batch.prompts.folderAnswers = {QString(), QStringLiteral("/srv/album")};
    QTest::mouseClick(fixture.child(QStringLiteral("dstButton")), Qt::LeftButton);
    QCOMPARE(destination->text(), before);
    QTest::mouseClick(fixture.child(QStringLiteral("dstButton")), Qt::LeftButton);
    QCOMPARE(destination->text(), QStringLiteral("/srv/album"));
    QCOMPARE(fixture.batch.shown(Kind::Folder).first().text, message(41));
}

void BatchWindowTest::missingPreviewTemplatesHideTheBrowser()
{
    WindowFixture fixture;
    BatchWindow &window = fixture.open();
    window.show();
    QTest::mouseClick(fixture.child<QRadioButton>(QStringLiteral("scaleOption3")), Qt::LeftButton);
    QTest::mouseClick(fixture.child(QStringLiteral("updatePreview")), Qt::LeftButton);
    QVERIFY(!fixture.child(QStringLiteral("WebBrowser1"))->isVisible());
    QCOMPARE(fixture.batch.shown(Kind::Message),
             (QList<ShownPrompt>{
                 tovin::test::messageBox(QStringLiteral("Files needed for loading the preview are not found"),
                                         QStringLiteral("Info"), PromptIcon::None)}));

    // Templates that turn up later do not bring the browser back.
    fixture.installPreviewTemplates();
    QTest::mouseClick(fixture.child(QStringLiteral("updatePreview")), Qt::LeftButton);
    QVERIFY(!fixture.child(QStringLiteral("WebBrowser1"))->isVisible());
    QVERIFY(window.isEnabled());
}

void BatchWindowTest::previewFollowsASwatch()
{
    WindowFixture fixture;
    fixture.installPreviewTemplates();
    BatchWindow &window = fixture.open();
    window.show();
    auto *browser = fixture.child<QWebEngineView>(QStringLiteral("WebBrowser1"));
    QTest::mouseClick(fixture.child<QRadioButton>(QStringLiteral("scaleOption2")), Qt::LeftButton);
    const QString colour = QStringLiteral("(document.getElementById('slide') || {}).title");
    QTRY_COMPARE_WITH_TIMEOUT(evaluate(browser, colour), QStringLiteral("0x000000"), 15000);
    QCOMPARE(evaluate(browser, QStringLiteral("document.getElementsByClassName('entry').length")), QStringLiteral("8"));

    fixture.batch.prompts.colorAnswers = {16711680};
    QTest::mouseClick(fixture.child(QStringLiteral("slide_bg")), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(evaluate(browser, colour), QStringLiteral("0x0000FF"), 15000);
    QVERIFY(!QDir(fixture.batch.destination()).exists());
}

void BatchWindowTest::runStoppedFromTheWindow()
{
    WindowFixture fixture(4);
    BatchWindow &window = fixture.open();
    window.show();
    auto *stop = fixture.child<QPushButton>(QStringLiteral("stopButton"));
    QStringList seenDuringRun;
    // The Stop button is pressed through the event queue once the second
    // image is under way, as a user's click would arrive.
    const QMetaObject::Connection pressStop =
        connect(&window, &QWidget::windowTitleChanged, &window, [&](const QString &title) {
            if (title != QStringLiteral("Scaling: p2.jpg"))
                return;
            QTimer::singleShot(0, &window, [&] {
                seenDuringRun << QString::number(fixture.child(QStringLiteral("generateButton"))->isEnabled())
                              << QString::number(fixture.child(QStringLiteral("dstInput"))->isEnabled())
                              << QString::number(fixture.child(QStringLiteral("progressPanel"))->isVisible())
                              << QString::number(window.close());
                QTest::mouseClick(stop, Qt::LeftButton);
            });
        });
    QTest::mouseClick(fixture.child(QStringLiteral("generateButton")), Qt::LeftButton);

    disconnect(pressStop);
    QCOMPARE(seenDuringRun, (QStringList{"0", "0", "1", "0"}));
    QCOMPARE(window.windowTitle(), QStringLiteral("Operation Canceled."));
    QCOMPARE(fixture.batch.filesIn(), (QStringList{QStringLiteral("p1.jpg"), QStringLiteral("p2.jpg")}));
    QVERIFY(fixture.batch.shown(Kind::Document).isEmpty());
    QVERIFY(fixture.child(QStringLiteral("generateButton"))->isEnabled());
    QVERIFY(!fixture.child(QStringLiteral("progressPanel"))->isVisible());
    QVERIFY(window.isVisible());

    // A second run goes to its end and opens the destination.
    fixture.batch.prompts.overwriteAnswers = {OverwriteAnswer::ReplaceWithoutAsking};
    QTest::mouseClick(fixture.child(QStringLiteral("generateButton")), Qt::LeftButton);
    QCOMPARE(window.windowTitle(), QStringLiteral("Done"));
    QCOMPARE(fixture.batch.filesIn().size(), 4);
    QCOMPARE(fixture.batch.shown(Kind::Document).size(), 1);
    QCOMPARE(fixture.child<QProgressBar>(QStringLiteral("progressBar"))->value(), 4);
    const QString estimate = fixture.child<QLabel>(QStringLiteral("estimateLabel"))->text();
    QVERIFY2(estimate.startsWith(QStringLiteral("4 images, ")) && estimate.contains(QStringLiteral("output about")),
             qPrintable(estimate));
}

void BatchWindowTest::skippedImagesAreShownAfterTheRun()
{
    WindowFixture fixture(1);
    const QString broken = fixture.batch.photoFolder() + QStringLiteral("/broken.jpg");
    QFile file(broken);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("not a picture") > 0);
    file.close();
    fixture.items.append({broken, true, ListEntryKind::Image, QString()});
    fixture.open().show();
    QTest::mouseClick(fixture.child(QStringLiteral("generateButton")), Qt::LeftButton);

    QCOMPARE(fixture.window->windowTitle(), QStringLiteral("Done"));
    const QList<ShownPrompt> notices = fixture.batch.shown(Kind::Notice);
    QCOMPARE(notices.size(), 1);
    QCOMPARE(notices.first().title, QStringLiteral("Done"));
    QCOMPARE(notices.first().text,
             QStringLiteral("Not written, 1 image(s):\n  %1: cannot be read or decoded").arg(broken));
}

void BatchWindowTest::doNotAskAgainLastsAsLongAsTheWindow()
{
    // The first run writes both images; the second asks at the first and is
    // told not to ask again; the third asks nothing.
    WindowFixture fixture(2);
    fixture.open().show();
    fixture.batch.prompts.overwriteAnswers = {OverwriteAnswer::ReplaceWithoutAsking};
    for (int run = 0; run < 3; ++run)
        QTest::mouseClick(fixture.child(QStringLiteral("generateButton")), Qt::LeftButton);
    QCOMPARE(fixture.batch.shown(Kind::Overwrite).size(), 1);

    // A new window asks again, for each image.
    QVERIFY(fixture.window->close());
    fixture.open().show();
    QTest::mouseClick(fixture.child(QStringLiteral("generateButton")), Qt::LeftButton);
    QCOMPARE(fixture.batch.shown(Kind::Overwrite).size(), 3);
}

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    BatchWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_batchwindow.moc"
