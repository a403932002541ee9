#include "mainwindow.h"
#include "recordschema.h"
#include "recordstore.h"
#include "scriptedprompts.h"
#include "settingsstore.h"
#include "testenvironment.h"
#include "testimages.h"

#include <lensbox/pictureobject.h>
#include <lensbox/zoomwellctl.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <memory>

using namespace tovin;
using test::ScriptedPrompts;
using test::ShownPrompt;

namespace {

const QString kTable = QString::fromLatin1(kRecordTable);
const QString kKeyField = QString::fromLatin1(kRecordKeyField);

QVariantList rowValues(const QString &path)
{
    return {path, 40, 30, 50, 60, -10, 20, 3, -1, QStringLiteral("05/12/2026 14:03:11"), QString(), true};
}

// Remembers the order in which widgets change their enabled state.
class EnabledLog : public QObject
{
public:
    QStringList changed;

    void watch(const QList<QWidget *> &widgets)
    {
        for (QWidget *widget : widgets)
            widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // Inner parts of a control (a spin box's text field) change with it.
        static const QRegularExpression control(QStringLiteral("^[a-z]+(Input|Tick|Combo|Button)$"));
        if (event->type() == QEvent::EnabledChange && control.match(watched->objectName()).hasMatch())
            changed << watched->objectName();
        return false;
    }
};

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void loadRestoresFirstRunDefaultsAndListsProgramFolder();
    void loadAppliesStoredPositions();
    void quitAsksThenSavesTextsAndClosesTheRest();
    void refusedFolderIsReportedAndTheFieldKept();
    void folderFieldAndChooserList();
    void leavingFolderFieldChecksThePath();
    void listClicksAndKeysOpenImagesAndFolders();
    void ctrlRDeletesOneRecordCtrlShiftRAll();
    void headerClickSortsAndTheSortStays();
    void adjustmentGroupsSwitchInOrder();
    void batchItemsFollowTheList();
    void removeAsksAndKeepsTheFiles();
    void newFolderIsNamedInPlace();
    void droppedImageIsListedAndOpened();
    void aboutBoxShowsVersionAndOpensSupport();

private:
    QTreeWidgetItem *itemNamed(const QString &name) const;
    QStringList listedNames() const;
    QPoint itemPoint(const QString &name) const;
    void createWindow();

    QTemporaryDir m_settingsFolder;
    std::unique_ptr<QTemporaryDir> m_programFolder;
    std::unique_ptr<QTemporaryDir> m_photos;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<RecordStore> m_records;
    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<MainWindow> m_window;
};

void MainWindowTest::initTestCase()
{
    test::useTemporarySettings(m_settingsFolder);
}

void MainWindowTest::init()
{
    m_programFolder = std::make_unique<QTemporaryDir>();
    const QString program = m_programFolder->path();
    QVERIFY(test::installRecordList(program));
    QVERIFY(QDir(program).mkpath(QStringLiteral("src/ico")));
    for (const char *icon : {"up.bmp", "folder.ico", "file.ico"}) {
        const QString name = QStringLiteral("/src/ico/") + QString::fromLatin1(icon);
        QVERIFY(QFile::copy(test::builtProgramFolder() + name, program + name));
    }
    m_photos = std::make_unique<QTemporaryDir>();
    QDir photos(m_photos->path());
    QVERIFY(photos.mkpath(QStringLiteral("2006")));
    QVERIFY(test::writeTestJpeg(photos.filePath(QStringLiteral("a.jpg")), QSize(40, 30)));
    QVERIFY(test::writeTestJpeg(photos.filePath(QStringLiteral("b.JPEG")), QSize(30, 40)));
    QVERIFY(test::writeTestJpeg(photos.filePath(QStringLiteral("2006/c.jpg")), QSize(20, 20)));

    m_prompts = std::make_unique<ScriptedPrompts>();
    m_records = std::make_unique<RecordStore>(program, *m_prompts);
    QVERIFY(m_records->OpenRecordStore(QString::fromLatin1(kRecordListPath)));
    m_settings = std::make_unique<SettingsStore>(QString::fromLatin1(QTest::currentTestFunction()));
}

void MainWindowTest::createWindow()
{
    m_window = std::make_unique<MainWindow>(m_programFolder->path(), *m_records, *m_settings, *m_prompts);
}

void MainWindowTest::cleanup()
{
    m_window.reset();
    m_records.reset();
    m_settings.reset();
}

