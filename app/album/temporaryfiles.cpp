#include "temporaryfiles.h"

#include "runtimeerror.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace tovin {
namespace {

std::atomic<int> g_temporaryCount{0};

// The file library writes the temporary file itself through a temporary
// file of its own, with six more characters after a dot.
const QRegularExpression kTemporaryName(QStringLiteral("^\\.tovin-(\\d+)-\\d+\\.part(\\.[A-Za-z0-9]{6})?$"));

bool processAlive(qint64 pid)
{
    if (pid <= 0 || pid != qint64(pid_t(pid)))
        return false;
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

} // namespace

QString temporaryFileBeside(const QString &target)
{
    const QString folder = target.left(target.lastIndexOf(u'/') + 1);
    return folder + QStringLiteral(".tovin-%1-%2.part").arg(QCoreApplication::applicationPid()).arg(++g_temporaryCount);
}

void removeTemporaryFile(const QString &path)
{
    if (!path.isEmpty())
        ::unlink(QFile::encodeName(path).constData());
}

int removeStaleTemporaryFiles(const QString &folder)
{
    int removed = 0;
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        const QRegularExpressionMatch match = kTemporaryName.match(name);
        if (!match.hasMatch() || processAlive(match.captured(1).toLongLong()))
            continue;
        removed += QFile::remove(folder + u'/' + name);
    }
    return removed;
}

void putTemporaryInPlace(const QString &temporary, const QString &target)
{
    const QByteArray from = QFile::encodeName(temporary);
    const QByteArray to = QFile::encodeName(target);
    int error = 0;
    struct stat standing { };
    if (::lstat(to.constData(), &standing) == 0 && S_ISREG(standing.st_mode)) {
        if (::access(to.constData(), W_OK) != 0)
            error = errno;
        else if (::chmod(from.constData(), standing.st_mode & 07777) != 0)
            error = errno;
    }
    if (error == 0 && ::rename(from.constData(), to.constData()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(from.constData());
        throw RuntimeError::fromErrno(error, target);
    }
}

} // namespace tovin
