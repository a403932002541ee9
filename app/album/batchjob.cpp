#include "batchjob.h"

#include "adjustmentrecord.h"
#include "albumwriter.h"
#include "errorreport.h"
#include "imageengine.h"
#include "imagework.h"
#include "makefolder.h"
#include "messagetable.h"
#include "numbertext.h"
#include "paths.h"
#include "userprompts.h"

#include <tovin/numeric.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QThreadPool>

#include <cerrno>
#include <chrono>
#include <deque>
#include <future>
#include <memory>
#include <optional>

namespace tovin {
namespace {

const QString kScalingTitle = QStringLiteral("Scaling: ");
const QString kDoneTitle = QStringLiteral("Done");
const QString kCanceledTitle = QStringLiteral("Operation Canceled.");
const QString kTemplatesMissing = QStringLiteral("Template files for Sorvel could not be found.");
const QString kReinstallSorvel =
    QStringLiteral("Please reinstall Sorvel Package and try again. If you do not have Sorvel, you can get it at: "
                   "https://www.example.org/sorvel/");

// One qualifying image between its question and the moment its files are in
// place and its album entry is written.
struct ImageStep {
    QString key;
    QString outputName;
    QString outputPath;
    QString slidePath;
    QString dateText;
    std::optional<AdjustmentRecord> record;
    double widthPercent = 100;
    double heightPercent = 100;
    ImageWork work;
    std::future<ImageWorkResult> result;
};

// The user chose to stop at this point of the list.
struct RunCanceled { };

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
    {
        m_pool.setMaxThreadCount(m_workers);
    }

    ~BatchRun() { discardPending(); }

    BatchOutcome run(QString *openAtEnd);

private:
    bool inAlbumMode() const { return m_request.mode != BatchMode::ScaleOnly; }
    bool scalesImages() const { return m_request.mode != BatchMode::AlbumOnly; }

    BatchOutcome runImages();
    void startStep(const BatchItem &item);
    void askBeforeReplacing(const QString &outputPath);
    void readAdjustments(ImageStep &step);
    void dispatch(ImageStep &step);
    void finishOldest();
    void finish(ImageStep &step);
    AlbumEntry albumEntryFor(const ImageStep &step) const;
    void finishAll();
    void discardPending();
    void putInPlace(const QString &temporary, const QString &target);
    QString temporaryBeside(const QString &target);

    const BatchRequest &m_request;
    OverwriteChoice &m_choice;
    BatchObserver &m_observer;
    RecordStore &m_records;
    UserPrompts &m_prompts;
    AlbumWriter m_album;
    int m_workers;
    QThreadPool m_pool;

    QString m_destination;
    QString m_outputFolder;
    std::optional<RuntimeError> m_failure;
    QString m_slidesFolder;
    std::int16_t m_sequence = 0;
    int m_total = 0;
    int m_done = 0;
    int m_temporaryCount = 0;
    std::deque<std::unique_ptr<ImageStep>> m_pending;
    QHash<QString, const ImageStep *> m_claimedOutputs;
};

BatchOutcome BatchRun::run(QString *openAtEnd)
{
    m_observer.setControlsEnabled(false);
    m_observer.setBusy(true);
    const BatchOutcome outcome = runImages();
    // Every ending gives the window back the same way; only the title and the
    // report differ.
    m_observer.setBusy(false);
    if (m_failure)
        showErrorReport(m_prompts, *m_failure);
    m_observer.setControlsEnabled(true);
    if (outcome == BatchOutcome::Canceled)
        m_observer.setTitle(kCanceledTitle);
    if (outcome == BatchOutcome::Done) {
        m_observer.setTitle(kDoneTitle);
        *openAtEnd = inAlbumMode() ? joinPath(m_destination, AlbumWriter::startPageName()) : m_destination;
    }
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
        if (inAlbumMode()) {
            m_slidesFolder = joinPath(m_destination, QStringLiteral("slides"));
            const QString thumbs = joinPath(m_destination, QStringLiteral("thumbs"));
            MakeFolder(m_slidesFolder, m_prompts);
            MakeFolder(thumbs, m_prompts);
            m_album.start(m_destination, m_request.layout);
            m_outputFolder = thumbs;
        }
        for (const BatchItem &item : m_request.items) {
            if (m_observer.stopRequested())
                throw RunCanceled();
            if (item.selected && item.kind == ListEntryKind::Image)
                startStep(item);
        }
    } catch (const RuntimeError &error) {
        m_failure = error;
    } catch (const RunCanceled &) {
        canceled = true;
    }
    try {
        // Every image handed out before the run stopped is finished, in list
        // order; a failure among them came first and is the one reported.
        finishAll();
        if (!m_failure && !canceled && inAlbumMode())
            m_album.finish();
    } catch (const RuntimeError &error) {
        m_failure = error;
    }

    if (m_failure) {
        discardPending();
        m_album.abort();
        return BatchOutcome::Failed;
    }
    if (canceled) {
        m_album.abort();
        m_choice.dontAskAgain = false;
        return BatchOutcome::Canceled;
    }
    return BatchOutcome::Done;
}

void BatchRun::startStep(const BatchItem &item)
{
    auto step = std::make_unique<ImageStep>();
    m_sequence = toInt16(double(m_sequence) + 1);
    const QString fileName = fileNameOf(item.key);
    m_observer.setTitle(kScalingTitle + fileName);

    const QString baseName = trimBlanks(m_request.baseName);
    step->key = item.key;
    step->dateText = item.dateText;
    step->outputPath = baseName.isEmpty()
        ? joinPath(m_outputFolder, fileName)
        : joinPath(m_outputFolder, baseName + QString::number(m_sequence) + QStringLiteral(".jpg"));
    step->outputName = fileNameOf(step->outputPath);

    if (scalesImages())
        askBeforeReplacing(step->outputPath);
    readAdjustments(*step);
    dispatch(*step);
    m_pending.push_back(std::move(step));
    while (int(m_pending.size()) > m_workers)
        finishOldest();
}

