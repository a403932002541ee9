#include "fileio.h"

#include "runtimeerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace tovin {
namespace {

// QFile keeps no errno: the cause of a failed open is asked of the system.
RuntimeError readFailure(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd >= 0) {
        // The system opens what Qt refuses to read as a file: a folder.
        ::close(fd);
        return RuntimeError::fromErrno(EISDIR, path);
    }
    return RuntimeError::fromErrno(errno, path);
}

RuntimeError writeFailure(const QString &path, const QFileDevice &file)
{
    const QFileInfo target(path);
    if (!target.absoluteDir().exists())
        return RuntimeError::fromErrno(ENOENT, path);
    if (file.error() == QFileDevice::ResourceError)
        return RuntimeError::fromErrno(ENOSPC, path);
    if (!QFileInfo(target.absolutePath()).isWritable() || (target.exists() && !target.isWritable()))
        return RuntimeError::fromErrno(EACCES, path);
    return RuntimeError::fromErrno(EIO, path);
}

} // namespace

void copyFileReplacing(const QString &source, const QString &destination)
{
    QFile input(source);
    if (!input.open(QIODevice::ReadOnly))
        throw readFailure(source);
    QSaveFile output(destination);
    if (!output.open(QIODevice::WriteOnly))
        throw writeFailure(destination, output);

    constexpr qint64 kChunk = 1 << 20;
    QByteArray buffer(kChunk, Qt::Uninitialized);
    for (;;) {
        const qint64 read = input.read(buffer.data(), kChunk);
        if (read < 0)
            throw RuntimeError::fromErrno(EIO, source);
        if (read == 0)
            break;
        if (output.write(buffer.constData(), read) != read)
            throw writeFailure(destination, output);
    }
    if (!output.commit())
        throw writeFailure(destination, output);
}

QString readTextFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw readFailure(path);
    return QString::fromUtf8(file.readAll());
}

} // namespace tovin
