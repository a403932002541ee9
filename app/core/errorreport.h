#pragma once

#include <QString>

namespace tovin {

class RuntimeError;
class UserPrompts;

// The common error report: "Error! (# 76): Path not found", titled
// "Error! #76", critical icon, OK only; a failure about a file ends with the
// file's path ("Error! (# 61): Disk full: /home/ann/album/thumbs/a.jpg"). The
// failed operation then ends and the program goes on.
QString errorReportText(const RuntimeError &error);
QString errorTitle(int number);
void showErrorReport(UserPrompts &prompts, const RuntimeError &error);

} // namespace tovin
