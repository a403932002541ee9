#include "imageinfo.h"

#include "colourprofile.h"
#include "imageengine.h"
#include "numbertext.h"
#include "photofacts.h"
#include "runtimeerror.h"

#include <tovin/numeric.h>

#include <QFileInfo>

#include <cerrno>

namespace tovin {
namespace {

// 28.8 kbit/s, counted with 1024 bits to the kilobit, in bytes per second.
constexpr double kModemBytesPerSecond = 3686;

QString downloadTimeText(std::int64_t seconds)
{
    if (seconds <= 59)
        return QString::number(seconds) + QStringLiteral(" Secs");
    // Whole hours drop out: the minutes are shown modulo 60.
    const auto minutes = std::int64_t(roundHalfEven(seconds / 60.0)) % 60;
    return QString::number(minutes) + QStringLiteral(" Mins");
}

} // namespace

QString imageInfoText(const QString &path)
{
    const QFileInfo file(path);
    if (!file.isFile())
        throw RuntimeError::fromErrno(ENOENT, path);
    const std::int32_t bytes = toInt32(double(file.size()));
    const QSize size = imageFileSize(path);
    const std::int16_t width = toInt16(size.width());
    const std::int16_t height = toInt16(size.height());
    const auto seconds = std::int64_t(roundHalfEven(bytes / kModemBytesPerSecond));
    const auto kilobytes = std::int64_t(roundHalfEven(bytes / 1024.0));

    return QStringLiteral("File Size: %1 KB \n").arg(kilobytes)
        + QStringLiteral("Download Speed: %1 @28.8Kbps\n").arg(downloadTimeText(seconds))
        + QStringLiteral("Dimensions: (%1 x %2)").arg(width).arg(height);
}

QString publishingInfoText(const QString &path)
{
    const PhotoFacts facts = readPhotoFacts(path);
    QString profile = QStringLiteral("none");
    if (!facts.colourProfile.isEmpty()) {
        profile = colourProfileName(facts.colourProfile)
                      .value_or(QStringLiteral("unreadable (%1 bytes)").arg(facts.colourProfile.size()));
    }
    return QStringLiteral("Colour Profile: %1\n").arg(profile)
        + QStringLiteral("Location: %1")
              .arg(facts.carriesLocation ? QStringLiteral("GPS position") : QStringLiteral("none"));
}

} // namespace tovin
