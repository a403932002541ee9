#pragma once

#include "batchjob.h"
#include "recordstore.h"
#include "scriptedprompts.h"

#include <QSize>
#include <QStringList>
#include <QTemporaryDir>

namespace tovin::test {

// Remembers how a run showed itself.
class RecordingObserver final : public BatchObserver
{
public:
    QStringList titles;
    QList<bool> controlsEnabled;
    int templatesMissing = 0;
    int imagesDoneCalls = 0;
    bool busy = false;
    bool stop = false;
    QList<SkippedImage> skipped;
    // To tell what came between the titles.
    const ScriptedPrompts *prompts = nullptr;
    QList<int> promptsBeforeTitle;
    // The title shown when the skipped images were named.
    QString titleBeforeSkipped;

    void setControlsEnabled(bool enabled) override { controlsEnabled.append(enabled); }
    void setBusy(bool value) override { busy = value; }
    void setTitle(const QString &title) override
    {
        titles.append(title);
        promptsBeforeTitle.append(prompts ? int(prompts->shown.size()) : 0);
    }
    void imagesDone(int, int) override { ++imagesDoneCalls; }
    void albumTemplatesMissing() override { ++templatesMissing; }
    bool stopRequested() override { return stop; }
    void imagesSkipped(const QList<SkippedImage> &images) override
    {
        skipped += images;
        titleBeforeSkipped = titles.value(titles.size() - 1);
    }
};

// A program folder with the Record List and album files, a folder of photos
// and a destination, all temporary, and the job's collaborators.
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

    // Writes a photo of this size and gives the list line that stands for it.
    BatchItem addPhoto(const QString &name, QSize size, bool selected = true);
    BatchRequest request(BatchMode mode, const QList<BatchItem> &items) const;
    BatchOutcome run(const BatchRequest &request, int workers = 1);

    // What a run left: the file names in a folder of the destination, the
    // album's bytes and entries, and what the prompts showed.
    QStringList filesIn(const QString &folder = QString()) const;
    QByteArray album() const;
    QList<QStringList> albumEntries() const;
    QList<ShownPrompt> shown(ShownPrompt::Kind kind) const { return prompts.ofKind(kind); }
    // Titles and prompts in the order the user saw them: a title as it
    // stands, an overwrite question as "? " and the file's name, a message as
    // its text.
    QStringList transcript() const;

    ScriptedPrompts prompts;
    RecordStore records;
    OverwriteChoice choice;
    RecordingObserver observer;
};

QByteArray fileContents(const QString &path);
// The album entries of a Sorvel.xml: one list of its eight values per image.
QList<QStringList> albumEntries(const QString &albumFile);

} // namespace tovin::test
