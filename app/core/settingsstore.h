#pragma once

#include <QSettings>
#include <QString>

namespace tovin {

// The application name of the program as shipped; tools beside it read its
// settings under this name.
inline constexpr char kShippedProgramName[] = "Tovin_en";

// The per-user settings store: text values addressed by application, section
// and key, each read with a default. A section such as "Startup\Sorvel" is a
// nested group.
class SettingsStore
{
public:
    explicit SettingsStore(const QString &applicationName);

    // The executable's file name without extension: a copy of the program
    // under another name starts with fresh settings.
    static QString programApplicationName();

    QString read(const QString &section, const QString &key, const QString &defaultValue) const;
    void write(const QString &section, const QString &key, const QString &value);

private:
    static QString groupKey(const QString &section, const QString &key);

    mutable QSettings m_settings;
};

} // namespace tovin
