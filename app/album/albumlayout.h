#pragma once

#include <QList>
#include <QMap>
#include <QPair>
#include <QString>

#include <array>
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

// One value of the layout as it is kept in the settings store, in the order
// in which the batch window reads and writes them.
struct LayoutSetting {
    const char *field;
    const char *settingsKey;
    const char *defaultText;
    bool isSwatch;
};

inline constexpr char kAlbumSettingsSection[] = "Startup\\Sorvel";

inline constexpr std::array<LayoutSetting, 25> kAlbumLayoutSettings{{
    {"slide_x", "slide_x", "30", false},      {"slide_y", "slide_y", "30", false},
    {"slide_p", "slide_p", "20", false},      {"slide_a", "slide_a", "100", false},
    {"slide_bg", "slide_b", "0", true},       {"slide_ln", "slide_l", "0", true},
    {"thumb_r", "thumb_r", "2", false},       {"thumb_c", "thumb_c", "2", false},
    {"thumb_x", "thumb_x", "750", false},     {"thumb_y", "thumb_y", "200", false},
    {"thumb_w", "thumb_w", "40", false},      {"thumb_h", "thumb_h", "40", false},
    {"thumb_p", "thumb_p", "10", false},      {"thumb_s", "thumb_s", "20", false},
    {"thumb_a", "thumb_a", "70", false},      {"thumb_bg", "thumb_b", "0", true},
    {"thumb_ln", "thumb_l", "0", true},       {"bbutton_x", "bbutton_x", "700", false},
    {"bbutton_y", "bbutton_y", "160", false}, {"nbutton_x", "nbutton_x", "880", false},
    {"nbutton_y", "nbutton_y", "320", false}, {"caption_w", "caption_w", "400", false},
    {"caption_h", "caption_h", "27", false},  {"caption_bg", "caption_b", "0", true},
    {"caption_ln", "caption_l", "0", true},
}};

AlbumLayout defaultAlbumLayout();
// The layout the batch window last stored; a missing value takes its default.
AlbumLayout loadAlbumLayout(const SettingsStore &settings);

// The 25 head tokens with their values, in the order in which they are
// replaced: text fields as they stand, swatches as "0x" + RRGGBB ("0x" alone
// for a colour that has no such text).
QList<QPair<QString, QString>> headReplacements(const AlbumLayout &layout);

} // namespace tovin
