#include "programversion.h"

namespace tovin {

QString versionText(int major, int minor, int revision)
{
    return QStringLiteral("Version %1.%2.%3").arg(major).arg(minor).arg(revision);
}

QString programVersionText()
{
    return versionText(TOVIN_VERSION_MAJOR, TOVIN_VERSION_MINOR, TOVIN_VERSION_PATCH);
}

} // namespace tovin
