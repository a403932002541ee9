#include "mainwindow.h"

#include "aboutwindow.h"
#include "adjustmentfields.h"
#include "adjustmentpanel.h"
#include "errorreport.h"
#include "fieldchecks.h"
#include "imagelisting.h"
#include "listkeys.h"
#include "makefolder.h"
#include "messagetable.h"
#include "networkpath.h"
#include "paths.h"
#include "previewcontroller.h"
#include "recordstore.h"
#include "runtimeerror.h"
#include "settingsstore.h"
#include "userprompts.h"
#include "writablefolders.h"

#include <lensbox/zoomwellctl.h>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtConcurrent/QtConcurrentRun>
#include <QToolButton>
#include <QTreeWidget>

#include <cerrno>

namespace tovin {
namespace {

constexpr int kKindRole = Qt::UserRole;
constexpr int kKeyRole = Qt::UserRole + 1;

// The list's icons under the program folder, by kind.
constexpr const char *kListIconFiles[] = {"src/ico/up.bmp", "src/ico/folder.ico", "src/ico/file.ico"};

// The controls that are enabled while an image is chosen, in the order they
// are switched.
constexpr const char *kAdjustmentControls[] = {
    "widthInput",    "widthTick",   "heightInput",  "heightTick",    "brightInput",  "brightTick",  "contrastTick",
    "contrastInput", "filterCombo", "qualityCombo", "previewButton", "recordButton", "resetButton", "startButton"};

} // namespace

MainWindow::MainWindow(QString programFolder, RecordStore &records, SettingsStore &settings, UserPrompts &prompts,
                       QWidget *parent)
    : QMainWindow(parent)
    , m_programFolder(std::move(programFolder))
    , m_records(records)
    , m_settings(settings)
    , m_prompts(prompts)
    , m_form(buildMainWindowForm(*this))
{
    setAcceptDrops(true);
    // The preview file lies in the work folder "tmp", beside the program or,
    // for an installed program, in the user's cache folder.
    const QString previewFile = joinPath(writableFoldersForUser(m_programFolder).work, QStringLiteral("tmp/x.jpg"));
    m_adjustments = new AdjustmentPanel(
        m_form, records, prompts, previewFile,
        [this]() -> std::optional<SelectedImage> {
            const std::optional<ListEntry> entry = selectedEntry();
            if (!entry || entry->kind != ListEntryKind::Image)
                return std::nullopt;
            return SelectedImage{entry->key, entry->dateText};
        },
        this);
    connectControls();
}

void MainWindow::connectControls()
{
    connect(m_form.srcButton, &QToolButton::clicked, this, &MainWindow::browseForFolder);
    connect(m_form.aboutButton, &QToolButton::clicked, this, &MainWindow::showAbout);
    // Alt+S and Enter leave no field: the fields are checked here, whatever
    // way the batch window is opened.
    m_form.startButton->setAutoDefault(true);
    connect(m_form.startButton, &QPushButton::clicked, this, [this] {
        if (m_scaleHandler && m_adjustments->fields().checkFields())
            m_scaleHandler();
    });
    connect(m_form.ListView1, &QTreeWidget::itemClicked, this, &MainWindow::listClicked);
    connect(m_form.ListView1, &QTreeWidget::itemDoubleClicked, this, &MainWindow::listDoubleClicked);
    connect(m_form.ListView1->header(), &QHeaderView::sectionClicked, this, &MainWindow::headerClicked);
    connect(m_form.removeAction, &QAction::triggered, this, &MainWindow::removeSelectedEntries);
    connect(m_form.newFolderAction, &QAction::triggered, this, &MainWindow::startNewFolder);
    connect(m_form.ListView1->itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
            [this](QWidget *, QAbstractItemDelegate::EndEditHint hint) {
                if (m_newFolderItem)
                    finishNewFolder(m_newFolderItem, hint != QAbstractItemDelegate::RevertModelCache);
            });
    connect(&m_dates, &ListDateReading::datesRead, this, &MainWindow::fillDates);
    connect(&m_dates, &ListDateReading::finished, this, &MainWindow::datesFinished);
    m_form.dirInput->installEventFilter(this);
    m_form.ListView1->installEventFilter(this);
}

void MainWindow::load()
{
    applySettings(readMainSettings(m_settings, m_programFolder));
    SetAdjustmentControlsEnabled(false);
    ListFolder(m_form.dirInput->text());
}

void MainWindow::applySettings(const MainSettings &settings)
{
    m_form.dirInput->setText(settings.dirInput);
    m_form.widthInput->setText(settings.widthInput);
    m_form.heightInput->setText(settings.heightInput);
    m_form.brightInput->setText(settings.brightInput);
    m_form.contrastInput->setText(settings.contrastInput);
    m_adjustments->fields().selectListPositions(
        listPositionFromSetting(settings.filterCombo, m_form.filterCombo->count()),
        listPositionFromSetting(settings.qualityCombo, m_form.qualityCombo->count()));
}

MainSettings MainWindow::currentSettings() const
{
    return {m_form.dirInput->text(),           m_form.widthInput->text(),
            m_form.heightInput->text(),        m_form.brightInput->text(),
            m_form.contrastInput->text(),      QString::number(m_form.filterCombo->currentIndex()),
            QString::number(qualityPosition())};
}

int MainWindow::qualityPosition() const
{
    // A typed quality selects the entry it spells, if any.
    return m_form.qualityCombo->findText(m_form.qualityCombo->currentText(), Qt::MatchExactly);
}

void MainWindow::SetAdjustmentControlsEnabled(bool enabled)
{
    for (const char *name : kAdjustmentControls) {
        if (QWidget *control = findChild<QWidget *>(QLatin1String(name)))
            control->setEnabled(enabled);
    }
}

void MainWindow::LoadImageRecord(const QString &path)
{
    SetAdjustmentControlsEnabled(true);
    m_adjustments->showImageRecord(path);
}

void MainWindow::loadListIcons()
{
    for (int kind = 0; kind < 3; ++kind) {
        const QString file = QDir(m_programFolder).filePath(QString::fromLatin1(kListIconFiles[kind]));
        const QIcon icon(file);
        if (!QFileInfo::exists(file) || icon.isNull())
            throw RuntimeError::fromErrno(ENOENT, file);
        m_listIcons[kind] = icon;
    }
}

// A folder's entries as a worker read them, or why it could not read them.
struct FolderReading {
    QList<ListEntry> entries;
    std::optional<RuntimeError> error;
};

bool MainWindow::ListFolder(const QString &path, const QString &selectKey)
{
    const QString folder = path.trimmed();
    if (isNetworkPath(folder)) {
        m_prompts.showMessage(message(42), message(112), PromptIcon::Exclamation, PromptButtons::Ok);
        return false;
    }
    m_newFolderItem = nullptr;
    m_dates.stop();
    m_form.ListView1->clear();
    m_adjustments->preview().clear();
    const quint64 listing = ++m_listing;
    try {
        loadListIcons();
    } catch (const RuntimeError &error) {
        showErrorReport(m_prompts, error);
        emit folderListed();
        return false;
    }
    m_form.dirInput->setText(folder);
    m_listedFolder = folder;
    m_form.ListView1->viewport()->setCursor(Qt::BusyCursor);

    auto *reading = new QFutureWatcher<FolderReading>(this);
    connect(reading, &QFutureWatcher<FolderReading>::finished, this, [this, reading, listing, selectKey] {
        reading->deleteLater();
        if (listing == m_listing)
            folderRead(selectKey, reading->result());
    });
    reading->setFuture(QtConcurrent::run([folder]() -> FolderReading {
        try {
            return {listFolderEntries(folder), std::nullopt};
        } catch (const RuntimeError &error) {
            return {{}, error};
        }
    }));
    return true;
}

void MainWindow::folderRead(const QString &selectKey, const FolderReading &reading)
{
    m_form.ListView1->viewport()->unsetCursor();
    if (reading.error) {
        showErrorReport(m_prompts, *reading.error);
    } else {
        QList<ListEntry> entries = reading.entries;
        m_sort.apply(entries);
        fillList(entries);
        QStringList undated;
        for (const ListEntry &entry : entries) {
            if (entry.kind == ListEntryKind::Image && entry.dateText.isEmpty())
                undated.append(entry.key);
        }
        m_dates.start(undated);
        if (QTreeWidgetItem *item = itemWithKey(selectKey)) {
            m_form.ListView1->setCurrentItem(item);
            m_form.ListView1->scrollToItem(item);
            if (ListEntryKind(item->data(0, kKindRole).toInt()) == ListEntryKind::Image)
                LoadImageRecord(selectKey);
        }
    }
    emit folderListed();
}

QTreeWidgetItem *MainWindow::itemWithKey(const QString &key) const
{
    for (int row = 0; !key.isEmpty() && row < m_form.ListView1->topLevelItemCount(); ++row) {
        QTreeWidgetItem *item = m_form.ListView1->topLevelItem(row);
        if (item->data(0, kKeyRole).toString() == key)
            return item;
    }
    return nullptr;
}

void MainWindow::fillList(const QList<ListEntry> &entries)
{
    QList<QTreeWidgetItem *> items;
    items.reserve(entries.size());
    for (const ListEntry &entry : entries) {
        auto *item = new QTreeWidgetItem({entry.name, entry.dateText, entry.sizeText});
        item->setIcon(0, m_listIcons[int(entry.kind) - 1]);
        item->setData(0, kKindRole, int(entry.kind));
        item->setData(0, kKeyRole, entry.key);
        item->setTextAlignment(DateColumn, Qt::AlignCenter);
        item->setTextAlignment(SizeColumn, Qt::AlignCenter);
        items.append(item);
    }
    m_form.ListView1->addTopLevelItems(items);
}

// The dates read so far go into the lines still without one, wherever a sort
// or a removal has put them meanwhile.
void MainWindow::fillDates()
{
    for (int row = 0; row < m_form.ListView1->topLevelItemCount(); ++row) {
        QTreeWidgetItem *item = m_form.ListView1->topLevelItem(row);
        if (item == m_newFolderItem || !item->text(DateColumn).isEmpty())
            continue;
        const QString text = m_dates.dateText(item->data(0, kKeyRole).toString());
        if (!text.isEmpty())
            item->setText(DateColumn, text);
    }
}

void MainWindow::datesFinished()
{
    // Sorted by date, the list took its order while the dates were still
    // coming in.
    if (m_sort.active() && m_sort.column() == DateColumn && !m_newFolderItem)
        showSorted();
    emit datesListed();
}

ListEntry MainWindow::entryOf(const QTreeWidgetItem *item) const
{
    return {ListEntryKind(item->data(0, kKindRole).toInt()), item->data(0, kKeyRole).toString(), item->text(0),
            item->text(DateColumn), item->text(SizeColumn)};
}

std::optional<ListEntry> MainWindow::selectedEntry() const
{
    const QTreeWidgetItem *current = m_form.ListView1->currentItem();
    if (!current || !current->isSelected() || current == m_newFolderItem)
        return std::nullopt;
    return entryOf(current);
}

QList<ListEntry> MainWindow::listedEntries() const
{
    QList<ListEntry> entries;
    for (int row = 0; row < m_form.ListView1->topLevelItemCount(); ++row) {
        const QTreeWidgetItem *item = m_form.ListView1->topLevelItem(row);
        if (item != m_newFolderItem)
            entries.append(entryOf(item));
    }
    return entries;
}

QList<BatchItem> MainWindow::batchItems() const
{
    QList<BatchItem> items;
    for (int row = 0; row < m_form.ListView1->topLevelItemCount(); ++row) {
        const QTreeWidgetItem *item = m_form.ListView1->topLevelItem(row);
        if (item == m_newFolderItem)
            continue;
        const ListEntry entry = entryOf(item);
        items.append({entry.key, item->isSelected(), entry.kind, entry.dateText});
    }
    return items;
}

MainAdjustments MainWindow::currentAdjustments() const
{
    const AdjustmentFieldValues fields = m_adjustments->fields().values();
    MainAdjustments adjustments;
    adjustments.width = fields.widthPercent;
    adjustments.height = fields.heightPercent;
    adjustments.brightness = fields.brightness;
    adjustments.contrast = fields.contrast;
    adjustments.description = fields.description;
    adjustments.selectedFilter = m_adjustments->fields().selections().SelectedFilter;
    adjustments.saveQuality = m_adjustments->fields().selections().SaveQuality;
    return adjustments;
}

void MainWindow::browseForFolder()
{
    const QString folder = m_prompts.chooseFolder(message(41), m_listedFolder);
    if (!folder.isEmpty())
        ListFolder(folder);
}

void MainWindow::dirInputKeyPressed(int key)
{
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !m_form.dirInput->text().isEmpty())
        ListFolder(m_form.dirInput->text());
}

