#include "imagelisting.h"

#include "paths.h"
#include "runtimeerror.h"

#include <tovin/numeric.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

namespace tovin {
namespace {

const QString kUpEntryName = QStringLiteral(". . . .");

// The locale's long time without its time zone: the list shows wall-clock
// times only. Quoted literal text in the format is kept as it is.
QString timeFormatWithoutZone(const QLocale &locale)
{
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString kept;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        if (quoted || c != u't')
            kept.append(c);
    }
    return kept.trimmed();
}

// statx, because only it tells the birth time, and whether the file system
// keeps one at all. Nothing for what is no regular file.
std::optional<struct statx> regularFileStatus(const QByteArray &encodedPath)
{
    struct statx status { };
    if (::statx(AT_FDCWD, encodedPath.constData(), 0, STATX_TYPE | STATX_SIZE | STATX_MTIME | STATX_BTIME, &status) != 0
        || !S_ISREG(status.stx_mode))
        return std::nullopt;
    return status;
}

QDateTime birthOrModification(const struct statx &status)
{
    return QDateTime::fromSecsSinceEpoch((status.stx_mask & STATX_BTIME) ? status.stx_btime.tv_sec
                                                                         : status.stx_mtime.tv_sec);
}

// A name that is not valid UTF-8 cannot be given back to the file system
// through a QString, and QDir leaves such files out without a word. They are
// listed under their decoded name (each invalid byte shown as U+FFFD), so
// that they are seen, and a batch run names them among the images it could
// not read.
QList<ListEntry> filesWithUndecodableNames(const QString &folder, const QLocale &locale)
{
    QList<ListEntry> entries;
    const QByteArray encodedFolder = QFile::encodeName(folder);
    DIR *dir = ::opendir(encodedFolder.constData());
    if (!dir)
        return entries;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name.startsWith('.') || !isJpegName(QString::fromLatin1(name)) || name.isValidUtf8())
            continue;
        const std::optional<struct statx> status = regularFileStatus(encodedFolder + '/' + name);
        if (!status)
            continue;
        const QString decoded = QFile::decodeName(name);
        entries.append({ListEntryKind::Image, joinPath(folder, decoded), decoded,
                        listDateText(birthOrModification(*status), locale), listSizeText(qint64(status->stx_size))});
    }
    ::closedir(dir);
    return entries;
}

} // namespace

bool isJpegName(const QString &name)
{
    return name.endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive)
        || name.endsWith(QLatin1String(".jpeg"), Qt::CaseInsensitive);
}

QString listDateText(const QDateTime &dateTime, const QLocale &locale)
{
    const QString date = locale.toString(dateTime.date(), QLocale::ShortFormat);
    if (dateTime.time() == QTime(0, 0))
        return date;
    return date + u' ' + locale.toString(dateTime.time(), timeFormatWithoutZone(locale));
}

std::optional<QDateTime> fileDateTime(const QString &path)
{
    const std::optional<struct statx> status = regularFileStatus(QFile::encodeName(path));
    if (!status)
        return std::nullopt;
    return birthOrModification(*status);
}

QString listSizeText(std::int64_t bytes)
{
    return QString::number(std::int64_t(roundHalfEven(double(bytes) / 1024))) + QStringLiteral("KB");
}

QList<ListEntry> listFolderEntries(const QString &folder, const QLocale &locale)
{
    const QDir dir(folder);
    if (!dir.exists())
        throw RuntimeError::fromErrno(ENOTDIR, folder);
    if (!QFileInfo(folder).isReadable())
        throw RuntimeError::fromErrno(EACCES, folder);

    QList<ListEntry> entries;
    const QString full = dir.absolutePath();
    if (full != QLatin1String("/")) {
        const QString parent = collapseSeparators(full.left(full.lastIndexOf(u'/') + 1));
        entries.append({ListEntryKind::Up, parent, kUpEntryName, {}, {}});
    }

    // One pass over the folder gives every name with its kind, size and date;
    // a big folder is read once, not once for folders and again for files.
    const QFileInfoList found =
        dir.entryInfoList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &sub : found) {
        if (sub.isDir())
            entries.append({ListEntryKind::Folder, sub.absoluteFilePath(), sub.fileName(), {}, {}});
    }
    for (const QFileInfo &file : found) {
        if (!file.isDir() && isJpegName(file.fileName())) {
            entries.append({ListEntryKind::Image,
                            joinPath(folder, file.fileName()),
                            file.fileName(),
                            {},
                            listSizeText(file.size())});
        }
    }
    entries += filesWithUndecodableNames(folder, locale);
    return entries;
}

} // namespace tovin
