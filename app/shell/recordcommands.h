#pragma once

#include "adjustmentfieldvalues.h"
#include "adjustmentrecord.h"

#include <QString>

#include <optional>

namespace tovin {

class RecordStore;
class UserPrompts;

// The main window's three commands on the Record List, with their questions
// and closing messages. A failure inside the store has been reported by the
// store; the command then ends without its closing message.
class RecordCommands
{
public:
    RecordCommands(RecordStore &store, UserPrompts &prompts);

    // Saves the fields as the image's record and tells the result, with the
    // reminder that the original stays as it is (alone when the save failed).
    // `dateText` is the list's date text; empty while the list has not read it.
    void saveAdjustments(const QString &imagePath, const QString &dateText, const AdjustmentFieldValues &fields);
    // Asks first; Cancel changes nothing.
    void clearAdjustments(const QString &imagePath);
    void clearAllAdjustments();

    // The image's stored adjustments, or nothing when it has none or the
    // lookup failed (then reported).
    std::optional<AdjustmentRecord> storedAdjustments(const QString &imagePath);

private:
    RecordStore &m_store;
    UserPrompts &m_prompts;
};

// The text the save command shows for a result of the store.
QString savedAdjustmentsText(RecordResult result);

} // namespace tovin
