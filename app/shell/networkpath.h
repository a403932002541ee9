#pragma once

#include <QString>

namespace tovin {

// Folders on another machine are not listed: a path that begins with two
// separators (//host/share, \\host) or carries a URL scheme (smb://,
// sftp://). A trailing separator is an ordinary local path here.
bool isNetworkPath(const QString &path);

} // namespace tovin
