#include "pancursors.h"

#include <QBitmap>
#include <QPainter>

#include <cstdlib>

namespace lensbox {

namespace {

constexpr int kCursorSize = 32;
constexpr QPoint kHotSpot(8, 7);

// A four-way arrow reaching `reach` pixels from its centre, with arrowheads
// three pixels deep.
bool onArrow(int dx, int dy, int reach)
{
    const int ax = std::abs(dx);
    const int ay = std::abs(dy);
    if (ax > reach || ay > reach)
        return false;
    if (dx == 0 || dy == 0)
        return true;
    const bool horizontalHead = ax >= reach - 2 && ay <= reach - ax;
    const bool verticalHead = ay >= reach - 2 && ax <= reach - ay;
    return horizontalHead || verticalHead;
}

// Black arrow with a one-pixel white outline, so it shows on any picture; the
// outline makes the shape 2 x reach + 3 pixels across.
QCursor fourWayArrow(int reach)
{
    QBitmap shape(kCursorSize, kCursorSize);
    QBitmap mask(kCursorSize, kCursorSize);
    shape.fill(Qt::color0);
    mask.fill(Qt::color0);
    QPainter shapePainter(&shape);
    QPainter maskPainter(&mask);
    shapePainter.setPen(Qt::color1);
    maskPainter.setPen(Qt::color1);
    for (int dy = -reach - 1; dy <= reach + 1; ++dy) {
        for (int dx = -reach - 1; dx <= reach + 1; ++dx) {
            const QPoint pixel = kHotSpot + QPoint(dx, dy);
            if (onArrow(dx, dy, reach)) {
                shapePainter.drawPoint(pixel);
                maskPainter.drawPoint(pixel);
                continue;
            }
            bool touchesArrow = false;
            for (int ny = -1; ny <= 1 && !touchesArrow; ++ny) {
                for (int nx = -1; nx <= 1 && !touchesArrow; ++nx)
                    touchesArrow = onArrow(dx + nx, dy + ny, reach);
            }
            if (touchesArrow)
                maskPainter.drawPoint(pixel);
        }
    }
    shapePainter.end();
    maskPainter.end();
    return QCursor(shape, mask, kHotSpot.x(), kHotSpot.y());
}

} // namespace

std::optional<QCursor> loadPanCursor(int number)
{
    switch (number) {
    case kDraggingCursor:
        return fourWayArrow(5);
    case kPanCursor:
        return fourWayArrow(6);
    default:
        return std::nullopt;
    }
}

} // namespace lensbox
