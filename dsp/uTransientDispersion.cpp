#include "dsp/uTransientDispersion.h"

#include "dsp/uDetMath.h"

#include <algorithm>
#include <cmath>

namespace orvo
{
namespace
{

constexpr double AttackMs = 5.0;
constexpr double ReleaseMs = 20.0;
/// An envelope not above this is stored as 0 (keeps denormal values out of it).
constexpr double EnvelopeFloor = 1.0e-25;

} // namespace

TTransientDispersion::TTransientDispersion(float sampleRate) noexcept
{
    SetSampleRate(sampleRate);
    FAmount = 0.0f;
    FScale = 1.0;
    Reset();
}

void TTransientDispersion::SetSampleRate(float sampleRate) noexcept
{
    if (!(sampleRate >= 1.0f)) // a rate below 1 Hz (or NaN) would make the envelope grow
    {
        sampleRate = 1.0f;
    }
    if (sampleRate == FSampleRate)
    {
        return;
    }
    FSampleRate = sampleRate;
    FSamplesPerMs = sampleRate * 0.001f;
    const double samplesPerMs = FSamplesPerMs;
    FAttack = detmath::Exp(-1.0 / (AttackMs * samplesPerMs));
    FRelease = detmath::Exp(-1.0 / (ReleaseMs * samplesPerMs));
    Reset();
}

void TTransientDispersion::Reset() noexcept
{
    FEnvelope = 0.0;
    FGain = 0.0;
}

void TTransientDispersion::SetParam(std::int32_t index, float value) noexcept
{
    if (index == 0)
    {
        FAmount = value;
        FScale = 1.0 + static_cast<double>(value);
    }
}

void TTransientDispersion::ProcessBlock(float* left, float* right) noexcept
{
    ProcessSamples(left, right, 64);
}

void TTransientDispersion::ProcessSamples(float* left, float* right, std::int32_t count) noexcept
{
    const double g0 = FGain;
    double envelope = FEnvelope;
    for (std::int32_t i = 0; i < count; ++i)
    {
        const double m = std::max(std::fabs(left[i]), std::fabs(right[i]));
        envelope = m + (envelope - m) * (m > envelope ? FAttack : FRelease);
        if (!(envelope > EnvelopeFloor))
        {
            envelope = 0.0;
        }
    }
    FEnvelope = envelope;
    const double g1 = (envelope + 0.5) * 1.5 * FScale;
    FGain = g1;
    if (count <= 0)
    {
        return;
    }
    // (g1 - g0) / 64 equals (g1 - g0) x 0.015625 exactly, so one routine serves both lengths.
    const double step = (g1 - g0) / count;
    double g = g0;
    for (std::int32_t i = 0; i < count; ++i)
    {
        g += step;
        left[i] = static_cast<float>(left[i] * g);
    }
    g = g0;
    for (std::int32_t i = 0; i < count; ++i)
    {
        g += step;
        right[i] = static_cast<float>(right[i] * g);
    }
}

} // namespace orvo
