#include "adjustmentrecordfields.h"

namespace tovin {

AdjustmentRecord recordFromFields(const AdjustmentFieldValues &fields, const QString &imagePath, QSize pixelSize,
                                  const QString &dateText)
{
    AdjustmentRecord record;
    record.imagePath = imagePath;
    record.imageWidth = pixelSize.width();
    record.imageHeight = pixelSize.height();
    record.widthPercent = fields.widthPercent;
    record.heightPercent = fields.heightPercent;
    record.brightness = fields.brightness;
    record.contrast = fields.contrast;
    record.filterPosition = fields.filterPosition;
    record.qualityPosition = fields.qualityPosition;
    record.dateText = dateText;
    record.description = fields.description;
    return record;
}

AdjustmentFieldValues fieldsFromRecord(const AdjustmentRecord &record)
{
    AdjustmentFieldValues fields;
    fields.widthPercent = record.widthPercent;
    fields.heightPercent = record.heightPercent;
    fields.brightness = record.brightness;
    fields.contrast = record.contrast;
    fields.filterPosition = record.filterPosition;
    fields.qualityPosition = record.qualityPosition;
    fields.description = record.description;
    return fields;
}

} // namespace tovin
