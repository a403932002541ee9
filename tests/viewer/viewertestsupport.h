#pragma once

#include <lensbox/zoomwellctl.h>

#include <QApplication>
#include <QBitmap>
#include <QColor>
#include <QCursor>
#include <QDir>
#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
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

// A paint device that draws nothing and counts the pictures painted onto it:
// rendering a widget into it tells how much work one repaint of it does.
class DrawCounter : public QPaintDevice
{
public:
    explicit DrawCounter(QSize size)
        : m_size(size)
    {
    }
    ~DrawCounter() override = default;

    int pictures() const { return m_engine.pictures; }
    QPaintEngine *paintEngine() const override { return &m_engine; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
        case PdmWidthMM:
            return m_size.width();
        case PdmHeight:
        case PdmHeightMM:
            return m_size.height();
        case PdmDepth:
            return 32;
        case PdmNumColors:
            return INT_MAX;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        default:
            return 96; // the dots per inch
        }
    }

private:
    struct Engine : QPaintEngine {
        int pictures = 0;
        bool begin(QPaintDevice *) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState &) override { }
        void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override { ++pictures; }
        void drawImage(const QRectF &, const QImage &, const QRectF &, Qt::ImageConversionFlags) override
        {
            ++pictures;
        }
        void drawPolygon(const QPointF *, int, PolygonDrawMode) override { }
        void drawPath(const QPainterPath &) override { }
        Type type() const override { return User; }
    };

    QSize m_size;
    mutable Engine m_engine;
};

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
