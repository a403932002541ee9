#pragma once

#include <QString>

#include <optional>

class QKeyEvent;

namespace lensbox {

// The quick toolbar's button (0 Zoom In, 1 Zoom Out, 2 Maximize) that a key
// presses: + and - zoom, Enter or F maximizes, with Shift or on the keypad
// too but not with Ctrl, Alt or Meta held.
std::optional<int> quickBarButtonForKey(const QKeyEvent &event);

// The keys of a button as its tool tip names them.
QString quickBarKeysText(int button);

} // namespace lensbox
