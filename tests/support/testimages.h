#pragma once

#include <QList>
#include <QSize>
#include <QString>

namespace tovin::test {

// A JPEG of this size: a colour gradient, so that resampling shows in its bytes.
bool writeTestJpeg(const QString &path, QSize size, int quality = 90);

// A JPEG file's first quantisation table (it tells the quality), or none.
QList<int> firstQuantisationTable(const QString &path);

// The table an IJG encoder writes for the luminance channel at a quality.
QList<int> expectedLuminanceTable(int quality);

} // namespace tovin::test