QTreeWidgetItem *MainWindowTest::itemNamed(const QString &name) const
{
    const QList<QTreeWidgetItem *> found = m_window->form().ListView1->findItems(name, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
}

QStringList MainWindowTest::listedNames() const
{
    QStringList names;
    const QTreeWidget *list = m_window->form().ListView1;
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        names << list->topLevelItem(row)->text(0);
    return names;
}

QPoint MainWindowTest::itemPoint(const QString &name) const
{
    return QPoint(20, m_window->form().ListView1->visualItemRect(itemNamed(name)).center().y());
}

void MainWindowTest::loadRestoresFirstRunDefaultsAndListsProgramFolder()
{
    createWindow();
    m_window->load();
    const MainWindowForm &form = m_window->form();
    QCOMPARE(m_window->currentSettings(), (MainSettings{m_programFolder->path(), "100", "100", "0", "0", "0", "0"}));
    QCOMPARE(form.filterCombo->currentText(), QStringLiteral("None"));
    QCOMPARE(listedNames(), QStringList({". . . .", "src"}));
    QVERIFY(!form.widthInput->isEnabled() && !form.startButton->isEnabled());
    QVERIFY(form.capInput->isEnabled() && form.resetAllButton->isEnabled());
    QVERIFY2(m_prompts->shown.isEmpty(), qPrintable(m_prompts->transcript()));
}

void MainWindowTest::loadAppliesStoredPositions()
{
    writeMainSettings(*m_settings, {m_photos->path(), "7", "8", "9", "10", "-1", "Med"});
    createWindow();
    m_window->load();
    QCOMPARE(m_window->form().filterCombo->currentIndex(), -1);
    QCOMPARE(m_window->form().qualityCombo->currentIndex(), 0);
    QCOMPARE(m_window->form().widthInput->text(), QStringLiteral("7"));
    QCOMPARE(listedNames(), QStringList({". . . .", "2006", "a.jpg", "b.JPEG"}));
}

void MainWindowTest::quitAsksThenSavesTextsAndClosesTheRest()
{
    createWindow();
    m_window->load();
    m_window->show();
    QWidget other;
    other.setObjectName(QStringLiteral("frmLarge"));
    other.show();
    const MainWindowForm &form = m_window->form();
    form.widthInput->setText(QStringLiteral("abc"));
    form.brightInput->setText(QStringLiteral("-999"));
    form.filterCombo->setCurrentIndex(3);
    form.qualityCombo->setEditText(QStringLiteral("77"));
    m_window->LoadImageRecord(m_photos->filePath(QStringLiteral("a.jpg")));
    QVERIFY(lensbox::holdsPicture(form.Zoomwell->Picture()));
    m_prompts->shown.clear();

    m_prompts->messageAnswers = {PromptAnswer::Cancel, PromptAnswer::Ok};
    QVERIFY(!m_window->close());
    QVERIFY(m_window->isVisible() && other.isVisible());
    const ShownPrompt question{ShownPrompt::Kind::Message, "Are you sure you want to quit Tovin Image Scaler?",
                               "Confirm?", PromptIcon::Question, PromptButtons::OkCancel};
    QCOMPARE(m_prompts->shown, QList<ShownPrompt>{question});
    QCOMPARE(m_settings->read(QStringLiteral("Startup"), QStringLiteral("widthInput"), QStringLiteral("unsaved")),
             QStringLiteral("unsaved"));

    QVERIFY(m_window->close());
    QVERIFY(!other.isVisible());
    QVERIFY(!lensbox::holdsPicture(form.Zoomwell->Picture()));
    const MainSettings saved = readMainSettings(*m_settings, QStringLiteral("none"));
    QCOMPARE(saved, (MainSettings{m_programFolder->path(), "abc", "100", "-999", "0", "3", "-1"}));
    // The Record List is closed: a lookup now reports its failure.
    m_prompts->shown.clear();
    m_records->DeleteRecords(true, QStringLiteral("dummy"), kKeyField, kTable);
    QCOMPARE(m_prompts->ofKind(ShownPrompt::Kind::Message).size(), 1);
}

void MainWindowTest::refusedFolderIsReportedAndTheFieldKept()
{
    createWindow();
    QVERIFY(m_window->ListFolder(m_photos->path()));
    const QStringList before = listedNames();
    QVERIFY(!m_window->ListFolder(QStringLiteral("  //server/share ")));
    QCOMPARE(
        m_prompts->shown,
        QList<ShownPrompt>{test::messageBox("Network Drive is not supported. Please copy files to a local drive first!",
                                            "Info!", PromptIcon::Exclamation)});
    QCOMPARE(listedNames(), before);
    QCOMPARE(m_window->form().dirInput->text(), m_photos->path());

    m_prompts->shown.clear();
    const QString missing = m_photos->filePath(QStringLiteral("gone"));
    QVERIFY(!m_window->ListFolder(missing));
    QCOMPARE(m_prompts->shown.size(), 1);
    QVERIFY(m_prompts->shown.first().icon == PromptIcon::Critical
            && m_prompts->shown.first().title.startsWith(QStringLiteral("Error! #")));
    QCOMPARE(m_window->form().ListView1->topLevelItemCount(), 0);
    QCOMPARE(m_window->form().dirInput->text(), missing);
}

void MainWindowTest::folderFieldAndChooserList()
{
    createWindow();
    QLineEdit *dirInput = m_window->form().dirInput;
    QTest::keyClick(dirInput, Qt::Key_Return);
    QTest::keyClicks(dirInput, m_photos->path());
    QCOMPARE(m_window->form().ListView1->topLevelItemCount(), 0);
    QTest::keyClick(dirInput, Qt::Key_Return);
    QCOMPARE(listedNames(), QStringList({". . . .", "2006", "a.jpg", "b.JPEG"}));
    QVERIFY2(m_prompts->shown.isEmpty(), qPrintable(m_prompts->transcript()));

    m_prompts->folderAnswers = {m_photos->filePath(QStringLiteral("2006"))};
    QTest::mouseClick(m_window->form().srcButton, Qt::LeftButton);
    QCOMPARE(m_prompts->shown.first().text, QStringLiteral("Please Select a Folder."));
    QCOMPARE(listedNames(), QStringList({". . . .", "c.jpg"}));
    // Cancelled: nothing changes.
    QTest::mouseClick(m_window->form().srcButton, Qt::LeftButton);
    QCOMPARE(listedNames(), QStringList({". . . .", "c.jpg"}));
}

void MainWindowTest::leavingFolderFieldChecksThePath()
{
    createWindow();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QLineEdit *dirInput = m_window->form().dirInput;
    dirInput->setFocus();
    dirInput->setText(QStringLiteral("/tmp/a*b"));
    m_window->form().capInput->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(dirInput->hasFocus());
    QCOMPARE(m_prompts->shown.size(), 1);
    QCOMPARE(m_prompts->shown.first().icon, PromptIcon::Exclamation);
    QCOMPARE(dirInput->text(), QStringLiteral("/tmp/a*b"));

    m_prompts->shown.clear();
    dirInput->setText(m_photos->path() + QStringLiteral("/"));
    m_window->form().capInput->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(m_window->form().capInput->hasFocus());
    QVERIFY(m_prompts->shown.isEmpty());
    QCOMPARE(m_window->form().ListView1->topLevelItemCount(), 0);
}

void MainWindowTest::listClicksAndKeysOpenImagesAndFolders()
{
    createWindow();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_window->ListFolder(m_photos->path());
    QApplication::processEvents();
    const MainWindowForm &form = m_window->form();
    QTreeWidget *list = form.ListView1;
    form.capInput->setPlainText(QStringLiteral("typed"));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, itemPoint("a.jpg"));
    QVERIFY(lensbox::holdsPicture(form.Zoomwell->Picture()));
    QVERIFY(form.widthInput->isEnabled());
    QVERIFY(form.capInput->toPlainText().isEmpty());

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, itemPoint("2006"));
    QVERIFY(!lensbox::holdsPicture(form.Zoomwell->Picture()));
    QVERIFY(!form.widthInput->isEnabled());
    QCOMPARE(listedNames().size(), 4);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, itemPoint("2006"));
    QCOMPARE(listedNames(), QStringList({". . . .", "c.jpg"}));

    list->setCurrentItem(itemNamed(". . . ."));
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(listedNames(), QStringList({". . . .", "2006", "a.jpg", "b.JPEG"}));
    QCOMPARE(form.dirInput->text(), m_photos->path() + QLatin1Char('/'));

    // Down moves to the next entry, then its release opens it.
    list->setCurrentItem(itemNamed("2006"));
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->currentItem()->text(0), QStringLiteral("a.jpg"));
    QVERIFY(lensbox::holdsPicture(form.Zoomwell->Picture()));
    QVERIFY2(m_prompts->shown.isEmpty(), qPrintable(m_prompts->transcript()));
}

