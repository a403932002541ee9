#pragma once

#include <QString>

namespace tovin {

// The batch run writes each output under a temporary name beside its target,
// ".tovin-<process id>-<number>.part", and renames it into place when the
// image's turn comes.
QString temporaryFileBeside(const QString &target);

// Nothing happens for an empty path.
void removeTemporaryFile(const QString &path);

// Removes the temporary files that runs killed before they could clean up
// left in a folder: only those of processes that are no longer alive, so a
// run going on in the same folder keeps its own. Gives how many were removed.
int removeStaleTemporaryFiles(const QString &folder);

// Puts a finished temporary file in place of its target. A target that the
// user may not write is not replaced (as if it had been written in place),
// and a replaced file keeps its permission bits. Failures raise RuntimeError
// naming the target; the temporary file is then removed.
void putTemporaryInPlace(const QString &temporary, const QString &target);

} // namespace tovin
