#include "batchwindowsize.h"

namespace tovin {
namespace {

constexpr double kScaleOnlyWidth = 3750;
constexpr double kOptionHeight = 4245;

} // namespace

QSizeF batchWindowTwips(BatchMode mode, double mainWindowWidthTwips)
{
    if (mode == BatchMode::ScaleOnly)
        return {kScaleOnlyWidth, kOptionHeight};
    return {mainWindowWidthTwips, kOptionHeight};
}

} // namespace tovin
