#pragma once

#include <QString>

namespace tovin {

// Where the program writes: the folder that holds the Record List
// (src/dbm/...) and the one that holds the work folder tmp. Beside the
// program when its folder is writable (a build tree, a portable copy);
// otherwise, as for an installed program, in the user's data and cache
// folders.
struct WritableFolders {
    QString records;
    QString work;
};

WritableFolders chooseWritableFolders(const QString &programFolder, bool programFolderWritable,
                                      const QString &userDataFolder, const QString &userCacheFolder);

// The folders for this user and this program.
WritableFolders writableFoldersForUser(const QString &programFolder);

// Gives a user's records folder its own copy of the empty Record List that
// ships with the program, once; a copy the user already has is kept. False
// when no copy could be made.
bool seedRecordList(const QString &programFolder, const QString &recordsFolder);

} // namespace tovin
