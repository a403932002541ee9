#pragma once

#include "albumlayout.h"
#include "imagelisting.h"

#include <QFuture>
#include <QList>
#include <QString>

#include <cstdint>

namespace tovin {

class RecordStore;
class UserPrompts;

enum class BatchMode {
    ScaleOnly, // "&Scale Only"
    ScaleAndAlbum, // "Scale && &Create Album Template"
    AlbumOnly, // "Create Album Template &Only"
};

// One line of the image list as the run sees it. An image's date text is
// empty while the list has not read it; the run then reads it itself.
struct BatchItem {
    QString key;
    bool selected = true;
    ListEntryKind kind = ListEntryKind::Image;
    QString dateText;
};

// The main window's adjustment fields (as typed) and current choices, used
// for every image that has no row in the Record List.
struct MainAdjustments {
    QString width = QStringLiteral("100");
    QString height = QStringLiteral("100");
    QString brightness = QStringLiteral("0");
    QString contrast = QStringLiteral("0");
    QString description;
    std::int32_t selectedFilter = 1;
    std::int32_t saveQuality = 100;
};

struct BatchRequest {
    QString destination;
    QString baseName;
    BatchMode mode = BatchMode::ScaleOnly;
    QList<BatchItem> items;
    MainAdjustments adjustments;
    AlbumLayout layout;
    // Reductions decode the JPEG shrunk first (ScaleSettings::fastReduction).
    bool fastReduction = false;
    // Colours converted to sRGB, and what is written told no private data
    // (ScaleSettings::convertToSrgb, ::removePrivateData).
    bool convertToSrgb = false;
    bool removePrivateData = true;
    // In "Scale && &Create Album Template": 0 copies the original files as
    // slides; N makes them fit within N x N pixels.
    int slidesFitWithin = 0;
};

// "Dont show this message again." of the overwrite question. It outlives a
// run, for as long as the window that asks lives; a cancelled run clears it.
struct OverwriteChoice {
    bool dontAskAgain = false;
};

// An image that the run passed over because it cannot be read or decoded,
// and why. Nothing of it was written.
struct SkippedImage {
    QString path;
    QString reason;

    bool operator==(const SkippedImage &) const = default;
};

// The list of the images a run did not write, one "path: reason" line each,
// as the window and the terminal show it at the end of the run.
QString skippedImagesText(const QList<SkippedImage> &images);

enum class BatchOutcome {
    Done,
    Canceled, // the user stopped the run
    Failed, // the common error report was shown
    NotStarted, // missing templates or destination folder; nothing was written
};

// How the run shows itself on the window that started it.
class BatchObserver
{
public:
    virtual ~BatchObserver() = default;
    // The batch window's destination, name and Generate controls.
    virtual void setControlsEnabled(bool) { }
    virtual void setBusy(bool) { }
    virtual void setTitle(const QString &) { }
    virtual void imagesDone(int /*done*/, int /*total*/) { }
    // One of the run's files is in place, `bytes` long.
    virtual void outputWritten(qint64 /*bytes*/) { }
    // The album templates are missing: the window falls back to "&Scale Only".
    virtual void albumTemplatesMissing() { }
    // Called after each overwrite question.
    virtual void processPendingEvents() { }
    // Returns once an image's work is done, which its turn waits for; a
    // window lets its events through meanwhile.
    virtual void waitFor(QFuture<void> work) { work.waitForFinished(); }
    virtual bool stopRequested() { return false; }
    // At the end of a run that passed images over, after its last title.
    virtual void imagesSkipped(const QList<SkippedImage> &) { }
};

// The batch run over the selected images of the list: scaled JPEG copies,
// the Sorvel album, or both. It looks exactly like a run that takes the
// images one by one, whatever the number of workers: each image has its turn
// in list order on the calling thread, after the one before has fully ended,
// and only then are its title shown, its question asked, its error reported,
// its files put in place and its album entry written. Decoding, resampling,
// encoding and copying run ahead on worker threads into temporary files; an
// image whose source may be an output of an earlier image of the run waits
// for that image's turn before it is read. A stopped run leaves every image
// before the stop written and none after it.
class BatchJob
{
public:
    BatchJob(QString programFolder, RecordStore &records, UserPrompts &prompts);

    void setWorkerCount(int workers) { m_workers = workers; }
    // The desktop opens the album's start page or the destination at the end.
    void setOpensResult(bool opens) { m_opensResult = opens; }

    BatchOutcome run(const BatchRequest &request, OverwriteChoice &choice, BatchObserver &observer);

    // The images the last run passed over, in list order.
    const QList<SkippedImage> &skippedImages() const { return m_skipped; }

private:
    QString m_programFolder;
    RecordStore &m_records;
    UserPrompts &m_prompts;
    int m_workers = 1;
    bool m_opensResult = true;
    QList<SkippedImage> m_skipped;
};

} // namespace tovin
