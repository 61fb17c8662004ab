// The chain's arithmetic that is not a filter: the crossover frequencies, the Tube curve and
// the soft clipper. What the parameters set them to is in parameters/uParameterCurves.h.
#pragma once

#include "parameters/uParameterCurves.h"

#include <array>
#include <cmath>

namespace orvo
{

/// The four crossover low-passes at "Tuning" in the middle, Hz.
inline constexpr std::array<float, 4> CrossoverFrequencies{120.0f, 480.0f, 2000.0f, 8000.0f};

/// Tube curve |s| / ((|s| - 1) k + |s|) with the sign of s, the input limited as
/// TTubeSetting::Limit says (which also keeps the denominator at 1/4 or more). In 64-bit, so
/// that the curve rounded to 32-bit is monotonic (32-bit steps would wobble by an ulp) and
/// exactly the identity at k = -1. Always inlined, so that the vector copies of the chain's
/// loops (uChainLoops.h) compile it with their own instruction set.
[[gnu::always_inline]] inline double TubeCurve(float s, float shape, double limit) noexcept
{
    double p = std::fabs(static_cast<double>(s));
    p = p < limit ? p : limit; // NaN too
    const double y = p / ((p - 1.0) * shape + p);
    return std::copysign(y, static_cast<double>(s));
}

/// s (12 s^2 + 144) / ((s^2 + 60) s^2 + 144) in 32-bit steps: follows tanh for small
/// signals, 0.7610 at 1, peaks at 0.98974 at sqrt(12), falls back towards 0 beyond. Always
/// inlined, like TubeCurve.
[[gnu::always_inline]] inline float SoftClip(float s) noexcept
{
    const float s2 = s * s;
    const float numerator = s * (12.0f * s2 + 144.0f);
    const float denominator = (s2 + 60.0f) * s2 + 144.0f;
    return numerator / denominator;
}

} // namespace orvo
