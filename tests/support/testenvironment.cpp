#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>

#include <sys/resource.h>

namespace tovin::test {

void useTemporarySettings(const QTemporaryDir &folder)
{
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder.path());
}

QString sharedTestData()
{
    const QString dir = qEnvironmentVariable("TOVIN_TESTDATA", QStringLiteral(TOVIN_DEFAULT_TESTDATA));
    return !dir.isEmpty() && QDir(dir).exists(QStringLiteral("unusual")) ? dir : QString();
}

QString builtProgramFolder()
{
    return qEnvironmentVariable("TOVIN_PROGRAM_DIR", QStringLiteral(TOVIN_DEFAULT_PROGRAM_DIR));
}

bool installRecordList(const QString &programFolder)
{
    const QString target = programFolder + QStringLiteral("/src/dbm/Tovindb.db");
    return QDir(programFolder).mkpath(QStringLiteral("src/dbm"))
        && QFile::copy(builtProgramFolder() + QStringLiteral("/src/dbm/Tovindb.db"), target)
        && QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
}

bool installProgramFolder(const QString &programFolder)
{
    const QDir albumFiles(builtProgramFolder() + QStringLiteral("/src/sorv"));
    const QString target = programFolder + QStringLiteral("/src/sorv/");
    if (!installRecordList(programFolder) || !QDir().mkpath(target))
        return false;
    const QStringList names = albumFiles.entryList(QDir::Files);
    return std::all_of(names.begin(), names.end(),
                       [&](const QString &name) { return QFile::copy(albumFiles.filePath(name), target + name); });
}

std::int64_t peakResidentBytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return std::int64_t(usage.ru_maxrss) * 1024;
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

} // namespace tovin::test
