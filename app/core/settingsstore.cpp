#include "settingsstore.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace tovin {

SettingsStore::SettingsStore(const QString &applicationName)
    : m_settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Tovin"), applicationName)
{
}

QString SettingsStore::programApplicationName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

QString SettingsStore::read(const QString &section, const QString &key, const QString &defaultValue) const
{
    const QVariant value = m_settings.value(groupKey(section, key));
    if (!value.isValid())
        return defaultValue;
    // A value edited by hand as a, b reads back as a list; it is still one text.
    if (value.userType() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

void SettingsStore::write(const QString &section, const QString &key, const QString &value)
{
    m_settings.setValue(groupKey(section, key), value);
}

QString SettingsStore::groupKey(const QString &section, const QString &key)
{
    QString group = section;
    group.replace(u'\\', u'/');
    return group + u'/' + key;
}

} // namespace tovin
