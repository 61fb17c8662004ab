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
    TTransientDispersion* self = this;
    ProcessTogether<1>(&self, &left, &right, count);
}

void TTransientDispersion::ProcessBands(TTransientDispersion* const* processors,
                                        float* const* left, float* const* right, int bandCount,
                                        std::int32_t count) noexcept
{
    switch (bandCount)
    {
    case 1:
        ProcessTogether<1>(processors, left, right, count);
        break;
    case 2:
        ProcessTogether<2>(processors, left, right, count);
        break;
    case 3:
        ProcessTogether<3>(processors, left, right, count);
        break;
    case 4:
        ProcessTogether<4>(processors, left, right, count);
        break;
    case 5:
        ProcessTogether<5>(processors, left, right, count);
        break;
    default:
        break;
    }
}

template <int Bands>
void TTransientDispersion::ProcessTogether(TTransientDispersion* const* processors,
                                           float* const* left, float* const* right,
                                           std::int32_t count) noexcept
{
    // The work goes in chunks so that the parts without a recursion (the peaks, applying
    // the gains) run as plain loops over samples, and the recursions of the bands (the
    // envelopes, the gain ramps) advance side by side.
    constexpr std::int32_t Chunk = 64;
    alignas(64) float peak[Bands][Chunk];
    alignas(64) double ramp[Bands][Chunk];
    double envelope[Bands], attack[Bands], release[Bands], gain[Bands], step[Bands];
    for (int b = 0; b < Bands; ++b)
    {
        envelope[b] = processors[b]->FEnvelope;
        attack[b] = processors[b]->FAttack;
        release[b] = processors[b]->FRelease;
    }
    for (std::int32_t start = 0; start < count; start += Chunk)
    {
        const std::int32_t n = std::min(Chunk, count - start);
        for (int b = 0; b < Bands; ++b)
        {
            const float* l = left[b] + start;
            const float* r = right[b] + start;
            for (std::int32_t i = 0; i < n; ++i)
            {
                peak[b][i] = std::max(std::fabs(l[i]), std::fabs(r[i]));
            }
        }
        for (std::int32_t i = 0; i < n; ++i)
        {
            for (int b = 0; b < Bands; ++b)
            {
                const double m = peak[b][i];
                const double e = m + (envelope[b] - m) * (m > envelope[b] ? attack[b] : release[b]);
                envelope[b] = e > EnvelopeFloor ? e : 0.0;
            }
        }
    }
    for (int b = 0; b < Bands; ++b)
    {
        TTransientDispersion& p = *processors[b];
        p.FEnvelope = envelope[b];
        gain[b] = p.FGain; // g0: where the previous run ended
        p.FGain = (envelope[b] + 0.5) * 1.5 * p.FScale;
        // (g1 - g0) / 64 equals (g1 - g0) x 0.015625 exactly: one routine serves both lengths.
        step[b] = count > 0 ? (p.FGain - gain[b]) / count : 0.0;
    }
    // The first sample of the run already carries one step; the last one reaches g1. Left and
    // right follow the same gain curve.
    for (std::int32_t start = 0; start < count; start += Chunk)
    {
        const std::int32_t n = std::min(Chunk, count - start);
        for (std::int32_t i = 0; i < n; ++i)
        {
            for (int b = 0; b < Bands; ++b)
            {
                gain[b] += step[b];
                ramp[b][i] = gain[b];
            }
        }
        for (int b = 0; b < Bands; ++b)
        {
            float* l = left[b] + start;
            float* r = right[b] + start;
            for (std::int32_t i = 0; i < n; ++i)
            {
                l[i] = static_cast<float>(l[i] * ramp[b][i]);
                r[i] = static_cast<float>(r[i] * ramp[b][i]);
            }
        }
    }
}

} // namespace orvo
