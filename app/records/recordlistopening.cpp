#include "recordlistopening.h"

#include "errorreport.h"
#include "messagetable.h"
#include "recordschema.h"
#include "recordstore.h"
#include "userprompts.h"

namespace tovin {

bool openRecordListOrExplain(RecordStore &store, UserPrompts &prompts)
{
    if (store.OpenRecordStore(QString::fromLatin1(kRecordListPath)))
        return true;
    // No error is pending at this point, hence number 0 in the title.
    prompts.showMessage(message(55), errorTitle(0), PromptIcon::Critical, PromptButtons::Ok);
    return false;
}

} // namespace tovin
