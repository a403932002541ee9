#include "adjustmentfieldvalues.h"

#include "numbertext.h"

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
    return settings;
}

} // namespace tovin
