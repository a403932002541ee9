#pragma once

#include "lensbox/lensbox_export.h"

class QStyle;

namespace lensbox {

// The six platform sizes the view geometry combines. The control reads them
// from its style each time it lays out; tests give fixed values so every
// position can be checked to the pixel.
struct LENSBOX_EXPORT SystemMetrics {
    int cxBorder = 0;
    int cyBorder = 0;
    int cxDlgFrame = 0;
    int cyDlgFrame = 0;
    // Thumb sizes are the scroll bars' thickness: the room a bar takes from
    // the frame when deciding whether the picture fits, and the size it is
    // drawn at, so that the two never disagree.
    int cxHThumb = 0;
    int cyVThumb = 0;

    static SystemMetrics fromStyle(const QStyle &style);
};

} // namespace lensbox
