#include "platformcolor.h"

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
        if (!std::isxdigit(c.unicode()) || c.unicode() > 127)
            return std::nullopt;
    }
    const std::int32_t rgb = text.toInt(nullptr, 16);
    return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}

} // namespace tovin
