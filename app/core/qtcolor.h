#pragma once

#include <tovin/colorvalue.h>

#include <QColor>

#include <cstdint>

namespace tovin {

// Between the program's colour values (0x00BBGGRR) and the toolkit's.
inline QColor toQColor(std::int32_t color)
{
    const ColorChannels channels = channelsOf(std::uint32_t(color));
    return {channels.red, channels.green, channels.blue};
}

inline std::int32_t fromQColor(const QColor &color)
{
    return colorValueOf(color.red(), color.green(), color.blue());
}

} // namespace tovin
