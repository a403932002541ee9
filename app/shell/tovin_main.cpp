#include "buttonpictures.h"
#include "mainwindow.h"
#include "qtuserprompts.h"
#include "recordstore.h"
#include "settingsstore.h"
#include "singleinstance.h"
#include "splashwindow.h"
#include "startup.h"
#include "windowscreenshot.h"

#include <QApplication>
#include <QCommandLineParser>

#include <memory>

namespace {

constexpr int kScreenshotDelayMs = 1500;

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    tovin::useFallbackIconTheme();

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
    tovin::QtUserPrompts prompts;
    tovin::RecordStore records(programFolder, prompts);
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
        if (!tovin::prepareProgramFolder(programFolder, records, prompts)) {
            QApplication::exit(1);
            return;
        }
        frmMain = std::make_unique<tovin::MainWindow>(programFolder, records, settings, prompts);
        prompts.setOwner(frmMain.get());
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
