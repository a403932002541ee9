// The adjustment fields, record buttons, preview and large preview wired to
// the real main window form, offscreen, with scripted prompts.

#include "adjustmentfields.h"
#include "adjustmentpanel.h"
#include "largepreviewwindow.h"
#include "mainwindow.h"
#include "messagetable.h"
#include "previewcontroller.h"
#include "recordcommands.h"
#include "recordschema.h"
#include "recordstore.h"
#include "scriptedprompts.h"
#include "settingsstore.h"
#include "testenvironment.h"
#include "testimages.h"

#include <lensbox/zoomwellctl.h>

#include <FreeImage.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace tovin;
using tovin::test::ScriptedPrompts;
using tovin::test::ShownPrompt;

class AdjustmentPanelTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void leaveCheck_data();
    void leaveCheck();
    void focusSelectsAndTints();
    void ticksStepTheirFields_data();
    void ticksStepTheirFields();
    void typedQualityIsCheckedAtOnce();
    void descriptionHoldsAtMost250();
    void refusedFieldHoldsBackTheCommands();
    void imageWithRecordShowsItAdjusted();
    void imageWithoutRecordShowsItFitted();
    void newerPreviewSupersedesOlder();
    void failedAdjustedPreviewLeavesTheViewerEmpty();
    void largePhotoShowsAReducedPictureFirstUnlessOvertaken();
    void zoomButtonsStep();
    void largePreview();

private:
    QLineEdit *input(const char *name) { return m_window->findChild<QLineEdit *>(QString::fromLatin1(name)); }
    const MainWindowForm &form() const { return m_window->form(); }
    void waitForPreview();

    QTemporaryDir m_settingsFolder;
    std::unique_ptr<QTemporaryDir> m_folder;
    ScriptedPrompts m_prompts;
    std::unique_ptr<RecordStore> m_store;
    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<MainWindow> m_window;
    AdjustmentPanel *m_panel = nullptr;
    QString m_image;
    QString m_previewFile;
};

void AdjustmentPanelTest::initTestCase()
{
    test::useTemporarySettings(m_settingsFolder);
}

void AdjustmentPanelTest::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(test::installRecordList(m_folder->path()));
    QVERIFY(QDir(m_folder->path()).mkpath(QStringLiteral("src/ico")));
    for (const char *icon : {"up.bmp", "folder.ico", "file.ico"}) {
        const QString name = QStringLiteral("/src/ico/") + QString::fromLatin1(icon);
        QVERIFY(QFile::copy(test::builtProgramFolder() + name, m_folder->path() + name));
    }
    m_prompts = ScriptedPrompts();
    m_store = std::make_unique<RecordStore>(m_folder->path(), m_prompts);
    QVERIFY(m_store->OpenRecordStore(QString::fromLatin1(kRecordListPath)));
    m_image = m_folder->filePath(QStringLiteral("photo.jpg"));
    QVERIFY(test::writeTestJpeg(m_image, QSize(1600, 1200)));
    QVERIFY(QDir(m_folder->path()).mkdir(QStringLiteral("tmp")));
    m_previewFile = m_folder->filePath(QStringLiteral("tmp/x.jpg"));

    m_settings = std::make_unique<SettingsStore>(QStringLiteral("tst_adjustmentpanel"));
    m_window = std::make_unique<MainWindow>(m_folder->path(), *m_store, *m_settings, m_prompts);
    m_panel = &m_window->adjustments();
    form().dirInput->setText(m_folder->path());
    form().widthInput->setText(QStringLiteral("100"));
    form().heightInput->setText(QStringLiteral("100"));
    form().brightInput->setText(QStringLiteral("0"));
    form().contrastInput->setText(QStringLiteral("0"));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void AdjustmentPanelTest::cleanup()
{
    m_window.reset();
    m_settings.reset();
    m_store.reset();
    m_folder.reset();
}

void AdjustmentPanelTest::waitForPreview()
{
    QSignalSpy shown(&m_panel->preview(), &PreviewController::previewShown);
    QVERIFY(shown.wait(20000));
}

// clang-format off
void AdjustmentPanelTest::leaveCheck_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("refusal");

    // The checks themselves are tested with the field rules; these rows prove the wiring.
    QTest::newRow("width 201 (three characters)") << "widthInput" << "2011" << message(44);
    QTest::newRow("bright -100") << "brightInput" << "-100" << QString();
}
// clang-format on

