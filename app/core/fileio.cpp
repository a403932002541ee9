#include "fileio.h"

#include "runtimeerror.h"

#include <QDir>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace tovin {
namespace {

// QFile keeps no errno: the cause of a failed open is asked of the system.
RuntimeError readFailure(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
        // The system opens what Qt refuses to read as a file: a folder.
        ::close(fd);
        return RuntimeError::fromErrno(EISDIR, path);
    }
    return RuntimeError::fromErrno(errno, path);
}

} // namespace

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

namespace {

// Only a regular file has an end: a device such as /dev/zero, or a FIFO that
// nobody writes, would make a copy run forever or hang. The file is opened
// without waiting for a FIFO's writer, and it is checked as the same open
// file that is then read.
int openRegularFile(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw RuntimeError::fromErrno(errno, path);
    struct stat status { };
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        throw RuntimeError::fromErrno(S_ISDIR(status.st_mode) ? EISDIR : EINVAL, path);
    }
    return fd;
}

} // namespace

OutputFile::OutputFile(const QString &destination, WriteMode mode)
{
    if (mode == WriteMode::Replace) {
        m_replacing.emplace(destination);
    } else {
        // Made anew: whatever stands at the name, a stale file or a link, is
        // neither reused nor followed.
        ::unlink(QFile::encodeName(destination).constData());
        m_temporary.emplace(destination);
    }
}

bool OutputFile::open()
{
    if (m_replacing)
        return m_replacing->open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    return m_temporary->open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered);
}

QFileDevice &OutputFile::device()
{
    if (m_replacing)
        return *m_replacing;
    return *m_temporary;
}

bool OutputFile::commit()
{
    if (m_replacing)
        return m_replacing->commit();
    m_temporary->close();
    return m_temporary->error() == QFileDevice::NoError;
}

bool writeWhole(QIODevice &device, const char *data, qint64 size)
{
    while (size > 0) {
        const qint64 written = device.write(data, size);
        if (written <= 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

void OutputFile::discard()
{
    if (m_replacing)
        m_replacing->cancelWriting();
    else
        m_temporary->remove();
}

bool copyFileThrough(const QString &source, const QString &destination, WriteMode mode,
                     const std::function<bool(QIODevice &source, QIODevice &copy)> &transfer)
{
    QFile input;
    if (!input.open(openRegularFile(source), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        throw readFailure(source);
    OutputFile file(destination, mode);
    QFileDevice &output = file.device();
    if (!file.open())
        throw writeFailure(destination, output);
    const bool transferred = transfer(input, output);
    if (output.error() != QFileDevice::NoError)
        throw writeFailure(destination, output);
    if (input.error() != QFileDevice::NoError) {
        file.discard();
        throw RuntimeError::fromErrno(EIO, source);
    }
    if (!transferred) {
        file.discard();
        return false;
    }
    if (!file.commit())
        throw writeFailure(destination, output);
    return true;
}

void copyFileReplacing(const QString &source, const QString &destination, WriteMode mode)
{
    copyFileThrough(source, destination, mode, [](QIODevice &input, QIODevice &output) {
        constexpr qint64 kChunk = 1 << 20;
        QByteArray buffer(kChunk, Qt::Uninitialized);
        // A file that grows while it is copied is copied as it was when opened.
        qint64 remaining = input.size();
        while (remaining > 0) {
            const qint64 read = input.read(buffer.data(), std::min(kChunk, remaining));
            if (read <= 0)
                break;
            remaining -= read;
            if (!writeWhole(output, buffer.constData(), read))
                break;
        }
        return true;
    });
}

void writeFileReplacing(const QString &destination, const QByteArray &bytes, WriteMode mode)
{
    OutputFile file(destination, mode);
    QFileDevice &output = file.device();
    if (!file.open() || !writeWhole(output, bytes.constData(), bytes.size()) || !file.commit())
        throw writeFailure(destination, output);
}

void flushToDisk(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw RuntimeError::fromErrno(errno, path);
    const int error = ::fdatasync(fd) == 0 ? 0 : errno;
    ::close(fd);
    if (error != 0)
        throw RuntimeError::fromErrno(error, path);
}

QString readTextFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw readFailure(path);
    return QString::fromUtf8(file.readAll());
}

} // namespace tovin
