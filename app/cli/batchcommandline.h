#pragma once

#include "batchjob.h"
#include "fieldchecks.h"
#include "terminalprompts.h"
#include "units.h"

#include <QStringList>

#include <optional>

namespace tovin {

class SettingsStore;
class UserPrompts;

// A run of tovin-batch as its command line asks for it.
struct BatchCommand {
    enum class Action { Run, Info, Help };
    Action action = Action::Run;
    BatchRequest request;
    OverwritePolicy overwrite = OverwritePolicy::Ask;
    int workers = 1;
    bool opensResult = false;
    QString infoFile;
};

// Without a screen to measure, album positions and sizes are checked against
// a 1920 x 1080 screen at 96 dots per inch.
inline constexpr ScreenTwips kCommandLineScreen{pixelsToTwips(1920, 96), pixelsToTwips(1080, 96)};

// Reads the arguments (without the program name) and checks every value with
// the rules the windows use. A refused value has been shown through the
// prompts, with the windows' own message, and gives nothing.
std::optional<BatchCommand> parseBatchCommandLine(const QStringList &arguments, const SettingsStore &settings,
                                                  ScreenTwips screen, UserPrompts &prompts);

QString batchUsage();

} // namespace tovin
