// The effect's sound through its record: the real chains behind processReplacing and
// process, the host's rate, suspend, controllers at their exact sample, display texts that
// follow program changes at once.
#include "tests/vst2/TPluginFixture.h"

#include <cmath>
#include <cstdint>

namespace orvo::test
{
namespace
{
constexpr float HostRateChain = 0.0f;    // "OverSample" off
constexpr float OversampledChain = 1.0f; // "OverSample" on

/// Stereo noise from a fixed seed, about -6 dBFS.
std::vector<std::vector<float>> Noise(std::int32_t frames)
{
    std::uint32_t seed = 12345;
    std::vector<std::vector<float>> noise(2, std::vector<float>(static_cast<std::size_t>(frames)));
    for (auto& channel : noise)
    {
        for (float& sample : channel)
        {
            seed = seed * 1664525u + 1013904223u;
            sample = static_cast<float>(seed >> 8) / 16777216.0f - 0.5f;
        }
    }
    return noise;
}

class Sound : public TPluginFixture
{
  protected:
    Sound() { Create(); }

    /// One call of processReplacing (or of the accumulating process) on copies of input,
    /// into outputs that hold start.
    std::vector<std::vector<float>> Run(const std::vector<std::vector<float>>& input,
                                        bool adding = false, float start = 9.0f)
    {
        const auto frames = static_cast<std::int32_t>(input[0].size());
        std::vector<std::vector<float>> in = input;
        std::vector<std::vector<float>> out(2, std::vector<float>(input[0].size(), start));
        float* inputs[] = {in[0].data(), in[1].data()};
        float* outputs[] = {out[0].data(), out[1].data()};
        (adding ? Effect->process : Effect->processReplacing)(Effect, inputs, outputs, frames);
        return out;
    }

    std::vector<std::vector<float>> Constant(float value, std::int32_t frames)
    {
        return Run(std::vector<std::vector<float>>(
            2, std::vector<float>(static_cast<std::size_t>(frames), value)));
    }

