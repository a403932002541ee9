#include "mousepointer.h"

#include <array>

namespace lensbox {

namespace {

// Pointer numbers 1 to 15 in order: arrow, cross, I-beam, icon, size, size
// NE-SW, size N-S, size NW-SE, size W-E, up arrow, hourglass, no drop,
// arrow and hourglass, arrow and question mark, size all.
constexpr std::array<Qt::CursorShape, 15> kShapes{
    Qt::ArrowCursor,     Qt::CrossCursor,     Qt::IBeamCursor,     Qt::ArrowCursor,     Qt::SizeAllCursor,
    Qt::SizeBDiagCursor, Qt::SizeVerCursor,   Qt::SizeFDiagCursor, Qt::SizeHorCursor,   Qt::UpArrowCursor,
    Qt::WaitCursor,      Qt::ForbiddenCursor, Qt::BusyCursor,      Qt::WhatsThisCursor, Qt::SizeAllCursor,
};

// A custom pointer needs a pointer image, which the control does not offer;
// it shows the default pointer.
constexpr short kCustomPointer = 99;

} // namespace

std::optional<PointerShape> pointerShapeFor(short mousePointer)
{
    if (mousePointer == 0 || mousePointer == kCustomPointer)
        return PointerShape{true};
    if (mousePointer >= 1 && mousePointer <= short(kShapes.size()))
        return PointerShape{false, kShapes[std::size_t(mousePointer - 1)]};
    return std::nullopt;
}

} // namespace lensbox
