#include <gtest/gtest.h>

#include "dsp/uChainMath.h"
#include "dsp/uOrvoEngine.h"
#include "tests/dsp/DspTestSupport.h"

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

// Counts allocations on any thread while enabled (for the real-time test below).
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

namespace
{
std::atomic<bool> CountAllocations{false};
std::atomic<int> Allocations{0};
} // namespace

void* operator new(std::size_t size)
{
    if (CountAllocations.load(std::memory_order_relaxed))
    {
        Allocations.fetch_add(1, std::memory_order_relaxed);
    }
    if (void* p = std::malloc(size == 0 ? 1 : size))
    {
        return p;
    }
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace orvo
{
namespace
{

using test::TScriptedMidiClock;
using test::TStereo;

/// A fresh program's values: bands, Tube, Tuning and gains in the middle, the rest off.
void SetMiddle(TOrvoEngine& engine)
{
    for (const TParameterInfo& info : ParameterInfo)
    {
        engine.ApplyParameter(info.Index, info.Default);
    }
}

TEST(TOrvoEngine, DisplayValuesFollowTheLatestSetterAtOnce)
{
    TOrvoEngine engine;
    EXPECT_EQ(engine.InGain(), 0.0f);
    EXPECT_FALSE(engine.BandMuted(1));
    engine.ApplyParameter(prLoMidMute, 0.5f);
    EXPECT_TRUE(engine.BandMuted(1));
    engine.ApplyParameter(prHiMid, 1.7f);
    EXPECT_TRUE(engine.BandDispersionOn(3));
    EXPECT_EQ(engine.DispersionAmount(3), 1.0f);
    engine.ApplyParameter(prHiMid, -0.2f);
    EXPECT_FALSE(engine.BandDispersionOn(3));
    EXPECT_EQ(engine.BandGain(3), 0.0f);
    engine.ApplyParameter(prInGain, 1.0f);
    EXPECT_NEAR(engine.InGain(), 1.9952623f, 1e-6f);
    engine.ApplyParameter(prOverSample, 0.5f);
    EXPECT_TRUE(engine.OverSample());

    // The chain itself changes between runs, on the audio thread.
    EXPECT_FALSE(engine.Chain().OverSample());
    engine.ApplyPendingChanges();
    EXPECT_TRUE(engine.Chain().OverSample());
    EXPECT_EQ(engine.Chain().MuteState(1), msFadingOut);
}

TEST(TOrvoEngine, AnExchangeGivesBackTheValueItReplaces)
{
    TOrvoEngine engine;
    EXPECT_EQ(engine.ExchangeParameter(prTube, 0.25f), 0.5f);
    EXPECT_EQ(engine.ExchangeParameter(prTube, 1.5f), 0.25f);
    EXPECT_EQ(engine.Parameter(prTube), 1.0f);
    EXPECT_EQ(engine.ExchangeParameter(ParameterCount, 0.3f), 0.0f);
    EXPECT_EQ(engine.Parameter(-1), 0.0f);
    engine.ApplyPendingChanges();
    EXPECT_EQ(engine.Chain().TubeShape(), TubeSettingFor(1.0f).Shape);
}

TEST(TOrvoEngine, ChangesApplyBeforeTheNextCallAndMidiChangesAtTheirSample)
{
    TOrvoEngine engine;
    SetMiddle(engine);
    TStereo io(100, 0.5f);
    engine.ProcessReplacing(io.In(), io.Out(), 100, nullptr);
    EXPECT_EQ(io.L[0], SoftClip(0.5f));

    TScriptedMidiClock midi;
    midi.Events[10] = [&]
    { engine.ApplyParameter(prOutGain, 0.0f); }; // as a mapped controller does
    TStereo next(100, 0.5f);
    engine.ProcessReplacing(next.In(), next.Out(), 100, &midi);
    EXPECT_EQ(next.L[9], SoftClip(0.5f));
    EXPECT_EQ(next.L[10], 0.0f);

    engine.ApplyParameter(prOutGain, 0.5f);
    engine.SetSampleRate(48000.0f);
    engine.Suspend();
    TStereo after(64, 0.5f);
    engine.ProcessReplacing(after.In(), after.Out(), 64, nullptr);
    EXPECT_EQ(engine.Chain().HostRate(), 48000.0f);
    EXPECT_EQ(after.L[0], SoftClip(0.5f));
}

TEST(TOrvoEngine, ProcessingAllocatesNothingOnceTheBuffersAreLargeEnough)
{
    TOrvoEngine engine;
    SetMiddle(engine);
    engine.ApplyParameter(prMid, 0.9f);
    TStereo io(512, 0.25f);
    TScriptedMidiClock midi;
    engine.ProcessReplacing(io.In(), io.Out(), 512, nullptr);
    engine.ApplyParameter(prOverSample, 1.0f);
    engine.ProcessReplacing(io.In(), io.Out(), 512, nullptr); // grows to 1024 once

    Allocations = 0;
    CountAllocations = true;
    for (int block = 0; block < 20; ++block)
    {
        engine.ApplyParameter(prTuning, static_cast<float>(block) / 20.0f);
        engine.ApplyParameter(prOverSample, block % 2 == 0 ? 0.0f : 1.0f);
        engine.ProcessReplacing(io.In(), io.Out(), 512, nullptr);
        engine.ProcessAdding(io.In(), io.Out(), 100, nullptr);
    }
    CountAllocations = false;
    EXPECT_EQ(Allocations.load(), 0);
}

} // namespace
} // namespace orvo