bool MainWindow::dirInputLeft()
{
    // The refusal's message box takes the focus itself; that is no second
    // leaving of the field.
    if (m_checkingDirInput)
        return true;
    m_checkingDirInput = true;
    const bool accepted = CheckForbiddenCharacters(m_form.dirInput->text(), true, m_prompts);
    m_checkingDirInput = false;
    if (!accepted)
        QMetaObject::invokeMethod(
            m_form.dirInput, [this] { m_form.dirInput->setFocus(Qt::OtherFocusReason); }, Qt::QueuedConnection);
    return accepted;
}

void MainWindow::listClicked()
{
    m_form.Zoomwell->UnloadImage();
    m_form.capInput->clear();
    const std::optional<ListEntry> entry = selectedEntry();
    if (!entry)
        return;
    if (entry->kind == ListEntryKind::Image)
        LoadImageRecord(entry->key);
    else
        SetAdjustmentControlsEnabled(false);
}

void MainWindow::listDoubleClicked()
{
    const std::optional<ListEntry> entry = selectedEntry();
    if (entry && entry->kind != ListEntryKind::Image)
        ListFolder(entry->key);
}

void MainWindow::listKeyPressed(int key)
{
    m_listKeyDown = key;
    const QTreeWidgetItem *current = m_form.ListView1->currentItem();
    m_currentBeforeKey = current ? current->data(0, kKeyRole).toString() : QString();
}

