#pragma once

#include <QString>

#include <exception>

namespace tovin {

// An unexpected failure inside a routine: its error number and description
// are what the common error report shows. Routines raise it and the routine
// that owns the user-facing step catches it, reports it, and returns its
// failure value.
class RuntimeError : public std::exception
{
public:
    RuntimeError(int number, QString description);

    int number() const { return m_number; }
    const QString &description() const { return m_description; }
    const char *what() const noexcept override { return m_what.constData(); }
    // The file the failure was about, when there is one; the report names it.
    const QString &file() const { return m_file; }
    RuntimeError aboutFile(const QString &path) const;

    static RuntimeError overflow();
    static RuntimeError typeMismatch();
    static RuntimeError invalidUseOfNull();
    // From a failed file-system call: errno, and the path it was about, so that
    // a missing folder ("Path not found") is told apart from a missing file.
    // The error names that path.
    static RuntimeError fromErrno(int errorNumber, const QString &path);

private:
    static RuntimeError describeErrno(int errorNumber, const QString &path);

    int m_number;
    QString m_description;
    QByteArray m_what;
    QString m_file;
};

} // namespace tovin
