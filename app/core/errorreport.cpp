#include "errorreport.h"

#include "messagetable.h"
#include "runtimeerror.h"
#include "userprompts.h"

namespace tovin {

QString errorReportText(const RuntimeError &error)
{
    QString text = message(111) + QStringLiteral(" (# %1): ").arg(error.number()) + error.description();
    if (!error.file().isEmpty())
        text += QStringLiteral(": ") + error.file();
    return text;
}

QString errorTitle(int number)
{
    return message(111) + QStringLiteral(" #%1").arg(number);
}

void showErrorReport(UserPrompts &prompts, const RuntimeError &error)
{
    prompts.showMessage(errorReportText(error), errorTitle(error.number()), PromptIcon::Critical, PromptButtons::Ok);
}

} // namespace tovin
