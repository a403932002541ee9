#pragma once

#include <QFile>
#include <QSaveFile>
#include <QString>

#include <functional>
#include <optional>

namespace tovin {

// How a written file reaches its name.
enum class WriteMode {
    // Written under a temporary name in the destination folder, flushed to
    // disk and renamed over the destination only when it is complete, so a
    // failure never leaves a truncated file where a good one stood.
    Replace,
    // Written at the destination itself, a temporary file of the caller's
    // that is made anew, and not flushed: the caller flushes it (flushToDisk)
    // before it puts it in place, and removes it after a failure.
    NewTemporary,
};

// The file that a write goes to, as the mode says. Unbuffered, so that a full
// disk shows at the write that meets it: a failure while a buffer is flushed
// at the end would go unseen.
class OutputFile
{
public:
    OutputFile(const QString &destination, WriteMode mode);
    bool open();
    QFileDevice &device();
    bool commit();
    // Leaves nothing behind: the destination keeps what it held.
    void discard();

private:
    std::optional<QSaveFile> m_replacing;
    std::optional<QFile> m_temporary;
};

// Writes all the bytes or fails. A disk that fills up takes part of a write
// without a word and refuses only the next one, which tells why: the rest is
// written again until the device takes it or refuses it with its reason.
bool writeWhole(QIODevice &device, const char *data, qint64 size);

// Copies a file byte for byte to its destination, written as the mode says.
// Only a regular file is copied, and only as many bytes as it held when it
// was opened. Failures raise RuntimeError.
void copyFileReplacing(const QString &source, const QString &destination, WriteMode mode = WriteMode::Replace);

// Copies a file through `transfer`, which reads the source from its start
// and writes the copy. A transfer that answers false leaves no copy, and so
// does the call. Only a regular file is copied. Failures to read or write
// raise RuntimeError.
bool copyFileThrough(const QString &source, const QString &destination, WriteMode mode,
                     const std::function<bool(QIODevice &source, QIODevice &copy)> &transfer);

// Writes the bytes as the whole file, as the mode says. Failures raise
// RuntimeError.
void writeFileReplacing(const QString &destination, const QByteArray &bytes, WriteMode mode = WriteMode::Replace);

// Waits until the file's data is on the disk. Failures raise RuntimeError.
void flushToDisk(const QString &path);

// The whole of a UTF-8 text file. Failures raise RuntimeError.
QString readTextFile(const QString &path);

// Why a file could not be written, as far as the system and the device tell:
// a missing folder, no space, no permission, or else a device error.
class RuntimeError;
RuntimeError writeFailure(const QString &path, const QFileDevice &file);

} // namespace tovin
