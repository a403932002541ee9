#include "writablefolders.h"

#include "recordschema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace tovin {

WritableFolders chooseWritableFolders(const QString &programFolder, bool programFolderWritable,
                                      const QString &userDataFolder, const QString &userCacheFolder)
{
    if (programFolderWritable)
        return {programFolder, programFolder};
    return {userDataFolder, userCacheFolder};
}

WritableFolders writableFoldersForUser(const QString &programFolder)
{
    return chooseWritableFolders(programFolder, QFileInfo(programFolder).isWritable(),
                                 QStandardPaths::writableLocation(QStandardPaths::AppDataLocation),
                                 QStandardPaths::writableLocation(QStandardPaths::CacheLocation));
}

bool seedRecordList(const QString &programFolder, const QString &recordsFolder)
{
    const QString relative = QString::fromLatin1(kRecordListPath);
    const QString target = recordsFolder + relative;
    if (QFileInfo::exists(target))
        return true;
    if (!QDir().mkpath(QFileInfo(target).absolutePath()) || !QFile::copy(programFolder + relative, target))
        return false;
    // The installed copy is read-only; the user's own must not be.
    return QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
}

} // namespace tovin
