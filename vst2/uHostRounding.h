// Rounding of host-facing values to integers, independent of the thread's rounding mode
// (which the host owns).
#pragma once

#include <cmath>
#include <cstdint>

namespace orvo
{

/// x rounded to the nearest integer, ties to even (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
/// Not-a-number gives 0.
inline double roundHalfEven(double x) noexcept
{
    if (std::isnan(x))
    {
        return 0.0;
    }
    const double below = std::floor(x);
    const double fraction = x - below; // exact: x and its floor share the exponent range
    if (fraction > 0.5)
    {
        return below + 1.0;
    }
    if (fraction < 0.5)
    {
        return below;
    }
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

/// x rounded as roundHalfEven and clamped to the signed 32-bit range.
inline std::int32_t roundToInt32(double x) noexcept
{
    const double rounded = roundHalfEven(x);
    if (rounded >= 2147483647.0)
    {
        return INT32_MAX;
    }
    if (rounded <= -2147483648.0)
    {
        return INT32_MIN;
    }
    return static_cast<std::int32_t>(rounded);
}

/// The low byte (two's complement) of x rounded as roundHalfEven; 0 for non-finite x.
inline std::uint8_t roundedLowByte(double x) noexcept
{
    if (!std::isfinite(x))
    {
        return 0;
    }
    double low = std::fmod(roundHalfEven(x), 256.0); // exact; -255..255
    if (low < 0.0)
    {
        low += 256.0;
    }
    return static_cast<std::uint8_t>(low);
}

} // namespace orvo
