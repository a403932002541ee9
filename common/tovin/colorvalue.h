#pragma once

#include <cstdint>

namespace tovin {

// A colour as the program and the viewer keep it: red in the low byte, then
// green, then blue (0x00BBGGRR).
struct ColorChannels {
    int red;
    int green;
    int blue;
};

constexpr ColorChannels channelsOf(std::uint32_t color)
{
    return {int(color & 0xFFu), int((color >> 8) & 0xFFu), int((color >> 16) & 0xFFu)};
}

constexpr std::int32_t colorValueOf(int red, int green, int blue)
{
    return std::int32_t((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}

} // namespace tovin
