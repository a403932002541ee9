#include "runtimeerror.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>

namespace tovin {

RuntimeError::RuntimeError(int number, QString description)
    : m_number(number)
    , m_description(std::move(description))
    , m_what(QStringLiteral("%1: %2").arg(number).arg(m_description).toUtf8())
{
}

RuntimeError RuntimeError::aboutFile(const QString &path) const
{
    RuntimeError named(*this);
    named.m_file = path;
    return named;
}

RuntimeError RuntimeError::overflow()
{
    return {6, QStringLiteral("Overflow")};
}

RuntimeError RuntimeError::typeMismatch()
{
    return {13, QStringLiteral("Type mismatch")};
}

RuntimeError RuntimeError::invalidUseOfNull()
{
    return {94, QStringLiteral("Invalid use of Null")};
}

// The numbers are the ones users of the program have always seen for these
// failures; the description is the system's own wording where it has none.
RuntimeError RuntimeError::fromErrno(int errorNumber, const QString &path)
{
    return describeErrno(errorNumber, path).aboutFile(path);
}

RuntimeError RuntimeError::describeErrno(int errorNumber, const QString &path)
{
    switch (errorNumber) {
    case ENOENT:
        if (!path.isEmpty() && !QFileInfo(path).absoluteDir().exists())
            return {76, QStringLiteral("Path not found")};
        return {53, QStringLiteral("File not found")};
    case ENOTDIR:
        return {76, QStringLiteral("Path not found")};
    case EACCES:
    case EPERM:
    case EROFS:
        return {70, QStringLiteral("Permission denied")};
    case EEXIST:
        return {58, QStringLiteral("File already exists")};
    case ENOSPC:
    case EDQUOT:
        return {61, QStringLiteral("Disk full")};
    case EIO:
        return {57, QStringLiteral("Device I/O error")};
    default:
        return {75, QStringLiteral("Path/File access error")};
    }
}

} // namespace tovin
