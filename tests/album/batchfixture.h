#pragma once

#include "batchjob.h"
#include "recordstore.h"
#include "scriptedprompts.h"

#include <QSize>
#include <QStringList>
#include <QTemporaryDir>

namespace tovin::test {

// Remembers how a run showed itself, and how many prompts came before each
// title.
class RecordingObserver final : public BatchObserver
{
public:
    QStringList titles;
    QList<int> promptsBeforeTitle;
    QList<bool> controlsEnabled;
    int templatesMissing = 0;
    int imagesDoneCalls = 0;
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
    // The image list in words: "name" a 40 x 30 photo, "name:WxH" one of that
    // size, "-name" one not selected, "dir/" a folder, ".." the up entry.
    QList<BatchItem> addList(const QString &list);
    // What stands in the destination: "path" a 5 x 5 picture (an album
    // without entries where it ends in .xml), "path/" a folder, "path=" an
    // empty file.
    void addStanding(const QString &standing);
    BatchRequest request(BatchMode mode, const QList<BatchItem> &items) const;
    BatchOutcome run(const BatchRequest &request, int workers = 1);

    QStringList filesIn(const QString &folder = QString()) const;
    QList<ShownPrompt> shown(ShownPrompt::Kind kind) const { return prompts.ofKind(kind); }
    // Titles and prompts in the order the user saw them: a title as it
    // stands, an overwrite question as "? " and the file's name, a document
    // opened as "open " and its path, a message as its text. The destination,
    // photo and program folders read OUT, PHOTOS and PROGRAM.
    QStringList transcript() const;
    // Every file under a folder (the destination unless told), hidden ones
    // too: a picture with its size ("thumbs/a.jpg 20x15"), the album with the
    // thumbnail sizes of its entries and "unclosed" where it does not parse
    // to its end. The album's fixed files are left out.
    QStringList contents(const QString &folder = QString()) const;

    ScriptedPrompts prompts;
    RecordStore records;
    OverwriteChoice choice;
    RecordingObserver observer;
};

QSize jpegSize(const QString &path);
// The album entries of a Sorvel.xml: one list of its eight values per image.
QList<QStringList> albumEntries(const QString &albumFile);
// Whether an album is well-formed XML to its end, as a browser needs it.
bool isWellFormedXml(const QByteArray &album);

// A table of runs. A row gives the image list and what stands in the
// destination (as BatchFixture reads them), options, and what the run must
// end with, say (the transcript joined by " | ") and leave (the contents
// joined by ", "). The options: "album" or "album-only" (else scale only),
// "workers=N", "base=NAME" (percent-encoded), "width=PERCENT", "dest=SUFFIX"
// added to the destination, "into-photos" (the photo folder is the
// destination), "cancel" (the first question is cancelled), "stop",
// "no-records" (the Record List closed), "remove=FILE,..." (album templates
// taken away), "protect=NAME" (a standing file the user may not write),
// "full-disk" and "read-only-disk" (the destination on such a file system).
void addRunColumns();
void checkRun();

} // namespace tovin::test