void MainWindow::listKeyReleased(int key, Qt::KeyboardModifiers modifiers)
{
    if (m_listKeyDown != key)
        return;
    m_listKeyDown.reset();
    const std::optional<ListEntry> entry = selectedEntry();
    std::optional<ListEntryKind> kind;
    if (entry)
        kind = entry->kind;
    const bool moved = entry && entry->key != m_currentBeforeKey;
    switch (listKeyAction(key, modifiers, kind, moved)) {
    case ListKeyAction::Nothing:
        return;
    case ListKeyAction::OpenImage:
        LoadImageRecord(entry->key);
        return;
    case ListKeyAction::EnterFolder:
        ListFolder(entry->key);
        return;
    case ListKeyAction::DeleteImageRecord:
        m_records.DeleteRecords(false, entry->key);
        return;
    case ListKeyAction::DeleteAllRecords:
        m_records.DeleteRecords(true, QStringLiteral("dummy"));
        return;
    case ListKeyAction::GoUp:
        goUp();
        return;
    }
}

void MainWindow::goUp()
{
    for (const ListEntry &entry : listedEntries()) {
        if (entry.kind == ListEntryKind::Up) {
            ListFolder(entry.key);
            return;
        }
    }
}

void MainWindow::headerClicked(int column)
{
    // A folder being named keeps its line until the name is given.
    if (m_newFolderItem)
        return;
    m_sort.click(column);
    showSorted();
}

