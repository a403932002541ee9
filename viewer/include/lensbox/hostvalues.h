#pragma once

#include <QtGlobal>

namespace lensbox {

// Booleans that cross the control's interface are 16-bit: True has all bits
// set. A stored non-zero value other than -1 counts as "set" where the control
// only tests for non-zero, but it is not True.
inline constexpr short kTrue = -1;
inline constexpr short kFalse = 0;

inline constexpr short toBoolean(bool value)
{
    return value ? kTrue : kFalse;
}

// A colour as hosts exchange it: red in the low byte, then green, then blue;
// with the high bit set, the low byte is instead a system colour index.
using OleColor = quint32;

inline constexpr OleColor kSystemColorFlag = 0x80000000u;
inline constexpr OleColor kApplicationWorkspace = kSystemColorFlag | 12u;
inline constexpr OleColor kWindowBackground = kSystemColorFlag | 5u;
inline constexpr OleColor kButtonFace = kSystemColorFlag | 15u;

} // namespace lensbox