void MainWindowTest::ctrlRDeletesOneRecordCtrlShiftRAll()
{
    createWindow();
    m_window->show();
    m_window->ListFolder(m_photos->path());
    const QString a = m_photos->filePath(QStringLiteral("a.jpg"));
    const QString b = m_photos->filePath(QStringLiteral("b.JPEG"));
    QCOMPARE(m_records->SaveRecord(a, rowValues(a), kKeyField, kTable), RecordResult::Done);
    QCOMPARE(m_records->SaveRecord(b, rowValues(b), kKeyField, kTable), RecordResult::Done);
    QTreeWidget *list = m_window->form().ListView1;
    list->setCurrentItem(itemNamed("a.jpg"));
    QTest::keyClick(list, Qt::Key_R, Qt::ControlModifier);
    QVERIFY(!m_records->RecordExists(a, kKeyField, kTable));
    QVERIFY(m_records->RecordExists(b, kKeyField, kTable));
    QTest::keyClick(list, Qt::Key_R, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(!m_records->RecordExists(b, kKeyField, kTable));
    QVERIFY2(m_prompts->shown.isEmpty(), qPrintable(m_prompts->transcript()));
}

void MainWindowTest::headerClickSortsAndTheSortStays()
{
    createWindow();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_window->ListFolder(m_photos->path());
    QHeaderView *header = m_window->form().ListView1->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(0) + 5, header->height() / 2));
    QCOMPARE(listedNames(), QStringList({"b.JPEG", "a.jpg", "2006", ". . . ."}));
    m_window->ListFolder(m_photos->filePath(QStringLiteral("2006")));
    QCOMPARE(listedNames(), QStringList({"c.jpg", ". . . ."}));
}

