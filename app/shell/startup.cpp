#include "startup.h"

#include "errorreport.h"
#include "makefolder.h"
#include "messagetable.h"
#include "paths.h"
#include "recordschema.h"
#include "recordstore.h"
#include "userprompts.h"

#include <QDir>
#include <QFileInfo>

namespace tovin {

bool prepareProgramFolder(const QString &programFolder, RecordStore &records, UserPrompts &prompts)
{
    if (!records.OpenRecordStore(QString::fromLatin1(kRecordListPath))) {
        // No error is pending at this point, hence number 0 in the title.
        prompts.showMessage(message(55), errorTitle(0), PromptIcon::Critical, PromptButtons::Ok);
        return false;
    }
    QDir::setCurrent(programFolder);
    const QString workFolder = joinPath(programFolder, QStringLiteral("tmp"));
    if (!QFileInfo(workFolder).isDir())
        MakeFolder(workFolder, prompts);
    return true;
}

} // namespace tovin
