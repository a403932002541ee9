#pragma once

#include <QString>

namespace tovin {

class RecordStore;
class UserPrompts;

// The start-up steps that come before any window: the Record List must open
// (else the program tells the user and ends), the program folder becomes the
// current folder, and the work folder "tmp" exists in `workRoot` (the program
// folder when none is given).
bool prepareProgramFolder(const QString &programFolder, RecordStore &records, UserPrompts &prompts,
                          const QString &workRoot = QString());

} // namespace tovin
