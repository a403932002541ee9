#include "albumlayout.h"

#include "numbertext.h"
#include "platformcolor.h"
#include "runtimeerror.h"
#include "settingsstore.h"

namespace tovin {
namespace {

struct HeadToken {
    const char *token;
    const char *field;
};

constexpr std::array<HeadToken, 25> kHeadTokens{{
    {"#THUMB_FRAME_X_POSITION#", "thumb_x"},
    {"#THUMB_FRAME_Y_POSITION#", "thumb_y"},
    {"#THUMB_FRAME_WIDTH#", "thumb_w"},
    {"#THUMB_FRAME_HEIGHT#", "thumb_h"},
    {"#THUMB_FRAME_PADDING#", "thumb_p"},
    {"#THUMB_FRAME_SPACING#", "thumb_s"},
    {"#THUMB_FRAME_ROW#", "thumb_r"},
    {"#THUMB_FRAME_COLUMN#", "thumb_c"},
    {"#THUMB_FRAME_BORDER_COLOR#", "thumb_ln"},
    {"#THUMB_FRAME_BACKGROUND_COLOR#", "thumb_bg"},
    {"#THUMB_FRAME_ALPHA#", "thumb_a"},
    {"#SLIDE_FRAME_X_POSITION#", "slide_x"},
    {"#SLIDE_FRAME_Y_POSITION#", "slide_y"},
    {"#SLIDE_FRAME_PADDING#", "slide_p"},
    {"#SLIDE_FRAME_BORDER_COLOR#", "slide_ln"},
    {"#SLIDE_FRAME_BACKGROUND_COLOR#", "slide_bg"},
    {"#SLIDE_FRAME_ALPHA#", "slide_a"},
    {"#BACKBUTTON_X_POSITION#", "bbutton_x"},
    {"#BACKBUTTON_Y_POSITION#", "bbutton_y"},
    {"#NEXTBUTTON_X_POSITION#", "nbutton_x"},
    {"#NEXTBUTTON_Y_POSITION#", "nbutton_y"},
    {"#TEXT_FRAME_WIDTH#", "caption_w"},
    {"#TEXT_FRAME_HEIGHT#", "caption_h"},
    {"#TEXT_FRAME_BORDER_COLOR#", "caption_ln"},
    {"#TEXT_FRAME_BACKGROUND_COLOR#", "caption_bg"},
}};

// A colour edited by hand into something that is not a number falls back to
// the default, as a bad list position does.
std::int32_t storedColor(const QString &text, const char *defaultText)
{
    try {
        return toInt32(textToDouble(text));
    } catch (const RuntimeError &) {
        return QByteArray(defaultText).toInt();
    }
}

} // namespace

AlbumLayout defaultAlbumLayout()
{
    AlbumLayout layout;
    for (const LayoutSetting &setting : kAlbumLayoutSettings) {
        if (setting.isSwatch)
            layout.swatches.insert(QLatin1String(setting.field), QByteArray(setting.defaultText).toInt());
        else
            layout.fields.insert(QLatin1String(setting.field), QLatin1String(setting.defaultText));
    }
    return layout;
}

AlbumLayout loadAlbumLayout(const SettingsStore &settings)
{
    AlbumLayout layout;
    const QString section = QLatin1String(kAlbumSettingsSection);
    for (const LayoutSetting &setting : kAlbumLayoutSettings) {
        const QString text =
            settings.read(section, QLatin1String(setting.settingsKey), QLatin1String(setting.defaultText));
        if (setting.isSwatch)
            layout.swatches.insert(QLatin1String(setting.field), storedColor(text, setting.defaultText));
        else
            layout.fields.insert(QLatin1String(setting.field), text);
    }
    return layout;
}

QList<QPair<QString, QString>> headReplacements(const AlbumLayout &layout)
{
    QList<QPair<QString, QString>> replacements;
    for (const HeadToken &head : kHeadTokens) {
        const QString field = QLatin1String(head.field);
        const QString value = layout.swatches.contains(field)
            ? QStringLiteral("0x") + ColorToHexRGB(layout.swatches.value(field))
            : layout.fields.value(field);
        replacements.append({QLatin1String(head.token), value});
    }
    return replacements;
}

} // namespace tovin
