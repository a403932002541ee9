#pragma once

#include <QLockFile>
#include <QString>

namespace tovin {

// One running copy per user and application name: the first copy holds a
// lock file in the user's runtime folder until it ends; a lock left behind by
// a copy that died is taken over.
class SingleInstanceLock
{
public:
    SingleInstanceLock(const QString &lockFolder, const QString &applicationName);

    // False when another running copy holds the lock.
    bool tryAcquire();

    // The user's runtime folder.
    static QString userLockFolder();

private:
    QLockFile m_lock;
};

} // namespace tovin
