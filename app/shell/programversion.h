#pragma once

#include <QString>

namespace tovin {

// "Version 1.4.109": each part in plain decimal.
QString versionText(int major, int minor, int revision);

// The version of this build, from the project's version in CMake.
QString programVersionText();

} // namespace tovin
