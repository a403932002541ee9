#include "startup.h"

#include "makefolder.h"
#include "paths.h"
#include "recordlistopening.h"

#include <QDir>
#include <QFileInfo>

namespace tovin {

bool prepareProgramFolder(const QString &programFolder, RecordStore &records, UserPrompts &prompts)
{
    if (!openRecordListOrExplain(records, prompts))
        return false;
    QDir::setCurrent(programFolder);
    const QString workFolder = joinPath(programFolder, QStringLiteral("tmp"));
    if (!QFileInfo(workFolder).isDir())
        MakeFolder(workFolder, prompts);
    return true;
}

} // namespace tovin
