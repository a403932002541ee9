#include "albumpreview.h"

#include "albumwriter.h"
#include "errorreport.h"
#include "fileio.h"
#include "imageengine.h"
#include "numbertext.h"
#include "paths.h"
#include "runtimeerror.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QUrl>

#include <cerrno>

namespace tovin {
namespace {

const QString kHead = QStringLiteral("prv_Sorvel_head.tpl");
const QString kLoop = QStringLiteral("prv_Sorvel_loop.tpl");
const QString kFoot = QStringLiteral("prv_Sorvel_foot.tpl");

bool isTemplate(const QString &name)
{
    return name == kHead || name == kLoop || name == kFoot;
}

// Rows and columns are 16-bit, and so are their product and its double.
int entryCount(const AlbumLayout &layout)
{
    const std::int16_t rows = toInt16(textToDouble(layout.fields.value(QStringLiteral("thumb_r"))));
    const std::int16_t columns = toInt16(textToDouble(layout.fields.value(QStringLiteral("thumb_c"))));
    const std::int16_t cells = toInt16(double(rows) * columns);
    return toInt16(double(cells) * 2);
}

} // namespace

AlbumPreview::AlbumPreview(QString programFolder, QString cacheFolder)
    : m_programFolder(std::move(programFolder))
    , m_cacheFolder(std::move(cacheFolder))
{
}

QString AlbumPreview::templateFolder() const
{
    return joinPath(m_programFolder, QStringLiteral("src/prv"));
}

QString AlbumPreview::pageFolder() const
{
    const QFileInfo folder(templateFolder());
    if (folder.isDir() && folder.isWritable())
        return templateFolder();
    return joinPath(m_cacheFolder, QStringLiteral("prv"));
}

AlbumPreview::Result AlbumPreview::write(const AlbumLayout &layout, const QStringList &pictures) const
{
    const QDir templates(templateFolder());
    if (!FileExists(templates.filePath(kHead)) && !FileExists(templates.filePath(kLoop))
        && !FileExists(templates.filePath(kFoot)))
        return {Status::TemplatesMissing, {}, {}};
    try {
        preparePageFolder();
        writePictureList(pictures);
        writeAlbum(layout);
    } catch (const RuntimeError &error) {
        return {Status::Failed, {}, errorReportText(error)};
    }
    return {Status::Written, QUrl::fromLocalFile(joinPath(pageFolder(), pageName())).toString(), {}};
}

// A copy in the cache folder takes the page and everything it loads, and is
// refreshed whenever the program's own files are newer.
void AlbumPreview::preparePageFolder() const
{
    const QString target = pageFolder();
    if (target == templateFolder())
        return;
    if (!QDir().mkpath(target))
        throw RuntimeError::fromErrno(EACCES, target);
    // The page's own files and the folders it loads from (the sample pictures).
    QDirIterator files(templateFolder(), QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QFileInfo file(files.next());
        if (isTemplate(file.fileName()) || file.fileName() == AlbumWriter::albumFileName())
            continue;
        const QFileInfo copy(joinPath(target, QDir(templateFolder()).relativeFilePath(file.filePath())));
        if (!QDir().mkpath(copy.path()))
            throw RuntimeError::fromErrno(EACCES, copy.path());
        if (!copy.exists() || copy.lastModified() < file.lastModified() || copy.size() != file.size())
            copyFileReplacing(file.filePath(), copy.filePath());
    }
}

void AlbumPreview::writePictureList(const QStringList &pictures) const
{
    QJsonArray list;
    for (const QString &picture : pictures) {
        if (list.size() == kMostPictures)
            break;
        const QSize size = imageFileSize(picture);
        if (size.isEmpty())
            continue;
        list.append(QJsonObject{{QStringLiteral("url"), QUrl::fromLocalFile(picture).toString(QUrl::FullyEncoded)},
                                {QStringLiteral("name"), QFileInfo(picture).fileName()},
                                {QStringLiteral("width"), size.width()},
                                {QStringLiteral("height"), size.height()}});
    }
    const QByteArray script =
        "window.sorvelPreviewPhotos = " + QJsonDocument(list).toJson(QJsonDocument::Compact) + ";\n";
    const QString path = joinPath(pageFolder(), QStringLiteral("prv_photos.js"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(script) != script.size() || !file.commit())
        throw RuntimeError::fromErrno(EACCES, path);
}

void AlbumPreview::writeAlbum(const AlbumLayout &layout) const
{
    const QDir templates(templateFolder());
    const QString head = expandTokens(readTextFile(templates.filePath(kHead)), headReplacements(layout));
    const QString entry = readTextFile(templates.filePath(kLoop));
    const int entries = entryCount(layout);
    const QString foot = readTextFile(templates.filePath(kFoot));

    const QString path = joinPath(pageFolder(), AlbumWriter::albumFileName());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw RuntimeError::fromErrno(EACCES, path);
    file.write(head.toUtf8());
    const QByteArray entryBytes = entry.toUtf8();
    for (int i = 0; i < entries; ++i)
        file.write(entryBytes);
    file.write(foot.toUtf8());
    if (!file.commit())
        throw RuntimeError::fromErrno(ENOSPC, path);
}

} // namespace tovin
