#include "batchfixture.h"

#include "albumlayout.h"
#include "imageengine.h"
#include "recordschema.h"
#include "testenvironment.h"
#include "testimages.h"

#include <QDir>
#include <QDirIterator>
#include <QRegularExpression>
#include <QXmlStreamReader>

namespace tovin::test {

BatchFixture::BatchFixture()
    : records(m_root.filePath(QStringLiteral("program")), prompts)
{
    observer.prompts = &prompts;
    QDir(m_root.path()).mkdir(QStringLiteral("photos"));
    if (!installProgramFolder(programFolder()) || !records.OpenRecordStore(QString::fromLatin1(kRecordListPath)))
        qFatal("could not lay out a program folder for the test");
}

BatchItem BatchFixture::addPhoto(const QString &name, QSize size, bool selected)
{
    const QString path = photoFolder() + u'/' + name;
    if (!QDir().mkpath(QFileInfo(path).path()) || !writeTestJpeg(path, size))
        qFatal("could not write a test photo");
    return {path, selected, ListEntryKind::Image, QStringLiteral("date of ") + name};
}

QList<BatchItem> BatchFixture::addList(const QString &list)
{
    static const QRegularExpression photo("^(-?)([^:]+):?(\\d*)x?(\\d*)$");
    QList<BatchItem> items;
    for (const QString &word : list.split(u' ', Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch part = photo.match(word);
        if (word == QLatin1String(".."))
            items.append({photoFolder() + u'/', true, ListEntryKind::Up, {}});
        else if (word.endsWith(u'/'))
            items.append({photoFolder() + u'/' + word.chopped(1), true, ListEntryKind::Folder, {}});
        else
            items.append(addPhoto(
                part.captured(2),
                part.captured(3).isEmpty() ? QSize(40, 30) : QSize(part.captured(3).toInt(), part.captured(4).toInt()),
                part.captured(1).isEmpty()));
    }
    return items;
}

void BatchFixture::addStanding(const QString &standing)
{
    for (const QString &name : standing.split(u' ', Qt::SkipEmptyParts)) {
        const QString path = inDestination(name);
        bool made = QDir().mkpath(QFileInfo(path).path());
        if (name.endsWith(u'/'))
            made = made && QDir().mkpath(path);
        else if (name.endsWith(u'='))
            made = made && writeBytes(path.chopped(1), {});
        else if (name.endsWith(QLatin1String(".xml")))
            made = made && writeBytes(path, "<html xmlns=\"http://www.w3.org/1999/xhtml\"/>");
        else
            made = made && writeTestJpeg(path, {5, 5});
        if (!made)
            qFatal("could not lay out %s", qPrintable(path));
    }
}

BatchRequest BatchFixture::request(BatchMode mode, const QList<BatchItem> &items) const
{
    BatchRequest request;
    request.destination = destination();
    request.mode = mode;
    request.items = items;
    request.adjustments.width = QStringLiteral("50");
    request.adjustments.height = QStringLiteral("50");
    request.adjustments.saveQuality = 85;
    request.adjustments.description = QStringLiteral("caption of the run");
    request.layout = defaultAlbumLayout();
    return request;
}

BatchOutcome BatchFixture::run(const BatchRequest &request, int workers)
{
    BatchJob job(programFolder(), records, prompts);
    job.setWorkerCount(workers);
    return job.run(request, choice, observer);
}

QStringList BatchFixture::transcript() const
{
    QStringList seen;
    for (int shown = 0, title = 0; shown < prompts.shown.size() || title < observer.titles.size();) {
        if (title < observer.titles.size() && observer.promptsBeforeTitle.at(title) <= shown) {
            seen << observer.titles.at(title++);
            continue;
        }
        const ShownPrompt &prompt = prompts.shown.at(shown++);
        if (prompt.kind == ShownPrompt::Kind::Overwrite)
            seen << "? " + prompt.text.section(u' ', 0, 0);
        else
            seen << (prompt.kind == ShownPrompt::Kind::Document ? "open " : "") + prompt.text;
    }
    return seen.replaceInStrings(destination(), "OUT")
        .replaceInStrings(photoFolder(), "PHOTOS")
        .replaceInStrings(programFolder(), "PROGRAM");
}

QStringList BatchFixture::contents(const QString &folder) const
{
    const QDir root(folder.isEmpty() ? destination() : folder);
    QStringList files;
    QDirIterator file(root.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (file.hasNext()) {
        QString text = root.relativeFilePath(file.next());
        const QSize size = jpegSize(file.filePath());
        if (text == QLatin1String("Sorvel.xml")) {
            for (const QStringList &entry : albumEntries(file.filePath()))
                text += u' ' + entry.value(2) + u'x' + entry.value(3);
            if (!isWellFormedXml(readBytes(file.filePath())))
                text += QStringLiteral(" unclosed");
        } else if (!size.isEmpty()) {
            text += QStringLiteral(" %1x%2").arg(size.width()).arg(size.height());
        }
        if (!kFixedAlbumFiles.contains(text.section(u' ', 0, 0)))
            files << text;
    }
    files.sort();
    return files;
}

void installPreviewTemplates(const QString &programFolder)
{
    const QDir installed(builtProgramFolder() + QStringLiteral("/src/prv"));
    for (QDirIterator file(installed.path(), QDir::Files, QDirIterator::Subdirectories); file.hasNext();) {
        const QString copy = programFolder + QStringLiteral("/src/prv/") + installed.relativeFilePath(file.next());
        if (!QDir().mkpath(QFileInfo(copy).path()) || !QFile::copy(file.filePath(), copy))
            qFatal("could not copy the preview templates");
    }
}

QSize jpegSize(const QString &path)
{
    return imageFileSize(path);
}

QList<QStringList> albumEntries(const QString &albumFile)
{
    QXmlStreamReader xml(readBytes(albumFile));
    QList<QStringList> entries;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.attributes().value(QStringLiteral("class")) == QLatin1String("sorvel-photo"))
            entries.append(QStringList());
        else if (!entries.isEmpty() && xml.name() == QLatin1String("span")
                 && xml.attributes().hasAttribute(QStringLiteral("data-field")))
            entries.last().append(xml.readElementText());
    }
    return entries;
}

bool isWellFormedXml(const QByteArray &album)
{
    QXmlStreamReader xml(album);
    while (!xml.atEnd())
        xml.readNext();
    return !xml.hasError() && !album.isEmpty();
}

} // namespace tovin::test
