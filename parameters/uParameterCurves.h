// What each kind of parameter drives, as a function of its normalised value x (0..1), and
// the quantity its display and LV2 port show. The chain applies the settings; the display
// texts and port values (uParameterMapping.h) are made from the same functions, so the two
// cannot disagree.
//
//   band     x <= 0.5: LevelCurve (silence..0 dB); x > 0.5: transient amount 0..1
//   mute     SwitchOn: muted from the middle up
//   gain     LevelCurve, boost range included (up to +6 dB)
//   Tube     TubeSettingFor; shown as TubePercent, -100..100 (0 is the identity curve)
//   Tuning   TuningOctaves, crossovers moved by -1..1 octave; shown as TuningSemitones
//   switch   SwitchOn: oversampling from the middle up
#pragma once

namespace orvo
{
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

/// The level curve's decibels at x: -96 dB at 0, -24 dB at 0.25, 0 dB at 0.5, +6 dB at 1.
/// The chain works them out in 32-bit steps (TReal = float); the LV2 ports show the same
/// steps in 64-bit (TReal = double), rounded to float once.
template <typename TReal> constexpr TReal LevelDecibelSteps(TReal x) noexcept
{
    if (x > TReal(0.5))
    {
        return (x - TReal(0.5)) * TReal(12);
    }
    if (x >= TReal(0.25))
    {
        return (TReal(0.5) - x) * TReal(-96);
    }
    return (TReal(0.25) - x) * TReal(-288) - TReal(24);
}

/// Below this many decibels the level curve gives silence (x below about 0.000347).
inline constexpr double LevelSilenceDecibels = -95.9;

/// Whether the level curve is silent at x: LevelCurve(x) > 0 exactly where this is false
/// (not a number included), found without the exponential.
inline bool LevelCurveSilentAt(float x) noexcept
{
    return !(LevelDecibelSteps(x) >= LevelSilenceDecibels);
}

/// Gain of a level knob at x (0..1): exp of LevelDecibelSteps<float>, exactly 0 below
/// LevelSilenceDecibels (the band knobs never ask for more than 0.5, 0 dB). The exponential
/// in 64-bit.
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

/// The Tube knob as shown: -100 % at 0 (Shape -4), 0 at the middle (the identity curve),
/// 100 % at 1 (Shape -0.25). The display in 32-bit steps, the LV2 port in 64-bit.
template <typename TReal> constexpr TReal TubePercent(TReal x) noexcept
{
    return x * TReal(200) - TReal(100);
}

/// How far "Tuning" moves the crossovers, in octaves: -1 at 0, 0 at the middle, 1 at 1.
inline float TuningOctaves(float x) noexcept
{
    return 2.0f * x - 1.0f;
}

/// The same shift as shown, in semitones (12 per octave): -12..12. The display in 32-bit
/// steps, the LV2 port in 64-bit.
template <typename TReal> constexpr TReal TuningSemitones(TReal x) noexcept
{
    return x * TReal(24) - TReal(12);
}
} // namespace orvo
