#include "programartwork.h"

#include "messagetable.h"
#include "programversion.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace tovin {
namespace {

constexpr QSize kSplashSize(480, 270);

// The emblem on a 64-unit grid: a tilted photograph with hills and a sun, a
// lens over its corner.
void drawEmblem(QPainter &painter)
{
    painter.save();
    painter.translate(30, 34);
    painter.rotate(-8);
    painter.setPen(QPen(QColor(0x55, 0x55, 0x55), 1.5));
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(QRectF(-24, -18, 48, 38), 2, 2);
    QLinearGradient sky(0, -14, 0, 14);
    sky.setColorAt(0, QColor(0x62, 0xa0, 0xea));
    sky.setColorAt(1, QColor(0xc6, 0xe0, 0xf7));
    painter.setPen(Qt::NoPen);
    painter.setBrush(sky);
    painter.drawRect(QRectF(-20, -14, 40, 28));
    painter.setBrush(QColor(0xf6, 0xd3, 0x2d));
    painter.drawEllipse(QPointF(10, -6), 4, 4);
    QPainterPath hills;
    hills.moveTo(-20, 14);
    hills.lineTo(-20, 4);
    hills.quadTo(-10, -6, 0, 4);
    hills.quadTo(8, -2, 20, 6);
    hills.lineTo(20, 14);
    hills.closeSubpath();
    painter.setBrush(QColor(0x33, 0xa1, 0x4a));
    painter.drawPath(hills);
    painter.restore();

    painter.setPen(QPen(QColor(0x24, 0x1f, 0x31), 5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(49, 49), QPointF(60, 60));
    painter.setPen(QPen(QColor(0x24, 0x1f, 0x31), 3));
    painter.setBrush(QColor(255, 255, 255, 90));
    painter.drawEllipse(QPointF(42, 42), 10, 10);
}

} // namespace

QPixmap programEmblem(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 64.0, size / 64.0);
    drawEmblem(painter);
    return pixmap;
}

QPixmap splashPicture()
{
    QPixmap pixmap(kSplashSize);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient background(0, 0, kSplashSize.width(), kSplashSize.height());
    background.setColorAt(0, QColor(0x1c, 0x71, 0xd8));
    background.setColorAt(1, QColor(0x0b, 0x2e, 0x5c));
    painter.fillRect(pixmap.rect(), background);

    painter.save();
    painter.translate(36, 60);
    painter.scale(2.4, 2.4);
    drawEmblem(painter);
    painter.restore();

    painter.setPen(Qt::white);
    QFont title = painter.font();
    title.setPixelSize(30);
    title.setBold(true);
    painter.setFont(title);
    painter.drawText(QRect(210, 80, 260, 80), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, message(116));
    QFont small = painter.font();
    small.setPixelSize(13);
    small.setBold(false);
    painter.setFont(small);
    painter.setPen(QColor(0xde, 0xe8, 0xf5));
    painter.drawText(QRect(212, 160, 250, 20), Qt::AlignLeft, programVersionText());
    painter.drawText(QRect(212, 180, 250, 20), Qt::AlignLeft, QStringLiteral("Photographs ready for the web"));
    return pixmap;
}

} // namespace tovin