void AdjustmentPanelTest::leaveCheck()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, refusal);
    auto *edit = m_window->findChild<QLineEdit *>(field);
    edit->setFocus(Qt::TabFocusReason);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Tab);
    if (refusal.isEmpty()) {
        QVERIFY2(m_prompts.shown.isEmpty(), qPrintable(m_prompts.transcript()));
        QTRY_VERIFY(!edit->hasFocus());
    } else {
        QCOMPARE(m_prompts.shown, QList{test::messageBox(refusal, message(111), PromptIcon::Exclamation)});
        QTRY_VERIFY(edit->hasFocus());
        QCOMPARE(edit->text(), text.left(edit->maxLength()));
    }
}

void AdjustmentPanelTest::focusSelectsAndTints()
{
    QLineEdit *edit = input("brightInput");
    edit->setText(QStringLiteral("-25"));
    edit->setCursorPosition(0);
    edit->setFocus(Qt::MouseFocusReason);
    QTRY_COMPARE(edit->selectedText(), QStringLiteral("-25"));
    QCOMPARE(edit->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Midlight));
    input("contrastInput")->setFocus(Qt::TabFocusReason);
    QCOMPARE(edit->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Base));
    QVERIFY(QApplication::palette().color(QPalette::Midlight) != QApplication::palette().color(QPalette::Base));
}

// clang-format off
void AdjustmentPanelTest::ticksStepTheirFields_data()
{
    QTest::addColumn<QString>("tick");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("after");

    QTest::newRow("width up stops at 200") << "widthTick" << "widthInput" << "200" << int(Qt::Key_Up) << "200";
    QTest::newRow("bright down") << "brightTick" << "brightInput" << "-99" << int(Qt::Key_Down) << "-100";
}
// clang-format on

void AdjustmentPanelTest::ticksStepTheirFields()
{
    QFETCH(QString, tick);
    QFETCH(QString, field);
    QFETCH(QString, before);
    QFETCH(int, key);
    QFETCH(QString, after);
    auto *edit = m_window->findChild<QLineEdit *>(field);
    auto *spinner = m_window->findChild<QSpinBox *>(tick);
    edit->setText(before);
    QTest::keyClick(spinner, Qt::Key(key));
    QCOMPARE(edit->text(), after);
}

void AdjustmentPanelTest::typedQualityIsCheckedAtOnce()
{
    QComboBox *quality = form().qualityCombo;
    const AdjustmentSelections &codes = m_panel->fields().selections();
    quality->setFocus();
    quality->lineEdit()->selectAll();
    QTest::keyClicks(quality->lineEdit(), QStringLiteral("85"));
    QCOMPARE(codes.SaveQuality, 85);
    QCOMPARE(quality->currentIndex(), -1);
    QVERIFY(m_prompts.shown.isEmpty());
    QTest::keyClick(quality->lineEdit(), Qt::Key_X);
    QCOMPARE(m_prompts.shown, QList{test::messageBox(message(43), message(111), PromptIcon::Exclamation)});
    QCOMPARE(codes.SaveQuality, 0);
    QCOMPARE(quality->currentText(), QStringLiteral("85x"));
    quality->setCurrentIndex(2);
    QCOMPARE(codes.SaveQuality, 0x200);
}

void AdjustmentPanelTest::descriptionHoldsAtMost250()
{
    QPlainTextEdit *description = form().capInput;
    description->setFocus();
    QTest::keyClicks(description, QString(260, u'a'));
    QCOMPARE(description->toPlainText().size(), 250);
    description->setPlainText(QString(300, u'b'));
    QCOMPARE(description->toPlainText().size(), 250);
}

