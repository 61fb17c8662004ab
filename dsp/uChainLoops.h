// The chain's loops without a recursion: band mix with mute fades, Tube and output gain, and
// the soft clip. Written once: uOrvoChain.cpp compiles them for the baseline instruction set,
// and each dsp/simd/uChainLoops<Set>.cpp includes this after switching its code generation
// to a wider set. Every copy runs the same IEEE operations per sample in the same order (the
// compilers only spread samples across vector lanes; contraction is off everywhere), so every
// copy gives the same bits.
//
// Everything is in an anonymous namespace: each including file gets its own copy, and the
// linker can never hand one instruction set's copy to another's callers. Including files
// include dsp/uChainMath.h and dsp/uFilterKernels.h first, before any target switch, so that
// the shared inline functions keep the baseline instruction set (they are always inlined).
#pragma once

#include "dsp/uChainMath.h"
#include "dsp/uFilterKernels.h"

#include <cstdint>

namespace orvo::chain_loops
{
namespace
{

/// Longest run the mix handles (TOrvoChain::RunLength).
inline constexpr std::int32_t MaxRun = 64;

/// Sum of the five bands of one channel, each times its gain and mute gain, in 32-bit, band 0
/// first. Writes only a local array, so that the compiler needs no aliasing checks.
template <bool FromSplit, bool Fading>
[[gnu::always_inline]] inline void MixBands(const TMixJob& job, int channel,
                                            float (&sums)[MaxRun]) noexcept
{
    const auto& b = job.Bands[static_cast<std::size_t>(channel)];
    const float* const work = job.Work[static_cast<std::size_t>(channel)];
    const float* const b0 = b[0];
    const float* const b1 = b[1];
    const float* const b2 = b[2];
    const float* const b3 = b[3];
    const float* const b4 = b[4];
    const float* const r0 = job.MuteRamps[0];
    const float* const r1 = job.MuteRamps[1];
    const float* const r2 = job.MuteRamps[2];
    const float* const r3 = job.MuteRamps[3];
    const float* const r4 = job.MuteRamps[4];
    const float g0 = job.Gain[0], g1 = job.Gain[1], g2 = job.Gain[2], g3 = job.Gain[3],
                g4 = job.Gain[4];
    const float m0 = job.Mute[0], m1 = job.Mute[1], m2 = job.Mute[2], m3 = job.Mute[3],
                m4 = job.Mute[4];
    const float inputGain = job.InputGain;
    const std::int32_t length = job.Length;
    for (std::int32_t i = 0; i < length; ++i)
    {
        float band0, band1, band2, band3, band4;
        if constexpr (FromSplit)
        {
            band0 = b0[i];
            band1 = b1[i];
            band2 = b2[i];
            band3 = b3[i];
            band4 = b4[i];
        }
        else
        {
            // Each band is its low-pass minus the one below; the top band is the gained
            // input minus the highest low-pass.
            band4 = work[i] * inputGain - b3[i];
            band3 = b3[i] - b2[i];
            band2 = b2[i] - b1[i];
            band1 = b1[i] - b0[i];
            band0 = b0[i];
        }
        float sum = 0.0f;
        if constexpr (Fading)
        {
            sum += band0 * g0 * r0[i];
            sum += band1 * g1 * r1[i];
            sum += band2 * g2 * r2[i];
            sum += band3 * g3 * r3[i];
            sum += band4 * g4 * r4[i];
        }
        else
        {
            sum += band0 * g0 * m0;
            sum += band1 * g1 * m1;
            sum += band2 * g2 * m2;
            sum += band3 * g3 * m3;
            sum += band4 * g4 * m4;
        }
        sums[i] = sum;
    }
}

/// Tube and output gain from the sums into the work buffer.
template <bool Identity>
[[gnu::always_inline]] inline void ShapeChannel(const TMixJob& job, int channel,
                                                const float (&sums)[MaxRun]) noexcept
{
    float* const work = job.Work[static_cast<std::size_t>(channel)];
    const std::int32_t length = job.Length;
    const double limit = job.TubeLimit;
    if constexpr (Identity)
    {
        const auto bound = static_cast<float>(limit);
        const float outGain = job.OutGain;
        for (std::int32_t i = 0; i < length; ++i)
        {
            const float s = sums[i];
            const float low = s < -bound ? -bound : s;       // std::max(s, -bound)
            work[i] = (bound < low ? bound : low) * outGain; // std::min(low, bound)
        }
    }
    else
    {
        const double outGain = job.OutGain;
        const float shape = job.TubeShape;
        for (std::int32_t i = 0; i < length; ++i)
        {
            work[i] = static_cast<float>(TubeCurve(sums[i], shape, limit) * outGain);
        }
    }
}

template <bool FromSplit, bool Fading, bool Identity> void MixChannels(const TMixJob& job) noexcept
{
    for (int channel = 0; channel < 2; ++channel)
    {
        alignas(64) float sums[MaxRun];
        MixBands<FromSplit, Fading>(job, channel, sums);
        ShapeChannel<Identity>(job, channel, sums);
    }
}

template <bool FromSplit, bool Fading> void MixWith(const TMixJob& job) noexcept
{
    if (job.Identity)
    {
        MixChannels<FromSplit, Fading, true>(job);
    }
    else
    {
        MixChannels<FromSplit, Fading, false>(job);
    }
}

/// Band mix, Tube and output gain of one run (TMixKernel).
void Mix(const TMixJob& job) noexcept
{
    if (job.FromSplit)
    {
        job.Fading ? MixWith<true, true>(job) : MixWith<true, false>(job);
    }
    else
    {
        job.Fading ? MixWith<false, true>(job) : MixWith<false, false>(job);
    }
}

/// TSoftClipKernel.
void SoftClipInto(const float* in, float* out, std::int32_t count, bool adding) noexcept
{
    if (adding)
    {
        for (std::int32_t i = 0; i < count; ++i)
        {
            out[i] += SoftClip(in[i]);
        }
    }
    else
    {
        for (std::int32_t i = 0; i < count; ++i)
        {
            out[i] = SoftClip(in[i]);
        }
    }
}

} // namespace
} // namespace orvo::chain_loops
