#pragma once

#include <QString>

namespace tovin {

// Copies a file byte for byte over its destination. The copy is written under
// a temporary name in the destination folder and renamed over the target only
// when it is complete, so a failure never leaves a truncated file where a good
// one stood. Failures raise RuntimeError.
void copyFileReplacing(const QString &source, const QString &destination);

// The whole of a UTF-8 text file. Failures raise RuntimeError.
QString readTextFile(const QString &path);

} // namespace tovin
