#include "picturebox.h"

#include "olecolor.h"
#include "rasterop.h"

#include <QApplication>
#include <QEvent>
#include <QImageReader>
#include <QPaintEvent>

#include <cmath>

namespace lensbox {

PictureBox::PictureBox(const QString &name, QWidget *parent)
    : QWidget(parent)
{
    setObjectName(name);
    setAutoFillBackground(true);
    applyBackColor();
}

void PictureBox::setBackColor(OleColor color)
{
    m_backColor = color;
    applyBackColor();
}

void PictureBox::applyBackColor()
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, toQColor(m_backColor, QApplication::palette()));
    setPalette(pal);
}

void PictureBox::setPicture(PictureRef picture)
{
    m_picture = std::move(picture);
    update();
}

void PictureBox::cls()
{
    m_strokes.clear();
    update();
}

void PictureBox::paintPicture(const PictureRef &picture, float x1, float y1, std::optional<float> width1,
                              std::optional<float> height1, std::optional<float> x2, std::optional<float> y2,
                              std::optional<float> width2, std::optional<float> height2, std::optional<qint32> opcode)
{
    const auto mode = compositionFor(opcode.value_or(kSourceCopy));
    if (!holdsPicture(picture) || !mode)
        return;

    const QRectF source(x2.value_or(0.0f), y2.value_or(0.0f), width2.value_or(float(picture->size().width())),
                        height2.value_or(float(picture->size().height())));
    if (source.width() == 0.0 || source.height() == 0.0)
        return;
    const qreal targetWidth = width1.value_or(float(source.width()));
    const qreal targetHeight = height1.value_or(float(source.height()));

    // Negative sizes mirror the picture around (x1, y1).
    QTransform placement;
    placement.translate(x1, y1);
    placement.scale(targetWidth / source.width(), targetHeight / source.height());
    const Stroke stroke{picture, placement, source, *mode, {}};

    if (coversBox(stroke))
        m_strokes.clear(); // everything drawn so far is hidden for good
    m_strokes.append(stroke);
    if (!m_painting)
        update();
}

// A plain copy over the whole box hides everything drawn before it, or lets it
// show only through its transparent parts. Those older drawings are dropped all
// the same: keeping them would make every repaint after a run of zooms redraw
// the whole run.
bool PictureBox::coversBox(const Stroke &stroke) const
{
    const QImage &image = stroke.picture->image();
    if (stroke.mode != QPainter::CompositionMode_SourceOver)
        return false;
    if (!QRectF(image.rect()).contains(stroke.source))
        return false;
    const QRectF target = stroke.placement.mapRect(QRectF(QPointF(0, 0), stroke.source.size()));
    return target.contains(QRectF(rect()));
}

PictureRef PictureBox::image() const
{
    const qint64 bytes = qint64(width()) * height() * 4;
    if (width() <= 0 || height() <= 0 || bytes > qint64(QImageReader::allocationLimit()) * 1024 * 1024)
        return makePicture({});
    QImage composed(size(), QImage::Format_ARGB32_Premultiplied);
    composed.fill(palette().color(QPalette::Window));
    QPainter painter(&composed);
    render(painter);
    painter.end();
    return makePicture(std::move(composed));
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    m_painting = true;
    if (!m_autoRedraw)
        emit paintRequested();

    QPainter painter(this);
    painter.setClipRegion(event->region());
    render(painter);
    painter.end();

    if (!m_autoRedraw)
        m_strokes.clear();
    m_painting = false;
}

void PictureBox::render(QPainter &painter) const
{
    if (holdsPicture(m_picture))
        painter.drawImage(QPointF(0, 0), m_picture->image());
    for (const Stroke &stroke : m_strokes)
        drawStroke(painter, stroke);
}

void PictureBox::drawStroke(QPainter &painter, const Stroke &stroke)
{
    painter.save();
    painter.setCompositionMode(stroke.mode);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, stroke.placement.type() > QTransform::TxTranslate);
    painter.setTransform(stroke.placement, true);

    // Filtering while drawing blends the four source pixels nearest to each
    // target pixel. Below half size that skips source pixels, and fine detail
    // turns into noise; such a drawing is made from a copy that averages all
    // of them, once, at its first repaint, starting from the picture's own
    // reduced copy nearest in size.
    const QSizeF target(std::abs(stroke.placement.m11()) * stroke.source.width(),
                        std::abs(stroke.placement.m22()) * stroke.source.height());
    const QSize reducedSize = target.toSize().expandedTo(QSize(1, 1));
    const bool reduces = stroke.placement.type() <= QTransform::TxScale
        && (2 * reducedSize.width() < stroke.source.width() || 2 * reducedSize.height() < stroke.source.height());
    if (!reduces) {
        painter.drawImage(QPointF(0, 0), stroke.picture->image(), stroke.source);
    } else {
        if (stroke.reduced.isNull()) {
            const PictureObject::Source nearest = stroke.picture->sourceFor(stroke.source, reducedSize);
            const QRect part = nearest.part.toAlignedRect();
            const QImage source = part == nearest.image.rect() ? nearest.image : nearest.image.copy(part);
            stroke.reduced = source.scaled(reducedSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        }
        painter.scale(stroke.source.width() / stroke.reduced.width(), stroke.source.height() / stroke.reduced.height());
        painter.drawImage(QPointF(0, 0), stroke.reduced);
    }
    painter.restore();
}

void PictureBox::changeEvent(QEvent *event)
{
    // System colours follow the application's palette when it changes.
    if (event->type() == QEvent::ApplicationPaletteChange)
        applyBackColor();
    QWidget::changeEvent(event);
}

} // namespace lensbox
