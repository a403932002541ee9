#pragma once

#include <QStringList>

#include <cstdint>
#include <optional>

namespace tovin {

// The entries of the main window's filter and quality lists, by position.
inline const QStringList kFilterEntries{QStringLiteral("None"), QStringLiteral("Box"), QStringLiteral("Bilinear"),
                                        QStringLiteral("Bicubic"), QStringLiteral("BSpline")};
inline const QStringList kQualityEntries{QStringLiteral("100"), QStringLiteral("Low"), QStringLiteral("Med"),
                                         QStringLiteral("High")};

// The resampling filter a filter-list position stands for; no selection
// (-1) and "None" resample like "Bicubic".
std::int32_t filterCodeForPosition(int position);

// The JPEG save flags a quality-list position stands for; nothing when no
// entry is selected (the flags then stay as they were).
std::optional<std::int32_t> saveQualityForPosition(int position);

} // namespace tovin
