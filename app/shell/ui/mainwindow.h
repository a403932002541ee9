#pragma once

#include "batchjob.h"
#include "imagelisting.h"
#include "listdatereading.h"
#include "listsorting.h"
#include "mainsettings.h"
#include "mainwindowform.h"

#include <QIcon>
#include <QMainWindow>

#include <functional>
#include <optional>

class QTreeWidgetItem;

namespace tovin {

class AdjustmentPanel;
struct FolderReading;
class RecordStore;
class SettingsStore;
class UserPrompts;

// The main window "frmMain": the folder field and image list, the adjustment
// fields, the viewer, and the program's start and end. What the window shows
// comes from the rules in app/shell; the window wires its controls to them.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    MainWindow(QString programFolder, RecordStore &records, SettingsStore &settings, UserPrompts &prompts,
               QWidget *parent = nullptr);

    const MainWindowForm &form() const { return m_form; }
    AdjustmentPanel &adjustments() const { return *m_adjustments; }

    // The rest of the load sequence: the settings restored, the adjustment
    // controls disabled, the restored folder listed.
    void load();

    // Empties the list, shows `path` in dirInput and reads the folder on a
    // worker, so that a folder of thousands of files never holds the window
    // up; the list fills when the reading is done (folderListed), after which
    // the entry with key `selectKey`, if given, is made current. The images'
    // dates fill in after that, read on workers too (datesListed). A newer
    // listing drops an older one still being read. False when the folder was
    // refused (a network path) or the list's icons are missing.
    bool ListFolder(const QString &path, const QString &selectKey = {});
    // Enables or disables the controls that work on the chosen image.
    void SetAdjustmentControlsEnabled(bool enabled);
    // Opens an image entry: its adjustments and its picture.
    void LoadImageRecord(const QString &path);

    // A folder or an image file from outside the window (a drop, the command
    // line): a folder is listed; an image's folder is listed with the image
    // selected and opened.
    void showPath(const QString &path);

    // Every list entry in list order, as the batch run takes them.
    QList<BatchItem> batchItems() const;
    MainAdjustments currentAdjustments() const;
    // What "&Scale.." does; the program's main plugs the batch window in.
    void setScaleHandler(std::function<void()> handler) { m_scaleHandler = std::move(handler); }

    // The seven settings as the controls hold them now.
    MainSettings currentSettings() const;

signals:
    // A listing has ended: the list is filled, or its error was reported.
    void folderListed();
    // Every image of the listing shows its date.
    void datesListed();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void connectControls();
    void applySettings(const MainSettings &settings);
    int qualityPosition() const;
    void loadListIcons();
    void folderRead(const QString &selectKey, const FolderReading &reading);
    void fillList(const QList<ListEntry> &entries);
    void fillDates();
    void datesFinished();
    void showSorted();
    QTreeWidgetItem *itemWithKey(const QString &key) const;
    std::optional<ListEntry> selectedEntry() const;
    ListEntry entryOf(const QTreeWidgetItem *item) const;
    QList<ListEntry> listedEntries() const;

    void browseForFolder();
    void dirInputKeyPressed(int key);
    bool dirInputLeft();
    void listClicked();
    void listDoubleClicked();
    void listKeyPressed(int key);
    void listKeyReleased(int key, Qt::KeyboardModifiers modifiers);
    void headerClicked(int column);
    void goUp();
    void removeSelectedEntries();
    void startNewFolder();
    void finishNewFolder(QTreeWidgetItem *item, bool accepted);
    void showAbout();

    QString m_programFolder;
    RecordStore &m_records;
    SettingsStore &m_settings;
    UserPrompts &m_prompts;
    MainWindowForm m_form;
    QIcon m_listIcons[3];
    QString m_listedFolder;
    quint64 m_listing = 0; // the newest listing; older readings are dropped
    QTreeWidgetItem *m_newFolderItem = nullptr;
    ListSort m_sort;
    ListDateReading m_dates;
    std::function<void()> m_scaleHandler;
    AdjustmentPanel *m_adjustments = nullptr;
    bool m_checkingDirInput = false;
    // The key last pressed in the list and the current entry's key before
    // it: only a release of that key acts, never one whose press went to a
    // message box that it closed.
    std::optional<int> m_listKeyDown;
    QString m_currentBeforeKey;
};

} // namespace tovin
