#include "recordcommands.h"

#include "adjustmentrecordfields.h"
#include "capturedate.h"
#include "errorreport.h"
#include "imageengine.h"
#include "messagetable.h"
#include "recordstore.h"
#include "runtimeerror.h"
#include "userprompts.h"

namespace tovin {

RecordCommands::RecordCommands(RecordStore &store, UserPrompts &prompts)
    : m_store(store)
    , m_prompts(prompts)
{
}

QString savedAdjustmentsText(RecordResult result)
{
    switch (result) {
    case RecordResult::Done:
        return message(46) + QStringLiteral("\n\n") + message(48);
    case RecordResult::Other:
        return message(47) + QStringLiteral("\n\n") + message(48);
    case RecordResult::Failed:
        break;
    }
    return message(48);
}

void RecordCommands::saveAdjustments(const QString &imagePath, const QString &dateText,
                                     const AdjustmentFieldValues &fields)
{
    const QSize pixelSize = imageFileSize(imagePath);
    const RecordResult result = saveAdjustmentRecord(
        m_store, recordFromFields(fields, imagePath, pixelSize, shownOrImageDateText(imagePath, dateText)));
    m_prompts.showNotice(savedAdjustmentsText(result), message(112));
}

void RecordCommands::clearAdjustments(const QString &imagePath)
{
    if (m_prompts.showMessage(message(52), message(110), PromptIcon::Question, PromptButtons::OkCancel)
        != PromptAnswer::Ok)
        return;
    const RecordResult result = clearAdjustmentRecord(m_store, imagePath);
    if (result == RecordResult::Failed)
        return;
    m_prompts.showMessage(message(result == RecordResult::Done ? 54 : 53), message(110), PromptIcon::Information,
                          PromptButtons::Ok);
}

void RecordCommands::clearAllAdjustments()
{
    if (m_prompts.showMessage(message(49), message(110), PromptIcon::Question, PromptButtons::OkCancel)
        != PromptAnswer::Ok)
        return;
    const RecordResult result = clearAllAdjustmentRecords(m_store);
    if (result == RecordResult::Failed)
        return;
    m_prompts.showMessage(message(result == RecordResult::Done ? 50 : 51), message(112), PromptIcon::Information,
                          PromptButtons::Ok);
}

std::optional<AdjustmentRecord> RecordCommands::storedAdjustments(const QString &imagePath)
{
    try {
        return loadAdjustmentRecord(m_store, imagePath);
    } catch (const RuntimeError &error) {
        showErrorReport(m_prompts, error);
        return std::nullopt;
    }
}

} // namespace tovin