void MainWindowTest::adjustmentGroupsSwitchInOrder()
{
    createWindow();
    QWidget frmBatch;
    frmBatch.setObjectName(QStringLiteral("frmBatch"));
    QList<QWidget *> batchControls;
    for (const char *name : {"saveasInput", "dstInput", "dstButton", "generateButton"}) {
        auto *widget = new QWidget(&frmBatch);
        widget->setObjectName(QString::fromLatin1(name));
        batchControls << widget;
    }
    frmBatch.show();
    EnabledLog log;
    log.watch(m_window->findChildren<QWidget *>());
    log.watch(batchControls);

    m_window->SetAdjustmentControlsEnabled(false, 1);
    QCOMPARE(log.changed,
             QStringList({"widthInput", "widthTick", "heightInput", "heightTick", "brightInput", "brightTick",
                          "contrastTick", "contrastInput", "filterCombo", "qualityCombo", "previewButton",
                          "recordButton", "resetButton", "startButton"}));
    log.changed.clear();
    m_window->SetAdjustmentControlsEnabled(false, 2);
    QCOMPARE(log.changed, QStringList({"generateButton", "dstButton", "dstInput", "saveasInput"}));
    log.changed.clear();
    m_window->SetAdjustmentControlsEnabled(false, 3);
    QVERIFY(log.changed.isEmpty());
}

void MainWindowTest::batchItemsFollowTheList()
{
    createWindow();
    m_window->show();
    m_window->ListFolder(m_photos->path());
    itemNamed("b.JPEG")->setSelected(true);
    const QList<BatchItem> items = m_window->batchItems();
    QCOMPARE(items.size(), 4);
    QCOMPARE(items[0].kind, ListEntryKind::Up);
    QCOMPARE(items[1].key, m_photos->filePath(QStringLiteral("2006")));
    QCOMPARE(items[3].key, m_photos->filePath(QStringLiteral("b.JPEG")));
    QVERIFY(items[3].selected && !items[2].selected);
    QCOMPARE(items[3].dateText, itemNamed("b.JPEG")->text(1));

    bool scaled = false;
    m_window->setScaleHandler([&scaled] { scaled = true; });
    m_window->form().startButton->setEnabled(true);
    QTest::mouseClick(m_window->form().startButton, Qt::LeftButton);
    QVERIFY(scaled);
}

