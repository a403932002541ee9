#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace tovin {

// A colour as the program keeps it: red in the low byte, then green, then
// blue (0x00BBGGRR). The album and the settings show it as six upper-case
// hexadecimal digits RRGGBB.
QString ColorToHexRGB(std::int32_t color);
// The colour of an RRGGBB text (six hexadecimal digits, either case), or
// nothing for any other text.
std::optional<std::int32_t> colorFromHexRGB(const QString &text);

} // namespace tovin
