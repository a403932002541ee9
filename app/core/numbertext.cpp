#include "numbertext.h"

#include "runtimeerror.h"

#include <tovin/numeric.h>

#include <cmath>

namespace tovin {

std::optional<double> parseNumberText(const QString &text)
{
    const QString number = trimBlanks(text);
    qsizetype i = 0;
    const qsizetype n = number.size();
    auto isDigit = [&](qsizetype at) { return at < n && number.at(at).isDigit() && number.at(at).unicode() < 128; };

    if (i < n && (number.at(i) == u'+' || number.at(i) == u'-'))
        ++i;
    qsizetype digits = 0;
    while (isDigit(i)) {
        ++i;
        ++digits;
    }
    if (i < n && number.at(i) == u'.') {
        ++i;
        while (isDigit(i)) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (i < n && (number.at(i) == u'e' || number.at(i) == u'E')) {
        ++i;
        if (i < n && (number.at(i) == u'+' || number.at(i) == u'-'))
            ++i;
        if (!isDigit(i))
            return std::nullopt;
        while (isDigit(i))
            ++i;
    }
    if (i != n)
        return std::nullopt;

    bool ok = false;
    const double value = number.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

double textToDouble(const QString &text)
{
    const std::optional<double> value = parseNumberText(text);
    if (!value)
        throw RuntimeError::typeMismatch();
    return *value;
}

std::int16_t toInt16(double value)
{
    const double rounded = roundHalfEven(value);
    if (!fitsInt16(rounded))
        throw RuntimeError::overflow();
    return static_cast<std::int16_t>(rounded);
}

std::int32_t toInt32(double value)
{
    const double rounded = roundHalfEven(value);
    if (!fitsInt32(rounded))
        throw RuntimeError::overflow();
    return static_cast<std::int32_t>(rounded);
}

std::int16_t textToInt16(const QString &text)
{
    return toInt16(textToDouble(text));
}

QString trimBlanks(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == u' ')
        ++first;
    while (last > first && text.at(last - 1) == u' ')
        --last;
    return text.mid(first, last - first);
}

} // namespace tovin
