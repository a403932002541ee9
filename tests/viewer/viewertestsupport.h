#pragma once

#include <lensbox/zoomwellctl.h>

#include <QApplication>
#include <QBitmap>
#include <QCursor>
#include <QDir>
#include <QImage>
#include <QRegion>
#include <QScrollBar>
#include <QString>
#include <QWheelEvent>
#include <QWidget>

namespace viewertest {

// Writes a one-colour picture of `size` into `folder` and returns its path.
inline QString writePicture(const QString &folder, const QString &name, QSize size, QColor color)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
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
    return cursor.shape() == Qt::BitmapCursor ? QRegion(cursor.mask()).boundingRect().width() : 0;
}

// Turns the mouse wheel over `widget` by `angle` eighths of a degree (120 is
// one notch), down for negative values; `across` turns a horizontal wheel.
inline void turnWheel(QWidget *widget, int angle, Qt::KeyboardModifiers modifiers = {}, bool across = false)
{
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    const QPoint delta = across ? QPoint(angle, 0) : QPoint(0, angle);
    QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), delta, Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

} // namespace viewertest
