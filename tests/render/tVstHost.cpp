// The hosting layer against our own test effect (gain, MIDI thru at the event's sample,
// CC 7 sets the gain) and, when installed, a third-party VST 2 module.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tools/render/uVstHost.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <numeric>

namespace orvo
{
namespace
{

using ::testing::HasSubstr;

float GainOf(float value)
{
    return std::pow(10.0f, (value * 48.0f - 24.0f) / 20.0f);
}

struct TStereoBuffers
{
    explicit TStereoBuffers(std::size_t frames)
        : InLeft(frames), InRight(frames), OutLeft(frames, 99.0f), OutRight(frames, 99.0f)
    {
        std::iota(InLeft.begin(), InLeft.end(), 1.0f);
        for (std::size_t i = 0; i < frames; ++i)
        {
            InRight[i] = -InLeft[i];
        }
    }
    void Process(TVstPlugin& plugin, std::span<const TMidiMessage> events = {})
    {
        const float* in[2] = {InLeft.data(), InRight.data()};
        float* out[2] = {OutLeft.data(), OutRight.data()};
        plugin.Process(in, out, static_cast<std::int64_t>(InLeft.size()), events);
    }
    std::vector<float> InLeft, InRight, OutLeft, OutRight;
};

TEST(TVstPlugin, ReadsIdentityParametersAndProgramsThroughTheRecord)
{
    auto plugin = TVstPlugin::Load(TEST_GAIN_MODULE);
    EXPECT_EQ(plugin->EffectName(), "Test Gain");
    ASSERT_EQ(plugin->NumParameters(), 2);
    EXPECT_EQ(plugin->ParameterName(1), "Polarity");
    EXPECT_EQ(plugin->ParameterLabel(0), "dB");
    EXPECT_EQ(plugin->FindParameter("GAIN"), 0);
    EXPECT_EQ(plugin->FindParameter("Volume"), -1);

    plugin->SetProgram(2);
    EXPECT_EQ(plugin->Program(), 2);
    EXPECT_EQ(plugin->ProgramName(), "Loud");
    EXPECT_EQ(plugin->ParameterDisplay(0), "12.00");
    EXPECT_EQ(plugin->ProgramNameIndexed(1), "Quiet");
    EXPECT_EQ(plugin->Program(), 2) << "reading another program's name must not switch";
    EXPECT_EQ(plugin->CanDo("receiveVstMidiEvent"), 1);
}

TEST(TVstPlugin, ProcessesLongStretchesInBlocksOfTheStartedSize)
{
    auto plugin = TVstPlugin::Load(TEST_GAIN_MODULE);
    plugin->SetProgram(2); // +12 dB
    plugin->Start(48000.0, 64);
    TStereoBuffers buffers(1000); // 15 full blocks and a short one
    buffers.Process(*plugin);
    const float gain = GainOf(0.75f);
    for (std::size_t i = 0; i < buffers.InLeft.size(); ++i)
    {
        ASSERT_EQ(buffers.OutLeft[i], buffers.InLeft[i] * gain) << "frame " << i;
        ASSERT_EQ(buffers.OutRight[i], buffers.InRight[i] * gain) << "frame " << i;
    }
    EXPECT_EQ(plugin->Position(), 1000);
    EXPECT_TRUE(plugin->WantsMidi());
}

TEST(TVstPlugin, AccumulatingEffectsGetClearedOutputs)
{
    auto plugin = TVstPlugin::Load(TEST_GAIN_MODULE);
    plugin->Effect().flags &= ~effFlagsCanReplacing; // only the accumulating process left
    plugin->Start(44100.0, 128);
    TStereoBuffers buffers(300);
    buffers.Process(*plugin);
    buffers.Process(*plugin); // a second pass must not add to the first
    for (std::size_t i = 0; i < buffers.InLeft.size(); ++i)
    {
        ASSERT_EQ(buffers.OutLeft[i], buffers.InLeft[i]) << "frame " << i;
    }
}

TEST(TVstPlugin, MidiReachesTheEffectAtItsSampleAcrossBlockBoundaries)
{
    auto plugin = TVstPlugin::Load(TEST_GAIN_MODULE);
    plugin->Start(44100.0, 64);
    const std::vector<TMidiMessage> events{{0, {0x90, 60, 100}}, {63, {0x80, 60, 0}},
                                           {64, {0xC3, 5, 0}},   {130, {0xB0, 7, 0}},
                                           {130, {0xB0, 1, 64}}, {999, {0xE0, 0, 64}}};
    TStereoBuffers buffers(1000);
    buffers.Process(*plugin, events);

    // The effect sends each message back at its own offset in its block.
    ASSERT_EQ(plugin->MidiReceived().size(), events.size());
    for (std::size_t i = 0; i < events.size(); ++i)
    {
        EXPECT_EQ(plugin->MidiReceived()[i].Frame, events[i].Frame) << "event " << i;
        EXPECT_EQ(plugin->MidiReceived()[i].Bytes, events[i].Bytes) << "event " << i;
    }
    // CC 7 = 0 turns the gain to -24 dB from exactly frame 130.
    EXPECT_EQ(buffers.OutLeft[129], buffers.InLeft[129]);
    EXPECT_EQ(buffers.OutLeft[130], buffers.InLeft[130] * GainOf(0.0f));
    ASSERT_EQ(plugin->Automations().size(), 1u);
    EXPECT_EQ(plugin->Automations()[0].Index, 0);
    EXPECT_EQ(plugin->Automations()[0].Frame, 128) << "reported in the block that starts at 128";
}

TEST(TVstPlugin, RefusesWhatIsNotAVst2Effect)
{
    const auto folder = std::filesystem::temp_directory_path();
    const auto text = folder / "orvo-render-test-not-a-module.so";
    std::ofstream(text) << "plain text";

    const auto message = [](const std::filesystem::path& path)
    {
        try
        {
            static_cast<void>(TVstPlugin::Load(path));
        }
        catch (const EVstHost& error)
        {
            return std::string(error.what());
        }
        return std::string("loaded");
    };
    EXPECT_THAT(message(folder / "orvo-render-no-such-module.so"), HasSubstr("not found"));
    EXPECT_THAT(message(text), HasSubstr("not a loadable plug-in module"));
    EXPECT_THAT(message(NOT_AN_EFFECT_MODULE), HasSubstr("is not a VST 2 effect"));
    std::filesystem::remove(text);
}

TEST(TVstPlugin, HostsAThirdPartyModule)
{
    const std::filesystem::path reverb = "/usr/lib/lxvst/DragonflyRoomReverb-vst.so";
    if (!std::filesystem::exists(reverb))
    {
        GTEST_SKIP() << "no third-party VST 2 module installed (dragonfly-reverb-vst)";
    }
    auto plugin = TVstPlugin::Load(reverb);
    EXPECT_GT(plugin->NumParameters(), 0);
    EXPECT_FALSE(plugin->ParameterName(0).empty());
    plugin->Start(44100.0, 256);
    std::vector<float> left(44100), right(44100), outLeft(44100), outRight(44100);
    left[0] = right[0] = 1.0f;
    const float* in[2] = {left.data(), right.data()};
    float* out[2] = {outLeft.data(), outRight.data()};
    plugin->Process(in, out, 44100);
    double late = 0.0;
    for (std::size_t i = 0; i < outLeft.size(); ++i)
    {
        ASSERT_TRUE(std::isfinite(outLeft[i]) && std::isfinite(outRight[i])) << "frame " << i;
        late += i > 4410 ? std::fabs(outLeft[i]) : 0.0;
    }
    EXPECT_GT(late, 0.0) << "a reverb still rings 100 ms after an impulse";
}

} // namespace
} // namespace orvo
