#pragma once

#include "adjustmentfieldvalues.h"
#include "adjustmentrecord.h"

#include <QSize>
#include <QString>

namespace tovin {

// The one mapping between the adjustment fields and an image's record: the
// record carries the fields, and beside them the image's path, pixel size and
// "Date Created" text.
AdjustmentRecord recordFromFields(const AdjustmentFieldValues &fields, const QString &imagePath, QSize pixelSize,
                                  const QString &dateText);
AdjustmentFieldValues fieldsFromRecord(const AdjustmentRecord &record);

} // namespace tovin
