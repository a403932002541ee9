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
    // Thumb sizes stand for the thickness of a bar that would take room from
    // the frame when deciding whether the picture fits.
    int cxHThumb = 0;
    int cyVThumb = 0;

    static SystemMetrics fromStyle(const QStyle &style);
};

} // namespace lensbox
