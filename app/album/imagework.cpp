#include "imagework.h"

#include "fileio.h"
#include "temporaryfiles.h"

#include <QFile>

#include <sys/stat.h>

#include <cerrno>
#include <new>

namespace tovin {
namespace {

// The reasons a source is passed over, as the end of the run names them.
const QString kNotRegularFile = QStringLiteral("not a regular file");
const QString kNameNotUtf8 = QStringLiteral("the name is not valid UTF-8");

// Only a regular file is a source: a FIFO would hang the reading thread, and
// a device such as /dev/zero never ends.
std::optional<QString> unusableSource(const QString &source)
{
    struct stat status { };
    if (::stat(QFile::encodeName(source).constData(), &status) != 0) {
        // Listed under its decoded name, which the file system does not know.
        if (errno == ENOENT && source.contains(QChar::ReplacementCharacter))
            return kNameNotUtf8;
        return RuntimeError::fromErrno(errno, source).description();
    }
    if (!S_ISREG(status.st_mode))
        return kNotRegularFile;
    return std::nullopt;
}

// A failure about the source passes the image over; any other is about an
// output, told by the name of the output rather than of its temporary file.
void takeFailure(const RuntimeError &error, const ImageWork &work, ImageWorkResult &result)
{
    if (error.file() == work.source)
        result.skipReason = error.description();
    else if (error.file() == work.slideTemporary)
        result.error = error.aboutFile(work.slideOutput);
    else if (error.file() == work.scaledTemporary)
        result.error = error.aboutFile(work.scaledOutput);
    else
        result.error = error;
}

// A copy of the original, or a picture made from it as the scaled one is;
// private data is left out of both alike.
ScaleSettings slideSettings(const ImageWork &work)
{
    ScaleSettings settings = work.slideFitWithin > 0 ? work.settings : ScaleSettings();
    settings.fitWithin = work.slideFitWithin;
    settings.removePrivateData = work.settings.removePrivateData;
    settings.writeMode = WriteMode::NewTemporary;
    return settings;
}

// Where the outcome of writing one file of the image goes.
void takeOutcome(const ScaleOutcome &outcome, const ImageWork &work, ImageWorkResult &result)
{
    if (outcome.error)
        takeFailure(*outcome.error, work, result);
    else if (!outcome.written)
        result.skipReason = scaleSkipText(outcome.skip);
}

bool slideWritten(const ImageWork &work, const ImageWorkResult &result)
{
    return work.copiesSlide && !result.skipReason && !result.error;
}

// A run one by one would have put a scaled image in place before the copy of
// its slide failed; a skipped image leaves nothing.
void removeUnusedTemporaries(const ImageWork &work, ImageWorkResult &result)
{
    if (result.skipReason)
        result.scaled = false;
    if (!result.scaled)
        removeTemporaryFile(work.scaledTemporary);
    if (result.skipReason || result.error)
        removeTemporaryFile(work.slideTemporary);
}

} // namespace

ImageWorkResult runImageWork(const ImageWork &work, QThreadPool *pool)
{
    ImageWorkResult result;
    if (!work.scales && !work.copiesSlide && !work.readsSize)
        return result;
    result.skipReason = unusableSource(work.source);
    if (result.skipReason)
        return result;
    try {
        // The header tells a picture from other bytes before anything is
        // written, also where the scaled image is a plain copy.
        result.size = imageFileSize(work.source);
        if (result.size.isEmpty()) {
            result.skipReason = scaleSkipText(ScaleSkip::NotDecodable);
            return result;
        }
        // A slide made from the original shares its decoding with the
        // scaled image.
        QList<ScaleOutput> outputs;
        if (work.scales) {
            ScaleSettings settings = work.settings;
            settings.writeMode = WriteMode::NewTemporary;
            outputs.append({work.scaledTemporary, settings});
        }
        if (work.copiesSlide)
            outputs.append({work.slideTemporary, slideSettings(work)});
        const QList<ScaleOutcome> outcomes = scaleImageFiles(work.source, outputs, pool);
        if (work.scales) {
            result.scaled = outcomes.front().written;
            takeOutcome(outcomes.front(), work, result);
        }
        if (slideWritten(work, result))
            takeOutcome(outcomes.back(), work, result);
    } catch (const RuntimeError &error) {
        takeFailure(error, work, result);
    } catch (const std::bad_alloc &) {
        result.error = RuntimeError(7, QStringLiteral("Out of memory")).aboutFile(work.source);
    }
    removeUnusedTemporaries(work, result);
    return result;
}

void flushImageWork(const ImageWork &work, ImageWorkResult &result)
{
    try {
        if (result.scaled)
            flushToDisk(work.scaledTemporary);
        if (slideWritten(work, result))
            flushToDisk(work.slideTemporary);
    } catch (const RuntimeError &error) {
        // A scaled image that is not on the disk was not written.
        if (error.file() == work.scaledTemporary)
            result.scaled = false;
        takeFailure(error, work, result);
    }
    removeUnusedTemporaries(work, result);
}

} // namespace tovin
