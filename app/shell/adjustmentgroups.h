#pragma once

#include <QStringList>

namespace tovin {

// The controls SetAdjustmentControlsEnabled switches, by object name, in the
// order they are switched: group 1 on the main window (enabled while an image
// is chosen), group 2 on the batch window (disabled during a run). Any other
// group has none.
QStringList adjustmentGroupControls(int group);

} // namespace tovin
