// The main window wired to its rules, which are tested apart; the splash, and
// one running copy per user, the program started beside the test.

#include "adjustmentfields.h"
#include "adjustmentpanel.h"
#include "capturedate.h"
#include "jpegrecipes.h"
#include "largepreviewwindow.h"
#include "mainwindow.h"
#include "messagetable.h"
#include "previewcontroller.h"
#include "programversion.h"
#include "recordcommands.h"
#include "recordschema.h"
#include "recordstore.h"
#include "scriptedprompts.h"
#include "settingsstore.h"
#include "singleinstance.h"
#include "splashwindow.h"
#include "testenvironment.h"
#include "testimages.h"

#include <lensbox/zoomwellctl.h>

#include <FreeImage.h>

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

using namespace tovin;
using test::ShownPrompt;

const QStringList kPhotos{". . . .", "2006", "a.jpg", "b.JPEG"};
const QStringList k2006{". . . .", "c.jpg"};
const AdjustmentFieldValues kFields{"25", "25", "0", "0", 4, 3, "Harbour"};

class MainWindowTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_settingsFolder;
    std::unique_ptr<QTemporaryDir> m_program;
    std::unique_ptr<QTemporaryDir> m_photos;
    test::ScriptedPrompts m_prompts;
    std::unique_ptr<RecordStore> m_records;
    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<MainWindow> m_window;
    QString m_image;
    std::unique_ptr<QTemporaryDir> m_runtime;
    std::unique_ptr<QTemporaryDir> m_config;

    const MainWindowForm &form() const { return m_window->form(); }
    PreviewController &preview() const { return m_window->adjustments().preview(); }
    bool showsPicture() const { return lensbox::holdsPicture(form().Zoomwell->Picture()); }
    void createWindow()
    {
        m_window = std::make_unique<MainWindow>(m_program->path(), *m_records, *m_settings, m_prompts);
    }
    RecordCommands commands() { return RecordCommands(*m_records, m_prompts); }
    void save(const QString &path) { commands().saveAdjustments(path, {}, kFields); }
    bool stored(const QString &path) { return commands().storedAdjustments(path).has_value(); }
    QTreeWidget *list() const { return form().ListView1; }
    QTreeWidgetItem *item(const QString &name) const { return list()->findItems(name, Qt::MatchExactly).value(0); }
    QPoint itemPoint(const QString &name) const { return {20, list()->visualItemRect(item(name)).center().y()}; }
    QStringList listedNames() const
    {
        QStringList names;
        for (int row = 0; row < list()->topLevelItemCount(); ++row)
            names << list()->topLevelItem(row)->text(0);
        return names;
    }
    void waitForPreview()
    {
        QSignalSpy shown(&preview(), &PreviewController::previewShown);
        QVERIFY(shown.wait(20000));
    }

    void startProgram(QProcess &process)
    {
        // Later entries win; Qt tells on its error channel which windows it paints.
        process.setEnvironment(QProcess::systemEnvironment()
                               << "XDG_RUNTIME_DIR=" + m_runtime->path() << "XDG_CONFIG_HOME=" + m_config->path()
                               << "QT_QPA_PLATFORM=offscreen"
                               << "QT_LOGGING_RULES=qt.widgets.painting=true");
        process.start(test::builtProgramFolder() + QStringLiteral("/Tovin_en"));
        QVERIFY(process.waitForStarted());
    }

    bool lockFileExists() const { return QFileInfo::exists(m_runtime->filePath(QStringLiteral("Tovin_en.lock"))); }

