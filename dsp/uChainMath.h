// The chain's arithmetic that is not a filter: the level curve of the gain knobs, the Tube
// curve and the soft clipper.
#pragma once

#include <array>
#include <cmath>

namespace orvo
{

/// The four crossover low-passes at "Tuning" in the middle, Hz.
inline constexpr std::array<float, 4> CrossoverFrequencies{120.0f, 480.0f, 2000.0f, 8000.0f};
/// ln(10) / 20: gain = exp(dB x DecibelToExponent).
inline constexpr double DecibelToExponent = 0.11512925464970228;

/// A band knob above its middle switches the band to its transient processor...
inline bool BandUsesDispersion(float x) noexcept
{
    return x > 0.5f;
}
/// ...with this amount: 0 just above the middle, 1 at the top.
inline float DispersionAmountFor(float x) noexcept
{
    return (x - 0.5f) * 2.0f;
}
/// A mute switch or the "OverSample" switch is on from the middle up.
inline bool SwitchOn(float x) noexcept
{
    return x >= 0.5f;
}

/// Gain of a level knob at x (0..1): silence below about 0.000347, -96 dB near 0, -24 dB at
/// 0.25, 0 dB at 0.5 and, above the middle, up to +6 dB at 1.0 (the band knobs never ask for
/// more than 0.5). 32-bit steps, exponential in 64-bit.
float LevelCurve(float x) noexcept;

/// The Tube curve's settings for a knob value x (0..1).
struct TTubeSetting
{
    float Drive; // r, 0.2..0.8
    float Shape; // k = 1 - 1/r, -4..-0.25; -1 is the identity
    /// Largest input magnitude the curve is evaluated at; beyond it the output stays at the
    /// curve's value there. For k below -1 this keeps the input short of the pole at
    /// k / (1 + k), where the curve would run to infinity and change sign: the curve is
    /// followed up to an output of TubeExpanderCeiling and held there. For every setting
    /// it is at most TubeInputCeiling, which keeps every later stage finite.
    double Limit;
};

/// Highest output of the expanding Tube settings (+12 dB above full scale).
inline constexpr double TubeExpanderCeiling = 4.0;
/// Highest input magnitude of the Tube stage (+96 dB above full scale).
inline constexpr double TubeInputCeiling = 65536.0;

TTubeSetting TubeSettingFor(float x) noexcept;

/// Tube curve |s| / ((|s| - 1) k + |s|) with the sign of s, the input limited as above
/// (which also keeps the denominator at 1/4 or more). In 64-bit, so that the curve rounded
/// to 32-bit is monotonic (32-bit steps would wobble by an ulp) and exactly the identity
/// at k = -1. Always inlined, so that the vector copies of the chain's loops (uChainLoops.h)
/// compile it with their own instruction set.
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
