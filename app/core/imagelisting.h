#pragma once

#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QString>

#include <cstdint>
#include <optional>

namespace tovin {

enum class ListEntryKind { Up = 1, Folder = 2, Image = 3 };

// One line of the image list: the up entry, a subfolder or a JPEG file. The
// key is the full path (the parent folder, ending with a separator, for the
// up entry); an image's key is its identity in the Record List. An image's
// date text is empty until its date has been read: a photo's date lies inside
// the file, and reading thousands of them must not hold the listing up.
struct ListEntry {
    ListEntryKind kind = ListEntryKind::Image;
    QString key;
    QString name;
    QString dateText;
    QString sizeText;
};

// The entries of a folder in list order: the up entry (none at the root),
// the subfolders, then the *.jpg and *.jpeg files in any letter case, each
// group in name order; hidden entries are left out. Images come without their
// date text, but for names that cannot be given back to the file system,
// which get their file's date at once. A folder that cannot be read raises
// RuntimeError.
QList<ListEntry> listFolderEntries(const QString &folder, const QLocale &locale = QLocale::system());

// "*.jpg" and "*.jpeg" in any letter case: the files the list shows.
bool isJpegName(const QString &name);

// "Date Created": the locale's short date and long time, the date alone at
// exactly midnight.
QString listDateText(const QDateTime &dateTime, const QLocale &locale = QLocale::system());
// When a file came to be, as far as its file system knows: its birth time
// where the file system records one, else its last modification. Nothing
// when the file cannot be reached or is no regular file.
std::optional<QDateTime> fileDateTime(const QString &path);
// "Size": whole kilobytes, rounded half to even, followed by "KB".
QString listSizeText(std::int64_t bytes);

} // namespace tovin
