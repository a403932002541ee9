#include "platformcolor.h"

#include <tovin/colorvalue.h>

#include <cctype>

namespace tovin {

QString ColorToHexRGB(std::int32_t color)
{
    if (color < 0)
        return {};
    // Written as BBGGRR, then read back pair by pair from the end.
    const QString digits = QStringLiteral("%1").arg(color, 6, 16, QLatin1Char('0')).toUpper().right(6);
    return digits.mid(4, 2) + digits.mid(2, 2) + digits.mid(0, 2);
}

std::optional<std::int32_t> colorFromHexRGB(const QString &text)
{
    if (text.size() != 6)
        return std::nullopt;
    for (const QChar c : text) {
        if (c.unicode() > 127 || !std::isxdigit(c.unicode()))
            return std::nullopt;
    }
    const std::int32_t rgb = text.toInt(nullptr, 16);
    return colorValueOf(rgb >> 16, rgb >> 8, rgb);
}

} // namespace tovin
