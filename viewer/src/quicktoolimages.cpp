#include "quicktoolimages.h"

#include <QPainter>
#include <QPainterPath>

namespace lensbox {

namespace {

enum class Glyph { Plus, Minus, Frame };

QPixmap drawImage(Glyph glyph)
{
    QPixmap image(kQuickToolImageSize, kQuickToolImageSize);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor ink(40, 40, 40);

    if (glyph == Glyph::Frame) {
        painter.setPen(QPen(ink, 1.5));
        painter.setBrush(Qt::white);
        painter.drawRect(QRectF(2.5, 3.5, 13, 11));
        painter.fillRect(QRectF(2.5, 3.5, 13, 3), ink);
        return image;
    }

    // A magnifying glass: lens top left, handle towards the bottom right.
    painter.setPen(QPen(ink, 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(11.5, 11.5), QPointF(16, 16));
    painter.setPen(QPen(ink, 1.5));
    painter.setBrush(QColor(235, 244, 255));
    painter.drawEllipse(QPointF(7.5, 7.5), 5.5, 5.5);
    painter.setPen(QPen(ink, 1.5));
    painter.drawLine(QPointF(5, 7.5), QPointF(10, 7.5));
    if (glyph == Glyph::Plus)
        painter.drawLine(QPointF(7.5, 5), QPointF(7.5, 10));
    return image;
}

} // namespace

QList<QPixmap> quickToolImages()
{
    return {drawImage(Glyph::Plus), drawImage(Glyph::Minus), drawImage(Glyph::Frame)};
}

} // namespace lensbox
