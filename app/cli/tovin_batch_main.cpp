// tovin-batch: the program's batch run from a terminal, for scripts.

#include "batchcommandline.h"
#include "batchjob.h"
#include "errorreport.h"
#include "imageengine.h"
#include "imageinfo.h"
#include "memorytuning.h"
#include "recordlistopening.h"
#include "recordstore.h"
#include "runtimeerror.h"
#include "settingsstore.h"
#include "terminalprogress.h"
#include "terminalprompts.h"
#include "writablefolders.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

namespace {

enum ExitStatus { kDone = 0, kStoppedByError = 1, kRefusedInput = 2, kCanceled = 3, kDoneWithSkipped = 4 };

int exitStatusOf(tovin::BatchOutcome outcome, bool skippedImages)
{
    switch (outcome) {
    case tovin::BatchOutcome::Done:
        return skippedImages ? kDoneWithSkipped : kDone;
    case tovin::BatchOutcome::Canceled:
        return kCanceled;
    case tovin::BatchOutcome::Failed:
    case tovin::BatchOutcome::NotStarted:
        break;
    }
    return kStoppedByError;
}

// A file that is there but holds no picture is named with the reason, as a
// run names the images it passed over, rather than described as 0 x 0.
int showImageInfo(const QString &path, tovin::UserPrompts &prompts)
{
    try {
        if (QFileInfo(path).isFile() && tovin::imageFileSize(path).isEmpty()) {
            const QString named = path + QStringLiteral(": ") + tovin::scaleSkipText(tovin::ScaleSkip::NotDecodable);
            std::fprintf(stderr, "%s\n", named.toLocal8Bit().constData());
            return kDoneWithSkipped;
        }
        std::printf("%s\n%s\n", tovin::imageInfoText(path).toLocal8Bit().constData(),
                    tovin::publishingInfoText(path).toLocal8Bit().constData());
        return kDone;
    } catch (const tovin::RuntimeError &error) {
        tovin::showErrorReport(prompts, error);
        return kStoppedByError;
    }
}

} // namespace

int main(int argc, char *argv[])
{
    tovin::keepLargeBlocksBetweenImages();
    QCoreApplication application(argc, argv);
    tovin::TerminalPrompts prompts;
    const tovin::SettingsStore settings(QString::fromLatin1(tovin::kShippedProgramName));
    const std::optional<tovin::BatchCommand> command =
        tovin::parseBatchCommandLine(application.arguments().mid(1), settings, tovin::kCommandLineScreen, prompts);
    if (!command)
        return kRefusedInput;

    switch (command->action) {
    case tovin::BatchCommand::Action::Help:
        std::fputs(tovin::batchUsage().toLocal8Bit().constData(), stdout);
        return kDone;
    case tovin::BatchCommand::Action::Info:
        return showImageInfo(command->infoFile, prompts);
    case tovin::BatchCommand::Action::Run:
        break;
    }

    // The Record List the program keeps for this user: beside an installed,
    // read-only program it lies in the user's data folder, under the
    // program's name.
    const QString programFolder = QCoreApplication::applicationDirPath();
    QCoreApplication::setApplicationName(QString::fromLatin1(tovin::kShippedProgramName));
    const tovin::WritableFolders writable = tovin::writableFoldersForUser(programFolder);
    if (writable.records != programFolder)
        tovin::seedRecordList(programFolder, writable.records);
    tovin::RecordStore records(writable.records, prompts);
    if (!tovin::openRecordListOrExplain(records, prompts))
        return kStoppedByError;

    tovin::BatchJob job(programFolder, records, prompts);
    job.setWorkerCount(command->workers);
    job.setOpensResult(command->opensResult);
    tovin::OverwriteChoice choice{command->overwrite == tovin::OverwritePolicy::Always};
    tovin::TerminalProgress progress;
    const tovin::BatchOutcome outcome = job.run(command->request, choice, progress);
    return exitStatusOf(outcome, !job.skippedImages().isEmpty());
}
