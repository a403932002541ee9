#include "filesystemfaults.h"

#include <QFile>
#include <QProcess>

#include <unistd.h>

#include <algorithm>

namespace tovin::test {
namespace {

bool runQuietly(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

} // namespace

ScratchMount::ScratchMount(int kilobytes)
{
    m_mounted = ::geteuid() == 0
        && runQuietly(QStringLiteral("mount"),
                      {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                       QStringLiteral("size=%1k").arg(kilobytes), QStringLiteral("tmpfs"), m_folder.path()});
}

ScratchMount::~ScratchMount()
{
    if (m_mounted)
        runQuietly(QStringLiteral("umount"), {m_folder.path()});
}

bool ScratchMount::fill(int leaveKilobytes)
{
    QFile filler(m_folder.filePath(QStringLiteral("filler")));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size()) { }
    // The last partial block too.
    while (filler.write(block.constData(), 1) == 1) { }
    return filler.resize(std::max<qint64>(0, filler.size() - qint64(leaveKilobytes) * 1024));
}

bool ScratchMount::remountReadOnly()
{
    return m_mounted
        && runQuietly(QStringLiteral("mount"), {QStringLiteral("-o"), QStringLiteral("remount,ro"), m_folder.path()});
}

WriteProtection::WriteProtection(QString path)
    : m_path(std::move(path))
{
    if (::geteuid() == 0)
        m_active = m_immutable = runQuietly(QStringLiteral("chattr"), {QStringLiteral("+i"), m_path});
    else
        m_active = QFile::setPermissions(m_path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
}

WriteProtection::~WriteProtection()
{
    if (m_immutable)
        runQuietly(QStringLiteral("chattr"), {QStringLiteral("-i"), m_path});
    else if (m_active)
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner);
}

} // namespace tovin::test
