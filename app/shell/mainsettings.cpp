#include "mainsettings.h"

#include "settingsstore.h"

namespace tovin {
namespace {

const QString kSection = QStringLiteral("Startup");

struct MainSettingKey {
    const char *key;
    QString MainSettings::*text;
    const char *defaultText; // null: the program folder
};

constexpr MainSettingKey kKeys[] = {
    {"dirInput", &MainSettings::dirInput, nullptr},       {"widthInput", &MainSettings::widthInput, "100"},
    {"heightInput", &MainSettings::heightInput, "100"},   {"brightInput", &MainSettings::brightInput, "0"},
    {"contrastInput", &MainSettings::contrastInput, "0"}, {"filterCombo", &MainSettings::filterCombo, "0"},
    {"qualityCombo", &MainSettings::qualityCombo, "0"},
};

} // namespace

MainSettings readMainSettings(const SettingsStore &store, const QString &programFolder)
{
    MainSettings settings;
    for (const MainSettingKey &key : kKeys) {
        const QString defaultText = key.defaultText ? QString::fromLatin1(key.defaultText) : programFolder;
        settings.*key.text = store.read(kSection, QString::fromLatin1(key.key), defaultText);
    }
    return settings;
}

void writeMainSettings(SettingsStore &store, const MainSettings &settings)
{
    for (const MainSettingKey &key : kKeys)
        store.write(kSection, QString::fromLatin1(key.key), settings.*key.text);
}

int listPositionFromSetting(const QString &stored, int entryCount)
{
    bool isNumber = false;
    const short position = stored.trimmed().toShort(&isNumber);
    if (!isNumber || position < -1 || position >= entryCount)
        return 0;
    return position;
}

} // namespace tovin
