// frmBatch and frmDialog driven as a user drives them, offscreen with scripted
// prompts; the rules beneath are tested with the batch job and the fields.

#include "batchfixture.h"
#include "batchwindow.h"
#include "dialogwindow.h"
#include "messagetable.h"
#include "settingsstore.h"
#include "testenvironment.h"
#include "twipsgeometry.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <functional>

using namespace tovin;
using Kind = test::ShownPrompt::Kind;

namespace {

const QString kSorvel = QStringLiteral("Startup\\Sorvel");
const QString kStartup = QStringLiteral("Startup");

class WindowFixture
{
public:
    explicit WindowFixture(int photos = 0)
        : settings(QStringLiteral("tst_batchwindow_%1").arg(++s_count))
    {
        for (int i = 1; i <= photos; ++i)
            items.append(batch.addPhoto(QStringLiteral("p%1.jpg").arg(i), QSize(64, 48)));
        settings.write(kStartup, QStringLiteral("dstInput2"), batch.destination());
    }

    BatchWindow &open()
    {
        window = std::make_unique<BatchWindow>(
            BatchWindowContext{batch.programFolder(), batch.records, settings, batch.prompts, items,
                               batch.request(BatchMode::ScaleOnly, {}).adjustments, 697, 1});
        return *window;
    }

    template<typename T = QWidget> T *child(const QString &name) const { return window->findChild<T *>(name); }
    QLineEdit *field(const QString &name) const { return child<QLineEdit>(name); }
    void click(const QString &name) const { QTest::mouseClick(child(name), Qt::LeftButton); }
    QString swatchText(const QString &name) const { return child<QLabel>(name + QStringLiteral("Hex"))->text(); }
    QString stored(const QString &section, const QString &key) const { return settings.read(section, key, "(none)"); }

    test::BatchFixture batch;
    SettingsStore settings;
    QList<BatchItem> items;
    std::unique_ptr<BatchWindow> window;

private:
    static inline int s_count = 0;
};

// The page's answer to a script, once the page has one.
QString evaluate(QWebEngineView *view, const QString &script)
{
    QString result;
    bool answered = false;
    view->page()->runJavaScript(script, [&](const QVariant &value) {
        result = value.toString();
        answered = true;
    });
    return QTest::qWaitFor([&] { return answered; }, 10000) ? result : QStringLiteral("(no answer)");
}

using Action = std::function<void(DialogWindow &)>;

// Runs the action once the dialog's own event loop is up, and closes a
// dialog the action left open so that a failing test cannot hang.
void whileShown(DialogWindow &dialog, const Action &action)
{
    QTimer::singleShot(0, &dialog, [&dialog, action] {
        action(dialog);
        if (dialog.isVisible()) {
            QTimer::singleShot(0, &dialog, [&dialog] { dialog.done(QDialog::Rejected); });
            QFAIL("the dialog stayed open");
        }
    });
}

} // namespace

class BatchWindowTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_settingsFolder;

    static QPushButton *button(DialogWindow &d, const char *name) { return d.findChild<QPushButton *>(name); }
    static QCheckBox *showCheck(DialogWindow &d) { return d.findChild<QCheckBox *>(QStringLiteral("showCheck")); }
    static Action clicking(const char *name)
    {
        return [name](DialogWindow &d) { QTest::mouseClick(button(d, name), Qt::LeftButton); };
    }
    static Action pressing(Qt::Key key)
    {
        return [key](DialogWindow &d) { QTest::keyClick(&d, key); };
    }