// The lines again in the sort's order, the current and the selected ones kept.
void MainWindow::showSorted()
{
    QList<ListEntry> entries = listedEntries();
    m_sort.apply(entries);
    const std::optional<ListEntry> current = selectedEntry();
    QStringList selectedKeys;
    for (const QTreeWidgetItem *item : m_form.ListView1->selectedItems())
        selectedKeys.append(item->data(0, kKeyRole).toString());
    m_form.ListView1->clear();
    fillList(entries);
    for (int row = 0; row < m_form.ListView1->topLevelItemCount(); ++row) {
        QTreeWidgetItem *item = m_form.ListView1->topLevelItem(row);
        const QString key = item->data(0, kKeyRole).toString();
        if (current && key == current->key)
            m_form.ListView1->setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
        item->setSelected(selectedKeys.contains(key));
    }
    m_form.ListView1->header()->setSortIndicatorShown(true);
    m_form.ListView1->header()->setSortIndicator(m_sort.column(), m_sort.order());
}

void MainWindow::showPath(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir()) {
        ListFolder(info.absoluteFilePath());
        return;
    }
    if (info.isFile() && isJpegName(path))
        ListFolder(info.absolutePath(), joinPath(info.absolutePath(), info.fileName()));
}

void MainWindow::removeSelectedEntries()
{
    QList<QTreeWidgetItem *> removable;
    for (QTreeWidgetItem *item : m_form.ListView1->selectedItems()) {
        if (item != m_newFolderItem && ListEntryKind(item->data(0, kKindRole).toInt()) != ListEntryKind::Up)
            removable.append(item);
    }
    if (removable.isEmpty())
        return;
    const QString question = message(163) + QStringLiteral("\n\n") + message(164);
    if (m_prompts.showMessage(question, message(110), PromptIcon::Question, PromptButtons::OkCancel)
        != PromptAnswer::Ok)
        return;
    qDeleteAll(removable);
}

