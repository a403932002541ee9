#pragma once

#include <QString>
#include <QTemporaryDir>

namespace tovin::test {

// A small tmpfs, for a full disk or a read-only file system. Only root may
// mount one; elsewhere isMounted() is false.
class ScratchMount
{
public:
    explicit ScratchMount(int kilobytes);
    ~ScratchMount();

    bool isMounted() const { return m_mounted; }
    QString path() const { return m_folder.path(); }
    // Fills what is left of the space with one file, then gives back the
    // kilobytes asked for.
    bool fill(int leaveKilobytes = 0);
    bool remountReadOnly();

private:
    QTemporaryDir m_folder;
    bool m_mounted = false;
};

// A file that the user may not write: its write bits taken away, or, for
// root (who may write any file whatever its bits), the immutable attribute.
// Undone when it goes, so that the test's folder can be removed.
class WriteProtection
{
public:
    explicit WriteProtection(QString path);
    ~WriteProtection();
    WriteProtection(const WriteProtection &) = delete;
    WriteProtection &operator=(const WriteProtection &) = delete;

    bool isActive() const { return m_active; }

private:
    QString m_path;
    bool m_active = false;
    bool m_immutable = false;
};

} // namespace tovin::test
