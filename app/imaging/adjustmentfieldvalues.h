#pragma once

#include "imageengine.h"

#include <QString>

#include <cstdint>

namespace tovin {

// What the main window's Image Adjustments and description fields hold: the
// four numbers as typed, the two list positions (-1 for no selection) and
// the description.
struct AdjustmentFieldValues {
    QString widthPercent;
    QString heightPercent;
    QString brightness;
    QString contrast;
    int filterPosition = 0;
    int qualityPosition = 0;
    QString description;

    bool operator==(const AdjustmentFieldValues &) const = default;
};

// The scaling an adjusted preview runs with. The four texts have passed the
// fields' checks; one that is not a number raises RuntimeError.
ScaleSettings previewScaleSettings(const AdjustmentFieldValues &fields, std::int32_t filter, std::int32_t saveQuality);

} // namespace tovin