private slots:
    void initTestCase() { test::useTemporarySettings(m_settingsFolder); }

    void init()
    {
        m_runtime = std::make_unique<QTemporaryDir>(); // 0700, as a runtime folder must be
        m_config = std::make_unique<QTemporaryDir>();
        m_program = std::make_unique<QTemporaryDir>();
        const QString program = m_program->path();
        QVERIFY(test::installRecordList(program));
        QVERIFY(QDir(program).mkpath(QStringLiteral("src/ico")) && QDir(program).mkdir(QStringLiteral("tmp")));
        for (const QString name : {"/src/ico/up.bmp", "/src/ico/folder.ico", "/src/ico/file.ico"})
            QVERIFY(QFile::copy(test::builtProgramFolder() + name, program + name));
        m_photos = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir(m_photos->path()).mkdir(QStringLiteral("2006")));
        m_image = m_photos->filePath(QStringLiteral("a.jpg"));
        QVERIFY(test::writeTestJpeg(m_image, QSize(1600, 1200)));
        QVERIFY(test::writeTestJpeg(m_photos->filePath(QStringLiteral("b.JPEG")), QSize(30, 40)));
        QVERIFY(test::writeTestJpeg(m_photos->filePath(QStringLiteral("2006/c.jpg")), QSize(20, 20)));
        m_prompts = {};
        m_records = std::make_unique<RecordStore>(program, m_prompts);
        QVERIFY(m_records->OpenRecordStore(QString::fromLatin1(kRecordListPath)));
        m_settings = std::make_unique<SettingsStore>(QString::fromLatin1(QTest::currentTestFunction()));
        createWindow();
        m_window->load(); // the first run's fields
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        m_window->ListFolder(m_photos->path());
        QTRY_COMPARE(listedNames(), kPhotos);
    }

    void cleanup() { m_window.reset(); }

    // Every control inside its frame (past the edge it would be cut off); the
    // about box shows the version, opens the support page.
    void formAndAboutBox()
    {
        for (QWidget *control : m_window->centralWidget()->findChildren<QWidget *>()) {
            const QWidget *parent = control->parentWidget();
            if (parent->inherits("QGroupBox") || parent == m_window->centralWidget())
                QVERIFY2(parent->rect().contains(control->geometry()), qPrintable(control->objectName()));
        }

        QString version;
        QTimer::singleShot(0, this, [&] {
            QWidget *about = QApplication::activeModalWidget();
            QVERIFY(about);
            version = about->findChild<QLabel *>(QStringLiteral("lblVersion"))->text();
            emit about->findChild<QLabel *>(QStringLiteral("urlLabel"))->linkActivated(QStringLiteral("x"));
            QTest::mouseClick(about->findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
        });
        QTest::mouseClick(form().aboutButton, Qt::LeftButton);
        QCOMPARE(version, programVersionText());
        QCOMPARE(m_prompts.ofKind(ShownPrompt::Kind::Document).size(), 1);
    }

    // The first run lists the program folder; stored settings come back, the
    // adjustments disabled until an image is chosen.
    void loadRestoresTheSettings()
    {
        m_window->load();
        QTRY_COMPARE(listedNames(), QStringList({". . . .", "src", "tmp"}));
        const MainSettings stored{m_photos->filePath(QStringLiteral("2006")), "7", "8", "9", "10", "-1", "2"};
        writeMainSettings(*m_settings, stored);
        createWindow();
        m_window->load();
        QCOMPARE(m_window->currentSettings(), stored);
        QTRY_COMPARE(listedNames(), k2006);
        QVERIFY(!form().widthInput->isEnabled() && !form().startButton->isEnabled());
        QVERIFY2(m_prompts.shown.isEmpty(), qPrintable(m_prompts.transcript()));
    }

    // Cancel keeps everything; OK stores the texts as typed, closes the other
    // windows, unloads the picture and closes the Record List.
    void quitAsksThenSavesTextsAndClosesTheRest()
    {
        QWidget other;
        other.setObjectName(QStringLiteral("frmLarge"));
        other.show();
        form().widthInput->setText(QStringLiteral("abc"));
        form().filterCombo->setCurrentIndex(3);
        form().qualityCombo->setEditText(QStringLiteral("77"));
        m_window->LoadImageRecord(m_image);
        QTRY_VERIFY(showsPicture());
        m_prompts.messageAnswers = {PromptAnswer::Cancel, PromptAnswer::Ok};
        QVERIFY(!m_window->close());
        QVERIFY(m_window->isVisible() && other.isVisible());
        QCOMPARE(m_prompts.shown,
                 (QList{ShownPrompt{ShownPrompt::Kind::Message, message(40), message(110), PromptIcon::Question,
                                    PromptButtons::OkCancel}}));
        QCOMPARE(m_settings->read("Startup", "widthInput", "unsaved"), QStringLiteral("unsaved"));
        QVERIFY(m_window->close());
        QVERIFY(!other.isVisible() && !showsPicture());
        QCOMPARE(readMainSettings(*m_settings, "none"),
                 (MainSettings{m_photos->path(), "abc", "100", "0", "0", "3", "-1"}));
        m_prompts = {};
        QVERIFY(!stored(m_image));
        QCOMPARE(m_prompts.ofKind(ShownPrompt::Kind::Message).size(), 1);
    }

    // Enter and the chooser (opening at the listed folder) list a folder, and
    // the photo shown before goes; leaving the field checks it; a network
    // folder is refused, a missing one reported.
    void folderFieldAndChooser()
    {
        QLineEdit *dirInput = form().dirInput;
        const QString folder2006 = m_photos->filePath(QStringLiteral("2006"));
        m_window->LoadImageRecord(m_image);
        waitForPreview();
        QVERIFY(showsPicture() && !form().infoLabel->text().isEmpty());
        dirInput->clear();
        QTest::keyClick(dirInput, Qt::Key_Return);
        QTest::keyClicks(dirInput, folder2006);
        QTest::keyClick(dirInput, Qt::Key_Return);
        QTRY_COMPARE(listedNames(), k2006);
        QVERIFY(!showsPicture() && form().infoLabel->text().isEmpty());
        QVERIFY2(m_prompts.shown.isEmpty(), qPrintable(m_prompts.transcript()));
        QVERIFY(!m_window->ListFolder(QStringLiteral("  //server/share ")));
        QCOMPARE(m_prompts.shown, QList{test::messageBox(message(42), message(112), PromptIcon::Exclamation)});
        QCOMPARE(dirInput->text(), folder2006);

        m_prompts = {};
        m_prompts.folderAnswers = {m_photos->path()};
        QTest::mouseClick(form().srcButton, Qt::LeftButton);
        QCOMPARE(m_prompts.ofKind(ShownPrompt::Kind::Folder).value(0).title, folder2006);
        QTest::mouseClick(form().srcButton, Qt::LeftButton); // cancelled
        QTRY_COMPARE(listedNames(), kPhotos);

        m_prompts = {};
        dirInput->setFocus();
        dirInput->setText(QStringLiteral("/tmp/a*b"));
        form().capInput->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(dirInput->hasFocus());
        QCOMPARE(m_prompts.shown.size(), 1);
        QCOMPARE(dirInput->text(), QStringLiteral("/tmp/a*b"));

        // The photo's picture, still being decoded, never comes.
        m_window->LoadImageRecord(m_image);
        const QString missing = m_photos->filePath(QStringLiteral("gone"));
        QVERIFY(m_window->ListFolder(missing));
        QTRY_COMPARE(m_prompts.shown.size(), 2);
        QTest::qWait(500);
        QVERIFY(!showsPicture());
        QCOMPARE(m_prompts.shown.last().icon, PromptIcon::Critical);
        QCOMPARE(list()->topLevelItemCount(), 0);
        QCOMPARE(dirInput->text(), missing);
    }

    // An arrow key moves to the next entry, then its release opens it.
    void listClicksKeysAndDrops()
    {
        form().capInput->setPlainText(QStringLiteral("typed"));
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, itemPoint("a.jpg"));
        QVERIFY(form().widthInput->isEnabled() && form().capInput->toPlainText().isEmpty());
        QTRY_VERIFY(showsPicture());
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, itemPoint("2006"));
        QVERIFY(!showsPicture() && !form().widthInput->isEnabled());
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, itemPoint("2006"));
        QTRY_COMPARE(listedNames(), k2006);

        const QString b = m_photos->filePath(QStringLiteral("b.JPEG"));
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(b)});
        const QPoint inside = m_window->rect().center();
        QDragEnterEvent enter(inside, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_window.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent dropped(QPointF(inside), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_window.get(), &dropped);
        QTRY_COMPARE(listedNames(), kPhotos);
        QCOMPARE(list()->currentItem()->text(0), QStringLiteral("b.JPEG"));
        QTRY_VERIFY(showsPicture() && form().Zoomwell->Picture()->size() == QSize(30, 40));
        QTest::keyClick(list(), Qt::Key_Up);
        QCOMPARE(list()->currentItem()->text(0), QStringLiteral("a.jpg"));
        QTRY_VERIFY(showsPicture() && form().Zoomwell->Picture()->size() == QSize(1600, 1200));

        save(m_image);
        save(b);
        m_prompts = {};
        QTest::keyClick(list(), Qt::Key_R, Qt::ControlModifier);
        QVERIFY(!stored(m_image) && stored(b));
        QVERIFY2(m_prompts.shown.isEmpty(), qPrintable(m_prompts.transcript()));
    }

    // A new folder is named in place; Remove leaves the file; the sort stays
    // for the next folder.
    void listCommands()
    {
        item("b.JPEG")->setSelected(true);
        const QList<BatchItem> items = m_window->batchItems();
        QCOMPARE(items.size(), 4);
        QCOMPARE(items[1].key, m_photos->filePath(QStringLiteral("2006")));
        QVERIFY(items[3].selected && !items[2].selected);
        QCOMPARE(items[3].dateText, item("b.JPEG")->text(1));
        bool scaled = false;
        m_window->setScaleHandler([&scaled] { scaled = true; });
        form().startButton->setEnabled(true);
        QTest::mouseClick(form().startButton, Qt::LeftButton);
        QVERIFY(scaled);

        const auto typeName = [this](const QString &name) {
            form().newFolderAction->trigger();
            auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
            QVERIFY(editor && list()->isAncestorOf(editor));
            editor->selectAll();
            QTest::keyClicks(editor, name);
            QTest::keyClick(editor, name.isEmpty() ? Qt::Key_Escape : Qt::Key_Return);
            QApplication::processEvents(); // the list takes the typed name after the key
        };
        typeName(QStringLiteral("a|b"));
        QCOMPARE(m_prompts.shown.size(), 1);
        typeName(QStringLiteral("Beach"));
        QVERIFY(QFileInfo(m_photos->filePath(QStringLiteral("Beach"))).isDir());
        QTRY_COMPARE(listedNames(), QStringList({". . . .", "2006", "Beach", "a.jpg", "b.JPEG"}));
        QCOMPARE(list()->currentItem()->text(0), QStringLiteral("Beach"));
        typeName(QString());
        QCOMPARE(listedNames().size(), 5);
        QCOMPARE(m_prompts.shown.size(), 1);

        list()->setCurrentItem(item("a.jpg"));
        item(". . . .")->setSelected(true);
        m_prompts = {};
        m_prompts.messageAnswers = {PromptAnswer::Cancel, PromptAnswer::Ok};
        form().removeAction->trigger();
        QCOMPARE(listedNames().size(), 5);
        form().removeAction->trigger();
        QCOMPARE(listedNames(), QStringList({". . . .", "2006", "Beach", "b.JPEG"}));
        QVERIFY(QFileInfo::exists(m_image));

        QHeaderView *header = list()->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(0) + 5, header->height() / 2));
        QCOMPARE(listedNames(), QStringList({"Beach", "b.JPEG", "2006", ". . . ."}));

        // The folders are read on a worker: a newer listing drops the older one.
        m_window->ListFolder(m_photos->path());
        m_window->ListFolder(m_photos->filePath(QStringLiteral("2006")));
        QSignalSpy listed(m_window.get(), &MainWindow::folderListed);
        QVERIFY(listed.wait());
        QTest::qWait(100);
        QCOMPARE(listed.size(), 1);
        QCOMPARE(listedNames(), QStringList({"c.jpg", ". . . ."}));
    }

    // The list shows at once and its dates fill in after, a photo's capture
    // date where it has one. A save or a run started before they are in takes
    // the capture date all the same, never the file's; a list sorted by date
    // is sorted again once they are in.
    void captureDatesFillIn()
    {
        QHeaderView *header = list()->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(DateColumn) + 5, header->height() / 2));
        const QString taken = m_photos->filePath(QStringLiteral("2006/taken.jpg"));
        QVERIFY(test::writeTaggedPhotos({{taken, {QStringLiteral("DateTimeOriginal=2019:07:14 09:30:05")}}}));
        const QString takenText = listDateText(QDateTime(QDate(2019, 7, 14), QTime(9, 30, 5), Qt::UTC));
        QList<BatchItem> early;
        QString shownWhenSaved = QStringLiteral("not saved");
        connect(
            m_window.get(), &MainWindow::folderListed, this,
            [&] {
                early = m_window->batchItems();
                list()->setCurrentItem(item("taken.jpg"));
                shownWhenSaved = list()->currentItem()->text(DateColumn);
                m_window->LoadImageRecord(taken);
                form().recordButton->click();
            },
            Qt::SingleShotConnection);
        QSignalSpy dated(m_window.get(), &MainWindow::datesListed);
        m_window->ListFolder(m_photos->filePath(QStringLiteral("2006")));
        QVERIFY(dated.wait());

        QCOMPARE(early.size(), 3);
        for (const BatchItem &line : early)
            QVERIFY(line.dateText.isEmpty());
        QVERIFY(shownWhenSaved.isEmpty());
        QCOMPARE(commands().storedAdjustments(taken)->dateText, takenText);
        QCOMPARE(item("taken.jpg")->text(DateColumn), takenText);
        QCOMPARE(item("c.jpg")->text(DateColumn), imageDateText(m_photos->filePath(QStringLiteral("2006/c.jpg"))));
        QStringList dates;
        for (int row = 0; row < list()->topLevelItemCount(); ++row)
            dates << list()->topLevelItem(row)->text(DateColumn);
        QStringList descending = dates;
        std::sort(descending.begin(), descending.end(),
                  [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) > 0; });
        QCOMPARE(dates, descending);
        QCOMPARE(m_window->batchItems().value(0).dateText, dates.value(0));
    }

    // A tick steps from what its field shows, a field takes the focus selected
    // and tinted, a typed quality is checked at each key, the description
    // keeps 250 characters.
    void adjustmentFields()
    {
        m_window->SetAdjustmentControlsEnabled(true);
        form().brightInput->setText(QStringLiteral("-99"));
        QTest::keyClick(form().brightTick, Qt::Key_Down);
        QCOMPARE(form().brightInput->text(), QStringLiteral("-100"));

        QLineEdit *edit = form().contrastInput;
        edit->setText(QStringLiteral("-25"));
        edit->setCursorPosition(0);
        edit->setFocus(Qt::MouseFocusReason);
        QTRY_COMPARE(edit->selectedText(), QStringLiteral("-25"));
        const QPalette palette = QApplication::palette();
        QVERIFY(palette.color(QPalette::Midlight) != palette.color(QPalette::Base));
        QCOMPARE(edit->palette().color(QPalette::Base), palette.color(QPalette::Midlight));
        form().heightInput->setFocus(Qt::TabFocusReason);
        QCOMPARE(edit->palette().color(QPalette::Base), palette.color(QPalette::Base));

        QComboBox *quality = form().qualityCombo;
        const AdjustmentSelections &codes = m_window->adjustments().fields().selections();
        quality->setFocus();
        quality->lineEdit()->selectAll();
        QTest::keyClicks(quality->lineEdit(), QStringLiteral("85"));
        QCOMPARE(codes.SaveQuality, 85);
        quality->setCurrentIndex(2);
        QCOMPARE(codes.SaveQuality, 0x200);

        form().capInput->setPlainText(QString(300, u'b'));
        QCOMPARE(form().capInput->toPlainText().size(), 250);
    }

    // Alt+S and Enter leave no field: "&Scale.." checks the fields itself,
    // as leaving them would, before the batch window opens.
    void scaleChecksTheFieldsFirst()
    {
        int opened = 0;
        m_window->setScaleHandler([&opened] { ++opened; });
        m_window->SetAdjustmentControlsEnabled(true);
        form().widthInput->setText(QStringLiteral("abc"));
        QTest::keyClick(m_window.get(), Qt::Key_S, Qt::AltModifier);
        QTRY_COMPARE(m_prompts.shown, QList{test::messageBox(message(43), message(111), PromptIcon::Exclamation)});
        QVERIFY(form().widthInput->hasFocus());
        // Put right without leaving the field.
        form().widthInput->setText(QStringLiteral("50"));
        QTest::keyClick(m_window.get(), Qt::Key_S, Qt::AltModifier);
        QTRY_COMPARE(opened, 1);
        form().startButton->setFocus(Qt::TabFocusReason);
        QTest::keyClick(form().startButton, Qt::Key_Return);
        QCOMPARE(opened, 2);
        QCOMPARE(m_prompts.shown.size(), 1);
    }

    // A refused field holds back the record command; an image with a record
    // shows it adjusted, the viewer busy meanwhile.
    void recordsAndTheAdjustedPreview()
    {
        m_window->showPath(m_image);
        QTRY_VERIFY(showsPicture());
        form().widthInput->setFocus(Qt::TabFocusReason);
        form().widthInput->setText(QStringLiteral("0"));
        QTest::mouseClick(form().recordButton, Qt::LeftButton);
        QCOMPARE(m_prompts.shown, QList{test::messageBox(message(44), message(111), PromptIcon::Exclamation)});
        QTRY_VERIFY(form().widthInput->hasFocus());
        QVERIFY(!stored(m_image));
        form().widthInput->setText(QStringLiteral("50"));
        QTest::mouseClick(form().recordButton, Qt::LeftButton);
        QCOMPARE(m_prompts.ofKind(ShownPrompt::Kind::Notice).size(), 1);
        QVERIFY(stored(m_image));

        save(m_image);
        m_prompts = {};
        m_window->LoadImageRecord(m_image);
        QCOMPARE(form().widthInput->text(), QStringLiteral("25"));
        QCOMPARE(form().capInput->toPlainText(), QStringLiteral("Harbour"));
        const AdjustmentSelections &codes = m_window->adjustments().fields().selections();
        QCOMPARE(std::pair(codes.SelectedFilter, codes.SaveQuality),
                 std::pair(int(FILTER_BSPLINE), JPEG_QUALITYSUPERB));
        auto *busy = m_window->findChild<QWidget *>(QStringLiteral("previewBusy"));
        QVERIFY(busy && busy->isVisible());
        waitForPreview();
        QVERIFY(!busy->isVisible());
        QCOMPARE(form().Zoomwell->Picture()->size(), QSize(400, 300));
        QVERIFY(form().infoLabel->text().endsWith(QStringLiteral("Dimensions: (400 x 300)")));
        QVERIFY2(m_prompts.shown.isEmpty(), qPrintable(m_prompts.transcript()));
    }

    // An image without a record keeps the fields; a failed preview leaves no
    // file behind to be described; a newer request overtakes older ones; a
    // large photo shows a reduced picture first.
    void previews()
    {
        lensbox::ZoomwellCtl *viewer = form().Zoomwell;
        form().widthInput->setText(QStringLiteral("77"));
        m_window->LoadImageRecord(m_image);
        QCOMPARE(form().widthInput->text(), QStringLiteral("77"));
        waitForPreview();

        const QString broken = m_photos->filePath(QStringLiteral("broken.jpg"));
        QVERIFY(test::writeBytes(broken, "not a picture"));
        QVERIFY(test::writeTestJpeg(preview().previewFile(), QSize(8, 8)));
        preview().ShowPreview(false, broken);
        waitForPreview();
        QVERIFY(!showsPicture() && !QFile::exists(preview().previewFile()));
        QVERIFY(form().infoLabel->text().isEmpty());

        const QString large = m_photos->filePath(QStringLiteral("large.jpg"));
        QVERIFY(test::writeTestJpeg(large, QSize(2400, 1800)));
        QSignalSpy first(&preview(), &PreviewController::firstPictureShown);
        QSignalSpy shown(&preview(), &PreviewController::previewShown);
        form().widthInput->setText(QStringLiteral("10"));
        preview().ShowPreview(false, m_image);
        QVERIFY(preview().isRendering());
        preview().ShowPreview(true, large);
        preview().ShowPreview(true, m_image);
        QVERIFY(shown.wait(20000));
        QTRY_VERIFY(!preview().isRendering());
        QTest::qWait(1500);
        QCOMPARE(shown.size(), 1);
        QCOMPARE(first.size(), 0);
        QCOMPARE(viewer->Picture()->size(), QSize(1600, 1200));
        QCOMPARE(QDir(m_program->filePath(QStringLiteral("tmp"))).entryList(QDir::Files), QStringList());

        shown.clear();
        preview().ShowPreview(true, large);
        QVERIFY(first.wait(20000));
        // The fit zoom: the viewer's extent in twips against the picture's in
        // 0.01 mm, the dots per inch cancelling out.
        const double fit = std::nearbyint((viewer->width() + viewer->height()) * 1440.0 / (4200 * 2540.0) * 100);
        QCOMPARE(viewer->Picture()->size(), QSize(std::lround(2400 * fit / 100), std::lround(1800 * fit / 100)));
        QCOMPARE(shown.size(), 0);
        QVERIFY(shown.wait(20000));
        QCOMPARE(viewer->Picture()->size(), QSize(2400, 1800));
        QCOMPARE(viewer->Zoom(), fit);
    }

    // The toolbar shows inside the viewer under the pointer. Its Maximize (or
    // Enter on the viewer) opens the large preview with a picture only; opened
    // again it keeps its window and label.
    void viewerButtons()
    {
        lensbox::ZoomwellCtl *viewer = form().Zoomwell;
        viewer->setZoom(14);
        emit viewer->ZoomInClick();
        QCOMPARE(viewer->Zoom(), 24.0);
        emit viewer->ZoomOutClick();
        QCOMPARE(viewer->Zoom(), 14.0);
        emit viewer->MaxClick();
        QVERIFY(!m_window->findChild<LargePreviewWindow *>());

        m_window->LoadImageRecord(m_image);
        waitForPreview();
        auto *toolbar = viewer->findChild<QToolBar *>(QStringLiteral("tbrQuickFloat"));
        QCursor::setPos(viewer->mapToGlobal(QPoint(20, 20)));
        QTRY_VERIFY(toolbar->isVisible());
        QVERIFY(viewer->rect().contains(toolbar->geometry()));
        QTest::mouseClick(toolbar->widgetForAction(toolbar->actions().at(2)), Qt::LeftButton);
        auto *large = m_window->findChild<LargePreviewWindow *>(QStringLiteral("frmLarge"));
        QVERIFY(large && large->isVisible());
        const auto *info = large->findChild<QLabel *>(QStringLiteral("infoLabel2"));
        const QString infoText = form().infoLabel->text();
        QCOMPARE(info->text(), infoText);
        QCOMPARE(large->Zoomwell2()->Picture(), viewer->Picture());
        form().widthInput->setText(QStringLiteral("10"));
        preview().ShowPreview(false, m_image);
        waitForPreview();
        QTest::keyClick(viewer, Qt::Key_Return);
        QCOMPARE(m_window->findChildren<LargePreviewWindow *>().size(), 1);
        QCOMPARE(info->text(), infoText);
        QCOMPARE(large->Zoomwell2()->Picture(), viewer->Picture());
        QPointer<LargePreviewWindow> closed(large);
        large->close();
        QTRY_VERIFY(!closed); // closing frees it
    }

    // Every key that moves the selection opens the entry it lands on: b's
    // record in the fields, its adjusted picture in the viewer.
    void selectionKeysOpenTheirEntry_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("descending"); // sorted by name the other way first

        QTest::newRow("Down") << int(Qt::Key_Down) << false;
        QTest::newRow("End") << int(Qt::Key_End) << false;
        QTest::newRow("Page Down") << int(Qt::Key_PageDown) << false;
        QTest::newRow("Home") << int(Qt::Key_Home) << true;
        QTest::newRow("Page Up") << int(Qt::Key_PageUp) << true;
        QTest::newRow("first letter typed") << int(Qt::Key_B) << false;
    }

    void selectionKeysOpenTheirEntry()
    {
        QFETCH(int, key);
        save(m_photos->filePath(QStringLiteral("b.JPEG")));
        if (QFETCH(bool, descending); descending)
            emit list()->header()->sectionClicked(0);
        list()->setCurrentItem(item("a.jpg"));
        m_window->LoadImageRecord(m_image);
        waitForPreview();

        QTest::keyClick(list(), Qt::Key(key));

        QCOMPARE(list()->currentItem()->text(0), QStringLiteral("b.JPEG"));
        QCOMPARE(form().widthInput->text(), QStringLiteral("25"));
        waitForPreview();
        QCOMPARE(form().Zoomwell->Picture()->size(), QSize(8, 10));
    }

    // A photo whose information line fails (a side beyond 16 bits) opened with
    // Enter: the Enter that closes the error box is let go in the list and
    // opens nothing again.
    void closedErrorBoxDoesNotReopen()
    {
        QVERIFY(test::writeBytes(m_photos->filePath(QStringLiteral("tall.jpg")),
                                 test::encodeJpeg({.size = {32, 39728}, .components = 1, .smooth = true})));
        m_window->ListFolder(m_photos->path());
        QTRY_VERIFY(item("tall.jpg"));
        list()->setCurrentItem(item("tall.jpg"));
        QTest::keyClick(list(), Qt::Key_Return);
        waitForPreview();
        QCOMPARE(m_prompts.shown,
                 QList{test::messageBox(QStringLiteral("Error! (# 6): Overflow"), QStringLiteral("Error! #6"),
                                        PromptIcon::Critical)});

        QSignalSpy shown(&preview(), &PreviewController::previewShown);
        QTest::keyRelease(list(), Qt::Key_Return);
        QVERIFY(!shown.wait(500));
        QCOMPARE(m_prompts.shown.size(), 1);
    }

    // The shared hostile files and tiny ones claiming 16000 x 16000 pixels,
    // stepped through with Down: each is shown or named as not decodable,
    // none takes the memory its header claims.
    void hostileFilesInThePreview()
    {
        const QString shared = test::sharedTestData();
        if (shared.isEmpty())
            QSKIP("the shared test images are not beside this checkout");
        QTemporaryDir folder;
        const QDir unusual(shared + QStringLiteral("/unusual"));
        for (const QString &name : unusual.entryList({QStringLiteral("*.jpg")}, QDir::Files))
            QVERIFY(QFile::copy(unusual.filePath(name), folder.filePath(name)));
        for (const bool progressive : {false, true})
            QVERIFY(
                test::writeBytes(folder.filePath(QStringLiteral("claims-%1.jpg").arg(progressive)),
                                 test::withClaimedSize(test::encodeJpeg({.size = {16, 16}, .progressive = progressive}),
                                                       QSize(16000, 16000))));
        m_window->ListFolder(folder.path());
        QTRY_VERIFY(list()->topLevelItemCount() > 2);
        list()->setCurrentItem(list()->topLevelItem(0));
        const auto *note = m_window->findChild<QLabel *>(QStringLiteral("previewNote"));
        const std::int64_t peakBefore = test::peakResidentBytes();

        QStringList notShown;
        while (list()->currentItem() != list()->topLevelItem(list()->topLevelItemCount() - 1)) {
            QTest::keyClick(list(), Qt::Key_Down);
            waitForPreview();
            if (!showsPicture()) {
                QVERIFY(note->isVisible() && form().infoLabel->text().isEmpty());
                notShown << note->text();
            }
        }

        QCOMPARE(notShown,
                 QStringList({"claims-0.jpg: cannot be read or decoded", "claims-1.jpg: cannot be read or decoded",
                              "empty.jpg: cannot be read or decoded", "max_size.jpg: cannot be read or decoded",
                              "missing-sof.jpg: cannot be read or decoded"}));
        QVERIFY2(test::peakResidentBytes() - peakBefore < (128 << 20), "a hostile file took memory");
        QVERIFY2(m_prompts.shown.isEmpty(), qPrintable(m_prompts.transcript()));
    }

    // Centred; the timer fires once, 2000 ms after the start, unless Quit
    // comes first.
    void splash()
    {
        SplashWindow waited, quitted;
        QSignalSpy fired(&waited, &SplashWindow::timerFired);
        QSignalSpy quit(&quitted, &SplashWindow::quitRequested);
        waited.start();
        quitted.start();
        QVERIFY(!waited.findChild<QLabel *>(QStringLiteral("Picture1"))->pixmap().isNull());
        QVERIFY((waited.geometry().center() - waited.screen()->availableGeometry().center()).manhattanLength() <= 2);
        const auto *timer = waited.findChild<QTimer *>(QStringLiteral("Timer1"));
        QVERIFY(timer->isSingleShot() && timer->isActive());
        QCOMPARE(timer->interval(), 2000);
        QTest::mouseClick(quitted.findChild<QPushButton *>(QStringLiteral("quitButton")), Qt::LeftButton);
        QCOMPARE(quit.size(), 1);
        QVERIFY(!quitted.findChild<QTimer *>(QStringLiteral("Timer1"))->isActive());
        QVERIFY(fired.wait(10000));
    }

    // A second copy gets no further than its splash: no main window, no
    // settings, and nothing said but what was painted.
    void secondCopyShowsSplashThenEndsSilently()
    {
        SingleInstanceLock running(m_runtime->path(), QStringLiteral("Tovin_en"));
        QVERIFY(running.tryAcquire());
        QProcess second;
        startProgram(second);
        QVERIFY(second.waitForFinished(15000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        const QString said = QString::fromLocal8Bit(second.readAllStandardError() + second.readAllStandardOutput());
        QVERIFY2(said.contains(QRegularExpression(QStringLiteral("Flushing QRegion\\(.+\\) of tovin::SplashWindow"))),
                 qPrintable(said));
        QVERIFY(!said.contains(QStringLiteral("frmMain")));
        for (const QString &line : said.split(u'\n', Qt::SkipEmptyParts))
            QVERIFY2(line.startsWith(QStringLiteral("qt.widgets.painting: ")), qPrintable(line));
        QVERIFY(QDir(m_config->path()).isEmpty());
    }

    // A running copy holds the lock; killed, it leaves its lock file behind,
    // and the next copy takes it over.
    void runningCopyHoldsTheLockUntilItIsKilled()
    {
        QProcess killed;
        startProgram(killed);
        QTRY_VERIFY_WITH_TIMEOUT(lockFileExists(), 15000);
        SingleInstanceLock next(m_runtime->path(), QStringLiteral("Tovin_en"));
        QVERIFY(!next.tryAcquire());
        killed.kill();
        QVERIFY(killed.waitForFinished(5000));
        QVERIFY(lockFileExists());
        QVERIFY(next.tryAcquire());
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
