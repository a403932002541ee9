// frmBatch and frmDialog driven as a user drives them, offscreen with scripted
// prompts; the rules beneath are tested with the batch job and the fields.

#include "batchfixture.h"
#include "batchwindow.h"
#include "cameraphotos.h"
#include "dialogwindow.h"
#include "messagetable.h"
#include "qtuserprompts.h"
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
#include <QTabBar>
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
    explicit WindowFixture(int photos = 0, QSize size = {64, 48})
        : settings(QStringLiteral("tst_batchwindow_%1").arg(++s_count))
    {
        for (int i = 1; i <= photos; ++i)
            items.append(batch.addPhoto(QStringLiteral("p%1.jpg").arg(i), size));
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
            QWidget *lowest = fixture.child("generateButton");
            QVERIFY(lowest->mapTo(&window, QPoint(0, lowest->height())).y() <= window.height());
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

    // The location line counts once the headers are read and follows the box;
    // the slides' side is checked like the other fields; all is stored.
    void publishingChoices()
    {
        WindowFixture fixture(2);
        fixture.items.append({fixture.batch.photoFolder() + "/camera.jpg", true, ListEntryKind::Image, {}});
        QVERIFY(test::writeCameraPhoto(fixture.items.last().key, {400, 300}));
        BatchWindow &window = fixture.open();
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto *location = fixture.child<QLabel>("locationLabel");
        QTRY_COMPARE(location->text(), QStringLiteral("1 of 3 photos carries a GPS position: it will be removed"));
        auto *removes = fixture.child<QCheckBox>("removePrivateData");
        QTest::mouseClick(removes, Qt::LeftButton, {}, QPoint(8, removes->height() / 2));
        QVERIFY(location->text().endsWith(QStringLiteral("it will be published")));

        QVERIFY(!fixture.child("slidesChoice")->isEnabled());
        fixture.click("scaleOption2");
        fixture.click("fittedSlides");
        QLineEdit *side = fixture.field("slideSide");
        side->setFocus(Qt::TabFocusReason);
        side->setText(QStringLiteral("100"));
        fixture.field("slide_x")->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        QCOMPARE(fixture.batch.shown(Kind::Message).size(), 1);
        QCOMPARE(QApplication::focusWidget(), side);
        side->setText(QStringLiteral("320"));
        QCOMPARE(fixture.child<QLabel>("slideSideEcho")->text(), QStringLiteral("\u00D7 320 pixels"));
        QVERIFY(fixture.child<QLabel>("estimateLabel")->text().contains(QStringLiteral("; album about ")));
        QVERIFY(window.close());
        QCOMPARE(fixture.stored(kStartup, "removePrivateData") + fixture.stored(kStartup, "slidesFitted")
                     + fixture.stored(kStartup, "slideSide"),
                 QStringLiteral("01320"));
        fixture.open();
        QVERIFY(!fixture.child<QCheckBox>("removePrivateData")->isChecked());
        QVERIFY(fixture.child<QRadioButton>("fittedSlides")->isChecked());
    }

    // A field's help shows while it has the focus; a refused field (a padding
    // over 100, a folder) keeps it, and keeps its page in front.
    void leavingAFieldChecksIt()
    {
        for (const auto &[field, text, accepted, help] :
             {std::tuple<QString, QString, bool, QString>{"slide_x", "30", true, message(120)},
              {"slide_p", "101", false, message(122)},
              {"dstInput", "/tmp/a*b", false, message(159)}}) {
            WindowFixture fixture;
            BatchWindow &window = fixture.open();
            window.show();
            QVERIFY(QTest::qWaitForWindowActive(&window));
            fixture.click("scaleOption2");
            QLineEdit *input = fixture.field(field);
            input->setFocus(Qt::TabFocusReason);
            QCOMPARE(fixture.child<QLabel>("toolTipLabel")->text(), help);
            // Entered as every field of the program is: tinted, its text selected.
            QTRY_COMPARE(input->selectedText(), input->text());
            QCOMPARE(input->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Midlight));
            input->setText(text);
            fixture.field("slide_y")->setFocus(Qt::TabFocusReason);
            QCoreApplication::processEvents();
            QCOMPARE(fixture.batch.shown(Kind::Message).size(), accepted ? 0 : 1);
            QCOMPARE(QApplication::focusWidget() == input, !accepted);
            if (field == "slide_p") {
                QTest::keyClick(&window, Qt::Key_T, Qt::AltModifier);
                QTRY_COMPARE(fixture.batch.shown(Kind::Message).size(), 2);
                QCOMPARE(fixture.child<QTabBar>("adjustmentTabs")->currentIndex(), 0);
                QVERIFY(input->isVisible() && input->hasFocus());
            }
        }
    }

    // A key leaves no field: every way to start a run checks the fields the
    // run reads first, as leaving them would, and the refused one takes the
    // focus, its page shown. Pages the run does not read are not checked.
    void startingChecksTheFieldsFirst_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("way");
        QTest::addColumn<QString>("refusal");
        const QString digits(10000, u'9');
        // clang-format off
        QTest::newRow("Alt+G, a word") << "scaleOption2" << "slide_x" << "abc" << "Alt+G" << message(43);
        QTest::newRow("Enter on Generate, 10,000 digits") << "scaleOption3" << "thumb_w" << digits << "Enter"
            << message(43);
        QTest::newRow("Alt+G, a page not shown") << "scaleOption2" << "thumb_r" << "11" << "Alt+G"
            << "Value must be between 1 to 10";
        QTest::newRow("a click, a control character in the name") << "scaleOption1" << "saveasInput" << "a\x01" "b"
            << "click" << "Save As: ' U+0001 ' " + message(80) + "\n";
        QTest::newRow("Scale Only reads no album field") << "scaleOption1" << "slide_x" << "abc" << "Alt+G" << "";
        // clang-format on
    }

    void startingChecksTheFieldsFirst()
    {
        QFETCH(QString, option);
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, way);
        QFETCH(QString, refusal);
        WindowFixture fixture(1);
        BatchWindow &window = fixture.open();
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        fixture.click(option);
        fixture.field(field)->setText(text);
        auto *generate = fixture.child<QPushButton>("generateButton");
        if (way == "Alt+G") {
            QTest::keyClick(&window, Qt::Key_G, Qt::AltModifier);
        } else if (way == "Enter") {
            generate->setFocus(Qt::TabFocusReason);
            QTest::keyClick(generate, Qt::Key_Return);
        } else {
            QTest::mouseClick(generate, Qt::LeftButton);
        }
        // A shortcut presses its button a moment later, as it shows it pressed.
        if (refusal.isEmpty()) {
            QTRY_COMPARE(window.windowTitle(), QStringLiteral("Done"));
            return;
        }
        QTRY_COMPARE(fixture.batch.shown(Kind::Message),
                     QList{test::messageBox(refusal, message(111), PromptIcon::Exclamation)});
        QCOMPARE(window.windowTitle(), message(115));
        QVERIFY(!QDir(fixture.batch.destination()).exists());
        QTRY_COMPARE(QApplication::focusWidget(), fixture.field(field));
        QVERIFY(fixture.field(field)->isVisible());
    }

    // Stop has keys of its own: Alt+T is the Thumbnails page's.
    void stopByItsKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Alt+P") << int(Qt::Key_P) << int(Qt::AltModifier);
        QTest::newRow("Escape") << int(Qt::Key_Escape) << int(Qt::NoModifier);
    }

    void stopByItsKeys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        WindowFixture fixture(12, {1600, 1200});
        BatchWindow &window = fixture.open();
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        // Pressed during the second image's turn. A button's own key clicks
        // it a moment later, which the run may outlast when the later images
        // are made ahead: the turn waits until the Stop has landed.
        connect(&window, &QWidget::windowTitleChanged, &window, [&](const QString &title) {
            if (title != QStringLiteral("Scaling: p2.jpg"))
                return;
            QTest::keyClick(&window, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
            QTRY_VERIFY(!fixture.child<QPushButton>("stopButton")->isEnabled());
        });
        fixture.click("generateButton");
        QCOMPARE(window.windowTitle(), QStringLiteral("Operation Canceled."));
        QVERIFY(window.isVisible());
        QTest::keyClick(&window, Qt::Key_T, Qt::AltModifier);
        QCOMPARE(fixture.child<QTabBar>("adjustmentTabs")->currentIndex(), 1);
    }

    // frmDialog lives as long as the batch window that made it: a save's
    // result before it has a dialog of its own, whose title no question of
    // the batch window takes over, and a later batch window starts afresh.
    void dialogLivesWithItsBatchWindow()
    {
        QWidget frmMain;
        QtUserPrompts prompts(&frmMain);
        const auto answerWith = [](const char *button, QString *title) {
            QTimer::singleShot(0, [button, title] {
                QWidget *dialog = QApplication::activeModalWidget();
                *title = dialog->windowTitle();
                QTest::mouseClick(dialog->findChild<QPushButton *>(button), Qt::LeftButton);
            });
        };
        QString title;
        answerWith("okButton", &title);
        prompts.showNotice(QStringLiteral("saved"), message(112));
        QCOMPARE(title, message(112));
        QCOMPARE(frmMain.findChildren<DialogWindow *>().size(), 0);

        QPointer<DialogWindow> made;
        for (int window = 0; window < 2; ++window) {
            WindowFixture fixture;
            fixture.open();
            fixture.window->show();
            made = fixture.window->findChild<DialogWindow *>(QStringLiteral("frmDialog"));
            QVERIFY(made);
            answerWith("okButton", &title);
            QCOMPARE(prompts.askOverwrite(QStringLiteral("a.jpg")), OverwriteAnswer::Replace);
            QCOMPARE(title, QString());
            // The question left unticked: a new window's dialog starts so.
            QVERIFY(!made->findChild<QCheckBox *>(QStringLiteral("showCheck"))->isChecked());
            made->findChild<QCheckBox *>(QStringLiteral("showCheck"))->setChecked(true);
            fixture.window.reset();
            QVERIFY(!made);
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
