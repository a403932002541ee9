#pragma once

#include <QColor>

#include <cstdint>

namespace tovin {

// Between the program's colour values (0x00BBGGRR) and the toolkit's.
inline QColor toQColor(std::int32_t color)
{
    return {color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF};
}

inline std::int32_t fromQColor(const QColor &color)
{
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}

} // namespace tovin
