#include "lensbox/systemmetrics.h"

#include <QStyle>

namespace lensbox {

SystemMetrics SystemMetrics::fromStyle(const QStyle &style)
{
    // The style's frame width is the border the control draws around itself.
    // The bars are placed from the control's outer size less a dialog frame,
    // which must cover that border on both sides for the bars to end flush
    // with the inside of the border.
    const int border = style.pixelMetric(QStyle::PM_DefaultFrameWidth);
    const int thumb = style.pixelMetric(QStyle::PM_ScrollBarExtent);
    SystemMetrics metrics;
    metrics.cxBorder = border;
    metrics.cyBorder = border;
    metrics.cxDlgFrame = 2 * border;
    metrics.cyDlgFrame = 2 * border;
    metrics.cxHThumb = thumb;
    metrics.cyVThumb = thumb;
    return metrics;
}

} // namespace lensbox
