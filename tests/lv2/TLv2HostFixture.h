// A stand-in LV2 host for the instance tests: a URID map, control ports at program 0,
// audio buffers, and one run with atom MIDI in and the MIDI that came out.
#pragma once

#include <gtest/gtest.h>

#include "lv2/TLv2Orvo.h"
#include "lv2/uLv2Atoms.h"
#include "parameters/uParameterMapping.h"
#include "platform/headless/HeadlessServices.h"
#include "tests/support/TUridMap.h"

#include <lv2/atom/util.h>
#include <lv2/midi/midi.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orvo::test
{
/// A MIDI message at a frame of a run.
struct TMidiAt
{
    std::int64_t Frame;
    std::vector<std::uint8_t> Bytes;
    bool operator==(const TMidiAt&) const = default;
};

class TLv2HostFixture : public ::testing::Test
{
  protected:
    std::unique_ptr<lv2::TLv2Orvo> Instantiate()
    {
        auto instance = std::make_unique<lv2::TLv2Orvo>(48000.0, Features, Services);
        for (const TParameterInfo& info : ParameterInfo)
        {
            Controls[info.Index] = PortValue(info.Index, info.Default);
            if (info.Port != NoPort)
            {
                instance->Connect(static_cast<std::uint32_t>(info.Port), &Controls[info.Index]);
            }
        }
        // Program 0's values, the ports' defaults.
        Controls[prOverSample] = 1.0f;
        instance->Connect(lv2::AudioInLeft, In.data());
        instance->Connect(lv2::AudioInRight, In.data());
        instance->Connect(lv2::AudioOutLeft, OutL.data());
        instance->Connect(lv2::AudioOutRight, OutR.data());
        instance->Connect(lv2::MidiIn, InBuffer.data());
        instance->Connect(lv2::MidiOut, OutBuffer.data());
        instance->Activate();
        return instance;
    }

    /// Puts the UI's MIDI menu commands (at frame 0) and these (frame, bytes) MIDI events
    /// into the input port and empties the output.
    void PrepareRun(const std::vector<TMidiAt>& events,
                    const std::vector<lv2::TMidiMenuMessage>& commands = {})
    {
        LV2_Atom_Forge forge;
        lv2_atom_forge_init(&forge, &UridMap);
        lv2_atom_forge_set_buffer(&forge, reinterpret_cast<std::uint8_t*>(InBuffer.data()),
                                  InBuffer.size() * sizeof(InBuffer[0]));
        LV2_Atom_Forge_Frame frame;
        lv2_atom_forge_sequence_head(&forge, &frame, 0);
        for (const lv2::TMidiMenuMessage& command : commands)
        {
            lv2_atom_forge_frame_time(&forge, 0);
            EXPECT_TRUE(lv2::ForgeCommand(forge, Urids, command));
        }
        for (const TMidiAt& event : events)
        {
            lv2_atom_forge_frame_time(&forge, event.Frame);
            lv2_atom_forge_atom(&forge, static_cast<std::uint32_t>(event.Bytes.size()),
                                MidiEvent());
            lv2_atom_forge_write(&forge, event.Bytes.data(),
                                 static_cast<std::uint32_t>(event.Bytes.size()));
        }
        lv2_atom_forge_pop(&forge, &frame);
        auto* out = reinterpret_cast<LV2_Atom_Sequence*>(OutBuffer.data());
        out->atom.size =
            static_cast<std::uint32_t>(OutBuffer.size() * sizeof(OutBuffer[0]) - sizeof(LV2_Atom));
    }

    /// The MIDI events in the output port after a run.
    std::vector<TMidiAt> ReceivedMidi()
    {
        std::vector<TMidiAt> received;
        const auto* out = reinterpret_cast<const LV2_Atom_Sequence*>(OutBuffer.data());
        LV2_ATOM_SEQUENCE_FOREACH(out, event)
        {
            if (event->body.type == MidiEvent())
            {
                const auto* bytes = reinterpret_cast<const std::uint8_t*>(event + 1);
                received.push_back({event->time.frames, {bytes, bytes + event->body.size}});
            }
        }
        return received;
    }

    /// The MIDI map reply in the output port after a run, with the learning parameter.
    std::optional<std::pair<TMidiMap, std::int32_t>> ReceivedReply()
    {
        const auto* out = reinterpret_cast<const LV2_Atom_Sequence*>(OutBuffer.data());
        LV2_ATOM_SEQUENCE_FOREACH(out, event)
        {
            std::pair<TMidiMap, std::int32_t> reply{};
            if (lv2::ReadMidiMapReply(Urids, event->body, reply.first, reply.second))
            {
                return reply;
            }
        }
        return std::nullopt;
    }

    /// The control values in the output port after a run.
    std::optional<lv2::TControlValues> ReceivedControlValues()
    {
        const auto* out = reinterpret_cast<const LV2_Atom_Sequence*>(OutBuffer.data());
        LV2_ATOM_SEQUENCE_FOREACH(out, event)
        {
            lv2::TControlValues values{};
            if (lv2::ReadControlValues(Urids, event->body, values))
            {
                return values;
            }
        }
        return std::nullopt;
    }

    /// Runs frames with these MIDI events; returns the MIDI output.
    std::vector<TMidiAt> Run(lv2::TLv2Orvo& instance, std::uint32_t frames,
                             const std::vector<TMidiAt>& events = {})
    {
        PrepareRun(events);
        instance.Run(frames);
        return ReceivedMidi();
    }

    LV2_URID MidiEvent() { return UridMap.map(UridMap.handle, LV2_MIDI__MidiEvent); }

    float Parameter(lv2::TLv2Orvo& instance, TParameter index)
    {
        return instance.Effect().Parameter(index);
    }

    static constexpr std::size_t MaxFrames = 4096;
    TUridMap Uris;
    LV2_URID_Map& UridMap = Uris.Map;
    lv2::TMessageUrids Urids{UridMap};
    LV2_Feature MapFeature{LV2_URID__map, &UridMap};
    const LV2_Feature* Features[2] = {&MapFeature, nullptr};
    THeadlessServices Headless;
    TPluginServices Services{Headless.ModuleFile, Headless.Resources, Headless.FileSystem,
                             Headless.Locale, Headless.MessageBox};
    std::array<float, ParameterCount> Controls{};
    std::vector<float> In = std::vector<float>(MaxFrames, 0.1f);
    std::vector<float> OutL = std::vector<float>(MaxFrames);
    std::vector<float> OutR = std::vector<float>(MaxFrames);
    std::vector<std::uint64_t> InBuffer = std::vector<std::uint64_t>(1024);
    std::vector<std::uint64_t> OutBuffer = std::vector<std::uint64_t>(1024);
};

} // namespace orvo::test
