#pragma once

#include <Qt>

class QKeyEvent;

namespace lensbox {

// Key and mouse values as the control's events carry them to hosts.
inline constexpr short kLeftButton = 1;
inline constexpr short kRightButton = 2;
inline constexpr short kMiddleButton = 4;

// The key's code (65 for A, 37 for Left arrow ...), or 0 for a key that has
// none.
short keyCodeFor(const QKeyEvent &event);

// The character a key produced, or 0 when it produced none that fits 16 bits.
short keyAsciiFor(const QKeyEvent &event);

// 1 Shift, 2 Ctrl, 4 Alt, added together.
short shiftStateFor(Qt::KeyboardModifiers modifiers);

// 1 left, 2 right, 4 middle, added together.
short buttonsFor(Qt::MouseButtons buttons);

} // namespace lensbox
