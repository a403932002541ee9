#pragma once

#include <Qt>

#include <optional>

namespace lensbox {

// The cursor shape of a host's mouse pointer number (0 default, 1 arrow,
// 2 cross ... 15 size all). The default pointer inherits the parent's cursor;
// a number that names no pointer gives no shape at all.
struct PointerShape {
    bool inherit = false;
    Qt::CursorShape shape = Qt::ArrowCursor;
};

std::optional<PointerShape> pointerShapeFor(short mousePointer);

} // namespace lensbox
