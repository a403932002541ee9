#pragma once

namespace tovin {

// Window geometry and the layout limits are kept in twips, 1/1440 inch: 15
// to a pixel at 96 dots per inch.
inline constexpr double kTwipsPerInch = 1440;

inline constexpr double pixelsToTwips(double pixels, double dotsPerInch)
{
    return pixels * kTwipsPerInch / dotsPerInch;
}

} // namespace tovin
