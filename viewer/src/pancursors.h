#pragma once

#include <QCursor>

#include <optional>

namespace lensbox {

inline constexpr int kDraggingCursor = 101; // shown while a pan drag is in progress
inline constexpr int kPanCursor = 102; // shown while panning is on and idle

// The control's cursors by their resource number: 32 x 32 monochrome four-way
// arrows with the hot spot at (8, 7); 101 is 13 pixels across, 102 is 15.
// Nothing for a number the library does not hold.
std::optional<QCursor> loadPanCursor(int number);

} // namespace lensbox
