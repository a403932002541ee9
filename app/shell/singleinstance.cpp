#include "singleinstance.h"

#include <QDir>
#include <QStandardPaths>

namespace tovin {

SingleInstanceLock::SingleInstanceLock(const QString &lockFolder, const QString &applicationName)
    : m_lock(QDir(lockFolder).filePath(applicationName + QStringLiteral(".lock")))
{
    // A copy may run for days: only a dead owner makes the lock stale.
    m_lock.setStaleLockTime(0);
}

bool SingleInstanceLock::tryAcquire()
{
    return m_lock.tryLock(0);
}

QString SingleInstanceLock::userLockFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

} // namespace tovin
