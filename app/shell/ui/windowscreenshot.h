#pragma once

#include <QString>

class QWidget;

namespace tovin {

// Saves what `window` shows to a PNG file once pending paints are done, and
// ends the program; used to remake the documentation's pictures.
void saveScreenshotAndQuit(QWidget &window, const QString &file, int delayMs);

} // namespace tovin
