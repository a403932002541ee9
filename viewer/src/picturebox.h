#pragma once

#include "lensbox/hostvalues.h"
#include "lensbox/pictureobject.h"

#include <QList>
#include <QPainter>
#include <QTransform>
#include <QWidget>

#include <optional>

namespace lensbox {

// One of the control's picture boxes: a back colour, an own picture drawn at
// native size from the top-left corner, and on top of it a drawing layer that
// PaintPicture draws into and Cls empties. The drawing layer keeps what was
// drawn as a list of strokes painted at repaint time, so a picture zoomed far
// beyond the screen never needs a backing image of that size.
class PictureBox : public QWidget
{
    Q_OBJECT

public:
    PictureBox(const QString &name, QWidget *parent);

    OleColor backColor() const { return m_backColor; }
    void setBackColor(OleColor color);

    const PictureRef &picture() const { return m_picture; }
    void setPicture(PictureRef picture);

    // With AutoRedraw on the drawing layer survives repaints; with it off a
    // repaint loses it and asks for it to be drawn again.
    bool autoRedraw() const { return m_autoRedraw; }
    void setAutoRedraw(bool on) { m_autoRedraw = on; }

    void cls();

    // Draws `picture` with its top-left corner at (x1, y1), scaled to
    // width1 x height1, taking the part (x2, y2, width2, height2) of it,
    // combined by the raster operation `opcode`. A missing size means the
    // source size, a missing source part the whole picture, a missing opcode a
    // plain copy. An empty picture or an unknown opcode draws nothing.
    void paintPicture(const PictureRef &picture, float x1, float y1, std::optional<float> width1,
                      std::optional<float> height1, std::optional<float> x2, std::optional<float> y2,
                      std::optional<float> width2, std::optional<float> height2, std::optional<qint32> opcode);

    // What the box shows: back colour, own picture and drawing layer, as one
    // picture of the box's size (empty when that size cannot be allocated).
    PictureRef image() const;

signals:
    // The drawing layer was lost with a repaint (AutoRedraw off).
    void paintRequested();

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    struct Stroke {
        PictureRef picture;
        QTransform placement; // maps the source part onto the canvas
        QRectF source;
        QPainter::CompositionMode mode;
        // The source part averaged down to the drawn size, for a stroke that
        // reduces it to less than half; made at its first repaint.
        mutable QImage reduced;
    };

    void applyBackColor();
    void render(QPainter &painter) const;
    bool coversBox(const Stroke &stroke) const;
    static void drawStroke(QPainter &painter, const Stroke &stroke);

    OleColor m_backColor = kButtonFace;
    PictureRef m_picture;
    QList<Stroke> m_strokes;
    bool m_autoRedraw = true;
    bool m_painting = false;
};

} // namespace lensbox