void BatchRun::askBeforeReplacing(const QString &outputPath)
{
    // An earlier image of this run still on its way to the same name decides
    // whether the file exists, exactly as if the images went one by one.
    if (const ImageStep *claimant = m_claimedOutputs.value(outputPath)) {
        while (!m_pending.empty() && m_claimedOutputs.value(outputPath) == claimant)
            finishOldest();
    }
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
    settings.saveFlags = main.saveQuality;
}

void BatchRun::dispatch(ImageStep &step)
{
    ImageWork &work = step.work;
    work.source = step.key;
    work.scales = scalesImages();
    work.copiesSlide = m_request.mode == BatchMode::ScaleAndAlbum;
    if (!work.scales && !work.copiesSlide)
        return;
    if (work.scales) {
        work.scaledTemporary = temporaryBeside(step.outputPath);
        m_claimedOutputs.insert(step.outputPath, &step);
    }
    if (work.copiesSlide) {
        step.slidePath = joinPath(m_slidesFolder, step.outputName);
        work.slideTemporary = temporaryBeside(step.slidePath);
    }
    auto promise = std::make_shared<std::promise<ImageWorkResult>>();
    step.result = promise->get_future();
    m_pool.start([promise, work] { promise->set_value(runImageWork(work)); });
}

void BatchRun::finishOldest()
{
    std::unique_ptr<ImageStep> step = std::move(m_pending.front());
    m_pending.pop_front();
    m_claimedOutputs.remove(step->outputPath);
    try {
        finish(*step);
    } catch (const RuntimeError &) {
        // The run stops at this image: what was started after it is dropped.
        QFile::remove(step->work.scaledTemporary);
        QFile::remove(step->work.slideTemporary);
        discardPending();
        throw;
    }
    m_observer.imagesDone(++m_done, m_total);
}

void BatchRun::finish(ImageStep &step)
{
    if (step.result.valid()) {
        using namespace std::chrono_literals;
        while (step.result.wait_for(50ms) != std::future_status::ready)
            m_observer.processPendingEvents();
        const ImageWorkResult result = step.result.get();
        if (result.scaled)
            putInPlace(step.work.scaledTemporary, step.outputPath);
        if (result.scaleError)
            showErrorReport(m_prompts, *result.scaleError);
        if (result.slideError)
            throw *result.slideError;
        if (step.work.copiesSlide)
            putInPlace(step.work.slideTemporary, step.slidePath);
    }
    if (inAlbumMode())
        m_album.addEntry(albumEntryFor(step));
}

AlbumEntry BatchRun::albumEntryFor(const ImageStep &step) const
{
    AlbumEntry entry;
    entry.outputName = step.outputName;
    if (step.record) {
        entry.slideWidth = step.record->imageWidth;
        entry.slideHeight = step.record->imageHeight;
        entry.date = step.record->dateText;
        entry.description = step.record->description;
    } else {
        const QSize size = imageFileSize(step.key, kFormatJpeg);
        entry.slideWidth = size.width();
        entry.slideHeight = size.height();
        entry.date = step.dateText;
        entry.description = m_request.adjustments.description;
    }
    // Whole percents times the slide's side, a 32-bit product, then /100.
    entry.thumbWidth = toInt32(toInt32(double(toInt32(step.widthPercent)) * entry.slideWidth) / 100.0);
    entry.thumbHeight = toInt32(toInt32(double(toInt32(step.heightPercent)) * entry.slideHeight) / 100.0);
    return entry;
}

void BatchRun::finishAll()
{
    while (!m_pending.empty())
        finishOldest();
}

// Images started after a failure are waited for and their files thrown away.
void BatchRun::discardPending()
{
    for (const std::unique_ptr<ImageStep> &step : m_pending) {
        if (step->result.valid())
            step->result.wait();
        QFile::remove(step->work.scaledTemporary);
        QFile::remove(step->work.slideTemporary);
    }
    m_pending.clear();
    m_claimedOutputs.clear();
}

void BatchRun::putInPlace(const QString &temporary, const QString &target)
{
    if (::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(target).constData()) != 0) {
        const int error = errno;
        QFile::remove(temporary);
        throw RuntimeError::fromErrno(error, target);
    }
}

QString BatchRun::temporaryBeside(const QString &target)
{
    const QString folder = target.left(target.lastIndexOf(u'/') + 1);
    return folder + QStringLiteral(".tovin-%1-%2.part").arg(QCoreApplication::applicationPid()).arg(++m_temporaryCount);
}

} // namespace

BatchJob::BatchJob(QString programFolder, RecordStore &records, UserPrompts &prompts)
    : m_programFolder(std::move(programFolder))
    , m_records(records)
    , m_prompts(prompts)
{
}

BatchOutcome BatchJob::run(const BatchRequest &request, OverwriteChoice &choice, BatchObserver &observer)
{
    QString openAtEnd;
    const BatchOutcome outcome =
        BatchRun(request, choice, observer, m_records, m_prompts, m_programFolder, m_workers).run(&openAtEnd);
    if (outcome == BatchOutcome::Done && m_opensResult)
        m_prompts.openDocument(openAtEnd);
    return outcome;
}

} // namespace tovin
