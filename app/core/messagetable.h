#pragma once

#include <QString>

namespace tovin {

// The program's numbered texts: every user message and most captions are
// looked up here by number, so one text is never spelled twice.
QString message(int number);

} // namespace tovin
