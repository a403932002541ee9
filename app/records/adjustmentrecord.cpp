#include "adjustmentrecord.h"

#include "numbertext.h"
#include "recordschema.h"

#include <QVariantList>

namespace tovin {
namespace {

std::int32_t wholeNumber(const QString &text)
{
    return toInt32(textToDouble(text));
}

} // namespace

std::optional<AdjustmentRecord> loadAdjustmentRecord(RecordStore &store, const QString &imagePath)
{
    const std::optional<QStringList> texts = store.readRecordTexts(imagePath);
    if (!texts)
        return std::nullopt;
    const QStringList &row = *texts;
    AdjustmentRecord record;
    record.imagePath = row.at(kImgPath);
    record.imageWidth = wholeNumber(row.at(kImgWidth));
    record.imageHeight = wholeNumber(row.at(kImgHeight));
    record.widthPercent = row.at(kWidthPct);
    record.heightPercent = row.at(kHeightPct);
    record.brightness = row.at(kBright);
    record.contrast = row.at(kContrast);
    record.filterPosition = wholeNumber(row.at(kFilterIdx));
    record.qualityPosition = wholeNumber(row.at(kQualityIdx));
    record.dateText = row.at(kImgDate);
    record.description = row.at(kImgDesc);
    return record;
}

RecordResult saveAdjustmentRecord(RecordStore &store, const AdjustmentRecord &record)
{
    const QVariantList values{record.imagePath,       record.imageWidth, record.imageHeight, record.widthPercent,
                              record.heightPercent,   record.brightness, record.contrast,    record.filterPosition,
                              record.qualityPosition, record.dateText,   record.description, true};
    return store.SaveRecord(record.imagePath, values);
}

RecordResult clearAdjustmentRecord(RecordStore &store, const QString &imagePath)
{
    return store.DeleteRecords(false, imagePath);
}

RecordResult clearAllAdjustmentRecords(RecordStore &store)
{
    // Deleting every row ignores the path; the routine still takes one.
    return store.DeleteRecords(true, QStringLiteral("dummy"));
}

} // namespace tovin
