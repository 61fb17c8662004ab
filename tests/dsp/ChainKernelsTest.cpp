// Every filter kernel gives the chain the same samples, bit for bit, as the scalar step.
#include <gtest/gtest.h>

#include "dsp/simd/uVectorFilterKernels.h"
#include "dsp/uChainMath.h"
#include "dsp/uOrvoChain.h"
#include "tests/dsp/DspTestSupport.h"

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace orvo
{
namespace
{

using test::TScriptedMidiClock;

/// Renders a long random session: random programs, parameter changes at random MIDI
/// positions (Tuning glides, oversampling switched on and off, mutes, transient bands),
/// random block sizes, and input with silence, tiny and loud passages.
std::vector<float> RandomSession(const TFilterKernels& kernels, unsigned seed)
{
    TOrvoChain chain;
    chain.SetFilterKernels(kernels);
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    for (int i = 0; i < 15; ++i)
    {
        chain.SetParameter(i, unit(random));
    }
    chain.SetParameter(prInGain, 0.5f);
    std::vector<float> rendered;
    for (int block = 0; block < 120; ++block)
    {
        const std::int32_t frames = std::uniform_int_distribution<std::int32_t>(1, 700)(random);
        std::vector<float> left(static_cast<std::size_t>(frames));
        std::vector<float> right(static_cast<std::size_t>(frames));
        const float level = block % 7 == 3 ? 1e-30f : (block % 11 == 5 ? 4.0f : 0.7f);
        for (std::int32_t i = 0; i < frames; ++i)
        {
            left[std::size_t(i)] = level * (unit(random) * 2.0f - 1.0f);
            right[std::size_t(i)] = block % 5 == 0 ? 0.0f : level * (unit(random) * 2.0f - 1.0f);
        }
        TScriptedMidiClock midi;
        for (int e = 0; e < 4; ++e)
        {
            const std::int32_t pos =
                std::uniform_int_distribution<std::int32_t>(0, frames - 1)(random);
            const int index = std::uniform_int_distribution<int>(0, 14)(random);
            const float value = unit(random);
            midi.Events[pos] = [&chain, index, value] { chain.SetParameter(index, value); };
        }
        if (block % 13 == 12)
        {
            chain.SetSampleRate(block % 2 == 0 ? 48000.0f : 22050.0f);
        }
        const float* in[2] = {left.data(), right.data()};
        float* out[2] = {left.data(), right.data()};
        chain.ProcessReplacing(in, out, frames, &midi);
        rendered.insert(rendered.end(), left.begin(), left.end());
        rendered.insert(rendered.end(), right.begin(), right.end());
    }
    return rendered;
}

TEST(ChainKernels, EveryInstructionSetRendersTheScalarSamples)
{
    for (unsigned seed : {1u, 2u, 3u})
    {
        const std::vector<float> reference = RandomSession(ScalarFilterKernels, seed);
        for (TSimdLevel level : {slSse2, slAvx2, slAvx512})
        {
            if (!SimdLevelSupported(level))
            {
                continue;
            }
            const std::vector<float> rendered = RandomSession(FilterKernelsFor(level), seed);
            ASSERT_EQ(rendered.size(), reference.size());
            EXPECT_EQ(
                0, std::memcmp(rendered.data(), reference.data(), rendered.size() * sizeof(float)))
                << SimdLevelName(level) << " seed " << seed;
        }
    }
}

// One run's band mix on random bands with extreme values (beyond the Tube's input limit,
// infinities, NaN), in every variant, through the given kernels.
std::vector<float> MixSamples(const TFilterKernels& kernels, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    const float specials[] = {0.0f,
                              -0.0f,
                              1.0e30f,
                              -1.0e30f,
                              70000.0f,
                              std::numeric_limits<float>::infinity(),
                              std::numeric_limits<float>::quiet_NaN()};
    std::vector<float> rendered;
    std::array<std::array<float, 64>, 5> bandsL{}, bandsR{}, ramps{};
    std::array<float, 64> workL{}, workR{};
    for (int job = 0; job < 400; ++job)
    {
        const TTubeSetting tube = TubeSettingFor(job % 3 == 0 ? 0.5f : unit(random));
        TMixJob mix{};
        mix.Length = 1 + static_cast<std::int32_t>(random() % 64);
        for (int k = 0; k < 5; ++k)
        {
            for (int i = 0; i < 64; ++i)
            {
                const bool special = random() % 16 == 0;
                bandsL[k][i] = special ? specials[random() % std::size(specials)]
                                       : (unit(random) - 0.5f) * 8.0f;
                bandsR[k][i] = (unit(random) - 0.5f) * (job % 5 == 0 ? 2.0e5f : 3.0f);
                ramps[k][i] = unit(random);
            }
            mix.Bands[0][k] = bandsL[k].data();
            mix.Bands[1][k] = bandsR[k].data();
            mix.MuteRamps[k] = ramps[k].data();
            mix.Gain[k] = unit(random) * 2.0f;
            mix.Mute[k] = random() % 2 == 0 ? 1.0f : unit(random);
        }
        for (int i = 0; i < 64; ++i)
        {
            workL[i] = (unit(random) - 0.5f) * 4.0f;
            workR[i] = random() % 20 == 0 ? 1.0e6f : (unit(random) - 0.5f) * 4.0f;
        }
        mix.Work = {workL.data(), workR.data()};
        mix.InputGain = unit(random) * 2.0f;
        mix.OutGain = unit(random) * 2.0f;
        mix.TubeShape = tube.Shape;
        mix.TubeLimit = tube.Limit;
        mix.FromSplit = random() % 2 == 0;
        mix.Fading = random() % 2 == 0;
        mix.Identity = tube.Shape == -1.0f;
        kernels.Mix(mix);
        rendered.insert(rendered.end(), workL.begin(), workL.begin() + mix.Length);
        rendered.insert(rendered.end(), workR.begin(), workR.begin() + mix.Length);
        // The soft clip over the same samples, stored and added.
        std::array<float, 64> clipped = workR;
        kernels.SoftClip(workL.data(), clipped.data(), mix.Length, job % 2 == 0);
        rendered.insert(rendered.end(), clipped.begin(), clipped.begin() + mix.Length);
    }
    return rendered;
}

TEST(ChainKernels, EveryInstructionSetMixesAndClipsLikeTheBaselineOnExtremeBands)
{
    const std::vector<float> reference = MixSamples(ScalarFilterKernels, 9);
    for (TSimdLevel level : {slAvx2, slAvx512})
    {
        if (!SimdLevelSupported(level))
        {
            continue;
        }
        const std::vector<float> rendered = MixSamples(FilterKernelsFor(level), 9);
        ASSERT_EQ(rendered.size(), reference.size());
        for (std::size_t i = 0; i < rendered.size(); ++i)
        {
            // NaN payloads are not samples; everything else must match bit for bit.
            const bool bothNaN = std::isnan(rendered[i]) && std::isnan(reference[i]);
            ASSERT_TRUE(bothNaN || std::memcmp(&rendered[i], &reference[i], sizeof(float)) == 0)
                << SimdLevelName(level) << " sample " << i << ": " << rendered[i] << " vs "
                << reference[i];
        }
    }
}

} // namespace
} // namespace orvo
