#include "capturedate.h"

#include "exiv2use.h"
#include "imagelisting.h"
#include "jpegdecoder.h"

#include <exiv2/exiv2.hpp>

#include <QFile>

namespace tovin {
namespace {

std::optional<int> digits(QByteArrayView text, qsizetype from, qsizetype count)
{
    int value = 0;
    for (const char c : text.sliced(from, count)) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

// An EXIF date and time; a terminating NUL or blanks after it are allowed.
std::optional<QDateTime> exifDateTime(QByteArrayView text)
{
    while (!text.isEmpty() && (text.back() == '\0' || text.back() == ' '))
        text.chop(1);
    if (text.size() != qsizetype(sizeof "YYYY:MM:DD HH:MM:SS") - 1)
        return std::nullopt;
    for (const qsizetype at : {4, 7, 13, 16}) {
        if (text[at] != ':')
            return std::nullopt;
    }
    if (text[10] != ' ')
        return std::nullopt;
    const auto year = digits(text, 0, 4), month = digits(text, 5, 2), day = digits(text, 8, 2);
    const auto hour = digits(text, 11, 2), minute = digits(text, 14, 2), second = digits(text, 17, 2);
    if (!year || !month || !day || !hour || !minute || !second)
        return std::nullopt;
    const QDate date(*year, *month, *day);
    const QTime time(*hour, *minute, *second);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time, Qt::UTC);
}

} // namespace

std::optional<QDateTime> readCaptureDate(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // libjpeg finds the block, Exiv2 reads it. Exiv2's own reading of the
    // whole file would also parse the XMP packet, which its XMP toolkit
    // cannot do on several threads at once; the block alone it can.
    return captureDateOfExif(readJpegExif(&file));
}

std::optional<QDateTime> captureDateOfExif(const QByteArray &exif)
{
    if (exif.isEmpty())
        return std::nullopt;
    prepareExiv2();
    try {
        Exiv2::ExifData data;
        Exiv2::ExifParser::decode(data, reinterpret_cast<const Exiv2::byte *>(exif.constData()), uint32_t(exif.size()));
        static const Exiv2::ExifKey kOriginal("Exif.Photo.DateTimeOriginal");
        static const Exiv2::ExifKey kDigitized("Exif.Photo.DateTimeDigitized");
        for (const Exiv2::ExifKey *key : {&kOriginal, &kDigitized}) {
            const auto found = data.findKey(*key);
            if (found == data.end() || found->typeId() != Exiv2::asciiString)
                continue;
            const std::string text = found->toString();
            if (const std::optional<QDateTime> taken =
                    exifDateTime(QByteArrayView(text.data(), qsizetype(text.size()))))
                return taken;
        }
    } catch (const std::exception &) {
        // A block Exiv2 cannot read tells no date.
    }
    return std::nullopt;
}

QString imageDateText(const QString &path, const QLocale &locale)
{
    const std::optional<QDateTime> fileDate = fileDateTime(path);
    if (!fileDate)
        return {};
    return listDateText(readCaptureDate(path).value_or(*fileDate), locale);
}

QString shownOrImageDateText(const QString &path, const QString &shown)
{
    return shown.isEmpty() ? imageDateText(path) : shown;
}

} // namespace tovin
