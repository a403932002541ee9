#include "albumlayout.h"

#include "numbertext.h"
#include "platformcolor.h"
#include "runtimeerror.h"
#include "settingsstore.h"

namespace tovin {
namespace {

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
    for (const AlbumLayoutField &setting : kAlbumLayoutFields) {
        if (setting.range == FieldRange::Color)
            layout.swatches.insert(QLatin1String(setting.name), QByteArray(setting.defaultText).toInt());
        else
            layout.fields.insert(QLatin1String(setting.name), QLatin1String(setting.defaultText));
    }
    return layout;
}

AlbumLayout loadAlbumLayout(const SettingsStore &settings)
{
    AlbumLayout layout;
    const QString section = QLatin1String(kAlbumSettingsSection);
    for (const AlbumLayoutField &setting : kAlbumLayoutFields) {
        const QString text =
            settings.read(section, QLatin1String(setting.settingsKey), QLatin1String(setting.defaultText));
        if (setting.range == FieldRange::Color)
            layout.swatches.insert(QLatin1String(setting.name), storedColor(text, setting.defaultText));
        else
            layout.fields.insert(QLatin1String(setting.name), text);
    }
    return layout;
}

void saveAlbumLayout(SettingsStore &settings, const AlbumLayout &layout)
{
    const QString section = QLatin1String(kAlbumSettingsSection);
    for (const AlbumLayoutField &setting : kAlbumLayoutFields) {
        const QString field = QLatin1String(setting.name);
        const QString text = setting.range == FieldRange::Color ? QString::number(layout.swatches.value(field))
                                                                : trimBlanks(layout.fields.value(field));
        settings.write(section, QLatin1String(setting.settingsKey), text);
    }
}

QList<QPair<QString, QString>> headReplacements(const AlbumLayout &layout)
{
    QList<QPair<QString, QString>> replacements(qsizetype(kAlbumLayoutFields.size()));
    for (const AlbumLayoutField &setting : kAlbumLayoutFields) {
        const QString field = QLatin1String(setting.name);
        const QString value = setting.range == FieldRange::Color
            ? QStringLiteral("0x") + ColorToHexRGB(layout.swatches.value(field))
            : layout.fields.value(field);
        replacements[setting.headOrder] = {QLatin1String(setting.headToken), value};
    }
    return replacements;
}

} // namespace tovin
