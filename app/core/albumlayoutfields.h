#pragma once

#include <QString>

#include <array>

namespace tovin {

// What a value of a field may be: the checks of the windows and of the
// terminal tool read it from here.
enum class FieldRange {
    Percent, // 1 to 200: the width and height of an image
    Level, // -100 to 100: brightness and contrast
    Percentage, // 0 to 100: paddings, alpha, quality
    Grid, // 1 to 10 rows or columns
    ScreenWidth, // 1 to the screen's width in twips
    ScreenHeight, // 1 to the screen's height in twips
    Color, // a swatch, chosen rather than typed
};

// One value of the album's layout: the batch window's field of that name,
// its key in the settings section, its default, the head token of the album
// file that takes it, and its range.
struct AlbumLayoutField {
    const char *name;
    const char *settingsKey;
    const char *defaultText;
    const char *headToken;
    // Its place among the head tokens, which are replaced in an order of their
    // own.
    int headOrder;
    FieldRange range;
    // The message that tells what the field does, shown while it has the
    // focus; 0 for a swatch.
    int helpMessage;
};

inline constexpr char kAlbumSettingsSection[] = "Startup\\Sorvel";

// In the order in which the batch window reads and stores them.
inline constexpr std::array<AlbumLayoutField, 25> kAlbumLayoutFields{{
    {"slide_x", "slide_x", "30", "#SLIDE_FRAME_X_POSITION#", 11, FieldRange::ScreenWidth, 120},
    {"slide_y", "slide_y", "30", "#SLIDE_FRAME_Y_POSITION#", 12, FieldRange::ScreenHeight, 121},
    {"slide_p", "slide_p", "20", "#SLIDE_FRAME_PADDING#", 13, FieldRange::Percentage, 122},
    {"slide_a", "slide_a", "100", "#SLIDE_FRAME_ALPHA#", 16, FieldRange::Percentage, 127},
    {"slide_bg", "slide_b", "0", "#SLIDE_FRAME_BACKGROUND_COLOR#", 15, FieldRange::Color, 0},
    {"slide_ln", "slide_l", "0", "#SLIDE_FRAME_BORDER_COLOR#", 14, FieldRange::Color, 0},
    {"thumb_r", "thumb_r", "2", "#THUMB_FRAME_ROW#", 6, FieldRange::Grid, 133},
    {"thumb_c", "thumb_c", "2", "#THUMB_FRAME_COLUMN#", 7, FieldRange::Grid, 134},
    {"thumb_x", "thumb_x", "750", "#THUMB_FRAME_X_POSITION#", 0, FieldRange::ScreenWidth, 128},
    {"thumb_y", "thumb_y", "200", "#THUMB_FRAME_Y_POSITION#", 1, FieldRange::ScreenHeight, 129},
    {"thumb_w", "thumb_w", "40", "#THUMB_FRAME_WIDTH#", 2, FieldRange::ScreenWidth, 130},
    {"thumb_h", "thumb_h", "40", "#THUMB_FRAME_HEIGHT#", 3, FieldRange::ScreenHeight, 131},
    {"thumb_p", "thumb_p", "10", "#THUMB_FRAME_PADDING#", 4, FieldRange::Percentage, 132},
    {"thumb_s", "thumb_s", "20", "#THUMB_FRAME_SPACING#", 5, FieldRange::ScreenHeight, 135},
    {"thumb_a", "thumb_a", "70", "#THUMB_FRAME_ALPHA#", 10, FieldRange::Percentage, 127},
    {"thumb_bg", "thumb_b", "0", "#THUMB_FRAME_BACKGROUND_COLOR#", 9, FieldRange::Color, 0},
    {"thumb_ln", "thumb_l", "0", "#THUMB_FRAME_BORDER_COLOR#", 8, FieldRange::Color, 0},
    {"bbutton_x", "bbutton_x", "700", "#BACKBUTTON_X_POSITION#", 17, FieldRange::ScreenWidth, 136},
    {"bbutton_y", "bbutton_y", "160", "#BACKBUTTON_Y_POSITION#", 18, FieldRange::ScreenHeight, 137},
    {"nbutton_x", "nbutton_x", "880", "#NEXTBUTTON_X_POSITION#", 19, FieldRange::ScreenWidth, 138},
    {"nbutton_y", "nbutton_y", "320", "#NEXTBUTTON_Y_POSITION#", 20, FieldRange::ScreenHeight, 139},
    {"caption_w", "caption_w", "400", "#TEXT_FRAME_WIDTH#", 21, FieldRange::ScreenWidth, 140},
    {"caption_h", "caption_h", "27", "#TEXT_FRAME_HEIGHT#", 22, FieldRange::ScreenHeight, 141},
    {"caption_bg", "caption_b", "0", "#TEXT_FRAME_BACKGROUND_COLOR#", 24, FieldRange::Color, 0},
    {"caption_ln", "caption_l", "0", "#TEXT_FRAME_BORDER_COLOR#", 23, FieldRange::Color, 0},
}};

// The layout field of that name, or null.
const AlbumLayoutField *albumLayoutField(const QString &name);

} // namespace tovin
