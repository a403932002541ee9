// How long the main window takes to list a big folder, next to the listings
// a user would otherwise run in a terminal.
//
//   tovin-listing-bench [--files N] [--rounds R]
//
// Makes a folder of N copies of one small JPEG (5000 by default), then runs,
// interleaved round by round: the main window's ListFolder (directory pass
// on a worker, list entries, icons, the list widget filled and painted), the
// listing rules alone (listFolderEntries, no widget), `ls -l` and
// `find -printf` with names, sizes and dates. Prints the median of each, the
// ratios, and the longest time the window's event loop stood still while
// ListFolder ran (the window repaints whenever it turns).

#include "imagelisting.h"
#include "mainwindow.h"
#include "qtuserprompts.h"
#include "recordstore.h"
#include "settingsstore.h"
#include "stallmeter.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double timeMs(const std::function<void()> &run)
{
    QElapsedTimer clock;
    clock.start();
    run();
    return clock.nsecsElapsed() / 1e6;
}

void runTool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(program, arguments);
    process.waitForFinished(-1);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption filesOption(QStringLiteral("files"), QStringLiteral("JPEG files in the folder."),
                                         QStringLiteral("n"), QStringLiteral("5000"));
    const QCommandLineOption roundsOption(QStringLiteral("rounds"), QStringLiteral("Timed rounds."),
                                          QStringLiteral("n"), QStringLiteral("7"));
    parser.addHelpOption();
    parser.addOptions({filesOption, roundsOption});
    parser.process(application);
    const int files = parser.value(filesOption).toInt();
    const int rounds = parser.value(roundsOption).toInt();

    QTemporaryDir folder;
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(QColor(90, 140, 200));
    const QString first = folder.filePath(QStringLiteral("IMG_00000.jpg"));
    picture.save(first, "JPEG", 80);
    for (int i = 1; i < files; ++i)
        QFile::copy(first, folder.filePath(QStringLiteral("IMG_%1.jpg").arg(i, 5, 10, QLatin1Char('0'))));

    QTemporaryDir settings;
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    const QString programFolder = QCoreApplication::applicationDirPath();
    tovin::QtUserPrompts prompts;
    tovin::RecordStore records(programFolder, prompts);
    tovin::SettingsStore store(QStringLiteral("listing-bench"));
    tovin::MainWindow window(programFolder, records, store, prompts);
    window.show();

    std::map<QString, std::vector<double>> times;
    std::vector<double> stalls;
    StallMeter stall;
    const QString path = folder.path();
    for (int round = 0; round <= rounds; ++round) {
        double longestStall = 0;
        const double list = timeMs([&] {
            QEventLoop listed;
            QObject::connect(&window, &tovin::MainWindow::folderListed, &listed, [&] {
                QTimer::singleShot(0, &listed, &QEventLoop::quit); // the list painted once
            });
            stall.start();
            window.ListFolder(path);
            listed.exec();
            longestStall = stall.stopMs();
        });
        const double entries = timeMs([&] { tovin::listFolderEntries(path); });
        const double ls = timeMs([&] { runTool(QStringLiteral("ls"), {QStringLiteral("-l"), path}); });
        const double find = timeMs([&] {
            runTool(QStringLiteral("find"),
                    {path, QStringLiteral("-maxdepth"), QStringLiteral("1"), QStringLiteral("-printf"),
                     QStringLiteral("%f %s %TY-%Tm-%Td %TT\n")});
        });
        if (round == 0)
            continue; // warm-up: page cache, first paint
        times[QStringLiteral("Tovin ListFolder")].push_back(list);
        stalls.push_back(longestStall);
        times[QStringLiteral("listFolderEntries")].push_back(entries);
        times[QStringLiteral("ls -l")].push_back(ls);
        times[QStringLiteral("find -printf")].push_back(find);
    }
    const int listed = window.form().ListView1->topLevelItemCount();
    std::printf("%d JPEG files (%d entries listed), %d rounds, medians:\n", files, listed, rounds);
    const double ours = median(times[QStringLiteral("Tovin ListFolder")]);
    for (const auto &[name, values] : times) {
        const double ms = median(values);
        std::printf("  %-18s %8.1f ms   Tovin / this = %.2f\n", qPrintable(name), ms, ours / ms);
    }
    std::printf("longest stall of the window during ListFolder: %.1f ms (median of the rounds)\n", median(stalls));
    return 0;
}
