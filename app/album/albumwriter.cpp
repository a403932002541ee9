#include "albumwriter.h"

#include "fileio.h"
#include "imageengine.h"
#include "paths.h"
#include "runtimeerror.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QUrl>

namespace tovin {
namespace {

const QString kHead = QStringLiteral("Sorvel_head.tpl");
const QString kLoop = QStringLiteral("Sorvel_loop.tpl");
const QString kFoot = QStringLiteral("Sorvel_foot.tpl");

// The album's fixed files, copied in this order; the start page under a name
// of its own, and last, so that it never stands without what it leads to.
const QList<QPair<QString, QString>> kFixedFiles{
    {QStringLiteral("Sorvel.js"), QStringLiteral("Sorvel.js")},
    {QStringLiteral("next_button.jpg"), QStringLiteral("next_button.jpg")},
    {QStringLiteral("back_button.jpg"), QStringLiteral("back_button.jpg")},
    {QStringLiteral("Sorvel.html"), QStringLiteral("index.html")},
};

bool allowedInXml(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
        || (c >= 0x10000 && c <= 0x10FFFF);
}

} // namespace

QString expandTokens(QString text, const QList<QPair<QString, QString>> &replacements)
{
    for (const auto &[token, value] : replacements)
        text.replace(token, value, Qt::CaseSensitive);
    return text;
}

QString cdataSafe(const QString &value)
{
    QString kept;
    kept.reserve(value.size());
    for (const char32_t c : value.toUcs4()) {
        if (allowedInXml(c))
            kept.append(QString::fromUcs4(&c, 1));
    }
    kept.replace(QStringLiteral("]]>"), QStringLiteral("]]]]><![CDATA[>"));
    return kept;
}

AlbumWriter::AlbumWriter(QString templateFolder)
    : m_templateFolder(std::move(templateFolder))
{
}

AlbumWriter::~AlbumWriter()
{
    abort();
}

QString AlbumWriter::templatePath(const QString &name) const
{
    return joinPath(m_templateFolder, name);
}

bool AlbumWriter::templatesPresent() const
{
    return FileExists(templatePath(kHead)) || FileExists(templatePath(kLoop)) || FileExists(templatePath(kFoot));
}

void AlbumWriter::start(const QString &folder, const AlbumLayout &layout)
{
    // Every template is read before anything is written.
    QList<QPair<QString, QString>> head = headReplacements(layout);
    for (auto &replacement : head)
        replacement.second = cdataSafe(replacement.second);
    const QString expandedHead = expandTokens(readTextFile(templatePath(kHead)), head);
    m_loopTemplate = readTextFile(templatePath(kLoop));
    m_foot = readTextFile(templatePath(kFoot));

    const QString albumPath = joinPath(folder, albumFileName());
    m_replacesAlbum = QFileInfo::exists(albumPath);
    // What this start puts where nothing stood goes again when the start
    // cannot complete: a folder holds a whole album or none.
    QStringList created;
    try {
        // A new album opens from the start, empty until the finished one
        // takes its place.
        if (!m_replacesAlbum) {
            openAlbumFile(albumPath);
            write(expandedHead + m_foot);
            close();
            created << albumPath;
        }
        for (const auto &[source, target] : kFixedFiles) {
            const QString copy = joinPath(folder, target);
            if (!QFileInfo::exists(copy))
                created << copy;
            copyFileReplacing(templatePath(source), copy);
        }
        openAlbumFile(albumPath);
        write(expandedHead);
    } catch (const RuntimeError &) {
        m_file.reset();
        for (const QString &path : std::as_const(created))
            QFile::remove(path);
        throw;
    }
}

void AlbumWriter::openAlbumFile(const QString &path)
{
    m_file = std::make_unique<QSaveFile>(path);
    // Unbuffered, so that a full disk shows at the piece that meets it.
    if (!m_file->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw writeFailure(path, *m_file);
}

void AlbumWriter::addEntry(const AlbumEntry &entry)
{
    const QList<QPair<QString, QString>> values{
        {QStringLiteral("#THUMB_SRC#"), cdataSafe(QStringLiteral("./thumbs/") + entry.outputName)},
        {QStringLiteral("#SLIDE_SRC#"), cdataSafe(QStringLiteral("./slides/") + entry.outputName)},
        {QStringLiteral("#THUMB_WIDTH#"), QString::number(entry.thumbWidth)},
        {QStringLiteral("#THUMB_HEIGHT#"), QString::number(entry.thumbHeight)},
        {QStringLiteral("#SLIDE_WIDTH#"), QString::number(entry.slideWidth)},
        {QStringLiteral("#SLIDE_HEIGHT#"), QString::number(entry.slideHeight)},
        {QStringLiteral("#DATE#"), cdataSafe(entry.date)},
        {QStringLiteral("#DESCRIPTION#"), cdataSafe(entry.description)},
        // Our own addition for the album's plain list: the slide's address
        // percent-encoded, so that any file name can stand in an attribute.
        {QStringLiteral("#SLIDE_LINK#"),
         QStringLiteral("./slides/") + QString::fromLatin1(QUrl::toPercentEncoding(entry.outputName))},
    };
    write(expandTokens(m_loopTemplate, values));
}

void AlbumWriter::finish()
{
    write(m_foot);
    close();
}

void AlbumWriter::abort()
{
    if (!m_file)
        return;
    if (m_replacesAlbum) {
        m_file->cancelWriting();
        m_file.reset();
        return;
    }
    // A new album that ends early still gets its foot, so that it shows the
    // entries written so far; where even that cannot be written, the empty
    // album stays.
    try {
        write(m_foot);
        close();
    } catch (const RuntimeError &) {
        m_file.reset();
    }
}

void AlbumWriter::close()
{
    std::unique_ptr<QSaveFile> file = std::move(m_file);
    if (!file->commit())
        throw writeFailure(file->fileName(), *file);
}

void AlbumWriter::write(const QString &piece)
{
    const QByteArray bytes = piece.toUtf8();
    if (!writeWhole(*m_file, bytes.constData(), bytes.size()))
        throw writeFailure(m_file->fileName(), *m_file);
}

} // namespace tovin
