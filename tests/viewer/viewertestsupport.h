#pragma once

#include <lensbox/zoomwellctl.h>

#include <QBitmap>
#include <QColor>
#include <QCursor>
#include <QDir>
#include <QImage>
#include <QScrollBar>
#include <QString>
#include <QWidget>

namespace viewertest {

// Writes a one-colour picture of `size` into `folder` and returns its path.
inline QString writePicture(const QString &folder, const QString &name, QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    const QString path = QDir(folder).filePath(name);
    return image.save(path) ? path : QString();
}

template<class Widget = QWidget> Widget *child(const lensbox::ZoomwellCtl &control, const char *name)
{
    return control.findChild<Widget *>(QString::fromLatin1(name));
}

// How many pixels across a cursor's visible shape is (0 for a shape cursor),
// which tells the control's two pan cursors apart.
inline int cursorShapeWidth(const QCursor &cursor)
{
    if (cursor.shape() != Qt::BitmapCursor)
        return 0;
    const QImage mask = cursor.mask().toImage();
    int first = mask.width();
    int last = -1;
    for (int y = 0; y < mask.height(); ++y) {
        for (int x = 0; x < mask.width(); ++x) {
            if (mask.pixelIndex(x, y) != mask.pixelIndex(0, 0)) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
        }
    }
    return last < 0 ? 0 : last - first + 1;
}

} // namespace viewertest
