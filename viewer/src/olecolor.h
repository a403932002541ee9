#pragma once

#include "lensbox/hostvalues.h"

#include <QColor>

class QPalette;

namespace lensbox {

// The colour a host's colour value stands for; system colour indices are taken
// from the given palette.
QColor toQColor(OleColor color, const QPalette &system);

} // namespace lensbox
