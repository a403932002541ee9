#include "batchwindow.h"
#include "buttonpictures.h"
#include "mainwindow.h"
#include "memorytuning.h"
#include "programartwork.h"
#include "qtuserprompts.h"
#include "recordstore.h"
#include "settingsstore.h"
#include "singleinstance.h"
#include "splashwindow.h"
#include "startup.h"
#include "windowscreenshot.h"
#include "writablefolders.h"

#include <QApplication>
#include <QCommandLineParser>

#include <memory>

namespace {

constexpr int kScreenshotDelayMs = 1500;

} // namespace

int main(int argc, char *argv[])
{
    tovin::keepLargeBlocksBetweenImages();
    // The album preview's browser shares its drawing contexts with the windows.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    tovin::useFallbackIconTheme();
    QApplication::setWindowIcon(tovin::programEmblem(64));

    // Hidden, for remaking the documentation's pictures: --select shows an
    // image as a drop on the window would, --screenshot saves the window.
    QCommandLineParser parser;
    QCommandLineOption screenshotOption(QStringLiteral("screenshot"), QString(), QStringLiteral("file"));
    QCommandLineOption selectOption(QStringLiteral("select"), QString(), QStringLiteral("path"));
    screenshotOption.setFlags(QCommandLineOption::HiddenFromHelp);
    selectOption.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({screenshotOption, selectOption});
    parser.process(application);

    const QString programFolder = QCoreApplication::applicationDirPath();
    const QString applicationName = tovin::SettingsStore::programApplicationName();
    // Started through a link, the program still keeps its folders under its own name.
    QCoreApplication::setApplicationName(applicationName);
    tovin::QtUserPrompts prompts;
    const tovin::WritableFolders writable = tovin::writableFoldersForUser(programFolder);
    tovin::RecordStore records(writable.records, prompts);
    tovin::SettingsStore settings(applicationName);
    tovin::SingleInstanceLock instanceLock(tovin::SingleInstanceLock::userLockFolder(), applicationName);
    std::unique_ptr<tovin::MainWindow> frmMain;

    tovin::SplashWindow frmSplash;
    QObject::connect(&frmSplash, &tovin::SplashWindow::quitRequested, &application, [] { QApplication::exit(0); });
    QObject::connect(&frmSplash, &tovin::SplashWindow::timerFired, &application, [&] {
        if (!instanceLock.tryAcquire()) {
            QApplication::exit(0);
            return;
        }
        if (writable.records != programFolder)
            tovin::seedRecordList(programFolder, writable.records);
        if (!tovin::prepareProgramFolder(programFolder, records, prompts, writable.work)) {
            QApplication::exit(1);
            return;
        }
        records.setLockWait(tovin::RecordStore::kWindowLockWaitMs);
        frmMain = std::make_unique<tovin::MainWindow>(programFolder, records, settings, prompts);
        prompts.setOwner(frmMain.get());
        frmMain->setScaleHandler([&] {
            tovin::BatchWindow frmBatch({programFolder, records, settings, prompts, frmMain->batchItems(),
                                         frmMain->currentAdjustments(), frmMain->width()},
                                        frmMain.get());
            frmBatch.exec();
        });
        frmMain->load();
        frmMain->show();
        frmSplash.close();
        if (parser.isSet(selectOption))
            frmMain->showPath(parser.value(selectOption));
        if (parser.isSet(screenshotOption))
            tovin::saveScreenshotAndQuit(*frmMain, parser.value(screenshotOption), kScreenshotDelayMs);
    });
    frmSplash.start();
    return application.exec();
}
