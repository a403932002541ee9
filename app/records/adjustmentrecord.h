#pragma once

#include "recordstore.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace tovin {

// One image's row of the Record List, field by field. The four adjustments
// stay texts: they come from and go to text fields, and the stored whole
// numbers are made from them by the store, with its range errors.
struct AdjustmentRecord {
    QString imagePath;
    std::int32_t imageWidth = 0;
    std::int32_t imageHeight = 0;
    QString widthPercent;
    QString heightPercent;
    QString brightness;
    QString contrast;
    std::int32_t filterPosition = 0;
    // -1 for a typed quality that matches no entry of the list.
    std::int32_t qualityPosition = 0;
    QString dateText;
    QString description;
};

// The image's record, or nothing when it has none. A failed lookup throws,
// so that no caller goes on as if the image had no record.
std::optional<AdjustmentRecord> loadAdjustmentRecord(RecordStore &store, const QString &imagePath);

RecordResult saveAdjustmentRecord(RecordStore &store, const AdjustmentRecord &record);
RecordResult clearAdjustmentRecord(RecordStore &store, const QString &imagePath);
RecordResult clearAllAdjustmentRecords(RecordStore &store);

} // namespace tovin
