#include <gtest/gtest.h>

#include "dsp/uChainMath.h"
#include "dsp/uOrvoChain.h"
#include "tests/dsp/DspTestSupport.h"

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace orvo
{
namespace
{

using test::TScriptedMidiClock;
using test::TStereo;

/// Every band at 0 dB, nothing muted, Tube at the identity, Tuning centred, both gains 0 dB.
void SetMiddle(TOrvoChain& chain, bool overSample)
{
    for (int i = 0; i < 5; ++i)
    {
        chain.SetParameter(BandParameters[static_cast<std::size_t>(i)], 0.5f);
        chain.SetParameter(MuteParameters[static_cast<std::size_t>(i)], 0.0f);
    }
    chain.SetParameter(prTube, 0.5f);
    chain.SetParameter(prTuning, 0.5f);
    chain.SetParameter(prInGain, 0.5f);
    chain.SetParameter(prOutGain, 0.5f);
    chain.SetParameter(prOverSample, overSample ? 1.0f : 0.0f);
}

std::vector<float> Noise(std::size_t frames, float level, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> distribution(-level, level);
    std::vector<float> samples(frames);
    for (float& s : samples)
    {
        s = distribution(random);
    }
    return samples;
}

/// Processes a whole signal (the same on both channels unless right is given) in one call.
TStereo Render(TOrvoChain& chain, const std::vector<float>& left, const std::vector<float>& right,
               IMidiClock* midi = nullptr)
{
    TStereo io(left.size());
    io.L = left;
    io.R = right;
    chain.ProcessReplacing(io.In(), io.Out(), static_cast<std::int32_t>(left.size()), midi);
    return io;
}

// ---- Parameter mapping --------------------------------------------------------------------

TEST(TOrvoChainMapping, BandKnobsSwitchBetweenGainAndTransientMode)
{
    TOrvoChain chain;
    chain.SetParameter(prMid, 0.5f);
    EXPECT_FALSE(chain.BandDispersionOn(2));
    EXPECT_EQ(chain.BandGain(2), 1.0f);

    chain.SetParameter(prMid, 0.5001f);
    EXPECT_TRUE(chain.BandDispersionOn(2));
    EXPECT_NEAR(chain.Dispersion(2).Amount(), 0.0002f, 1e-6f);
    EXPECT_EQ(chain.BandGain(2), 1.0f); // left as it was

    chain.SetParameter(prMid, 0.8f);
    EXPECT_NEAR(chain.Dispersion(2).Amount(), 0.6f, 1e-6f);
    chain.SetParameter(prMid, 0.3f);
    EXPECT_FALSE(chain.BandDispersionOn(2));
    EXPECT_NEAR(chain.BandGain(2), std::pow(10.0f, -19.2f / 20.0f), 1e-7f);

    chain.SetParameter(prLo, 0.25f);
    EXPECT_NEAR(chain.BandGain(0), 0.0630957f, 1e-7f);
    chain.SetParameter(prLo, 0.0003f);
    EXPECT_EQ(chain.BandGain(0), 0.0f);
}

TEST(TOrvoChainMapping, EnteringTransientModeFadesTheBandInFromSilence)
{
    TOrvoChain chain;
    SetMiddle(chain, false);
    chain.SetParameter(prLoMid, 0.9f);
    Render(chain, std::vector<float>(256, 0.5f), std::vector<float>(256, 0.5f));
    EXPECT_GT(chain.Dispersion(1).Gain(), 0.0);
    chain.SetParameter(prLoMid, 0.95f); // still on: nothing is reset
    EXPECT_GT(chain.Dispersion(1).Gain(), 0.0);
    chain.SetParameter(prLoMid, 0.2f);
    chain.SetParameter(prLoMid, 0.7f);
    EXPECT_EQ(chain.Dispersion(1).Gain(), 0.0);
    EXPECT_EQ(chain.Dispersion(1).Envelope(), 0.0);
}

TEST(TOrvoChainMapping, MuteSwitchesChangeStateOnlyOnAChange)
{
    TOrvoChain chain;
    EXPECT_EQ(chain.MuteState(3), msOpen);
    chain.SetParameter(prHiMidMute, 0.5f);
    EXPECT_EQ(chain.MuteState(3), msFadingOut);
    chain.SetParameter(prHiMidMute, 0.9f);
    EXPECT_EQ(chain.MuteState(3), msFadingOut);
    chain.SetParameter(prHiMidMute, 0.49f);
    EXPECT_EQ(chain.MuteState(3), msFadingIn);
    chain.SetParameter(prHiMidMute, 0.1f);
    EXPECT_EQ(chain.MuteState(3), msFadingIn);
}

TEST(TOrvoChainMapping, ValuesAreClampedAndUnknownIndicesIgnored)
{
    TOrvoChain chain;
    chain.SetParameter(prInGain, 1.7f);
    EXPECT_NEAR(chain.InGain(), 1.9952623f, 1e-6f);
    chain.SetParameter(prInGain, 0.75f);
    EXPECT_NEAR(chain.InGain(), 1.4125375f, 1e-6f);
    chain.SetParameter(prInGain, -0.3f);
    EXPECT_EQ(chain.InGain(), 0.0f);
    chain.SetParameter(prOutGain, std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(chain.OutGain(), 0.0f);
    chain.SetParameter(prTube, 0.0f);
    EXPECT_EQ(chain.TubeShape(), -4.0f);
    EXPECT_NEAR(chain.TubeDrive(), 0.2f, 1e-7f);

    chain.SetParameter(16, 0.3f);
    chain.SetParameter(-1, 0.3f);
    chain.SetParameter(prReserved, 0.9f);
    EXPECT_EQ(chain.TubeShape(), -4.0f);
    EXPECT_EQ(chain.OutGain(), 0.0f);
}

TEST(TOrvoChainMapping, TuningMovesAllCrossoversAndTheRateClampsThem)
{
    TOrvoChain chain;
    chain.SetParameter(prTuning, 0.0f);
    EXPECT_EQ(chain.TuningRatio(), 0.5f);
    const float down[] = {60.0f, 240.0f, 1000.0f, 4000.0f};
    for (int k = 0; k < 4; ++k)
    {
        EXPECT_EQ(chain.Filter(k).Frequency(), down[k]);
        EXPECT_EQ(chain.Filter(k + 4).Frequency(), down[k]);
        EXPECT_EQ(chain.Filter(k).Core().FGlideLeft, 64);
    }
    chain.SetSampleRate(22050.0f);
    chain.SetParameter(prTuning, 1.0f);
    EXPECT_EQ(chain.Tuning(), 1.0f);
    EXPECT_EQ(chain.Filter(0).Frequency(), 240.0f);
    EXPECT_EQ(chain.Filter(2).Frequency(), 4000.0f);
    EXPECT_EQ(chain.Filter(3).Frequency(), 11025.0f);
    EXPECT_EQ(chain.Filter(7).Frequency(), 11025.0f);
}

TEST(TOrvoChainMapping, KnownTuningsAndLevelsGiveTheDesignsTheirMathsGives)
{
    // Designs taken from an earlier Tuning, from the left channel's twin or from a level set
    // before are those a filter and the level curve compute afresh, also after a rate change.
    TOrvoChain chain;
    for (const float tuning : {0.3f, 0.8f})
    {
        chain.SetParameter(prTuning, tuning);
        chain.SetParameter(prLo, 0.2f);
        chain.SetParameter(prLo, 0.3f);
    }
    chain.SetSampleRate(22050.0f);
    chain.SetParameter(prTuning, 0.3f);
    chain.SetParameter(prLo, 0.2f);
    EXPECT_EQ(chain.BandGain(0), LevelCurve(0.2f));
    for (int k = 0; k < 4; ++k)
    {
        TRBJFilter fresh(22050.0f);
        fresh.SetFilter(ftLowPass, CrossoverFrequencies[k] * chain.TuningRatio(), 0.70710677f,
                        1.0f);
        EXPECT_EQ(chain.Filter(k).Core().FCoefTarget, fresh.Core().FCoefTarget) << k;
        EXPECT_EQ(chain.Filter(k + 4).Core().FCoefTarget, fresh.Core().FCoefTarget) << k;
    }
}

bool MemoryCleared(const TOrvoChain& chain)
{
    for (int i = 0; i < 12; ++i)
    {
        if (chain.Filter(i).Core().FState != std::array<double, 4>{})
        {
            return false;
        }
    }
    for (int k = 0; k < 5; ++k)
    {
        if (chain.Dispersion(k).Envelope() != 0.0)
        {
            return false;
        }
    }
    return true;
}

TEST(TOrvoChainMapping, OverSampleSwitchSetsTheDoubledRateOnlyWhenItChanges)
{
    TOrvoChain chain;
    SetMiddle(chain, false);
    for (int k = 0; k < 5; ++k)
    {
        chain.SetParameter(k, 0.8f);
    }
    Render(chain, Noise(300, 0.5f, 1), Noise(300, 0.5f, 2));
    ASSERT_FALSE(MemoryCleared(chain));

    chain.SetParameter(prOverSample, 0.7f);
    EXPECT_TRUE(chain.OverSample());
    EXPECT_TRUE(MemoryCleared(chain));
    EXPECT_EQ(chain.FadeRate(), 882.0f);
    for (int i = 0; i < 12; ++i)
    {
        EXPECT_EQ(chain.Filter(i).SampleRate(), 88200.0f) << i;
    }
    for (int i = 8; i < 12; ++i)
    {
        EXPECT_EQ(chain.Filter(i).Frequency(), 22050.0f) << i;
    }
    for (int k = 0; k < 5; ++k)
    {
        EXPECT_EQ(chain.Dispersion(k).SampleRate(), 88200.0f);
    }

    Render(chain, Noise(300, 0.5f, 3), Noise(300, 0.5f, 4));
    ASSERT_FALSE(MemoryCleared(chain));
    chain.SetParameter(prOverSample, 0.7f);
    EXPECT_FALSE(MemoryCleared(chain));

    chain.SetParameter(prOverSample, 0.49f);
    EXPECT_FALSE(chain.OverSample());
    EXPECT_EQ(chain.Filter(9).SampleRate(), 44100.0f);
}

TEST(TOrvoChainMapping, SampleRateAndSuspendClearTheMemory)
{
    TOrvoChain chain;
    SetMiddle(chain, true);
    chain.SetParameter(prHi, 1.0f);
    Render(chain, Noise(300, 0.5f, 5), Noise(300, 0.5f, 6));
    chain.Suspend();
    EXPECT_TRUE(MemoryCleared(chain));
    EXPECT_EQ(chain.BandGain(0), 1.0f); // settings stay

    Render(chain, Noise(300, 0.5f, 5), Noise(300, 0.5f, 6));
    chain.SetSampleRate(48000.0f);
    EXPECT_TRUE(MemoryCleared(chain));
    EXPECT_EQ(chain.Filter(0).SampleRate(), 96000.0f);
    EXPECT_EQ(chain.Filter(11).Frequency(), 24000.0f); // the oversampling corner follows
    EXPECT_EQ(chain.FadeRate(), 960.0f);
    chain.SetSampleRate(0.25f);
    EXPECT_EQ(chain.HostRate(), 1.0f);
    chain.SetSampleRate(std::numeric_limits<float>::infinity());
    EXPECT_EQ(chain.HostRate(), 1.0f);
}

// ---- Processing ---------------------------------------------------------------------------

TEST(TOrvoChain, WithEverythingInTheMiddleTheOutputIsTheSoftClippedInput)
{
    for (bool overSample : {false, true})
    {
        TOrvoChain chain;
        SetMiddle(chain, overSample);
        for (float level : {0.5f, 1.0f, -0.25f})
        {
            const TStereo out =
                Render(chain, std::vector<float>(8192, level), std::vector<float>(8192, level));
            EXPECT_NEAR(out.L.back(), SoftClip(level), 2e-6f) << overSample << " " << level;
            EXPECT_NEAR(out.R.back(), SoftClip(level), 2e-6f) << overSample << " " << level;
        }
        const TStereo out =
            Render(chain, std::vector<float>(8192, 0.5f), std::vector<float>(8192, 1.0f));
        EXPECT_NEAR(out.L.back(), 0.46208f, 1e-5f);
        EXPECT_NEAR(out.R.back(), 0.76098f, 1e-5f);
    }
}

TEST(TOrvoChain, BandsSumBackToTheGainedInputWhileTheCrossoversGlide)
{
    for (bool overSample : {false, true})
    {
        auto prepared = [overSample]
        {
            TOrvoChain chain;
            SetMiddle(chain, overSample);
            chain.SetParameter(prInGain, 0.25f);  // -24 dB
            chain.SetParameter(prOutGain, 0.75f); // +3 dB
            return chain;
        };
        TOrvoChain gliding = prepared();
        const float gain = gliding.InGain() * gliding.OutGain();
        const std::vector<float> input = Noise(4096, 0.9f, 7);
        TScriptedMidiClock midi;
        for (std::int32_t pos = 5; pos < 4096; pos += 37)
        {
            midi.Events[pos] = [&gliding, pos]
            { gliding.SetParameter(prTuning, static_cast<float>(pos % 101) / 100.0f); };
        }
        const TStereo out = Render(gliding, input, input, &midi);
        TOrvoChain steady = prepared();
        const TStereo reference = Render(steady, input, input);
        for (std::size_t i = 0; i < input.size(); ++i)
        {
            ASSERT_NEAR(out.L[i], reference.L[i], 1e-6f) << overSample << " " << i;
            if (!overSample)
            {
                ASSERT_NEAR(out.L[i], SoftClip(input[i] * gain), 1e-6f) << i;
            }
        }
    }
}

TEST(TOrvoChain, ConstantInputSettlesToTheSameConstantOnBothChains)
{
    TOrvoChain host;
    TOrvoChain doubled;
    for (TOrvoChain* chain : {&host, &doubled})
    {
        SetMiddle(*chain, chain == &doubled);
        chain->SetParameter(prLo, 0.9f); // transient mode on the lowest band
        chain->SetParameter(prHiMid, 0.3f);
        chain->SetParameter(prTube, 0.7f);
        chain->SetParameter(prInGain, 0.4f);
    }
    const std::vector<float> input(16384, 0.3f);
    const TStereo a = Render(host, input, input);
    const TStereo b = Render(doubled, input, input);
    // The transient band scales the lowest low-pass, whose 32-bit feedback leaves a DC error
    // of about 1e-4 that differs between the two rates.
    EXPECT_NEAR(a.L.back(), b.L.back(), 1e-4f);
    EXPECT_NEAR(a.R.back(), b.R.back(), 1e-4f);
    EXPECT_GT(a.L.back(), 0.1f);
}

TEST(TOrvoChain, RunsAreCutAtMidiPositions)
{
    // A transient band makes the output depend on where runs start and end.
    auto prepared = []
    {
        TOrvoChain chain;
        SetMiddle(chain, false);
        chain.SetParameter(prMid, 0.9f);
        return chain;
    };
    const std::vector<float> input = Noise(100, 0.5f, 8);

    TOrvoChain cut = prepared();
    TScriptedMidiClock midi;
    midi.Events[10] = {};
    const TStereo withEvent = Render(cut, input, input, &midi);
    EXPECT_EQ(midi.Dispatched, std::vector<std::int32_t>{10});

    TOrvoChain pieces = prepared(); // runs of 10, 64 and 26 samples
    TStereo expected(100);
    std::int32_t pos = 0;
    for (std::int32_t length : {10, 64, 26})
    {
        const float* in[2] = {input.data() + pos, input.data() + pos};
        float* out[2] = {expected.L.data() + pos, expected.R.data() + pos};
        pieces.ProcessReplacing(in, out, length, nullptr);
        pos += length;
    }
    EXPECT_EQ(withEvent.L, expected.L);

    TOrvoChain whole = prepared(); // runs of 64 and 36
    EXPECT_NE(Render(whole, input, input).L, expected.L);
}

TEST(TOrvoChain, MidiChangesLandAtTheirExactSample)
{
    for (bool overSample : {false, true})
    {
        TOrvoChain chain;
        SetMiddle(chain, overSample);
        TScriptedMidiClock midi;
        midi.Events[0] = [&] { chain.SetParameter(prOutGain, 0.5f); };
        midi.Events[10] = [&] { chain.SetParameter(prInGain, 0.0f); };
        const TStereo out =
            Render(chain, std::vector<float>(100, 0.5f), std::vector<float>(100, 0.5f), &midi);
        EXPECT_EQ(midi.Dispatched, (std::vector<std::int32_t>{0, 10}));
        if (!overSample)
        {
            EXPECT_EQ(out.L[9], SoftClip(0.5f));
            EXPECT_EQ(out.L[10], 0.0f);
        }
    }
}

TEST(TOrvoChain, MidiAtHostOffsetKLandsAtDoubledRateSample2K)
{
    const std::vector<float> input = Noise(200, 0.5f, 9);
    TOrvoChain withEvent;
    SetMiddle(withEvent, true);
    TScriptedMidiClock midi;
    midi.Events[10] = [&] { withEvent.SetParameter(prLoMid, 0.2f); };
    const TStereo a = Render(withEvent, input, input, &midi);

    // The same change between two calls of 10 and 190 host samples: doubled-rate samples
    // 0..19 before it, 20.. after it.
    TOrvoChain split;
    SetMiddle(split, true);
    TStereo b(200);
    const float* in1[2] = {input.data(), input.data()};
    float* out1[2] = {b.L.data(), b.R.data()};
    split.ProcessReplacing(in1, out1, 10, nullptr);
    split.SetParameter(prLoMid, 0.2f);
    const float* in2[2] = {input.data() + 10, input.data() + 10};
    float* out2[2] = {b.L.data() + 10, b.R.data() + 10};
    split.ProcessReplacing(in2, out2, 190, nullptr);
    EXPECT_EQ(a.L, b.L);
    EXPECT_EQ(a.R, b.R);
}

TEST(TOrvoChain, EventsOutsideTheBlockNeitherStallNorOverrun)
{
    for (bool overSample : {false, true})
    {
        TOrvoChain chain;
        SetMiddle(chain, overSample);
        TScriptedMidiClock midi;
        midi.Events[-5] = {};
        midi.Events[70] = {};
        const TStereo out =
            Render(chain, std::vector<float>(50, 0.5f), std::vector<float>(50, 0.5f), &midi);
        EXPECT_TRUE(midi.Dispatched.empty());
        EXPECT_TRUE(std::isfinite(out.L.back()));
    }
}

TEST(TOrvoChain, OutputDoesNotDependOnBlockSizesOrMidiCuts)
{
    // Without transient bands every stage works sample by sample, so any partition of the
    // signal into calls and runs gives the same samples.
    for (bool overSample : {false, true})
    {
        auto prepared = [overSample]
        {
            TOrvoChain chain;
            SetMiddle(chain, overSample);
            chain.SetParameter(prLoMid, 0.3f);
            chain.SetParameter(prTube, 0.8f);
            chain.SetParameter(prInGain, 0.7f);
            chain.SetParameter(prMidMute, 1.0f); // a mute fading out
            return chain;
        };
        const std::size_t total = 40000;
        const std::vector<float> left = Noise(total, 0.8f, 10);
        const std::vector<float> right = Noise(total, 0.8f, 11);
        TOrvoChain reference = prepared();
        const TStereo expected = Render(reference, left, right);

        TOrvoChain chain = prepared();
        TStereo out(total);
        std::mt19937 random(12);
        std::size_t pos = 0;
        while (pos < total)
        {
            const auto limit = static_cast<std::int32_t>(std::min<std::size_t>(8192, total - pos));
            const std::int32_t frames =
                std::uniform_int_distribution<std::int32_t>(1, limit)(random);
            TScriptedMidiClock midi;
            for (int e = 0; e < 3; ++e)
            {
                midi.Events[std::uniform_int_distribution<std::int32_t>(0, frames - 1)(random)] =
                    {};
            }
            const float* in[2] = {left.data() + pos, right.data() + pos};
            float* o[2] = {out.L.data() + pos, out.R.data() + pos};
            chain.ProcessReplacing(in, o, frames, &midi);
            pos += static_cast<std::size_t>(frames);
        }
        EXPECT_EQ(out.L, expected.L) << overSample;
        EXPECT_EQ(out.R, expected.R) << overSample;
    }
}

TEST(TOrvoChain, ProcessAddsOntoTheOutputAndProcessReplacingStores)
{
    for (bool overSample : {false, true})
    {
        TOrvoChain chain;
        SetMiddle(chain, overSample);
        TStereo silence(256);
        TStereo adding(256, 0.25f);
        chain.ProcessAdding(silence.In(), adding.Out(), 256, nullptr);
        EXPECT_EQ(adding.L, std::vector<float>(256, 0.25f));
        EXPECT_EQ(adding.R, std::vector<float>(256, 0.25f));
        TStereo replacing(256, 0.25f);
        chain.ProcessReplacing(silence.In(), replacing.Out(), 256, nullptr);
        EXPECT_EQ(replacing.L, std::vector<float>(256, 0.0f));

        // In place: the same buffers as input and output.
        TStereo inPlace(256, 0.5f);
        TOrvoChain twin;
        SetMiddle(twin, overSample);
        const TStereo separate = Render(twin, inPlace.L, inPlace.R);
        chain.Suspend();
        chain.ProcessReplacing(inPlace.In(), inPlace.Out(), 256, nullptr);
        EXPECT_EQ(inPlace.L, separate.L);
    }
}

TEST(TOrvoChain, WorkBuffersGrowForLargerBlocksAndNeverShrink)
{
    TOrvoChain chain;
    SetMiddle(chain, false);
    EXPECT_EQ(chain.WorkCapacity(), 512);
    Render(chain, std::vector<float>(256), std::vector<float>(256));
    EXPECT_EQ(chain.WorkCapacity(), 512);
    Render(chain, std::vector<float>(600), std::vector<float>(600));
    EXPECT_EQ(chain.WorkCapacity(), 600);
    chain.SetParameter(prOverSample, 1.0f);
    Render(chain, std::vector<float>(256), std::vector<float>(256));
    EXPECT_EQ(chain.WorkCapacity(), 600);
    Render(chain, std::vector<float>(600), std::vector<float>(600));
    EXPECT_EQ(chain.WorkCapacity(), 1200);
    Render(chain, std::vector<float>(1), std::vector<float>(1));
    EXPECT_EQ(chain.WorkCapacity(), 1200);
}

TEST(TOrvoChain, MutedBandFadesOutInTenMillisecondsAndOpensAgain)
{
    TOrvoChain chain;
    SetMiddle(chain, false);
    chain.SetParameter(prLoMute, 1.0f);
    Render(chain, std::vector<float>(64), std::vector<float>(64));
    EXPECT_EQ(chain.MuteState(0), msFadingOut);
    EXPECT_NEAR(chain.MuteGain(0), 1.0f - 64.0f / 441.0f, 1e-5f);
    Render(chain, std::vector<float>(441 - 64 - 1), std::vector<float>(441 - 64 - 1));
    EXPECT_EQ(chain.MuteState(0), msFadingOut);
    Render(chain, std::vector<float>(2), std::vector<float>(2));
    EXPECT_EQ(chain.MuteState(0), msMuted);
    EXPECT_EQ(chain.MuteGain(0), 0.0f);

    // With every band muted nothing is left.
    for (int k = 1; k < 5; ++k)
    {
        chain.SetParameter(MuteParameters[static_cast<std::size_t>(k)], 1.0f);
    }
    Render(chain, Noise(441, 0.5f, 16), Noise(441, 0.5f, 17));
    const TStereo muted = Render(chain, Noise(300, 0.5f, 18), Noise(300, 0.5f, 19));
    EXPECT_EQ(muted.L, std::vector<float>(300, 0.0f));
    for (int k = 1; k < 5; ++k)
    {
        chain.SetParameter(MuteParameters[static_cast<std::size_t>(k)], 0.0f);
    }

    chain.SetParameter(prLoMute, 0.0f);
    EXPECT_EQ(chain.MuteState(0), msFadingIn);
    Render(chain, std::vector<float>(441), std::vector<float>(441));
    EXPECT_EQ(chain.MuteState(0), msOpen);
    EXPECT_EQ(chain.MuteGain(0), 1.0f);
}

TEST(TOrvoChain, NonFiniteOrHugeInputLeavesTheStateClean)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float max = std::numeric_limits<float>::max();
    for (bool overSample : {false, true})
    {
        TOrvoChain chain;
        SetMiddle(chain, overSample);
        for (int k = 0; k < 5; k += 2)
        {
            chain.SetParameter(k, 1.0f);
        }
        chain.SetParameter(prInGain, 1.0f);
        chain.SetParameter(prOutGain, 1.0f);
        chain.SetParameter(prTube, 0.0f);
        std::vector<float> bad = Noise(256, 0.5f, 13);
        bad[3] = nan;
        bad[70] = inf;
        bad[71] = -inf;
        bad[100] = max;
        bad[101] = -max;
        const TStereo first = Render(chain, bad, bad);
        for (float s : first.L)
        {
            ASSERT_TRUE(std::isfinite(s)) << overSample;
        }
        for (int i = 0; i < 12; ++i)
        {
            for (double state : chain.Filter(i).Core().FState)
            {
                EXPECT_TRUE(std::isfinite(state));
            }
        }
        for (int block = 0; block < 20; ++block)
        {
            const TStereo later = Render(chain, Noise(256, 0.5f, 14 + block), Noise(256, 0.5f, 15));
            for (float s : later.L)
            {
                ASSERT_TRUE(std::isfinite(s)) << overSample;
            }
        }
        const TStereo quiet = Render(chain, std::vector<float>(44100), std::vector<float>(44100));
        EXPECT_LT(std::fabs(quiet.L.back()), 1e-6f);
    }
}

/// Level in dB of a sine of the given period count in window samples after it has passed
/// the chain (-26 dBFS, both channels, settled for a quarter of the window first).
double SineLevel(TOrvoChain& chain, std::int32_t cycles, std::int32_t window)
{
    const std::int32_t settle = window / 4;
    std::vector<float> input(static_cast<std::size_t>(settle + window));
    for (std::size_t i = 0; i < input.size(); ++i)
    {
        const double phase =
            2.0 * 3.14159265358979323846 * cycles * static_cast<double>(i) / window;
        input[i] = static_cast<float>(0.05 * std::sin(phase));
    }
    chain.Suspend();
    const TStereo out = Render(chain, input, input);
    double sum = 0.0;
    for (std::size_t i = static_cast<std::size_t>(settle); i < input.size(); ++i)
    {
        sum += static_cast<double>(out.L[i]) * out.L[i];
    }
    return 10.0 * std::log10(sum / window);
}

TEST(TOrvoChain, OversampledResponseMatchesTheHostRateChainAtEveryRate)
{
    // One pair of chains whose rate changes through the table, so the corner of the
    // oversampling filters has to follow every change.
    TOrvoChain doubled;
    TOrvoChain host;
    SetMiddle(doubled, true);
    SetMiddle(host, false);
    constexpr std::int32_t Window = 8192;
    for (float rate : {22050.0f, 32000.0f, 44100.0f, 48000.0f, 88200.0f, 96000.0f, 192000.0f})
    {
        doubled.SetSampleRate(rate);
        host.SetSampleRate(rate);
        // Whole periods in the window from 20 Hz up to 0.9 of the Nyquist frequency, a
        // two thirds of an octave apart.
        const auto highest = static_cast<std::int32_t>(0.45 * Window);
        for (double f = 20.0;; f *= 1.6)
        {
            const auto cycles = std::min(
                highest, std::max<std::int32_t>(1, static_cast<std::int32_t>(f * Window / rate)));
            EXPECT_NEAR(SineLevel(doubled, cycles, Window), SineLevel(host, cycles, Window), 0.1)
                << rate << " Hz, " << cycles * rate / Window << " Hz";
            if (cycles == highest)
            {
                break;
            }
        }
    }
}

TEST(TOrvoChain, TuningSweepAtLowRatesStaysBoundedAndQuiet)
{
    // Crossovers at 16000 Hz meet a processing rate of 22050 Hz: their corners sit at half
    // the rate.
    for (bool overSample : {false, true})
    {
        TOrvoChain chain;
        chain.SetSampleRate(22050.0f);
        SetMiddle(chain, overSample);
        chain.SetParameter(prHiMid, 0.2f);
        chain.SetParameter(prHi, 0.45f);
        chain.SetParameter(prMid, 0.35f);
        chain.SetParameter(prOutGain, 0.3f);
        float loudest = 0.0f;
        for (int block = 0; block < 200; ++block)
        {
            chain.SetParameter(prTuning, static_cast<float>(block % 20) / 19.0f);
            const TStereo out = Render(chain, Noise(128, 0.5f, 20 + block), Noise(128, 0.5f, 30));
            for (float s : out.L)
            {
                loudest = std::max(loudest, std::fabs(s));
            }
        }
        EXPECT_LT(loudest, 0.3f) << overSample;
        Render(chain, std::vector<float>(4410), std::vector<float>(4410));
        const TStereo tail = Render(chain, std::vector<float>(4410), std::vector<float>(4410));
        for (float s : tail.L)
        {
            ASSERT_EQ(s, 0.0f) << overSample;
        }
    }
}

} // namespace
} // namespace orvo
