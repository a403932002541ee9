#pragma once

#include <QString>

namespace lensbox {

// The folder that holds the Lensbox library file itself (not the program's).
QString libraryFolder();

} // namespace lensbox