void AdjustmentPanelTest::refusedFieldHoldsBackTheCommands()
{
    m_window->showPath(m_image);
    QVERIFY(lensbox::holdsPicture(form().Zoomwell->Picture()));
    m_prompts.shown.clear();
    QLineEdit *width = input("widthInput");
    width->setFocus(Qt::TabFocusReason);
    width->setText(QStringLiteral("0"));
    QTest::mouseClick(form().recordButton, Qt::LeftButton);
    QCOMPARE(m_prompts.shown, QList{test::messageBox(message(44), message(111), PromptIcon::Exclamation)});
    QTRY_VERIFY(width->hasFocus());
    QVERIFY(!RecordCommands(*m_store, m_prompts).storedAdjustments(m_image));

    m_prompts.shown.clear();
    width->setText(QStringLiteral("50"));
    QTest::mouseClick(form().recordButton, Qt::LeftButton);
    QCOMPARE(m_prompts.ofKind(ShownPrompt::Kind::Notice).size(), 1);
    QVERIFY(RecordCommands(*m_store, m_prompts).storedAdjustments(m_image));
}

void AdjustmentPanelTest::imageWithRecordShowsItAdjusted()
{
    RecordCommands(*m_store, m_prompts)
        .saveAdjustments(m_image, QString(), AdjustmentFieldValues{"25", "25", "0", "0", 4, 3, "Harbour"});
    m_prompts.shown.clear();
    m_window->LoadImageRecord(m_image);
    QVERIFY(form().widthInput->isEnabled());
    QCOMPARE(form().widthInput->text(), QStringLiteral("25"));
    QCOMPARE(form().capInput->toPlainText(), QStringLiteral("Harbour"));
    QCOMPARE(m_panel->fields().selections().SelectedFilter, int(FILTER_BSPLINE));
    QCOMPARE(m_panel->fields().selections().SaveQuality, int(JPEG_QUALITYSUPERB));
    // The window stays usable while the preview is made; the viewer says it is busy.
    auto *busy = m_window->findChild<QWidget *>(QStringLiteral("previewBusy"));
    QVERIFY(busy && busy->isVisible());
    waitForPreview();
    QVERIFY(!busy->isVisible());
    QVERIFY(QFile::exists(m_previewFile));
    QCOMPARE(form().Zoomwell->Picture()->size(), QSize(400, 300));
    QVERIFY(form().infoLabel->text().endsWith(QStringLiteral("Dimensions: (400 x 300)")));
    QVERIFY2(m_prompts.shown.isEmpty(), qPrintable(m_prompts.transcript()));
}

void AdjustmentPanelTest::imageWithoutRecordShowsItFitted()
{
    QVERIFY(test::writeTestJpeg(m_previewFile, QSize(8, 8)));
    form().widthInput->setText(QStringLiteral("77"));
    m_window->LoadImageRecord(m_image);
    QCOMPARE(form().widthInput->text(), QStringLiteral("77"));
    QVERIFY(!QFile::exists(m_previewFile));
    QCOMPARE(form().Zoomwell->Picture()->size(), QSize(1600, 1200));
    const double dpi = form().Zoomwell->screen()->logicalDotsPerInch();
    const QSize viewer = form().Zoomwell->size();
    const double expected = std::nearbyint((viewer.width() + viewer.height()) * 1440 / dpi / (2800 * 2540 / dpi) * 100);
    QCOMPARE(form().Zoomwell->Zoom(), expected);
    QVERIFY(form().Zoomwell->isVisible());
    QVERIFY(form().infoLabel->text().endsWith(QStringLiteral("Dimensions: (1600 x 1200)")));
}

void AdjustmentPanelTest::newerPreviewSupersedesOlder()
{
    form().widthInput->setText(QStringLiteral("10"));
    form().heightInput->setText(QStringLiteral("10"));
    QSignalSpy shown(&m_panel->preview(), &PreviewController::previewShown);
    m_panel->preview().ShowPreview(false, m_image);
    QVERIFY(m_panel->preview().isRendering());
    m_panel->preview().ShowPreview(true, m_image);
    QCOMPARE(shown.size(), 1);
    QTRY_VERIFY(!m_panel->preview().isRendering());
    QTest::qWait(100);
    QCOMPARE(shown.size(), 1);
    QCOMPARE(form().Zoomwell->Picture()->size(), QSize(1600, 1200));
    QVERIFY(!QFile::exists(m_previewFile));
    QCOMPARE(QDir(m_folder->filePath(QStringLiteral("tmp"))).entryList(QDir::Files), QStringList());
}

