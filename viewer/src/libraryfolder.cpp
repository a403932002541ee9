#include "libraryfolder.h"

#include <QFileInfo>

#include <dlfcn.h>

namespace lensbox {

QString libraryFolder()
{
    // Any address inside this library names the file it was loaded from.
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void *>(&libraryFolder), &info) == 0 || info.dli_fname == nullptr)
        return {};
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath();
}

} // namespace lensbox
