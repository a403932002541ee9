#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace tovin {

// A number as users type it into a field: blanks around it, an optional sign,
// digits with an optional decimal point ('.'), an optional exponent. Anything
// else (an empty text, "1,5", "0x10", "inf") is not a number.
std::optional<double> parseNumberText(const QString &text);

// Conversions that raise the run-time errors the error report shows: a text
// that is not a number is a type mismatch, a value outside the target width
// an overflow. Whole-number conversions round halves to the even neighbour.
double textToDouble(const QString &text);
std::int16_t toInt16(double value);
std::int32_t toInt32(double value);
std::int16_t textToInt16(const QString &text);

// Removes leading and trailing blanks (spaces only, as the fields do).
QString trimBlanks(const QString &text);

} // namespace tovin
