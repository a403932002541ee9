#include "batchjob.h"

#include "adjustmentrecord.h"
#include "albumwriter.h"
#include "capturedate.h"
#include "errorreport.h"
#include "fieldchecks.h"
#include "imageengine.h"
#include "imagework.h"
#include "makefolder.h"
#include "messagetable.h"
#include "numbertext.h"
#include "paths.h"
#include "temporaryfiles.h"
#include "userprompts.h"

#include <tovin/numeric.h>

#include <QFileInfo>
#include <QFuture>
#include <QHash>
#include <QtConcurrent/QtConcurrentRun>
#include <QThreadPool>

#include <deque>
#include <memory>
#include <optional>

namespace tovin {
namespace {

const QString kScalingTitle = QStringLiteral("Scaling: ");
const QString kDoneTitle = QStringLiteral("Done");
const QString kCanceledTitle = QStringLiteral("Operation Canceled.");
const QString kFailedTitle = QStringLiteral("Operation Failed.");
const QString kTemplatesMissing = QStringLiteral("Template files for Sorvel could not be found.");
const QString kReinstallSorvel =
    QStringLiteral("Please reinstall Sorvel Package and try again. If you do not have Sorvel, you can get it at: "
                   "https://www.example.org/sorvel/");

// One qualifying image from the moment it is prepared (ahead of its turn)
// until its turn has ended.
struct ImageStep {
    int index = 0;
    QString key;
    QString fileName;
    QString outputName;
    QString outputPath;
    QString slidePath;
    QString dateText;
    std::optional<AdjustmentRecord> record;
    double widthPercent = 100;
    double heightPercent = 100;
    // Failures met while preparing are reported at the image's turn, where a
    // run one by one meets them: the number before the title, the
    // adjustments after the question.
    std::optional<RuntimeError> numberFailure;
    // Why the image is passed over before anything is done with it.
    std::optional<QString> skipReason;
    std::optional<RuntimeError> adjustmentFailure;
    // An earlier image of the run whose output may be this image's source:
    // this image is read only after that one's turn.
    int waitsFor = -1;
    ImageWork work;
    bool dispatched = false;
    QFuture<ImageWorkResult> result;
};

// The user chose to stop at this point of the list.
struct RunCanceled { };

// Where a path puts its file: its folder without links, and its name. A link
// standing at an output path is replaced by the output, not followed.
QString locationOf(const QString &path)
{
    const QFileInfo info(path);
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return (folder.isEmpty() ? info.absolutePath() : folder) + u'/' + info.fileName();
}

class BatchRun
{
public:
    BatchRun(const BatchRequest &request, OverwriteChoice &choice, BatchObserver &observer, RecordStore &records,
             UserPrompts &prompts, const QString &programFolder, int workers)
        : m_request(request)
        , m_choice(choice)
        , m_observer(observer)
        , m_records(records)
        , m_prompts(prompts)
        , m_album(joinPath(programFolder, QStringLiteral("src/sorv")))
        , m_workers(std::max(1, workers))
        , m_output{OutputFormat::Kind::Jpeg, request.adjustments.saveQuality}
    {
        m_flushing.setMaxThreadCount(1);
        m_pool.setMaxThreadCount(m_workers);
    }

    ~BatchRun() { discardAhead(); }

    BatchOutcome run(QString *openAtEnd);
    const QList<SkippedImage> &skipped() const { return m_skipped; }

private:
    bool inAlbumMode() const { return m_request.mode != BatchMode::ScaleOnly; }
    bool scalesImages() const { return m_request.mode != BatchMode::AlbumOnly; }

    BatchOutcome runImages();
    void prepareAhead();
    bool prepareNext();
    void prepare(ImageStep &step, const BatchItem &item);
    void readAdjustments(ImageStep &step);
    void planWork(ImageStep &step);
    void dispatchReady();
    void dispatch(ImageStep &step);
    void takeTurn(ImageStep &step);
    void askBeforeReplacing(const QString &outputPath);
    void putOutputInPlace(const QString &temporary, const QString &outputPath);
    ImageWorkResult waitFor(ImageStep &step);
    AlbumEntry albumEntryFor(const ImageStep &step, QSize readSize) const;
    void discardAhead();

    const BatchRequest &m_request;
    OverwriteChoice &m_choice;
    BatchObserver &m_observer;
    RecordStore &m_records;
    UserPrompts &m_prompts;
    AlbumWriter m_album;
    int m_workers;
    // What every image of the run is written as.
    const OutputFormat m_output;
    // Flushes the workers' files to disk one after the other, so that no
    // worker waits for the disk. Declared first: the workers hand it files
    // until the last of them is done.
    QThreadPool m_flushing;
    // One thread per worker, each working on one image. Threads without an
    // image share the resampling of the images in flight, as they do near
    // the end of a run, when fewer images are left than workers.
    QThreadPool m_pool;

