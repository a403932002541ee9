#pragma once

#include <QString>

#include <optional>

namespace tovin {

// The album's slides are the original files, or pictures made from them to
// fit within N x N pixels for the web.
inline constexpr int kDefaultSlideSide = 2048;
inline constexpr int kSmallestSlideSide = 320;
inline constexpr int kLargestSlideSide = 8192;

// N as typed: a whole number of pixels in the range; nothing otherwise.
std::optional<int> parseSlideSide(const QString &text);

// tovin-batch's "original" (0) or "fit:N" (N); nothing for any other text.
std::optional<int> parseSlideChoice(const QString &text);

// Why a side was refused, in a sentence.
QString slideSideRangeText();

} // namespace tovin
