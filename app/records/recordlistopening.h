#pragma once

namespace tovin {

class RecordStore;
class UserPrompts;

// Opens the Record List that ships beside the program. When it cannot be
// opened the user is told that the program cannot run without it (message
// 55), and the caller ends the program without saving anything.
bool openRecordListOrExplain(RecordStore &store, UserPrompts &prompts);

} // namespace tovin
