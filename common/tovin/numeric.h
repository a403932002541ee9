#pragma once

#include <cmath>
#include <cstdint>

namespace tovin {

inline constexpr std::int32_t kInt16Min = -32768;
inline constexpr std::int32_t kInt16Max = 32767;

// Every "rounded" in the program means to the nearest integer with a half going
// to the even neighbour (2.5 -> 2, 3.5 -> 4, -3.5 -> -4). std::nearbyint does
// exactly that under the default floating-point environment, which the program
// never changes.
inline double roundHalfEven(double value)
{
    return std::nearbyint(value);
}

inline bool fitsInt16(double value)
{
    return value >= kInt16Min && value <= kInt16Max;
}

inline bool fitsInt32(double value)
{
    return value >= INT32_MIN && value <= INT32_MAX;
}

} // namespace tovin
