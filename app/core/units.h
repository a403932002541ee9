#pragma once

#include <tovin/numeric.h>

namespace tovin {

// Window geometry and the layout limits are kept in twips, 1/1440 inch: 15
// to a pixel at 96 dots per inch.
inline constexpr double kTwipsPerInch = 1440;

inline constexpr double pixelsToTwips(double pixels, double dotsPerInch)
{
    return pixels * kTwipsPerInch / dotsPerInch;
}

// Whole pixels for a twips length, rounded half to even like every other
// conversion of the program.
inline int twipsToPixels(double twips, double dotsPerInch)
{
    return int(roundHalfEven(twips * dotsPerInch / kTwipsPerInch));
}

} // namespace tovin
