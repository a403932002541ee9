#pragma once

#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

#include <utility>

namespace tovin::test {

// A JPEG of this size: a colour gradient, so that resampling shows in its bytes.
bool writeTestJpeg(const QString &path, QSize size, int quality = 90);

// Copies of the shared photo orientation/Landscape_1.jpg, which carries no
// dates, each with the EXIF tags given ("DateTimeOriginal=2019:07:14
// 09:30:05", "CreateDate=..." for DateTimeDigitized) written by exiftool as
// they stand, however odd. False when exiftool is missing or refuses.
bool writeTaggedPhotos(const QList<std::pair<QString, QStringList>> &photos);

// A JPEG file's first quantisation table (it tells the quality), or none.
QList<int> firstQuantisationTable(const QString &path);

// The table an IJG encoder writes for the luminance channel at a quality.
QList<int> expectedLuminanceTable(int quality);

} // namespace tovin::test
