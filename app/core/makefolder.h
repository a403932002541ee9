#pragma once

#include <QString>

namespace tovin {

class UserPrompts;

// Creates one folder level. True only when the folder was created here: false
// when it already existed (silently) or could not be created (after telling
// the user "Could not create folder:" with the path and the reason).
bool MakeFolder(const QString &path, UserPrompts &prompts);

} // namespace tovin