    /// First frame from which the left output stays exactly 0 (frames when it never does).
    static std::size_t SilentFrom(const std::vector<float>& samples)
    {
        std::size_t from = samples.size();
        while (from > 0 && samples[from - 1] == 0.0f)
        {
            --from;
        }
        return from;
    }
};

TEST_F(Sound, ConstantInputSettlesToItsSoftClipOnBothChains)
{
    // "Flat": every band at 0 dB, Tube at its identity, both gains at 0 dB.
    for (const float chain : {HostRateChain, OversampledChain})
    {
        SetParameter(prOverSample, chain);
        for (const auto& [input, expected] : {std::pair{0.5f, 0.46208f}, std::pair{1.0f, 0.76098f},
                                              std::pair{-0.5f, -0.46208f}, std::pair{0.0f, 0.0f}})
        {
            const auto out = Constant(input, 4096);
            EXPECT_NEAR(out[0].back(), expected, 1e-5) << "input " << input << ", chain " << chain;
            EXPECT_NEAR(out[1].back(), expected, 1e-5) << "input " << input << ", chain " << chain;
        }
    }
}

TEST_F(Sound, ProcessAddsOntoTheOutputWhatProcessReplacingStores)
{
    Dispatch(effSetProgram, 0, 3); // "TranSister": transient bands, so envelopes matter too
    const auto input = Noise(700); // beyond the initial work buffers, not a multiple of 64
    for (const float chain : {HostRateChain, OversampledChain})
    {
        SetParameter(prOverSample, chain);
        Run(input); // takes the settings over; the crossovers glide to the program's tuning
        Dispatch(effMainsChanged, 0, 0);
        const auto stored = Run(input);
        Dispatch(effMainsChanged, 0, 0); // suspend forgets the filters and envelopes
        const auto added = Run(input, true, 0.25f);
        for (std::size_t c = 0; c < 2; ++c)
        {
            for (std::size_t i = 0; i < input[c].size(); ++i)
            {
                ASSERT_EQ(added[c][i], 0.25f + stored[c][i])
                    << "chain " << chain << ", frame " << i;
            }
        }
        EXPECT_NE(stored[0], input[0]); // the chain changed the sound
    }
}

TEST_F(Sound, ControllerAtOffsetTenChangesTheSoundFromSampleTenOnBothChains)
{
    // CC 33 drives "OutGain" by default; value 0 silences the chain's output.
    const auto input = Noise(256);
    for (const float chain : {HostRateChain, OversampledChain})
    {
        SetParameter(prOutGain, 0.5f);
        SetParameter(prOverSample, chain);
        Dispatch(effMainsChanged, 0, 0);
        const auto reference = Run(input);
        Dispatch(effMainsChanged, 0, 0);
        SendEvents({MidiEvent(10, 0xB0, 33, 0)});
        const auto changed = Run(input);
        for (std::size_t c = 0; c < 2; ++c)
        {
            for (std::size_t i = 0; i < 10; ++i)
            {
                EXPECT_EQ(changed[c][i], reference[c][i]) << "chain " << chain << ", frame " << i;
            }
            EXPECT_NE(changed[c][10], reference[c][10]) << "chain " << chain;
        }
        if (chain == HostRateChain)
        {
            EXPECT_EQ(SilentFrom(changed[0]), 10u);
            EXPECT_EQ(SilentFrom(changed[1]), 10u);
        }
    }
}

TEST_F(Sound, MuteFadesLastTenMillisecondsOfTheHostsRate)
{
    // With every band muted the output falls silent once the fades reach 0: after 441
    // samples at 44100 Hz, after 960 at 96000 Hz (given together with the block size).
    SetParameter(prOverSample, HostRateChain);
    for (const auto& [rate, fadeSamples] : {std::pair{44100.0f, 441u}, std::pair{96000.0f, 960u}})
    {
        for (int band = 0; band < 5; ++band)
        {
            SetParameter(prLoMute + band, 0.0f);
        }
        Dispatch(effSetBlockSizeAndSampleRate, 0, 2048, nullptr, rate);
        Constant(0.5f, 2048); // fades in completely
        for (int band = 0; band < 5; ++band)
        {
            SetParameter(prLoMute + band, 1.0f);
        }
        const auto out = Constant(0.5f, 2048);
        const std::size_t silentFrom = SilentFrom(out[0]);
        EXPECT_GE(silentFrom + 2, fadeSamples) << rate;
        EXPECT_LE(silentFrom, fadeSamples + 2) << rate;
    }
}

TEST_F(Sound, MutedBandsAreSilentFromTheFirstSampleOfPlayingAndFadeWhileItPlays)
{
    // A muted band whose fade has ended adds exactly nothing, just as an open band with its
    // knob at silence. So an instance that mutes bands must sound bit for bit like one that
    // silences their knobs instead, from the first sample after construction and after
    // every resume; a mute set while audio plays must fade, and so sound different.
    const auto input = Noise(512);
    for (VstInt32 program = 0; program < 16; ++program)
    {
        std::vector<std::vector<float>> runs[2];
        for (const bool silencedKnobs : {false, true})
        {
            auto& out = runs[silencedKnobs];
            const auto select = [&](VstInt32 selected)
            {
                Dispatch(effSetProgram, 0, selected);
                for (int band = 0; band < 5 && silencedKnobs; ++band)
                {
                    if (GetParameter(prLoMute + band) >= 0.5f)
                    {
                        SetParameter(prLo + band, 0.0f);
                        SetParameter(prLoMute + band, 0.0f);
                    }
                }
            };
            Close();
            Create();
            select(program); // muting bands while nothing played yet
            Dispatch(effMainsChanged, 0, 1);
            out.push_back(Run(input)[0]);
            Dispatch(effMainsChanged, 0, 0);
            select(0); // "Flat" opens every band while suspended
            Dispatch(effMainsChanged, 0, 1);
            out.push_back(Run(input)[0]);
            Dispatch(effMainsChanged, 0, 0);
            select(program); // and mutes them again
            Dispatch(effMainsChanged, 0, 1);
            out.push_back(Run(input)[0]);
            const int open = GetParameter(prLoMute) < 0.5f ? 0 : 2; // no program mutes both
            SetParameter(silencedKnobs ? prLo + open : prLoMute + open,
                         silencedKnobs ? 0.0f : 1.0f);
            out.push_back(Run(input)[0]);
        }
        for (std::size_t run = 0; run < 3; ++run)
        {
            EXPECT_EQ(runs[0][run], runs[1][run]) << "program " << program << ", run " << run;
        }
        EXPECT_NE(runs[0][3], runs[1][3])
            << "program " << program << ": a mute while playing fades";
    }
}

TEST_F(Sound, MissingChannelBuffersGiveSilenceAndKeepMidiInPlace)
{
    std::vector<float> left(16, 0.5f);
    std::vector<float> out(16, 9.0f);
    float* inputs[] = {left.data(), nullptr};
    float* outputs[] = {out.data(), nullptr};
    SendEvents({MidiEvent(5, 0x90, 60, 100)});
    Effect->processReplacing(Effect, inputs, outputs, 16);
    EXPECT_EQ(out, std::vector<float>(16, 0.0f));
    Effect->processReplacing(Effect, nullptr, nullptr, 16);
    EXPECT_EQ(Thru(), (std::vector<std::array<int, 4>>{{0x90, 60, 100, 5}}));
}

TEST_F(Sound, DisplayTextsFollowProgramChangesAtOnce)
{
    // "BoomBox": Lo 0.6, LoMid 0.8, Mid 0.5, HiMid 0.3, HiMidMute 1, Tube 0.6, Tuning 0.3,
    // InGain 0.5, OutGain 0.55, OverSample 0.5.
    Dispatch(effSetProgram, 0, 1);
    const std::vector<std::string> boomBox = {
        "20.00%TD", "60.00%TD", "0.00dB", "-19.20dB", "-19.20dB", "Open", "Open",           "Open",
        "Muted",    "Open",     "20.00",  "-4.80",    "0.00",     "0.60", "Oversampling On"};
    for (int i = 0; i < 15; ++i)
    {
        EXPECT_EQ(Display(i), boomBox[static_cast<std::size_t>(i)]) << i;
    }
    Dispatch(effSetProgram, 0, 6); // "MissingOut": LoMid 0.35, HiMidMute 0
    EXPECT_EQ(Display(prLoMid), "-14.40dB");
    EXPECT_EQ(Display(prHiMidMute), "Open");
    Dispatch(effSetProgram, 0, 0);
    for (int band = 0; band < 5; ++band)
    {
        EXPECT_EQ(Display(prLo + band), "0.00dB");
        EXPECT_EQ(Display(prLoMute + band), "Open");
    }
    EXPECT_EQ(Display(prOverSample), "Oversampling On");
}
} // namespace
} // namespace orvo::test