private slots:
    void initTestCase() { test::useTemporarySettings(m_settingsFolder); }

    // An option click sizes the window (taller than the designed 4245 twips
    // where the content needs it); the colour chooser starts from the last
    // colour chosen; the fields are stored trimmed, the folder and name not.
    void openingOptionsChoosersAndClosing()
    {
        WindowFixture fixture;
        fixture.settings.write(kSorvel, QStringLiteral("caption_l"), QStringLiteral("255"));
        fixture.settings.write(kSorvel, QStringLiteral("thumb_l"), QStringLiteral("pink"));
        BatchWindow &window = fixture.open();
        for (const auto &[option, widthTwips, pagesEnabled] :
             {std::tuple<QString, double, bool>{"scaleOption2", 697.0 * 15, true},
              {"scaleOption3", 697.0 * 15, true},
              {"scaleOption1", 3750.0, false}}) {
            QTest::mouseClick(fixture.child<QRadioButton>(option), Qt::LeftButton);
            QVERIFY(window.height() >= twipsToPixels(4245, &window));
            QVERIFY(window.height() < twipsToPixels(7005, &window));
            QCOMPARE(window.width(), twipsToPixels(widthTwips, &window));
            for (int page = 1; page <= 3; ++page)
                QCOMPARE(fixture.child(QStringLiteral("TabFrame%1").arg(page))->isEnabled(), pagesEnabled);
        }

        fixture.batch.prompts.colorAnswers = {255, -1, 65280};
        for (const char *swatch : {"slide_bg", "caption_ln", "thumb_bg"})
            fixture.click(swatch);
        QCOMPARE(fixture.swatchText("caption_ln"), QStringLiteral("FF0000"));
        QStringList initial;
        for (const test::ShownPrompt &prompt : fixture.batch.shown(Kind::Color))
            initial << prompt.text;
        QCOMPARE(initial, QStringList({"0", "255", "255"}));
        fixture.batch.prompts.folderAnswers = {QString(), QStringLiteral("/srv/album")};
        fixture.click("dstButton");
        QCOMPARE(fixture.field("dstInput")->text(), fixture.batch.destination());
        fixture.click("dstButton");
        QCOMPARE(fixture.field("dstInput")->text(), QStringLiteral("/srv/album"));

        window.show();
        fixture.field("thumb_r")->setText(QStringLiteral(" 5 "));
        fixture.field("dstInput")->setText(QStringLiteral(" /tmp/out "));
        fixture.field("saveasInput")->setText(QStringLiteral("trip "));
        auto *fast = fixture.child<QCheckBox>("fastReduction");
        // On the box itself: the check box is wider than what it reacts to.
        QTest::mouseClick(fast, Qt::LeftButton, {}, QPoint(8, fast->height() / 2));
        QVERIFY(window.close());
        QCOMPARE(fixture.stored(kSorvel, "thumb_r"), QStringLiteral("5"));
        QCOMPARE(fixture.stored(kSorvel, "thumb_l"), QStringLiteral("0"));
        QCOMPARE(fixture.stored(kStartup, "dstInput2"), QStringLiteral(" /tmp/out "));
        QCOMPARE(fixture.stored(kStartup, "saveasInput"), QStringLiteral("trip "));
        fixture.open();
        QVERIFY(fixture.child<QCheckBox>("fastReduction")->isChecked());
        QCOMPARE(fixture.swatchText("thumb_bg"), QStringLiteral("00FF00"));
    }

    // A field's help shows while it has the focus; a refused field (the
    // caption wider than the screen, a folder) keeps it.
    void leavingAFieldChecksIt()
    {
        for (const auto &[field, text, accepted, help] :
             {std::tuple<QString, QString, bool, QString>{"slide_x", "30", true, message(120)},
              {"caption_w", "99999", false, message(140)},
              {"dstInput", "/tmp/a*b", false, message(159)}}) {
            WindowFixture fixture;
            BatchWindow &window = fixture.open();
            window.show();
            QVERIFY(QTest::qWaitForWindowActive(&window));
            fixture.click("scaleOption2");
            QLineEdit *input = fixture.field(field);
            input->setFocus(Qt::TabFocusReason);
            QCOMPARE(fixture.child<QLabel>("toolTipLabel")->text(), help);
            input->setText(text);
            fixture.field("thumb_s")->setFocus(Qt::TabFocusReason);
            QCoreApplication::processEvents();
            QCOMPARE(fixture.batch.shown(Kind::Message).size(), accepted ? 0 : 1);
            QCOMPARE(QApplication::focusWidget() == input, !accepted);
        }
    }

    // Without its templates the browser goes for good; with them it follows
    // a swatch.
    void previewInTheBrowser()
    {
        WindowFixture missing;
        missing.open().show();
        missing.click("scaleOption3");
        missing.click("updatePreview");
        QCOMPARE(missing.batch.shown(Kind::Message).size(), 1);
        test::installPreviewTemplates(missing.batch.programFolder());
        missing.click("updatePreview");
        QVERIFY(!missing.child("WebBrowser1")->isVisible());
        QVERIFY(missing.window->isEnabled());

        WindowFixture fixture;
        test::installPreviewTemplates(fixture.batch.programFolder());
        fixture.open().show();
        auto *browser = fixture.child<QWebEngineView>("WebBrowser1");
        fixture.click("scaleOption2");
        const QString colour = QStringLiteral("document.getElementById('slide-frame')?.style.backgroundColor");
        QTRY_COMPARE_WITH_TIMEOUT(evaluate(browser, colour), QStringLiteral("rgb(0, 0, 0)"), 15000);
        fixture.batch.prompts.colorAnswers = {16711680};
        fixture.click("slide_bg");
        QTRY_COMPARE_WITH_TIMEOUT(evaluate(browser, colour), QStringLiteral("rgb(0, 0, 255)"), 15000);
        QVERIFY(!QDir(fixture.batch.destination()).exists());
    }

    // A stopped run keeps the window open; the next names the image it could
    // not read; "do not ask again" lasts as long as the window.
    void runsFromTheWindow()
    {
        WindowFixture fixture(4);
        const QString broken = fixture.batch.photoFolder() + QStringLiteral("/broken.jpg");
        QVERIFY(test::writeBytes(broken, "not a picture"));
        fixture.items.append({broken, true, ListEntryKind::Image, QString()});
        BatchWindow &window = fixture.open();
        window.show();
        QList<bool> seenDuringRun;
        // Stop is pressed through the event queue once the second image is
        // under way, as a user's click would arrive.
        const QMetaObject::Connection pressStop =
            connect(&window, &QWidget::windowTitleChanged, &window, [&](const QString &title) {
                if (title != QStringLiteral("Scaling: p2.jpg"))
                    return;
                QTimer::singleShot(0, &window, [&] {
                    seenDuringRun << fixture.child("generateButton")->isEnabled()
                                  << fixture.child("progressPanel")->isVisible() << window.close();
                    fixture.click("stopButton");
                });
            });
        fixture.click("generateButton");
        disconnect(pressStop);
        QCOMPARE(seenDuringRun, QList<bool>({false, true, false}));
        QCOMPARE(window.windowTitle(), QStringLiteral("Operation Canceled."));
        QVERIFY(fixture.child("generateButton")->isEnabled() && !fixture.child("progressPanel")->isVisible());
        QVERIFY(window.isVisible());

        fixture.batch.prompts.overwriteAnswers = {OverwriteAnswer::ReplaceWithoutAsking};
        fixture.click("generateButton");
        QCOMPARE(window.windowTitle(), QStringLiteral("Done"));
        QCOMPARE(fixture.batch.shown(Kind::Document).size(), 1);
        const QList<test::ShownPrompt> notices = fixture.batch.shown(Kind::Notice);
        QVERIFY(notices.size() == 1 && notices.first().text.contains(broken));
        QCOMPARE(fixture.child<QProgressBar>("progressBar")->value(), 5);
        QVERIFY(fixture.child<QLabel>("estimateLabel")->text().startsWith(QStringLiteral("5 images, ")));
        fixture.click("generateButton");
        QCOMPARE(fixture.batch.shown(Kind::Overwrite).size(), 1);
        QVERIFY(window.close());
        fixture.open().show();
        fixture.click("generateButton");
        QCOMPARE(fixture.batch.shown(Kind::Overwrite).size(), 5);
    }
    // frmDialog: a first question has no title.
    void dialogOverwriteAnswers()
    {
        const Action checkThenYes = [](DialogWindow &d) {
            showCheck(d)->setChecked(true);
            clicking("okButton")(d);
        };
        const Action titleBarRefusedThenYes = [](DialogWindow &d) {
            QVERIFY(!d.close() && d.isVisible());
            clicking("okButton")(d);
        };
        for (const auto &[action, answer] : {std::pair{clicking("okButton"), OverwriteAnswer::Replace},
                                             {checkThenYes, OverwriteAnswer::ReplaceWithoutAsking},
                                             {titleBarRefusedThenYes, OverwriteAnswer::Replace},
                                             {clicking("cancelButton"), OverwriteAnswer::Cancel},
                                             {pressing(Qt::Key_Return), OverwriteAnswer::Cancel},
                                             {pressing(Qt::Key_Escape), OverwriteAnswer::Cancel}}) {
            DialogWindow dialog;
            whileShown(dialog, action);
            QCOMPARE(dialog.askOverwrite(QStringLiteral("a.jpg")), answer);
            QCOMPARE(dialog.canceled(), answer == OverwriteAnswer::Cancel);
            QCOMPARE(dialog.windowTitle(), QString());
        }
    }

    // A notice has OK alone and closes every way; a question after it shows
    // the file and keeps the notice's title.
    void dialogNoticeThenQuestion()
    {
        const Action titleBar = [](DialogWindow &d) { QVERIFY(d.close()); };
        for (const Action &action :
             {clicking("okButton"), titleBar, pressing(Qt::Key_Return), pressing(Qt::Key_Escape)}) {
            DialogWindow dialog;
            whileShown(dialog, [action](DialogWindow &d) {
                QVERIFY(!button(d, "cancelButton")->isVisible() && !showCheck(d)->isVisible());
                action(d);
            });
            dialog.showNotice(QStringLiteral("Templates missing"), message(111));
            QCOMPARE(dialog.windowTitle(), message(111));
            whileShown(dialog, [](DialogWindow &d) {
                QCOMPARE(d.findChild<QLabel *>(QStringLiteral("msgLabel"))->text(), QStringLiteral("b.jpg"));
                QVERIFY(showCheck(d)->isVisible() && button(d, "cancelButton")->isVisible());
                clicking("cancelButton")(d);
            });
            dialog.askOverwrite(QStringLiteral("b.jpg"));
            QCOMPARE(dialog.windowTitle(), message(111));
        }
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    BatchWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_batchwindow.moc"
