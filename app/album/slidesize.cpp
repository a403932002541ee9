#include "slidesize.h"

namespace tovin {

std::optional<int> parseSlideSide(const QString &text)
{
    bool isNumber = false;
    const int side = text.trimmed().toInt(&isNumber);
    if (!isNumber || side < kSmallestSlideSide || side > kLargestSlideSide)
        return std::nullopt;
    return side;
}

std::optional<int> parseSlideChoice(const QString &text)
{
    if (text == QLatin1String("original"))
        return 0;
    if (text.startsWith(QLatin1String("fit:")))
        return parseSlideSide(text.mid(4));
    return std::nullopt;
}

QString slideSideRangeText()
{
    return QStringLiteral("The slides' size must be a whole number of pixels from %1 to %2.")
        .arg(kSmallestSlideSide)
        .arg(kLargestSlideSide);
}

} // namespace tovin
