// Where playing starts: a fresh engine, or one resumed after a suspend, sounds from its first
// sample as one that ran silence at the same settings; changes made while playing still
// glide and fade.
#include <gtest/gtest.h>

#include "dsp/uOrvoEngine.h"
#include "tests/dsp/DspTestSupport.h"
#include "tests/support/FactoryPrograms.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>

namespace orvo
{
namespace
{

using test::TFactoryProgram;
using test::TStereo;

constexpr float HostRate = 44100.0f;
constexpr std::int32_t Block = 256;
/// 200 ms of material: longer than every glide, fade and envelope time of the chain.
constexpr std::int32_t MaterialFrames = 8820;

/// A click at sample 0 on both channels, then noise at about -12 dBFS from a fixed seed.
TStereo Material()
{
    TStereo material(MaterialFrames);
    std::uint32_t seed = 2024;
    for (std::size_t i = 1; i < material.L.size(); ++i)
    {
        seed = seed * 1664525u + 1013904223u;
        material.L[i] = static_cast<float>(seed >> 8) / 33554432.0f - 0.25f;
        seed = seed * 1664525u + 1013904223u;
        material.R[i] = static_cast<float>(seed >> 8) / 33554432.0f - 0.25f;
    }
    material.L[0] = 1.0f;
    material.R[0] = -0.8f;
    return material;
}

void SetProgram(TOrvoEngine& engine, const TFactoryProgram& program)
{
    for (std::int32_t i = 0; i < ParameterCount; ++i)
    {
        engine.ApplyParameter(i, program.Values[static_cast<std::size_t>(i)]);
    }
}

/// In blocks of Block frames, as a host calls.
TStereo Play(TOrvoEngine& engine, TStereo input)
{
    const auto frames = static_cast<std::int32_t>(input.L.size());
    for (std::int32_t pos = 0; pos < frames; pos += Block)
    {
        const std::int32_t count = std::min(Block, frames - pos);
        const float* in[] = {input.L.data() + pos, input.R.data() + pos};
        float* out[] = {input.L.data() + pos, input.R.data() + pos};
        engine.ProcessReplacing(in, out, count, nullptr);
    }
    return input;
}

enum TStart : std::uint8_t
{
    stProgramBeforeResume,
    stProgramAfterResume,
    stResumedAfterSuspend,
};

std::unique_ptr<TOrvoEngine> Started(TStart start, const TFactoryProgram& program)
{
    auto engine = std::make_unique<TOrvoEngine>();
    if (start != stProgramAfterResume)
    {
        SetProgram(*engine, program);
    }
    engine->SetSampleRate(HostRate);
    engine->Resume();
    if (start == stProgramAfterResume)
    {
        SetProgram(*engine, program);
    }
    if (start == stResumedAfterSuspend)
    {
        Play(*engine, Material());
        engine->Suspend();
        engine->Resume();
    }
    return engine;
}

TEST(TOrvoEngineStart, EveryProgramSoundsFromTheFirstSampleAsAfterTwoSecondsOfSilence)
{
    const std::vector<TFactoryProgram> programs = test::FactoryPrograms();
    ASSERT_EQ(programs.size(), static_cast<std::size_t>(ProgramCount));
    // Every factory program runs oversampled; each runs at the host rate too.
    std::vector<TFactoryProgram> cases = programs;
    for (TFactoryProgram program : programs)
    {
        program.Name += " at the host rate";
        program.Values[prOverSample] = 0.0f;
        cases.push_back(program);
    }
    for (const TFactoryProgram& program : cases)
    {
        auto settled = Started(stProgramBeforeResume, program);
        Play(*settled, TStereo(static_cast<std::size_t>(2 * HostRate)));
        const TStereo expected = Play(*settled, Material());
        for (const TStart start :
             {stProgramBeforeResume, stProgramAfterResume, stResumedAfterSuspend})
        {
            const TStereo got = Play(*Started(start, program), Material());
            float worst = 0.0f;
            std::size_t at = 0;
            for (std::size_t i = 0; i < got.L.size(); ++i)
            {
                const float error = std::max(std::fabs(got.L[i] - expected.L[i]),
                                             std::fabs(got.R[i] - expected.R[i]));
                if (error > worst)
                {
                    worst = error;
                    at = i;
                }
            }
            EXPECT_LE(worst, 1e-6f) << program.Name << ", start " << static_cast<int>(start)
                                    << ": worst at sample " << at;
        }
    }
}

TEST(TOrvoEngineStart, ChangesWhilePlayingStillGlideAndFade)
{
    TFactoryProgram flat;
    for (const TParameterInfo& info : ParameterInfo)
    {
        flat.Values[static_cast<std::size_t>(info.Index)] = info.Default;
    }
    auto engine = Started(stProgramBeforeResume, flat);
    Play(*engine, TStereo(Block, 0.25f));

    engine->ApplyParameter(prTuning, 0.9f);
    engine->ApplyParameter(prMid, 0.8f);
    engine->ApplyParameter(prHiMute, 1.0f);
    engine->ApplyPendingChanges();
    const TOrvoChain& chain = engine->Chain();
    EXPECT_EQ(chain.Dispersion(2).Gain(), 0.0); // fades in from silence over its first run
    Play(*engine, TStereo(16, 0.25f));
    EXPECT_EQ(chain.Filter(0).Core().FGlideLeft, GlideLength - 16);
    EXPECT_EQ(chain.MuteState(4), msFadingOut);
}

} // namespace
} // namespace orvo
