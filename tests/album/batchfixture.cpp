#include "batchfixture.h"

#include "albumlayout.h"
#include "recordschema.h"
#include "testenvironment.h"
#include "testimages.h"

#include <QDir>
#include <QFile>
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
    if (!writeTestJpeg(path, size))
        qFatal("could not write a test photo");
    return {path, selected, ListEntryKind::Image, QStringLiteral("date of ") + name};
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

QStringList BatchFixture::filesIn(const QString &folder) const
{
    return QDir(inDestination(folder)).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

QByteArray BatchFixture::album() const
{
    return fileContents(inDestination(QStringLiteral("Sorvel.xml")));
}

QList<QStringList> BatchFixture::albumEntries() const
{
    return test::albumEntries(inDestination(QStringLiteral("Sorvel.xml")));
}

QStringList BatchFixture::transcript() const
{
    QStringList seen;
    int shown = 0;
    auto showUpTo = [&](int count) {
        for (; shown < count && shown < prompts.shown.size(); ++shown) {
            const ShownPrompt &prompt = prompts.shown.at(shown);
            if (prompt.kind == ShownPrompt::Kind::Document)
                continue;
            seen << (prompt.kind == ShownPrompt::Kind::Overwrite
                         ? QStringLiteral("? ") + prompt.text.section(u' ', 0, 0)
                         : prompt.text);
        }
    };
    for (int i = 0; i < observer.titles.size(); ++i) {
        showUpTo(observer.promptsBeforeTitle.at(i));
        seen << observer.titles.at(i);
    }
    showUpTo(int(prompts.shown.size()));
    return seen;
}

QByteArray fileContents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QList<QStringList> albumEntries(const QString &albumFile)
{
    QXmlStreamReader xml(fileContents(albumFile));
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

} // namespace tovin::test
