#pragma once

#include <QString>

#include <array>

namespace tovin {

inline constexpr char kRecordListPath[] = "/src/dbm/Tovindb.db";
inline constexpr char kRecordListKey[] = "marrowglints";
inline constexpr char kRecordTable[] = "tovin_table";
inline constexpr char kRecordKeyField[] = "img_path";

enum class RecordFieldType { Counter, Text, Int32, Int16, YesNo };

struct RecordField {
    const char *name;
    RecordFieldType type;
};

// The fields of a row, by position. Rows are written from the 12 values of
// positions 1 to 12 and read back as 13 texts; position 0 is the database's
// own row counter.
inline constexpr std::array<RecordField, 13> kRecordFields{{
    {"rec_id", RecordFieldType::Counter},
    {"img_path", RecordFieldType::Text},
    {"img_width", RecordFieldType::Int32},
    {"img_height", RecordFieldType::Int32},
    {"width_pct", RecordFieldType::Int16},
    {"height_pct", RecordFieldType::Int16},
    {"bright", RecordFieldType::Int16},
    {"contrast", RecordFieldType::Int16},
    {"filter_idx", RecordFieldType::Int16},
    {"quality_idx", RecordFieldType::Int16},
    {"img_date", RecordFieldType::Text},
    {"img_desc", RecordFieldType::Text},
    {"adjusted", RecordFieldType::YesNo},
}};

// Positions of the fields that other parts of the program read by name.
enum RecordFieldPosition {
    kRecId = 0,
    kImgPath,
    kImgWidth,
    kImgHeight,
    kWidthPct,
    kHeightPct,
    kBright,
    kContrast,
    kFilterIdx,
    kQualityIdx,
    kImgDate,
    kImgDesc,
    kAdjusted,
};

QString recordTableDefinition();

} // namespace tovin