void MainWindowTest::removeAsksAndKeepsTheFiles()
{
    createWindow();
    m_window->show();
    m_window->ListFolder(m_photos->path());
    QTreeWidget *list = m_window->form().ListView1;
    list->setCurrentItem(itemNamed("a.jpg"));
    itemNamed(". . . .")->setSelected(true);
    m_prompts->messageAnswers = {PromptAnswer::Cancel, PromptAnswer::Ok};
    m_window->form().removeAction->trigger();
    QCOMPARE(listedNames().size(), 4);
    m_window->form().removeAction->trigger();
    QCOMPARE(listedNames(), QStringList({". . . .", "2006", "b.JPEG"}));
    QVERIFY(QFileInfo::exists(m_photos->filePath(QStringLiteral("a.jpg"))));
    QCOMPARE(m_prompts->shown.first().text,
             QStringLiteral("Are you sure you want to remove this file from the Image List?\n\nNote: This process "
                            "will not delete your file, it's only removing the file from the Image List."));
}

void MainWindowTest::newFolderIsNamedInPlace()
{
    createWindow();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    m_window->ListFolder(m_photos->path());
    QTreeWidget *list = m_window->form().ListView1;
    const auto typeName = [list](const QString &name) {
        auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(editor && list->isAncestorOf(editor));
        editor->selectAll();
        QTest::keyClicks(editor, name);
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents(); // the list takes the typed name after the key
    };

    m_window->form().newFolderAction->trigger();
    typeName(QStringLiteral("a|b"));
    QCOMPARE(m_prompts->shown.size(), 1);
    QCOMPARE(m_prompts->shown.first().icon, PromptIcon::Exclamation);
    QCOMPARE(listedNames(), QStringList({". . . .", "2006", "a.jpg", "b.JPEG"}));

    m_window->form().newFolderAction->trigger();
    typeName(QStringLiteral("Beach"));
    QVERIFY(QFileInfo(m_photos->filePath(QStringLiteral("Beach"))).isDir());
    QCOMPARE(listedNames(), QStringList({". . . .", "2006", "Beach", "a.jpg", "b.JPEG"}));
    QCOMPARE(list->currentItem()->text(0), QStringLiteral("Beach"));

    // Escape gives up without making anything.
    m_window->form().newFolderAction->trigger();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QApplication::processEvents();
    QCOMPARE(listedNames().size(), 5);
    QCOMPARE(m_prompts->shown.size(), 1);
}

void MainWindowTest::droppedImageIsListedAndOpened()
{
    createWindow();
    m_window->show();
    const auto drop = [this](const QString &path) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        const QPoint inside = m_window->rect().center();
        QDragEnterEvent enter(inside, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_window.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent dropped(QPointF(inside), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_window.get(), &dropped);
    };
    drop(m_photos->filePath(QStringLiteral("2006/c.jpg")));
    QCOMPARE(listedNames(), QStringList({". . . .", "c.jpg"}));
    QCOMPARE(m_window->form().ListView1->currentItem()->text(0), QStringLiteral("c.jpg"));
    QVERIFY(lensbox::holdsPicture(m_window->form().Zoomwell->Picture()));
    drop(m_photos->path());
    QCOMPARE(listedNames(), QStringList({". . . .", "2006", "a.jpg", "b.JPEG"}));
}

void MainWindowTest::aboutBoxShowsVersionAndOpensSupport()
{
    createWindow();
    m_window->show();
    QString title, version;
    QTimer::singleShot(0, this, [&] {
        QWidget *about = QApplication::activeModalWidget();
        QVERIFY(about);
        title = about->windowTitle();
        version = about->findChild<QLabel *>(QStringLiteral("lblVersion"))->text();
        auto *link = about->findChild<QLabel *>(QStringLiteral("urlLabel"));
        emit link->linkActivated(QStringLiteral("x"));
        QVERIFY(about->isVisible());
        QTest::mouseClick(about->findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
    });
    QTest::mouseClick(m_window->form().aboutButton, Qt::LeftButton);
    QCOMPARE(title, QStringLiteral("About Tovin Image Scaler"));
    QVERIFY(version.startsWith(QStringLiteral("Version ")));
    const QList<ShownPrompt> opened = m_prompts->ofKind(ShownPrompt::Kind::Document);
    QCOMPARE(opened.size(), 1);
    QVERIFY(opened.first().text.startsWith(QStringLiteral("https://")));
    QVERIFY(!QApplication::activeModalWidget());
}

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
