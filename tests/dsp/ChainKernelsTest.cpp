// Every filter kernel gives the chain the same samples, bit for bit, as the scalar step.
#include "dsp/simd/uVectorFilterKernels.h"
#include "dsp/uOrvoChain.h"

#include "tests/dsp/DspTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
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
    chain.SetParameter(12, 0.5f);
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
            const std::int32_t pos = std::uniform_int_distribution<std::int32_t>(0, frames - 1)(random);
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
            EXPECT_EQ(0, std::memcmp(rendered.data(), reference.data(), rendered.size() * sizeof(float)))
                << SimdLevelName(level) << " seed " << seed;
        }
    }
}

} // namespace
} // namespace orvo