void AdjustmentPanelTest::failedAdjustedPreviewLeavesTheViewerEmpty()
{
    const QString broken = m_folder->filePath(QStringLiteral("broken.jpg"));
    QFile file(broken);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("not a picture") > 0);
    file.close();
    m_window->LoadImageRecord(m_image);
    QVERIFY(test::writeTestJpeg(m_previewFile, QSize(8, 8)));
    form().widthInput->setText(QStringLiteral("50"));
    m_panel->preview().ShowPreview(false, broken);
    waitForPreview();
    QVERIFY(!lensbox::holdsPicture(form().Zoomwell->Picture()));
    QVERIFY(!QFile::exists(m_previewFile));
    QVERIFY(form().infoLabel->text().isEmpty());
}

void AdjustmentPanelTest::largePhotoShowsAReducedPictureFirstUnlessOvertaken()
{
    const QString large = m_folder->filePath(QStringLiteral("large.jpg"));
    QVERIFY(test::writeTestJpeg(large, QSize(2400, 1800)));
    lensbox::ZoomwellCtl *viewer = form().Zoomwell;
    QSignalSpy first(&m_panel->preview(), &PreviewController::firstPictureShown);
    QSignalSpy shown(&m_panel->preview(), &PreviewController::previewShown);
    // The reduced picture of an overtaken request is never shown.
    m_panel->preview().ShowPreview(true, large);
    m_panel->preview().ShowPreview(true, m_image);
    QTest::qWait(1500);
    QCOMPARE(first.size(), 0);
    QCOMPARE(viewer->Picture()->size(), QSize(1600, 1200));

    shown.clear();
    m_panel->preview().ShowPreview(true, large);
    QVERIFY(first.wait(20000));
    const double dpi = viewer->screen()->logicalDotsPerInch();
    const double fit = std::nearbyint((viewer->width() + viewer->height()) * 1440 / dpi / (4200 * 2540 / dpi) * 100);
    QCOMPARE(viewer->Picture()->size(), QSize(std::lround(2400 * fit / 100), std::lround(1800 * fit / 100)));
    QCOMPARE(shown.size(), 0);
    QVERIFY(shown.wait(20000));
    QCOMPARE(viewer->Picture()->size(), QSize(2400, 1800));
    QCOMPARE(viewer->Zoom(), fit);
}

void AdjustmentPanelTest::zoomButtonsStep()
{
    lensbox::ZoomwellCtl *viewer = form().Zoomwell;
    viewer->setZoom(195);
    emit viewer->ZoomInClick();
    QCOMPARE(viewer->Zoom(), 205.0);
    viewer->setZoom(14);
    emit viewer->ZoomOutClick();
    QCOMPARE(viewer->Zoom(), 4.0);
}

void AdjustmentPanelTest::largePreview()
{
    lensbox::ZoomwellCtl *viewer = form().Zoomwell;
    emit viewer->MaxClick();
    QVERIFY(!m_window->findChild<LargePreviewWindow *>());

    m_window->LoadImageRecord(m_image);
    emit viewer->MaxClick();
    auto *large = m_window->findChild<LargePreviewWindow *>(QStringLiteral("frmLarge"));
    QVERIFY(large && large->isVisible());
    QCOMPARE(large->windowTitle(), message(114));
    QCOMPARE(large->findChild<QLabel *>(QStringLiteral("infoLabel2"))->text(), form().infoLabel->text());
    QCOMPARE(large->Zoomwell2()->Picture(), viewer->Picture());

    // Opened again with another picture: same window, size and label kept.
    const QSize size = large->size();
    const QString info = form().infoLabel->text();
    form().widthInput->setText(QStringLiteral("10"));
    form().heightInput->setText(QStringLiteral("10"));
    m_panel->preview().ShowPreview(false, m_image);
    waitForPreview();
    emit viewer->MaxClick();
    QCOMPARE(m_window->findChildren<LargePreviewWindow *>().size(), 1);
    QCOMPARE(large->size(), size);
    QCOMPARE(large->findChild<QLabel *>(QStringLiteral("infoLabel2"))->text(), info);
    QCOMPARE(large->Zoomwell2()->Picture(), viewer->Picture());

    QPointer<LargePreviewWindow> closed(large);
    large->close();
    QTRY_VERIFY(!closed); // closing frees it
}

QTEST_MAIN(AdjustmentPanelTest)
#include "tst_adjustmentpanel.moc"
