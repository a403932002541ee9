#include "startup.h"

#include "makefolder.h"
#include "paths.h"
#include "recordlistopening.h"

#include <QDir>
#include <QFileInfo>

namespace tovin {

bool prepareProgramFolder(const QString &programFolder, RecordStore &records, UserPrompts &prompts,
                          const QString &workRoot)
{
    if (!openRecordListOrExplain(records, prompts))
        return false;
    QDir::setCurrent(programFolder);
    const QString root = workRoot.isEmpty() ? programFolder : workRoot;
    QDir().mkpath(root);
    const QString workFolder = joinPath(root, QStringLiteral("tmp"));
    if (!QFileInfo(workFolder).isDir())
        MakeFolder(workFolder, prompts);
    return true;
}

} // namespace tovin
