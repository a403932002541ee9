#include "reducedpicture.h"

#include <QImageReader>

#include <algorithm>
#include <cmath>

namespace tovin {

QSize storedPictureSize(const QString &path)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    return reader.size();
}

QImage decodeReducedPicture(const QString &path, double zoomPercent)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    const QSize stored = reader.size();
    if (stored.isEmpty())
        return {};
    // The reduced size is that of the picture as stored; turning it upright
    // comes after.
    const double factor = zoomPercent / 100;
    reader.setScaledSize(QSize(std::max(1, int(std::lround(stored.width() * factor))),
                               std::max(1, int(std::lround(stored.height() * factor)))));
    return reader.read();
}

} // namespace tovin
