#include "lensbox/pictureloader.h"

#include <QImageReader>

#include <algorithm>

namespace lensbox {

namespace {

// Qt refuses pictures above 128 MB of pixels by default, which an 8000 x 6000
// photo already exceeds. A gigabyte still refuses headers that claim absurd
// sizes before any memory is taken.
constexpr int kAllocationLimitMb = 1024;

} // namespace

QImage loadPictureFile(const QString &path)
{
    QImageReader::setAllocationLimit(std::max(QImageReader::allocationLimit(), kAllocationLimitMb));

    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    QImage image;
    if (!reader.read(&image))
        return {};
    return inPaintFormat(std::move(image));
}

PictureRef loadPicture(const QString &path)
{
    return makePicture(loadPictureFile(path));
}

QImage inPaintFormat(QImage image)
{
    // Painting scales the picture on every repaint; these two formats are the
    // ones the raster engine scales fastest.
    const auto format = image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    return image.isNull() || image.format() == format ? image : std::move(image).convertToFormat(format);
}

} // namespace lensbox
