// Bit patterns that let the vector kernels round a double to 32-bit precision and apply
// FlushTiny without leaving the vector registers (see uBiquadKernel.h).
#pragma once

#include "dsp/uRBJFilter.h"

#include <bit>
#include <cstdint>

namespace orvo::simd_rounding
{

/// Bits below the 24 significant bits of a 32-bit float, in a double's 53.
inline constexpr std::uint64_t DroppedBits = (std::uint64_t{1} << 29) - 1;
/// Added before clearing the dropped bits: with the kept lowest bit added as well this is
/// round to nearest, ties to even.
inline constexpr std::uint64_t RoundingBias = (std::uint64_t{1} << 28) - 1;
inline constexpr std::uint64_t KeptBits = ~DroppedBits;
inline constexpr std::uint64_t MagnitudeBits = ~(std::uint64_t{1} << 63);

/// Largest |y| bit pattern whose 32-bit rounding is not above FlushThreshold: y is kept
/// exactly when the magnitude bits of y exceed it. The 32-bit rounding of the midpoint
/// between FlushThreshold and the next float goes to whichever of them is even.
inline constexpr std::uint64_t FlushLimitBits = []()
{
    const std::uint32_t threshold = std::bit_cast<std::uint32_t>(FlushThreshold);
    const double below = static_cast<double>(FlushThreshold);
    const double above = static_cast<double>(std::bit_cast<float>(threshold + 1));
    const std::uint64_t midpoint = std::bit_cast<std::uint64_t>(below + (above - below) * 0.5);
    return (threshold & 1) == 0 ? midpoint : midpoint - 1;
}();

/// FlushLimitBits as a double: y is kept exactly when |y| > FlushLimit (NaN never is).
inline constexpr double FlushLimit = std::bit_cast<double>(FlushLimitBits);

/// Smallest |y| bit pattern whose 32-bit rounding is infinite: the largest float plus half
/// its ulp, 2^128 - 2^103 (the tie goes to the even infinity). NaNs lie above it too.
inline constexpr std::uint64_t OverflowBits =
    std::bit_cast<std::uint64_t>(0x1.fffffep127 + 0x1p103);

/// FlushThreshold as a double, for comparing exact 32-bit inputs.
inline constexpr double FlushThresholdD = FlushThreshold;

} // namespace orvo::simd_rounding
