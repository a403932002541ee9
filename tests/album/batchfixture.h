#pragma once

#include "batchjob.h"
#include "recordstore.h"
#include "scriptedprompts.h"

#include <QSize>
#include <QStringList>
#include <QTemporaryDir>

namespace tovin::test {

// The files every album is written with, left out of BatchFixture::contents.
inline const QStringList kFixedAlbumFiles{"Sorvel.js", "back_button.jpg", "index.html", "next_button.jpg"};

// Remembers what a run told, and how many prompts came before each title.
class RecordingObserver final : public BatchObserver
{
public:
    QStringList titles;
    QList<int> promptsBeforeTitle;
    QList<bool> controlsEnabled;
    int templatesMissing = 0;
    qint64 bytesWritten = 0;
    bool stop = false;
    QList<SkippedImage> skipped;
    QString titleBeforeSkipped;
    const ScriptedPrompts *prompts = nullptr;

    void setControlsEnabled(bool enabled) override { controlsEnabled.append(enabled); }
    void setTitle(const QString &title) override
    {
        titles.append(title);
        promptsBeforeTitle.append(int(prompts->shown.size()));
    }
    void albumTemplatesMissing() override { ++templatesMissing; }
    void outputWritten(qint64 bytes) override { bytesWritten += bytes; }
    bool stopRequested() override { return stop; }
    void imagesSkipped(const QList<SkippedImage> &images) override
    {
        skipped += images;
        titleBeforeSkipped = titles.value(titles.size() - 1);
    }
};

// Temporary program, photo and destination folders, the job's collaborators.
class BatchFixture
{
    // First, so that it exists before the members that live in it.
    QTemporaryDir m_root;

public:
    BatchFixture();

    QString programFolder() const { return m_root.filePath(QStringLiteral("program")); }
    QString photoFolder() const { return m_root.filePath(QStringLiteral("photos")); }
    QString destination() const { return m_root.filePath(QStringLiteral("out")); }
    QString inDestination(const QString &relative) const { return destination() + u'/' + relative; }

    BatchItem addPhoto(const QString &name, QSize size, bool selected = true);
    // "name" a 40 x 30 photo, "name:WxH" one of that size, "-name" one not
    // selected, "dir/" a folder, ".." the up entry.
    QList<BatchItem> addList(const QString &list);
    // In the destination: "path" a 5 x 5 picture (an empty album where it
    // ends in .xml), "path/" a folder, "path=" an empty file.
    void addStanding(const QString &standing);
    BatchRequest request(BatchMode mode, const QList<BatchItem> &items) const;
    BatchOutcome run(const BatchRequest &request, int workers = 1);

    QList<ShownPrompt> shown(ShownPrompt::Kind kind) const { return prompts.ofKind(kind); }
    // Titles and prompts in order: a question as "? NAME", a document as
    // "open PATH"; the folders read OUT, PHOTOS and PROGRAM.
    QStringList transcript() const;
    // Every file under the folder: a picture with its size, the album with its
    // thumbnail sizes and "unclosed" where it does not parse to its end.
    QStringList contents(const QString &folder = QString()) const;

    ScriptedPrompts prompts;
    RecordStore records;
    OverwriteChoice choice;
    RecordingObserver observer;
};

// The laid-out program folder's preview templates, copied into another.
void installPreviewTemplates(const QString &programFolder);
QSize jpegSize(const QString &path);
// One list of the eight values per entry of a Sorvel.xml.
QList<QStringList> albumEntries(const QString &albumFile);
bool isWellFormedXml(const QByteArray &album);

} // namespace tovin::test
