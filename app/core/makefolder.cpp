#include "makefolder.h"

#include "errorreport.h"
#include "messagetable.h"
#include "runtimeerror.h"
#include "userprompts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

#include <cerrno>

namespace tovin {

bool MakeFolder(const QString &path, UserPrompts &prompts)
{
    if (QFileInfo(path).isDir())
        return false;
    if (::mkdir(QFile::encodeName(path).constData(), 0777) == 0)
        return true;

    const RuntimeError error = RuntimeError::fromErrno(errno, path);
    prompts.showMessage(message(87) + QDir::toNativeSeparators(path) + u' ' + error.description(),
                        errorTitle(error.number()), PromptIcon::Critical, PromptButtons::Ok);
    return false;
}

} // namespace tovin
