// How long the main window takes to list a big folder of photos and to show
// their capture dates, next to the listings a user would otherwise run in a
// terminal.
//
//   tovin-listing-bench [--files N] [--rounds R] [--photos DIR]
//
// Makes a folder of N photos (5000 by default): copies, under new names, of
// the JPEGs in DIR (the shared orientation photos by default), each source
// first given its own EXIF capture date by exiftool. Then runs, interleaved
// round by round: the main window's ListFolder, timed until the list is
// filled and painted ("list shown") and until every image shows its date
// ("dates complete"); the listing rules alone (listFolderEntries, no widget);
// the dates alone, read one after the other on one thread (imageDateText);
// `ls -l` and `find -printf` with names, sizes and dates. Prints the median of
// each, the ratios, and the longest time the window's event loop stood still
// from the listing's start until its dates were in (the window repaints
// whenever it turns). The files are in the page cache: a first listing of a
// folder on a cold disk also waits for the disk.

#include "capturedate.h"
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

bool runTool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(program, arguments);
    return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// The photos of `source`, each given a capture date of its own, copied
// round-robin into `folder` until it holds `count` files.
bool makeDatedFolder(const QString &source, const QString &folder, int count)
{
    const QFileInfoList photos = QDir(source).entryInfoList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name);
    if (photos.isEmpty())
        return false;
    QStringList dated;
    QStringList arguments;
    for (const QFileInfo &photo : photos) {
        const QString copy = QDir(folder).filePath(QStringLiteral("source-") + photo.fileName());
        if (!QFile::copy(photo.filePath(), copy) || !QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner))
            return false;
        dated << copy;
        arguments << QStringLiteral("-DateTimeOriginal=2019:07:%1 09:30:05").arg(dated.size(), 2, 10, QLatin1Char('0'))
                  << copy << QStringLiteral("-execute");
    }
    arguments << QStringLiteral("-common_args") << QStringLiteral("-q") << QStringLiteral("-overwrite_original");
    if (!runTool(QStringLiteral("exiftool"), arguments))
        return false;
    for (int i = 0; i < count; ++i) {
        if (!QFile::copy(dated.at(i % dated.size()),
                         QDir(folder).filePath(QStringLiteral("IMG_%1.jpg").arg(i, 5, 10, QLatin1Char('0')))))
            return false;
    }
    for (const QString &copy : dated)
        QFile::remove(copy);
    return true;
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
    const QCommandLineOption photosOption(QStringLiteral("photos"), QStringLiteral("Folder of the source photos."),
                                          QStringLiteral("dir"), QStringLiteral(TOVIN_BENCH_PHOTOS));
    parser.addHelpOption();
    parser.addOptions({filesOption, roundsOption, photosOption});
    parser.process(application);
    const int files = parser.value(filesOption).toInt();
    const int rounds = parser.value(roundsOption).toInt();

    QTemporaryDir folder;
    if (!makeDatedFolder(parser.value(photosOption), folder.path(), files)) {
        std::fprintf(stderr, "Could not make the photos (are they in %s, is exiftool installed?)\n",
                     qPrintable(parser.value(photosOption)));
        return 1;
    }

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
    QStringList paths;
    for (const tovin::ListEntry &entry : tovin::listFolderEntries(path)) {
        if (entry.kind == tovin::ListEntryKind::Image)
            paths << entry.key;
    }
    for (int round = 0; round <= rounds; ++round) {
        double shown = 0;
        QElapsedTimer clock;
        QEventLoop dated;
        QObject::connect(&window, &tovin::MainWindow::folderListed, &dated, [&] {
            QTimer::singleShot(0, &dated, [&] { shown = clock.nsecsElapsed() / 1e6; }); // the list painted once
        });
        QObject::connect(&window, &tovin::MainWindow::datesListed, &dated, &QEventLoop::quit);
        stall.start();
        clock.start();
        window.ListFolder(path);
        dated.exec();
        const double complete = clock.nsecsElapsed() / 1e6;
        const double longestStall = stall.stopMs();
        const double entries = timeMs([&] { tovin::listFolderEntries(path); });
        const double dates = timeMs([&] {
            for (const QString &image : paths)
                tovin::imageDateText(image);
        });
        const double ls = timeMs([&] { runTool(QStringLiteral("ls"), {QStringLiteral("-l"), path}); });
        const double find = timeMs([&] {
            runTool(QStringLiteral("find"),
                    {path, QStringLiteral("-maxdepth"), QStringLiteral("1"), QStringLiteral("-printf"),
                     QStringLiteral("%f %s %TY-%Tm-%Td %TT\n")});
        });
        if (round == 0)
            continue; // warm-up: page cache, first paint
        times[QStringLiteral("list shown")].push_back(shown);
        times[QStringLiteral("dates complete")].push_back(complete);
        stalls.push_back(longestStall);
        times[QStringLiteral("listFolderEntries")].push_back(entries);
        times[QStringLiteral("dates, one thread")].push_back(dates);
        times[QStringLiteral("ls -l")].push_back(ls);
        times[QStringLiteral("find -printf")].push_back(find);
    }
    const QTreeWidget *list = window.form().ListView1;
    int undated = 0;
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        undated += paths.contains(path + u'/' + list->topLevelItem(row)->text(0))
            && list->topLevelItem(row)->text(1).isEmpty();
    std::printf("%d photos (%d entries listed, %d photos without a date), %d rounds, medians:\n", files,
                list->topLevelItemCount(), undated, rounds);
    const double ours = median(times[QStringLiteral("list shown")]);
    for (const auto &[name, values] : times) {
        const double ms = median(values);
        std::printf("  %-18s %8.1f ms   list shown / this = %.2f\n", qPrintable(name), ms, ours / ms);
    }
    std::printf("longest stall of the window until the dates were in: %.1f ms (median of the rounds)\n",
                median(stalls));
    return 0;
}
