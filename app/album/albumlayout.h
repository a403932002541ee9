#pragma once

#include "albumlayoutfields.h"

#include <QList>
#include <QMap>
#include <QPair>
#include <QString>

#include <cstdint>

namespace tovin {

class SettingsStore;

// The album's layout values as the batch window holds them: its text fields
// by name ("slide_x", "thumb_r", ...) exactly as typed, and its six colour
// swatches ("slide_bg", "thumb_ln", ...) as colour values.
struct AlbumLayout {
    QMap<QString, QString> fields;
    QMap<QString, std::int32_t> swatches;
};

AlbumLayout defaultAlbumLayout();
// The layout the batch window last stored; a missing value takes its default.
AlbumLayout loadAlbumLayout(const SettingsStore &settings);
// Stores the layout as the batch window does when it closes: text fields with
// their blanks trimmed, swatches as the decimal text of their colour value.
void saveAlbumLayout(SettingsStore &settings, const AlbumLayout &layout);

// The 25 head tokens with their values, in the order in which they are
// replaced: text fields as they stand, swatches as "0x" + RRGGBB ("0x" alone
// for a colour that has no such text).
QList<QPair<QString, QString>> headReplacements(const AlbumLayout &layout);

} // namespace tovin
