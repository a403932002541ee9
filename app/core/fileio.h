#pragma once

#include <QString>

class QFileDevice;

namespace tovin {

// Copies a file byte for byte over its destination. The copy is written under
// a temporary name in the destination folder and renamed over the target only
// when it is complete, so a failure never leaves a truncated file where a good
// one stood. Only a regular file is copied, and only as many bytes as it held
// when it was opened. Failures raise RuntimeError.
void copyFileReplacing(const QString &source, const QString &destination);

// The whole of a UTF-8 text file. Failures raise RuntimeError.
QString readTextFile(const QString &path);

// Why a file could not be written, as far as the system and the device tell:
// a missing folder, no space, no permission, or else a device error.
class RuntimeError;
RuntimeError writeFailure(const QString &path, const QFileDevice &file);

} // namespace tovin
