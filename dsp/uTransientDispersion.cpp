#include "dsp/uTransientDispersion.h"

#include "dsp/uDispersionLoops.h"
#include "maths/uDetMath.h"

#include <algorithm>
#include <cmath>

namespace orvo
{
namespace
{

constexpr double AttackMs = 5.0;
constexpr double ReleaseMs = 20.0;

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

void TTransientDispersion::Settle() noexcept
{
    FGain = DispersionGain(FEnvelope, FScale);
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
    ProcessBands(&self, &left, &right, 1, count);
}

void TTransientDispersion::ProcessBands(TTransientDispersion* const* processors, float* const* left,
                                        float* const* right, int bandCount, std::int32_t count,
                                        TDispersionKernel kernel,
                                        const double* endEnvelopes) noexcept
{
    if (bandCount < 1 || bandCount > MaxBands)
    {
        return;
    }
    TDispersionJob job{};
    job.Bands = bandCount;
    job.Count = count;
    for (int b = 0; b < bandCount; ++b)
    {
        const TTransientDispersion& p = *processors[b];
        job.Left[b] = left[b];
        job.Right[b] = right[b];
        job.Envelope[b] = endEnvelopes != nullptr ? endEnvelopes[b] : p.FEnvelope;
        job.Attack[b] = p.FAttack;
        job.Release[b] = p.FRelease;
        job.Gain[b] = p.FGain;
        job.Scale[b] = p.FScale;
    }
    job.EnvelopeAdvanced = endEnvelopes != nullptr;
    kernel(job);
    for (int b = 0; b < bandCount; ++b)
    {
        processors[b]->FEnvelope = job.Envelope[b];
        processors[b]->FGain = job.Gain[b];
    }
}

void DispersionBaseline(TDispersionJob& job) noexcept
{
    dispersion_loops::Run(job);
}

} // namespace orvo
