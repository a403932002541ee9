#include "windowscreenshot.h"

#include <QApplication>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace tovin {

void saveScreenshotAndQuit(QWidget &window, const QString &file, int delayMs)
{
    QTimer::singleShot(delayMs, &window, [&window, file] {
        const bool saved = window.grab().save(file, "PNG");
        if (!saved)
            std::fprintf(stderr, "could not save %s\n", qPrintable(file));
        QApplication::exit(saved ? 0 : 1);
    });
}

} // namespace tovin
