#pragma once

#include <QList>
#include <QSize>
#include <QString>

namespace tovin::test {

// Writes a JPEG of exactly this size (a smooth colour gradient, so that
// resampling and quality differences are visible in its bytes).
bool writeTestJpeg(const QString &path, QSize size, int quality = 90);

// The first quantisation table of a JPEG file, in file order, or an empty
// list when the file has none. It tells the quality the file was written at.
QList<int> firstQuantisationTable(const QString &path);

// The table an IJG encoder writes for the luminance channel at a quality.
QList<int> expectedLuminanceTable(int quality);

} // namespace tovin::test