// The new folder's name is typed in place, in a list line of its own; the
// folder is made once the name is accepted.
void MainWindow::startNewFolder()
{
    if (m_listedFolder.isEmpty() || m_newFolderItem)
        return;
    QTreeWidget *list = m_form.ListView1;
    m_newFolderItem = new QTreeWidgetItem({QStringLiteral("New Folder")});
    m_newFolderItem->setIcon(0, m_listIcons[int(ListEntryKind::Folder) - 1]);
    m_newFolderItem->setFlags(m_newFolderItem->flags() | Qt::ItemIsEditable);
    const bool hasUpEntry = list->topLevelItemCount() > 0
        && ListEntryKind(list->topLevelItem(0)->data(0, kKindRole).toInt()) == ListEntryKind::Up;
    list->insertTopLevelItem(hasUpEntry ? 1 : 0, m_newFolderItem);
    list->setCurrentItem(m_newFolderItem);
    list->scrollToItem(m_newFolderItem);
    list->editItem(m_newFolderItem, 0);
}

void MainWindow::finishNewFolder(QTreeWidgetItem *item, bool accepted)
{
    m_newFolderItem = nullptr;
    const QString name = item->text(0).trimmed();
    delete item;
    if (!accepted || !CheckForbiddenCharacters(name, false, m_prompts))
        return;
    const QString path = joinPath(m_listedFolder, name);
    if (MakeFolder(path, m_prompts))
        ListFolder(m_listedFolder, QDir(path).absolutePath());
}

void MainWindow::showAbout()
{
    AboutWindow frmAbout(m_prompts, this);
    frmAbout.exec();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (m_prompts.showMessage(message(40), message(110), PromptIcon::Question, PromptButtons::OkCancel)
        != PromptAnswer::Ok) {
        event->ignore();
        return;
    }
    writeMainSettings(m_settings, currentSettings());
    m_records.CloseRecordStore();
    m_form.Zoomwell->UnloadImage();
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window != this && window->isVisible())
            window->close();
    }
    event->accept();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_form.dirInput) {
        if (event->type() == QEvent::KeyPress)
            dirInputKeyPressed(static_cast<QKeyEvent *>(event)->key());
        if (event->type() == QEvent::FocusOut) {
            const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
            // Switching to another window or opening a menu is not leaving the field.
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                dirInputLeft();
        }
    } else if (watched == m_form.ListView1
               && (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
        // A held key acts once, when it is let go.
        const auto *key = static_cast<QKeyEvent *>(event);
        if (!key->isAutoRepeat() && event->type() == QEvent::KeyPress)
            listKeyPressed(key->key());
        else if (!key->isAutoRepeat())
            listKeyReleased(key->key(), key->modifiers());
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.first().isLocalFile())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile())
        return;
    event->acceptProposedAction();
    showPath(urls.first().toLocalFile());
}

} // namespace tovin
