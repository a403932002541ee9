#include "adjustmentfieldvalues.h"

#include "numbertext.h"

#include <QThread>

#include <algorithm>

namespace tovin {

ScaleSettings previewScaleSettings(const AdjustmentFieldValues &fields, std::int32_t filter, std::int32_t saveQuality)
{
    ScaleSettings settings;
    settings.widthPercent = textToDouble(fields.widthPercent);
    settings.heightPercent = textToDouble(fields.heightPercent);
    settings.brightness = textToDouble(fields.brightness);
    settings.contrast = textToDouble(fields.contrast);
    settings.filter = filter;
    settings.output.saveFlags = saveQuality;
    // One image at a time: every core can share its resampling.
    settings.resampleThreads = std::max(1, QThread::idealThreadCount());
    return settings;
}

} // namespace tovin
