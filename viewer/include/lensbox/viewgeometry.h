#pragma once

#include "lensbox/lensbox_export.h"
#include "lensbox/systemmetrics.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <Qt>

namespace lensbox {

// A scroll bar as the control sees it. The range runs from 0 down to a
// negative maximum, so moving the thumb right or down lowers the value and
// shifts the canvas left or up by the same amount.
struct ScrollBarState {
    bool visible = false;
    int minimum = 0;
    int maximum = 0;
    int value = 0;
    QRect rect; // inside the frame
};

// Both bars' range ends and values, as StorePosition keeps them.
struct ScrollPosition {
    int hMax = 0;
    int hValue = 0;
    int vMax = 0;
    int vValue = 0;

    friend bool operator==(const ScrollPosition &, const ScrollPosition &) = default;
};

// Where the canvas, the two scroll bars and the corner box sit inside the
// frame, for a given control size, canvas size and zoom. It owns no window: the
// control copies the result onto its child widgets, and tests drive it alone.
class LENSBOX_EXPORT ViewGeometry
{
public:
    static constexpr int kSmallChange = 5;
    static constexpr int kLargeChange = 20;
    // The quick toolbar's place as built: in from the control's left edge,
    // down from its top.
    static constexpr int kQuickToolbarLeft = 8;
    static constexpr int kQuickToolbarTop = 168;

    explicit ViewGeometry(const SystemMetrics &metrics = {});

    const SystemMetrics &metrics() const { return m_metrics; }
    void setMetrics(const SystemMetrics &metrics) { m_metrics = metrics; }

    QSize controlSize() const { return m_control; }
    QSize frameSize() const { return m_frame; }
    QRect canvas() const { return m_canvas; }
    const ScrollBarState &horizontal() const { return m_horizontal; }
    const ScrollBarState &vertical() const { return m_vertical; }
    bool cornerVisible() const { return m_cornerVisible; }
    QRect corner() const { return m_corner; }

    // The control was resized: the frame takes the control's inner size and,
    // when that changed, lays itself out again (which re-centres the view).
    void resizeControl(QSize outer, QSize inner);

    // A new picture of this native size was given to the canvas.
    void showLoadedPicture(QSize nativeSize);

    // Canvas size for a zoom in percent of the native picture size. A size
    // that is negative or not a number of pixels a window can have is not
    // applied, so that side keeps its size.
    void zoomCanvas(double zoom, int pictureWidth, int pictureHeight);

    void updateScrollBars();
    void layoutScrollBars();

    // Setting a value moves the canvas edge to it. A value outside the bar's
    // range is dropped (returns false) and nothing moves.
    bool setHorizontalValue(int value);
    bool setVerticalValue(int value);

    // One step of a mouse drag from `last` to `now`: each visible bar moves
    // the canvas by the mouse's distance, opposite to the mouse.
    void pan(QPoint last, QPoint now);

    // Where a quick toolbar of this size sits in the control. It keeps its
    // place as built while it stays clear of the horizontal bar's place (shown
    // or not) by the same gap it keeps from the left edge; in a lower control
    // it rests that gap above the bar's place instead, never above the top.
    // So the toolbar is always inside the control, and never moves with a bar.
    QRect quickToolbar(QSize toolbar) const;

    ScrollPosition scrollPosition() const;
    // Restores the values only when both range ends still match.
    void recallPosition(const ScrollPosition &stored);

private:
    void frameResized();
    bool fits(Qt::Orientation orientation) const;
    void updateBar(Qt::Orientation orientation, bool fitting, int otherBar);
    bool setBarValue(Qt::Orientation orientation, int value);
    void moveCanvasEdge(Qt::Orientation orientation, int position);
    void placeCorner();
    int horizontalBarTop() const;

    SystemMetrics m_metrics;
    QSize m_control;
    QSize m_frame;
    QRect m_canvas;
    ScrollBarState m_horizontal;
    ScrollBarState m_vertical;
    bool m_cornerVisible = false;
    QRect m_corner;
};

} // namespace lensbox
