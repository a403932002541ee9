// Pictures of the adjustment preview for a person to look at: the main
// window with a photo's adjusted preview and its information line, and the
// large preview window opened from it.
//
//   previewscreens PHOTO.jpg PERCENT MAIN.png LARGE.png
//
// The photo gets a record (PERCENT for width and height, quality "High"),
// is opened from the list as a click would, and both windows are saved once
// the preview is shown. Run it under xvfb-run to see real windows.

#include "adjustmentpanel.h"
#include "benchprogramfolder.h"
#include "largepreviewwindow.h"
#include "mainwindow.h"
#include "previewcontroller.h"
#include "recordcommands.h"
#include "recordstore.h"
#include "settingsstore.h"

#include <lensbox/zoomwellctl.h>

#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

using namespace tovin;

namespace {

void settle(int ms)
{
    QEventLoop wait;
    QTimer::singleShot(ms, &wait, &QEventLoop::quit);
    wait.exec();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    if (argc < 5) {
        std::fprintf(stderr, "usage: previewscreens PHOTO.jpg PERCENT MAIN.png LARGE.png\n");
        return 2;
    }
    const QString photo = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    const QString percent = QString::fromLocal8Bit(argv[2]);

    QTemporaryDir folder;
    makeProgramFolder(folder.path());
    PrintedPrompts prompts;
    RecordStore store(folder.path(), prompts);
    if (!store.OpenRecordStore(QStringLiteral("/src/dbm/Tovindb.db")))
        return 1;
    RecordCommands(store, prompts)
        .saveAdjustments(photo, QString(), AdjustmentFieldValues{percent, percent, "0", "0", 3, 3, "Harbour wall"});

    SettingsStore settings(QStringLiteral("previewscreens"));
    MainWindow window(folder.path(), store, settings, prompts);
    window.show();
    QEventLoop shown;
    QObject::connect(&window.adjustments().preview(), &PreviewController::previewShown, &shown, &QEventLoop::quit);
    window.showPath(photo);
    shown.exec();
    settle(500);
    if (!window.grab().save(QString::fromLocal8Bit(argv[3]), "PNG"))
        return 1;

    emit window.form().Zoomwell->MaxClick();
    settle(800);
    auto *large = window.findChild<LargePreviewWindow *>(QStringLiteral("frmLarge"));
    if (!large || !large->grab().save(QString::fromLocal8Bit(argv[4]), "PNG"))
        return 1;
    return 0;
}
