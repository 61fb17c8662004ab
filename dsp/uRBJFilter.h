// One second-order IIR section with Audio EQ Cookbook coefficients, and the per-sample step
// that every filter of the chain runs.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>

namespace orvo
{

enum TFilterType : std::uint8_t
{
    ftLowPass,
    ftHighPass,
    ftBandPassQ, // constant skirt gain, peak gain = Q
    ftBandPass,  // constant 0 dB peak gain
    ftNotch,
    ftAllPass,
    ftPeaking,
    ftLowShelf,
    ftHighShelf,
};

/// Samples a coefficient glide takes after every change.
inline constexpr std::int32_t GlideLength = 64;
/// A state value whose 32-bit magnitude is not above this is stored as 0 (keeps denormal
/// values out of the feedback).
inline constexpr float FlushThreshold = 1.0e-25f;
/// Highest corner the coefficients are computed for, as a fraction of the processing rate.
/// At exactly half the rate a low-pass has a double pole on the unit circle (a1 = 2, a2 = 1)
/// and rings for seconds after a glide; 0.49 keeps every pole strictly inside.
inline constexpr double MaxCornerRatio = 0.49;

/// What the per-sample step reads and writes, as plain data so that a vector kernel can run
/// several of them in lockstep. Coefficients are b0 b1 b2 a0 a1 a2, already divided by a0.
struct TBiquadCore
{
    std::array<double, 6> FCoef{};       // in use
    std::array<double, 6> FCoefStep{};   // per-sample increment while gliding
    std::array<double, 6> FCoefTarget{}; // where the glide ends
    std::array<double, 4> FState{};      // x1 x2 y1 y2
    std::int32_t FGlideLeft = 0;         // glide steps still pending, 0..GlideLength
};

inline float FlushTiny(float v) noexcept
{
    return std::fabs(v) > FlushThreshold ? v : 0.0f;
}

/// Filters count samples in place (Direct Form I, 64-bit coefficients and state, 32-bit
/// output). While a glide is pending every sample first takes one step; the last step lands
/// exactly on the targets. A glide that a run does not finish carries on into the next run,
/// so it always lasts GlideLength samples of audio whatever the run lengths.
inline void ProcessBiquad(TBiquadCore& f, float* buffer, std::int32_t count) noexcept
{
    auto& c = f.FCoef;
    double x1 = f.FState[0];
    double x2 = f.FState[1];
    double y1 = f.FState[2];
    double y2 = f.FState[3];
    std::int32_t i = 0;
    for (; i < count && f.FGlideLeft > 0; ++i)
    {
        if (--f.FGlideLeft == 0)
        {
            c = f.FCoefTarget;
        }
        else
        {
            for (int k = 0; k < 6; ++k)
            {
                c[k] += f.FCoefStep[k];
            }
        }
        const float x = buffer[i];
        const double y = c[0] * x + c[1] * x1 + c[2] * x2 - c[4] * y1 - c[5] * y2;
        const float out = static_cast<float>(y);
        buffer[i] = out;
        x2 = x1;
        x1 = FlushTiny(x);
        y2 = y1;
        y1 = FlushTiny(out);
    }
    const double b0 = c[0], b1 = c[1], b2 = c[2], a1 = c[4], a2 = c[5];
    for (; i < count; ++i)
    {
        const float x = buffer[i];
        const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        const float out = static_cast<float>(y);
        buffer[i] = out;
        x2 = x1;
        x1 = FlushTiny(x);
        y2 = y1;
        y1 = FlushTiny(out);
    }
    f.FState = {x1, x2, y1, y2};
}

/// One RBJ cookbook biquad, filtering one channel in place, gliding to new coefficients over
/// 64 samples. Frequencies in Hz, gain in dB; Q is a bandwidth in octaves for the band-pass,
/// notch and all-pass types.
class TRBJFilter
{
  public:
    explicit TRBJFilter(float sampleRate) noexcept;

    /// Acts only when at least one argument differs from the held setting.
    void SetFilter(TFilterType type, float frequency, float q, float gain) noexcept;
    /// Rates below 1 Hz become 1. Does not re-clamp the held frequency; the callers follow
    /// it with Reset.
    void SetSampleRate(float sampleRate) noexcept;
    /// 0 frequency, 1 gain, 2 Q; other indices do nothing.
    void SetParam(std::int32_t index, float value) noexcept;
    /// Takes the rate and setting of twin with the coefficients its maths gave (the same
    /// setting at the same rate gives the same coefficients, bit for bit), and glides to them
    /// from its own; acts only on a change, like SetFilter. Like SetSampleRate, a change of
    /// rate wants a Reset after it.
    void SetFilterLike(const TRBJFilter& twin) noexcept;
    /// SetParam(0, frequency) with the coefficients already known: target must be what this
    /// filter's maths gives for that frequency at its rate, type, Q and gain.
    void SetFrequencyDesigned(float frequency, const std::array<double, 6>& target) noexcept;
    /// Silences the memory and completes a pending glide at once.
    void Reset() noexcept;
    /// Completes a pending glide at once; the memory stays.
    void EndGlide() noexcept;

    void ProcessBlock(float* buffer) noexcept { ProcessBiquad(FCore, buffer, GlideLength); }
    void ProcessSamples(float* buffer, std::int32_t count) noexcept
    {
        ProcessBiquad(FCore, buffer, count);
    }

    TBiquadCore& Core() noexcept { return FCore; }
    const TBiquadCore& Core() const noexcept { return FCore; }
    float SampleRate() const noexcept { return FSampleRate; }
    float Frequency() const noexcept { return FFrequency; }
    TFilterType FilterType() const noexcept { return FFilterType; }

  private:
    bool StoreFrequency(float frequency) noexcept;
    void CalcCoefficients() noexcept;
    /// Glides from the coefficients in use to target over the next GlideLength samples.
    void GlideTo(const std::array<double, 6>& target) noexcept;

    float FSampleRate;
    double FInvSampleRate;
    float FFrequency = 440.0f;
    float FGain = 1.0f;
    float FQ = 1.0f;
    TFilterType FFilterType = ftLowPass;
    TBiquadCore FCore;
};

} // namespace orvo