    QString m_destination;
    QString m_outputFolder;
    QString m_slidesFolder;
    std::optional<RuntimeError> m_failure;
    std::int16_t m_sequence = 0;
    int m_total = 0;
    int m_nextItem = 0;
    int m_prepared = 0;
    int m_turnsTaken = 0;
    bool m_preparingStopped = false;
    std::deque<std::unique_ptr<ImageStep>> m_ahead;
    // Where the images prepared so far write, and the last image to write
    // each place.
    QHash<QString, int> m_writers;
    QList<SkippedImage> m_skipped;
};

BatchOutcome BatchRun::run(QString *openAtEnd)
{
    m_observer.setControlsEnabled(false);
    m_observer.setBusy(true);
    const BatchOutcome outcome = runImages();
    // Every ending gives the window back the same way; only the title and the
    // report differ. The title never goes on naming an image once the run
    // has ended.
    m_observer.setBusy(false);
    if (m_failure) {
        m_observer.setTitle(kFailedTitle);
        showErrorReport(m_prompts, *m_failure);
    }
    m_observer.setControlsEnabled(true);
    if (outcome == BatchOutcome::Canceled)
        m_observer.setTitle(kCanceledTitle);
    if (outcome == BatchOutcome::Done) {
        m_observer.setTitle(kDoneTitle);
        *openAtEnd = inAlbumMode() ? joinPath(m_destination, AlbumWriter::startPageName()) : m_destination;
    }
    if (!m_skipped.isEmpty())
        m_observer.imagesSkipped(m_skipped);
    return outcome;
}

BatchOutcome BatchRun::runImages()
{
    m_destination = trimBlanks(m_request.destination);
    if (inAlbumMode() && !m_album.templatesPresent()) {
        m_prompts.showNotice(kTemplatesMissing + QStringLiteral("\n\n") + kReinstallSorvel, message(111));
        m_observer.albumTemplatesMissing();
        return BatchOutcome::NotStarted;
    }
    // A file standing where the folder should be is reported like any other
    // folder that cannot be made, rather than failing every image quietly.
    if (!QFileInfo(m_destination).isDir() && !MakeFolder(m_destination, m_prompts))
        return BatchOutcome::NotStarted;

    for (const BatchItem &item : m_request.items)
        m_total += item.selected && item.kind == ListEntryKind::Image;

    bool canceled = false;
    try {
        m_outputFolder = m_destination;
        removeStaleTemporaryFiles(m_destination);
        if (inAlbumMode()) {
            m_slidesFolder = joinPath(m_destination, QStringLiteral("slides"));
            const QString thumbs = joinPath(m_destination, QStringLiteral("thumbs"));
            MakeFolder(m_slidesFolder, m_prompts);
            MakeFolder(thumbs, m_prompts);
            removeStaleTemporaryFiles(m_slidesFolder);
            removeStaleTemporaryFiles(thumbs);
            m_album.start(m_destination, m_request.layout);
            m_outputFolder = thumbs;
        }
        for (;;) {
            if (m_observer.stopRequested())
                throw RunCanceled();
            prepareAhead();
            if (m_ahead.empty())
                break;
            takeTurn(*m_ahead.front());
            m_ahead.pop_front();
            m_observer.imagesDone(++m_turnsTaken, m_total);
        }
        if (inAlbumMode())
            m_album.finish();
    } catch (const RuntimeError &error) {
        m_failure = error;
    } catch (const RunCanceled &) {
        canceled = true;
    }
    if (!m_failure && !canceled)
        return BatchOutcome::Done;

    // Images prepared after the stop are thrown away unread by the user.
    discardAhead();
    m_album.abort();
    if (m_failure)
        return BatchOutcome::Failed;
    m_choice.dontAskAgain = false;
    return BatchOutcome::Canceled;
}

// Keeps twice as many images prepared as there are workers. A worker done
// before an earlier image's turn then starts on the next image instead of
// idling; a finished image waits for its turn holding no more than its
// temporary files, and no more images decode at once than there are workers.
void BatchRun::prepareAhead()
{
    while (int(m_ahead.size()) < 2 * m_workers && prepareNext()) { }
    dispatchReady();
}

bool BatchRun::prepareNext()
{
    while (!m_preparingStopped && m_nextItem < m_request.items.size()) {
        const BatchItem &item = m_request.items.at(m_nextItem++);
        if (!item.selected || item.kind != ListEntryKind::Image)
            continue;
        auto step = std::make_unique<ImageStep>();
        prepare(*step, item);
        m_ahead.push_back(std::move(step));
        return true;
    }
    return false;
}

void BatchRun::prepare(ImageStep &step, const BatchItem &item)
{
    step.index = m_prepared++;
    step.key = item.key;
    step.fileName = fileNameOf(item.key);
    // The list reads its dates after showing the files: one it has not read
    // yet is read here, the same way.
    if (inAlbumMode())
        step.dateText = shownOrImageDateText(item.key, item.dateText);
    try {
        m_sequence = toInt16(double(m_sequence) + 1);
    } catch (const RuntimeError &error) {
        // The run stops at this image: nothing after it is prepared.
        step.numberFailure = error;
        m_preparingStopped = true;
        return;
    }
    const QString baseName = trimBlanks(m_request.baseName);
    step.outputPath = baseName.isEmpty()
        ? joinPath(m_outputFolder, step.fileName)
        : joinPath(m_outputFolder, baseName + QString::number(m_sequence) + m_output.extension());
    step.outputName = fileNameOf(step.outputPath);
    // The album could not name the files as they are written: no text of an
    // XML file can hold a control character.
    if (const std::optional<QChar> control = firstControlCharacter(step.outputName); control && inAlbumMode()) {
        step.skipReason = QStringLiteral("the name holds a control character (%1), which no album can name")
                              .arg(characterCode(*control));
        return;
    }
    if (m_request.mode == BatchMode::ScaleAndAlbum)
        step.slidePath = joinPath(m_slidesFolder, step.outputName);
    try {
        readAdjustments(step);
    } catch (const RuntimeError &error) {
        step.adjustmentFailure = error;
        return;
    }
    planWork(step);
}

void BatchRun::readAdjustments(ImageStep &step)
{
    const MainAdjustments &main = m_request.adjustments;
    QString width = main.width;
    QString height = main.height;
    QString brightness = main.brightness;
    QString contrast = main.contrast;
    // A failed lookup stops the run: the image must not be scaled with
    // adjustments other than its own.
    step.record = loadAdjustmentRecord(m_records, step.key);
    if (step.record) {
        width = step.record->widthPercent;
        height = step.record->heightPercent;
        brightness = step.record->brightness;
        contrast = step.record->contrast;
    }
    step.widthPercent = textToDouble(width);
    step.heightPercent = textToDouble(height);
    ScaleSettings &settings = step.work.settings;
    settings.widthPercent = step.widthPercent;
    settings.heightPercent = step.heightPercent;
    settings.brightness = textToDouble(brightness);
    settings.contrast = textToDouble(contrast);
    settings.filter = main.selectedFilter;
    settings.output = m_output;
    settings.fastReduction = m_request.fastReduction;
    settings.convertToSrgb = m_request.convertToSrgb;
    settings.removePrivateData = m_request.removePrivateData;
}

void BatchRun::planWork(ImageStep &step)
{
    ImageWork &work = step.work;
    work.source = step.key;
    work.scales = scalesImages();
    work.copiesSlide = m_request.mode == BatchMode::ScaleAndAlbum;
    work.slideFitWithin = m_request.slidesFitWithin;
    // An album that only refers to images reads the size of those it has no
    // row for.
    work.readsSize = m_request.mode == BatchMode::AlbumOnly && !step.record;

    for (const QString &place : {locationOf(step.key), QFileInfo(step.key).canonicalFilePath()}) {
        if (m_writers.contains(place))
            step.waitsFor = std::max(step.waitsFor, m_writers.value(place));
    }
    if (work.scales) {
        work.scaledOutput = step.outputPath;
        work.scaledTemporary = temporaryFileBeside(step.outputPath);
        m_writers.insert(locationOf(step.outputPath), step.index);
    }
    if (work.copiesSlide) {
        work.slideOutput = step.slidePath;
        work.slideTemporary = temporaryFileBeside(step.slidePath);
        m_writers.insert(locationOf(step.slidePath), step.index);
    }
}

// Starts the prepared images in list order, as far as none of them must wait
// for an earlier image's output.
void BatchRun::dispatchReady()
{
    for (const std::unique_ptr<ImageStep> &step : m_ahead) {
        if (step->dispatched || step->numberFailure || step->adjustmentFailure)
            continue;
        if (step->waitsFor >= m_turnsTaken)
            break;
        dispatch(*step);
    }
}

void BatchRun::dispatch(ImageStep &step)
{
    step.dispatched = true;
    // The image is ready for its turn once its files are on the disk.
    const auto scale = [work = step.work, pool = &m_pool] { return runImageWork(work, pool); };
    const auto flush = [work = step.work](ImageWorkResult result) {
        flushImageWork(work, result);
        return result;
    };
    step.result = QtConcurrent::run(&m_pool, scale).then(&m_flushing, flush);
}

void BatchRun::takeTurn(ImageStep &step)
{
    if (step.numberFailure)
        throw *step.numberFailure;
    m_observer.setTitle(kScalingTitle + step.fileName);
    if (step.skipReason) {
        m_skipped.append({step.key, *step.skipReason});
        return;
    }
    if (scalesImages())
        askBeforeReplacing(step.outputPath);
    if (step.adjustmentFailure)
        throw *step.adjustmentFailure;

    const ImageWorkResult result = waitFor(step);
    if (result.skipReason) {
        m_skipped.append({step.key, *result.skipReason});
        return;
    }
    if (result.scaled)
        putOutputInPlace(step.work.scaledTemporary, step.outputPath);
    if (result.error)
        throw *result.error;
    if (step.work.copiesSlide)
        putOutputInPlace(step.work.slideTemporary, step.slidePath);
    if (inAlbumMode())
        m_album.addEntry(albumEntryFor(step, result.size));
}

void BatchRun::askBeforeReplacing(const QString &outputPath)
{
    if (!FileExists(outputPath) || m_choice.dontAskAgain)
        return;
    const QString question = fileNameOf(outputPath) + u' ' + message(84) + QStringLiteral("\n\n") + message(85);
    const OverwriteAnswer answer = m_prompts.askOverwrite(question);
    if (answer == OverwriteAnswer::Cancel)
        throw RunCanceled();
    if (answer == OverwriteAnswer::ReplaceWithoutAsking)
        m_choice.dontAskAgain = true;
    m_observer.processPendingEvents();
}

void BatchRun::putOutputInPlace(const QString &temporary, const QString &outputPath)
{
    putTemporaryInPlace(temporary, outputPath);
    m_observer.outputWritten(QFileInfo(outputPath).size());
}

ImageWorkResult BatchRun::waitFor(ImageStep &step)
{
    if (!step.dispatched)
        dispatch(step);
    m_observer.waitFor(QFuture<void>(step.result));
    return step.result.result();
}

AlbumEntry BatchRun::albumEntryFor(const ImageStep &step, QSize readSize) const
{
    AlbumEntry entry;
    entry.outputName = step.outputName;
    if (step.record) {
        entry.slideWidth = step.record->imageWidth;
        entry.slideHeight = step.record->imageHeight;
        entry.date = step.record->dateText;
        entry.description = step.record->description;
    } else {
        // Read after this image's own output is in place, as one by one.
        const QSize size = step.work.readsSize ? readSize : imageFileSize(step.key);
        entry.slideWidth = size.width();
        entry.slideHeight = size.height();
        entry.date = step.dateText;
        entry.description = m_request.adjustments.description;
    }
    // Whole percents times the original's side, a 32-bit product, then /100.
    entry.thumbWidth = toInt32(toInt32(double(toInt32(step.widthPercent)) * entry.slideWidth) / 100.0);
    entry.thumbHeight = toInt32(toInt32(double(toInt32(step.heightPercent)) * entry.slideHeight) / 100.0);
    if (step.work.copiesSlide && step.work.slideFitWithin > 0) {
        const QSize fitted = fittedSize({entry.slideWidth, entry.slideHeight}, step.work.slideFitWithin);
        entry.slideWidth = fitted.width();
        entry.slideHeight = fitted.height();
    }
    return entry;
}

// Work started for images whose turn never came is waited for and its files
// are thrown away.
void BatchRun::discardAhead()
{
    for (const std::unique_ptr<ImageStep> &step : m_ahead) {
        if (step->dispatched)
            step->result.waitForFinished();
        removeTemporaryFile(step->work.scaledTemporary);
        removeTemporaryFile(step->work.slideTemporary);
    }
    m_ahead.clear();
}

} // namespace

QString skippedImagesText(const QList<SkippedImage> &images)
{
    QString text = QStringLiteral("Not written, %1 image(s):").arg(images.size());
    for (const SkippedImage &image : images)
        text += QStringLiteral("\n  %1: %2").arg(image.path, image.reason);
    return text;
}

BatchJob::BatchJob(QString programFolder, RecordStore &records, UserPrompts &prompts)
    : m_programFolder(std::move(programFolder))
    , m_records(records)
    , m_prompts(prompts)
{
}

BatchOutcome BatchJob::run(const BatchRequest &request, OverwriteChoice &choice, BatchObserver &observer)
{
    QString openAtEnd;
    BatchRun run(request, choice, observer, m_records, m_prompts, m_programFolder, m_workers);
    const BatchOutcome outcome = run.run(&openAtEnd);
    m_skipped = run.skipped();
    if (outcome == BatchOutcome::Done && m_opensResult)
        m_prompts.openDocument(openAtEnd);
    return outcome;
}

} // namespace tovin
