#include "lensbox/viewgeometry.h"

#include <tovin/numeric.h>

#include <algorithm>
#include <cmath>

namespace lensbox {

namespace {

// The largest side Qt gives a widget; a canvas beyond it could not be shown at
// the size the geometry reports.
constexpr double kMaxCanvasSide = 16777215.0;

int half(double length)
{
    return static_cast<int>(tovin::roundHalfEven(length / 2.0));
}

bool isCanvasSide(double pixels)
{
    return std::isfinite(pixels) && pixels >= 0.0 && pixels <= kMaxCanvasSide;
}

bool inRange(const ScrollBarState &bar, int value)
{
    return value >= std::min(bar.minimum, bar.maximum) && value <= std::max(bar.minimum, bar.maximum);
}

} // namespace

ViewGeometry::ViewGeometry(const SystemMetrics &metrics)
    : m_metrics(metrics)
{
}

void ViewGeometry::resizeControl(QSize outer, QSize inner)
{
    m_control = outer;
    if (m_frame == inner)
        return;
    m_frame = inner;
    frameResized();
}

void ViewGeometry::frameResized()
{
    updateScrollBars();
}

void ViewGeometry::showLoadedPicture(QSize nativeSize)
{
    m_canvas.setSize(nativeSize);

    // A picture smaller than the frame is first centred as if a bar took room
    // on that side; the thumb height stands for that room in both directions.
    const int mainW = m_frame.width();
    const int mainH = m_frame.height();
    const int viewW = m_canvas.width();
    const int viewH = m_canvas.height();
    m_canvas.moveLeft(viewW >= mainW ? half(mainW - viewW) : half(mainW - viewW - m_metrics.cyVThumb));
    m_canvas.moveTop(viewH >= mainH ? half(mainH - viewH) : half(mainH - viewH - m_metrics.cyVThumb));

    updateScrollBars();
}

void ViewGeometry::zoomCanvas(double zoom, int pictureWidth, int pictureHeight)
{
    const double width = tovin::roundHalfEven(zoom / 100.0 * pictureWidth);
    const double height = tovin::roundHalfEven(zoom / 100.0 * pictureHeight);
    if (isCanvasSide(width))
        m_canvas.setWidth(static_cast<int>(width));
    if (isCanvasSide(height))
        m_canvas.setHeight(static_cast<int>(height));
}

void ViewGeometry::updateScrollBars()
{
    // Both bars are decided before either side is placed: a picture that fits
    // one way is centred in the room the other bar leaves, so no pixel of it
    // lies under that bar where no scrolling could reach it.
    const bool fitsAcross = fits(Qt::Horizontal);
    const bool fitsDown = fits(Qt::Vertical);
    updateBar(Qt::Horizontal, fitsAcross, fitsDown ? 0 : m_metrics.cxHThumb);
    updateBar(Qt::Vertical, fitsDown, fitsAcross ? 0 : m_metrics.cyVThumb);

    m_cornerVisible = m_horizontal.visible && m_vertical.visible;
    layoutScrollBars();
    placeCorner();
}

// Whether the canvas fits beside a bar's thickness on this axis, in which case
// the axis needs no bar.
bool ViewGeometry::fits(Qt::Orientation orientation) const
{
    const bool across = orientation == Qt::Horizontal;
    const int frame = across ? m_frame.width() : m_frame.height();
    const int canvas = across ? m_canvas.width() : m_canvas.height();
    return frame - (across ? m_metrics.cxHThumb : m_metrics.cyVThumb) > canvas;
}

// One bar's half of the update, the same rule across and down: a canvas that
// fits is centred in the frame less the other bar and the bar hidden;
// otherwise the bar shows and the view goes to the middle of its range.
void ViewGeometry::updateBar(Qt::Orientation orientation, bool fitting, int otherBar)
{
    const bool across = orientation == Qt::Horizontal;
    ScrollBarState &bar = across ? m_horizontal : m_vertical;
    const int frame = across ? m_frame.width() : m_frame.height();
    const int canvas = across ? m_canvas.width() : m_canvas.height();
    if (fitting) {
        setBarValue(orientation, bar.minimum);
        bar.visible = false;
        moveCanvasEdge(orientation, half(frame - otherBar - canvas));
        return;
    }
    bar.visible = true;
    bar.minimum = 0;
    const int room = frame - (across ? m_metrics.cxHThumb : m_metrics.cyVThumb);
    const double maximum = tovin::roundHalfEven(double(room) - canvas - 4);
    // A range end beyond 16 bits is refused and the bar keeps its range; the
    // value taken from it is then dropped too when it falls outside that range.
    if (tovin::fitsInt16(maximum))
        bar.maximum = static_cast<int>(maximum);
    const double value = tovin::roundHalfEven((maximum - bar.minimum) / 2.0);
    if (tovin::fitsInt16(value))
        setBarValue(orientation, static_cast<int>(value));
}

void ViewGeometry::placeCorner()
{
    // The square where the laid-out bars meet.
    m_corner =
        QRect(m_horizontal.rect.width(), m_vertical.rect.height(), m_vertical.rect.width(), m_horizontal.rect.height());
}

void ViewGeometry::layoutScrollBars()
{
    const int W = m_control.width();
    const int H = m_control.height();
    QRect &h = m_horizontal.rect;
    QRect &v = m_vertical.rect;
    // Each bar is as thick as the room the fit test keeps for it.
    h.setHeight(m_metrics.cyVThumb);
    v.setWidth(m_metrics.cxHThumb);

    const int hWidth = m_vertical.visible ? W - v.width() - 2 * m_metrics.cxBorder : W - m_metrics.cxDlgFrame;
    h.moveTopLeft(QPoint(0, horizontalBarTop()));
    if (hWidth >= 0)
        h.setWidth(hWidth);

    const int vHeight = m_horizontal.visible ? H - h.height() - 2 * m_metrics.cyBorder : H - m_metrics.cyDlgFrame;
    v.moveTopLeft(QPoint(W - v.width() - m_metrics.cxDlgFrame, 0));
    if (vHeight >= 0)
        v.setHeight(vHeight);
}

int ViewGeometry::horizontalBarTop() const
{
    return m_control.height() - m_metrics.cyVThumb - m_metrics.cyDlgFrame;
}

bool ViewGeometry::setHorizontalValue(int value)
{
    return setBarValue(Qt::Horizontal, value);
}

bool ViewGeometry::setVerticalValue(int value)
{
    return setBarValue(Qt::Vertical, value);
}

bool ViewGeometry::setBarValue(Qt::Orientation orientation, int value)
{
    ScrollBarState &bar = orientation == Qt::Horizontal ? m_horizontal : m_vertical;
    if (!inRange(bar, value))
        return false;
    bar.value = value;
    moveCanvasEdge(orientation, value);
    return true;
}

void ViewGeometry::moveCanvasEdge(Qt::Orientation orientation, int position)
{
    if (orientation == Qt::Horizontal)
        m_canvas.moveLeft(position);
    else
        m_canvas.moveTop(position);
}

void ViewGeometry::pan(QPoint last, QPoint now)
{
    if (m_horizontal.visible && now.x() != last.x())
        setHorizontalValue(m_horizontal.value + (last.x() - now.x()));
    if (m_vertical.visible && now.y() != last.y())
        setVerticalValue(m_vertical.value + (last.y() - now.y()));
}

QRect ViewGeometry::quickToolbar(QSize toolbar) const
{
    const int lowestTop = horizontalBarTop() - kQuickToolbarLeft - toolbar.height();
    return {QPoint(kQuickToolbarLeft, std::max(0, std::min(kQuickToolbarTop, lowestTop))), toolbar};
}

ScrollPosition ViewGeometry::scrollPosition() const
{
    return {m_horizontal.maximum, m_horizontal.value, m_vertical.maximum, m_vertical.value};
}

void ViewGeometry::recallPosition(const ScrollPosition &stored)
{
    // Only the range ends are compared, not whether the bars are shown: a bar
    // hidden since the store gets its value back and the canvas follows it.
    if (m_vertical.maximum != stored.vMax || stored.hMax != m_horizontal.maximum)
        return;
    setHorizontalValue(stored.hValue);
    setVerticalValue(stored.vValue);
}

} // namespace lensbox
