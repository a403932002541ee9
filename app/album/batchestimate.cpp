#include "batchestimate.h"

#include "imageengine.h"
#include "numbertext.h"

#include <QFileInfo>

namespace tovin {
namespace {

// In the units the program's image information uses: KB of 1024 bytes.
QString sizeText(qint64 bytes)
{
    if (bytes < 1024)
        return QStringLiteral("%1 bytes").arg(bytes);
    const char *units[] = {"KB", "MB", "GB"};
    double size = double(bytes) / 1024;
    int unit = 0;
    while (size >= 1024 && unit < 2) {
        size /= 1024;
        ++unit;
    }
    return QStringLiteral("%1 %2").arg(size, 0, 'f', 1).arg(QLatin1String(units[unit]));
}

} // namespace

QString BatchEstimate::text() const
{
    QString text = (images == 1 ? QStringLiteral("1 image, ") : QStringLiteral("%1 images, ").arg(images))
        + sizeText(originalBytes);
    if (projectedBytes)
        text +=
            (album ? QStringLiteral("; album about ") : QStringLiteral("; output about ")) + sizeText(*projectedBytes);
    return text;
}

BatchEstimate estimateBatch(const QList<BatchItem> &items)
{
    BatchEstimate estimate;
    for (const BatchItem &item : items) {
        if (!item.selected || item.kind != ListEntryKind::Image)
            continue;
        ++estimate.images;
        estimate.originalBytes += QFileInfo(item.key).size();
    }
    return estimate;
}

void projectOutput(BatchEstimate &estimate, int done, qint64 writtenBytes)
{
    if (done <= 0 || writtenBytes <= 0) {
        estimate.projectedBytes.reset();
        return;
    }
    estimate.projectedBytes = writtenBytes * estimate.images / done;
}

void projectFromPhotos(BatchEstimate &estimate, const QList<SurveyedPhoto> &photos, const BatchRequest &request)
{
    estimate.album = request.mode != BatchMode::ScaleOnly;
    estimate.projectedBytes.reset();
    if (request.mode == BatchMode::AlbumOnly)
        return;
    const std::optional<double> widthPercent = parseNumberText(request.adjustments.width);
    const std::optional<double> heightPercent = parseNumberText(request.adjustments.height);
    double bytes = 0;
    for (const SurveyedPhoto &photo : photos) {
        if (photo.size.isEmpty())
            continue;
        const double bytesPerPixel = double(photo.bytes) / (double(photo.size.width()) * photo.size.height());
        const auto weight = [&](QSize size) { return bytesPerPixel * size.width() * size.height(); };
        const std::optional<QSize> scaled =
            widthPercent && heightPercent ? rescaledSize(photo.size, *widthPercent, *heightPercent) : photo.size;
        bytes += weight(scaled.value_or(photo.size));
        if (request.mode == BatchMode::ScaleAndAlbum)
            bytes += request.slidesFitWithin > 0 ? weight(fittedSize(photo.size, request.slidesFitWithin))
                                                 : double(photo.bytes);
    }
    estimate.projectedBytes = qint64(bytes);
}

} // namespace tovin
