// Orvo.clap renders what the VST 2 module renders: the same input, program, parameter
// changes and MIDI at the same frames give the same samples, bit for bit, and the same MIDI
// thru and controller moves out. The CLAP side gets its changes as events inside 512-frame
// blocks; the VST 2 side gets the same blocks, each split where a parameter changes (the
// change goes in between the two process calls), and its MIDI through effProcessEvents.
#include <gtest/gtest.h>

#include "tests/support/ClapPresetList.h"
#include "tests/support/ClapTestHost.h"
#include "tools/render/uVstHost.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace orvo::test
{
namespace
{
constexpr std::uint32_t Frames = 8192;
constexpr std::uint32_t Block = 512;
constexpr double Rate = 48000.0;

/// A parameter change: the VST 2 value (normalised) and the CLAP value (plain) that mean the
/// same setting, as the LV2 ports show it.
struct TChange
{
    std::uint32_t Frame;
    std::int32_t Index;
    float Normalised;
    double Plain;
};

struct TCase
{
    const char* Name;
    std::int32_t Program;
    std::vector<TChange> Changes;
    std::vector<TMidiMessage> Midi;
};

void PrintTo(const TCase& settings, std::ostream* out)
{
    *out << settings.Name;
}

std::array<std::vector<float>, 2> Input()
{
    std::array<std::vector<float>, 2> input = {std::vector<float>(Frames),
                                               std::vector<float>(Frames)};
    std::uint32_t noise = 2024;
    for (std::uint32_t i = 0; i < Frames; ++i)
    {
        noise = noise * 1664525U + 1013904223U;
        const float white = static_cast<float>(noise >> 8) / 8388608.0f - 1.0f;
        const float tone =
            0.4f * static_cast<float>(std::sin(2.0 * 3.14159265358979 * 220.0 * i / Rate));
        input[0][i] = (i % 2048 < 300 ? 0.5f * white : 0.0f) + tone;
        input[1][i] = 0.3f * white + 0.5f * tone;
    }
    return input;
}

std::array<std::vector<float>, 2> RenderVst(const TCase& settings,
                                            const std::array<std::vector<float>, 2>& input,
                                            std::vector<TMidiMessage>& thru,
                                            std::vector<TAutomation>& moves)
{
    const auto plugin = TVstPlugin::Load(ORVO_MODULE_PATH);
    plugin->SetProgram(settings.Program);
    plugin->Start(Rate, static_cast<std::int32_t>(Block));
    std::array<std::vector<float>, 2> output = {std::vector<float>(Frames),
                                                std::vector<float>(Frames)};
    // The CLAP host's blocks, each split where a parameter changes.
    std::size_t nextChange = 0;
    for (std::uint32_t start = 0; start < Frames;)
    {
        while (nextChange < settings.Changes.size() && settings.Changes[nextChange].Frame <= start)
        {
            plugin->SetParameter(settings.Changes[nextChange].Index,
                                 settings.Changes[nextChange].Normalised);
            ++nextChange;
        }
        std::uint32_t end = std::min(Frames, (start / Block + 1) * Block);
        if (nextChange < settings.Changes.size())
        {
            end = std::min(end, settings.Changes[nextChange].Frame);
        }
        std::vector<TMidiMessage> midi;
        for (const TMidiMessage& message : settings.Midi)
        {
            if (message.Frame >= start && message.Frame < end)
            {
                midi.push_back({message.Frame - start, message.Bytes});
            }
        }
        const float* in[2] = {input[0].data() + start, input[1].data() + start};
        float* out[2] = {output[0].data() + start, output[1].data() + start};
        plugin->Process(in, out, end - start, midi);
        start = end;
    }
    thru = plugin->MidiReceived();
    moves = plugin->Automations();
    return output;
}

class ClapRender : public ::testing::TestWithParam<TCase>
{
};

TEST_P(ClapRender, EqualsTheVstModuleSampleForSample)
{
    const TCase& settings = GetParam();
    const auto input = Input();
    std::vector<TMidiMessage> vstThru;
    std::vector<TAutomation> vstMoves;
    const auto expected = RenderVst(settings, input, vstThru, vstMoves);

    const TClapModule module(ORVO_CLAP_PATH);
    TClapTestHost host(module);
    const auto* load = host.Extension<clap_plugin_preset_load_t>(CLAP_EXT_PRESET_LOAD);
    ASSERT_TRUE(load->from_location(host.Plugin(), CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN, nullptr,
                                    std::to_string(settings.Program).c_str()));
    ASSERT_TRUE(host.Activate(Rate, Block));
    TClapEventList events;
    std::size_t nextMidi = 0;
    for (const TChange& change : settings.Changes)
    {
        // MIDI at the frame of a change goes before it in the list: it must still come after
        // the change, as in the VST 2 host's next process call.
        for (; nextMidi < settings.Midi.size() && settings.Midi[nextMidi].Frame <= change.Frame;
             ++nextMidi)
        {
            const auto& bytes = settings.Midi[nextMidi].Bytes;
            events.AddMidi(static_cast<std::uint32_t>(settings.Midi[nextMidi].Frame), bytes[0],
                           bytes[1], bytes[2]);
        }
        events.AddParamValue(change.Frame, static_cast<clap_id>(change.Index), change.Plain);
    }
    for (; nextMidi < settings.Midi.size(); ++nextMidi)
    {
        const auto& bytes = settings.Midi[nextMidi].Bytes;
        events.AddMidi(static_cast<std::uint32_t>(settings.Midi[nextMidi].Frame), bytes[0],
                       bytes[1], bytes[2]);
    }
    const auto rendered = host.Render(input, Block, events);

    for (std::size_t channel = 0; channel < 2; ++channel)
    {
        std::size_t differing = 0;
        std::size_t first = Frames;
        for (std::size_t i = 0; i < Frames; ++i)
        {
            if (rendered[channel][i] != expected[channel][i])
            {
                first = std::min(first, i);
                ++differing;
            }
        }
        EXPECT_EQ(differing, 0U) << "channel " << channel << ", from frame " << first;
    }

    std::vector<TMidiMessage> clapThru;
    std::vector<std::int32_t> clapMoves;
    for (std::size_t i = 0; i < host.Out().Size(); ++i)
    {
        if (const clap_event_midi_t* midi = host.Out().MidiAt(i))
        {
            clapThru.push_back({static_cast<std::int64_t>(midi->header.time),
                                {midi->data[0], midi->data[1], midi->data[2]}});
        }
        else if (const clap_event_param_value_t* move = host.Out().ParamValueAt(i))
        {
            clapMoves.push_back(static_cast<std::int32_t>(move->param_id));
        }
    }
    // Every message goes thru; the controllers move the parameters they drive.
    EXPECT_EQ(clapThru.size(), settings.Midi.size());
    ASSERT_EQ(clapThru.size(), vstThru.size());
    for (std::size_t i = 0; i < vstThru.size(); ++i)
    {
        EXPECT_EQ(clapThru[i].Frame, vstThru[i].Frame);
        EXPECT_EQ(clapThru[i].Bytes, vstThru[i].Bytes);
    }
    std::vector<std::int32_t> movedByVst;
    for (const TAutomation& move : vstMoves)
    {
        movedByVst.push_back(move.Index);
    }
    EXPECT_EQ(clapMoves, movedByVst);
    EXPECT_EQ(clapMoves.empty(), settings.Midi.empty());
}

// Tube 0.75 is 50 %, Tuning 0.375 is -3 semitones, OverSample 1 is on; CC 20 + i drives
// parameter i in the default map (CC 33: OutGain).
INSTANTIATE_TEST_SUITE_P(Settings, ClapRender,
                         ::testing::Values(TCase{"Program0", 0, {}, {}},
                                           TCase{"PushedWithChangesInsideBlocks",
                                                 4,
                                                 {{1000, 10, 0.75f, 50.0},
                                                  {4096, 11, 0.375f, -3.0},
                                                  {5000, 14, 1.0f, 1.0}},
                                                 {}},
                                           TCase{"ControllersAndThru",
                                                 4,
                                                 {{3000, 10, 0.75f, 50.0}},
                                                 {{700, {0xB0, 33, 90}},
                                                  {2500, {0x90, 60, 100}},
                                                  {3000, {0xB0, 20, 10}},
                                                  {6001, {0xB0, 32, 127}}}}),
                         [](const ::testing::TestParamInfo<TCase>& test)
                         { return std::string(test.param.Name); });
} // namespace
} // namespace orvo::test
