#include "buttonpictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace tovin {
namespace {

const char *themeName(ButtonPicture which)
{
    switch (which) {
    case ButtonPicture::BrowseFolder:
        return "folder-open";
    case ButtonPicture::Preview:
        return "document-print-preview";
    case ButtonPicture::Save:
        return "document-save";
    case ButtonPicture::Clear:
        // The themes draw it in grey alone, so that it looks disabled even
        // when it is not: ours is always used.
        return "";
    case ButtonPicture::TrashAll:
        return "user-trash";
    case ButtonPicture::About:
        return "help-about";
    }
    return "";
}

// Simple shapes on a 16-unit grid, scaled to the size asked for.
void drawPicture(QPainter &painter, ButtonPicture which)
{
    const QColor ink(0x3d, 0x3d, 0x3d);
    painter.setPen(QPen(ink, 1.2));
    switch (which) {
    case ButtonPicture::BrowseFolder:
        painter.setBrush(QColor(0xe5, 0xb5, 0x4a));
        painter.drawPolygon(QPolygonF({{1.5, 3.5}, {6, 3.5}, {7.5, 5}, {14.5, 5}, {14.5, 13.5}, {1.5, 13.5}}));
        painter.setBrush(QColor(0xf6, 0xd3, 0x7a));
        painter.drawPolygon(QPolygonF({{1.5, 13.5}, {3.5, 7.5}, {15.5, 7.5}, {14.5, 13.5}}));
        break;
    case ButtonPicture::Preview:
        painter.setBrush(QColor(0xdd, 0xee, 0xff));
        painter.drawEllipse(QPointF(6.5, 6.5), 4.5, 4.5);
        painter.setPen(QPen(ink, 2.4, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(10, 10), QPointF(14.5, 14.5));
        break;
    case ButtonPicture::Save:
        painter.setBrush(QColor(0x4a, 0x7a, 0xc0));
        painter.drawRect(QRectF(1.5, 1.5, 13, 13));
        painter.setBrush(Qt::white);
        painter.drawRect(QRectF(4, 1.5, 8, 5));
        painter.drawRect(QRectF(3.5, 9, 9, 5.5));
        break;
    case ButtonPicture::Clear:
        // An eraser, its sleeve red, over the line it rubs out.
        painter.setBrush(QColor(0xcf, 0xe3, 0xf7));
        painter.drawPolygon(QPolygonF({{2.5, 9.5}, {5.1, 6.9}, {9.6, 11.4}, {7, 14}}));
        painter.setBrush(QColor(0xe0, 0x4a, 0x5f));
        painter.drawPolygon(QPolygonF({{5.1, 6.9}, {9, 3}, {13.5, 7.5}, {9.6, 11.4}}));
        painter.setPen(QPen(ink, 1.2, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(9.5, 14.5), QPointF(14.5, 14.5));
        break;
    case ButtonPicture::TrashAll:
        painter.setBrush(QColor(0xb8, 0xb8, 0xb8));
        painter.drawRect(QRectF(3.5, 4.5, 9, 10));
        painter.drawLine(QPointF(1.5, 3), QPointF(14.5, 3));
        painter.drawLine(QPointF(6, 1.5), QPointF(10, 1.5));
        painter.drawLine(QPointF(6.5, 6.5), QPointF(6.5, 12.5));
        painter.drawLine(QPointF(9.5, 6.5), QPointF(9.5, 12.5));
        break;
    case ButtonPicture::About:
        painter.setBrush(QColor(0x35, 0x84, 0xe4));
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(QPointF(8, 8), 7, 7);
        painter.setBrush(Qt::white);
        painter.drawEllipse(QPointF(8, 4.5), 1.2, 1.2);
        painter.drawRect(QRectF(7, 6.8, 2, 6));
        break;
    }
}

QPixmap ownPicture(ButtonPicture which, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 16.0, size / 16.0);
    drawPicture(painter, which);
    return pixmap;
}

} // namespace

QIcon buttonPicture(ButtonPicture which, int size)
{
    const QString name = QString::fromLatin1(themeName(which));
    if (!name.isEmpty() && QIcon::hasThemeIcon(name))
        return QIcon::fromTheme(name);
    return QIcon(ownPicture(which, size));
}

void useFallbackIconTheme()
{
    QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
}

} // namespace tovin
