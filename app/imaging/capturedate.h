#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QLocale>
#include <QString>

#include <optional>

namespace tovin {

// When the photo was taken: its EXIF DateTimeOriginal, else its
// DateTimeDigitized, each "YYYY:MM:DD HH:MM:SS". Cameras that do not know the
// time write "0000:00:00 00:00:00", blanks or anything else: that is no date.
// The time is the camera's clock as it stood, in no zone, so that no time
// zone or daylight-saving change moves it. Nothing when the file has neither
// as a date, or no EXIF block, or cannot be read.
std::optional<QDateTime> readCaptureDate(const QString &path);
// The same from a JPEG's EXIF block (readJpegExif).
std::optional<QDateTime> captureDateOfExif(const QByteArray &exif);

// The "Date Created" text of an image: when the photo was taken where it
// tells, else when the file came to be (fileDateTime), as listDateText writes
// it. Empty when the file cannot be reached or is no regular file.
QString imageDateText(const QString &path, const QLocale &locale = QLocale::system());

// The date text a list line shows for an image, or, while the list has not
// read it yet (empty), the same text read now.
QString shownOrImageDateText(const QString &path, const QString &shown);

} // namespace tovin
