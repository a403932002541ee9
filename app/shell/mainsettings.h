#pragma once

#include <QString>

namespace tovin {

class SettingsStore;

// The main window's keys of section "Startup", as the texts stored: the four
// adjustment fields verbatim and the two lists' positions ("-1": nothing
// selected).
struct MainSettings {
    QString dirInput;
    QString widthInput;
    QString heightInput;
    QString brightInput;
    QString contrastInput;
    QString filterCombo;
    QString qualityCombo;

    bool operator==(const MainSettings &) const = default;
};

// Missing keys take their defaults; the folder's default is the program
// folder.
MainSettings readMainSettings(const SettingsStore &store, const QString &programFolder);
// Writes the seven keys in the order the table lists them.
void writeMainSettings(SettingsStore &store, const MainSettings &settings);

// The list position a stored text selects: -1 for none, or an entry of a
// list of `entryCount`; anything else (not a 16-bit number, or no such
// entry) gives the first entry.
int listPositionFromSetting(const QString &stored, int entryCount);

} // namespace tovin
