// How long the main window takes from a click to the picture in its viewer,
// and the longest time its event loop stood still meanwhile, for the preview
// of one photograph: the image as it is, and adjusted at two sizes.
//
//   previewlatency PHOTO.jpg [ROUNDS]
//
// Prints one line per round and a summary of medians. Run it with
// QT_QPA_PLATFORM=offscreen or under xvfb-run; bench/preview/run compares it
// with libvips making the same preview file.

#include "adjustmentfields.h"
#include "adjustmentpanel.h"
#include "benchprogramfolder.h"
#include "mainwindow.h"
#include "previewcontroller.h"
#include "recordstore.h"
#include "settingsstore.h"
#include "stallmeter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <cstdio>

using namespace tovin;

namespace {

struct Scenario {
    const char *name;
    bool unadjusted;
    const char *percent;
    int qualityPosition;
};

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: previewlatency PHOTO.jpg [ROUNDS]\n");
        return 2;
    }
    const QString photo = QString::fromLocal8Bit(argv[1]);
    const int rounds = argc > 2 ? std::max(1, atoi(argv[2])) : 5;

    QTemporaryDir folder;
    makeProgramFolder(folder.path());
    PrintedPrompts prompts;
    RecordStore store(folder.path(), prompts);
    if (!store.OpenRecordStore(QStringLiteral("/src/dbm/Tovindb.db"))) {
        std::fprintf(stderr, "no Record List beside the program\n");
        return 1;
    }

    // Nothing is read from or written to the settings: the window is not
    // loaded and not closed.
    SettingsStore settings(QStringLiteral("previewlatency"));
    MainWindow window(folder.path(), store, settings, prompts);
    AdjustmentPanel &panel = window.adjustments();
    window.show();
    // The photo is listed and chosen, as a click in the list would. The
    // rounds start once that preview is shown and the window has painted
    // itself for the first time, as it has long before a user clicks.
    {
        QEventLoop settled;
        QObject::connect(&panel.preview(), &PreviewController::previewShown, &settled,
                         [&] { QTimer::singleShot(200, &settled, &QEventLoop::quit); });
        window.showPath(photo);
        settled.exec();
    }

    const Scenario scenarios[] = {
        {"unadjusted", true, "100", 0},
        {"adjusted 25% q100", false, "25", 0},
        {"adjusted 100% q100", false, "100", 0},
    };
    QTextStream out(stdout);
    StallMeter stall;
    for (const Scenario &scenario : scenarios) {
        QList<double> clickToFirst;
        QList<double> clickToPicture;
        QList<double> stalls;
        for (int round = 0; round < rounds; ++round) {
            const MainWindowForm &form = window.form();
            form.widthInput->setText(QString::fromLatin1(scenario.percent));
            form.heightInput->setText(QString::fromLatin1(scenario.percent));
            form.brightInput->setText(QStringLiteral("0"));
            form.contrastInput->setText(QStringLiteral("0"));
            panel.fields().selectListPositions(0, scenario.qualityPosition);
            QEventLoop shown;
            QObject::connect(&panel.preview(), &PreviewController::previewShown, &shown, [&] {
                // The picture counts as shown once the window has painted it.
                QTimer::singleShot(0, &shown, &QEventLoop::quit);
            });
            QElapsedTimer clock;
            double first = -1;
            const auto firstSeen = [&] {
                if (first < 0)
                    first = clock.nsecsElapsed() / 1e6;
            };
            QObject::connect(&panel.preview(), &PreviewController::firstPictureShown, &shown, firstSeen);
            QObject::connect(&panel.preview(), &PreviewController::previewShown, &shown, firstSeen);
            stall.start();
            clock.start();
            if (scenario.unadjusted)
                panel.showImageRecord(photo);
            else
                form.previewButton->click();
            shown.exec();
            window.repaint();
            clickToPicture << clock.nsecsElapsed() / 1e6;
            clickToFirst << first;
            stalls << stall.stopMs();
            out << scenario.name << "\tround " << round + 1 << "\tfirst picture " << clickToFirst.last()
                << " ms\tfull picture " << clickToPicture.last() << " ms\tlongest stall " << stalls.last() << " ms\n";
            out.flush();
        }
        out << "MEDIAN\t" << scenario.name << "\t" << median(clickToFirst) << "\t" << median(clickToPicture) << "\t"
            << median(stalls) << "\n";
        out.flush();
    }
    return 0;
}
