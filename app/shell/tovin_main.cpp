#include "mainwindow.h"
#include "qtuserprompts.h"
#include "recordstore.h"
#include "startup.h"
#include "windowscreenshot.h"

#include "buttonpictures.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    tovin::useFallbackIconTheme();
    // Hidden: for remaking the documentation's pictures.
    QCommandLineParser parser;
    QCommandLineOption screenshotOption(QStringLiteral("screenshot"), QString(), QStringLiteral("file"));
    screenshotOption.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(screenshotOption);
    parser.process(application);

    const QString programFolder = QCoreApplication::applicationDirPath();

    tovin::QtUserPrompts prompts;
    tovin::RecordStore records(programFolder, prompts);
    if (!tovin::prepareProgramFolder(programFolder, records, prompts))
        return 1;

    tovin::MainWindow frmMain;
    prompts.setOwner(&frmMain);
    frmMain.show();
    if (parser.isSet(screenshotOption))
        tovin::saveScreenshotAndQuit(frmMain, parser.value(screenshotOption), 1500);
    return application.exec();
}
