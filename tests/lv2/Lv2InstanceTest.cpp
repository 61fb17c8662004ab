// The LV2 instance in-process, as a host with atom support drives it: control ports reach
// the effect in their units, MIDI controllers drive parameters through the default map,
// thru messages come out at their frames (also past the effect's call size), and learned
// bindings travel through the state extension into a new instance.
#include "lv2/TLv2Orvo.h"
#include "platform/headless/HeadlessServices.h"
#include "plugin/uParameterMapping.h"

#include <lv2/atom/util.h>
#include <lv2/midi/midi.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace orvo::test
{
namespace
{
struct TMidiOut
{
    std::int64_t Frame;
    std::vector<std::uint8_t> Bytes;
    bool operator==(const TMidiOut&) const = default;
};

class Lv2Instance : public ::testing::Test
{
protected:
    static LV2_URID Map(LV2_URID_Map_Handle handle, const char* uri)
    {
        auto& uris = *static_cast<std::vector<std::string>*>(handle);
        for (std::size_t i = 0; i < uris.size(); ++i)
        {
            if (uris[i] == uri)
            {
                return static_cast<LV2_URID>(i + 1);
            }
        }
        uris.emplace_back(uri);
        return static_cast<LV2_URID>(uris.size());
    }

    std::unique_ptr<lv2::TLv2Orvo> Instantiate()
    {
        auto instance = std::make_unique<lv2::TLv2Orvo>(48000.0, Features, Services);
        for (std::uint32_t i = 0; i < lv2::ControlPortCount; ++i)
        {
            Controls[i] = PortValue(static_cast<std::int32_t>(i), InfoOf(static_cast<std::int32_t>(i)).Default);
            instance->Connect(i, &Controls[i]);
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

    /// Runs frames with these (frame, bytes) MIDI events; returns the MIDI output.
    std::vector<TMidiOut> Run(lv2::TLv2Orvo& instance, std::uint32_t frames,
                              const std::vector<TMidiOut>& events = {})
    {
        LV2_Atom_Forge forge;
        lv2_atom_forge_init(&forge, &UridMap);
        lv2_atom_forge_set_buffer(&forge, reinterpret_cast<std::uint8_t*>(InBuffer.data()),
                                  InBuffer.size() * sizeof(InBuffer[0]));
        LV2_Atom_Forge_Frame frame;
        lv2_atom_forge_sequence_head(&forge, &frame, 0);
        const LV2_URID midiEvent = UridMap.map(UridMap.handle, LV2_MIDI__MidiEvent);
        for (const TMidiOut& event : events)
        {
            lv2_atom_forge_frame_time(&forge, event.Frame);
            lv2_atom_forge_atom(&forge, static_cast<std::uint32_t>(event.Bytes.size()), midiEvent);
            lv2_atom_forge_write(&forge, event.Bytes.data(), static_cast<std::uint32_t>(event.Bytes.size()));
        }
        lv2_atom_forge_pop(&forge, &frame);
        auto* out = reinterpret_cast<LV2_Atom_Sequence*>(OutBuffer.data());
        out->atom.size = static_cast<std::uint32_t>(OutBuffer.size() * sizeof(OutBuffer[0]) - sizeof(LV2_Atom));

        instance.Run(frames);

        std::vector<TMidiOut> received;
        LV2_ATOM_SEQUENCE_FOREACH(out, event)
        {
            if (event->body.type == midiEvent)
            {
                const auto* bytes = reinterpret_cast<const std::uint8_t*>(event + 1);
                received.push_back({event->time.frames, {bytes, bytes + event->body.size}});
            }
        }
        return received;
    }

    float Parameter(lv2::TLv2Orvo& instance, TParameter index)
    {
        return instance.Plugin().getParameter(index);
    }

    std::vector<std::string> Uris;
    LV2_URID_Map UridMap{&Uris, &Map};
    LV2_Feature MapFeature{LV2_URID__map, &UridMap};
    const LV2_Feature* Features[2] = {&MapFeature, nullptr};
    THeadlessServices Headless;
    TPluginServices Services{Headless.ModuleFile, Headless.Resources, Headless.FileSystem,
                             Headless.Locale, Headless.MessageBox};
    std::array<float, lv2::ControlPortCount> Controls{};
    std::vector<float> In = std::vector<float>(2048, 0.1f);
    std::vector<float> OutL = std::vector<float>(2048);
    std::vector<float> OutR = std::vector<float>(2048);
    std::vector<std::uint64_t> InBuffer = std::vector<std::uint64_t>(1024);
    std::vector<std::uint64_t> OutBuffer = std::vector<std::uint64_t>(1024);
};

TEST_F(Lv2Instance, HandsChangedPortsToTheEffectInTheirUnits)
{
    auto instance = Instantiate();
    Run(*instance, 64);
    EXPECT_EQ(Parameter(*instance, prInGain), 0.5f); // untouched ports keep program 0
    EXPECT_EQ(Parameter(*instance, prOverSample), 0.5f);
    Controls[prInGain] = -24.0f;
    Controls[prTuning] = 6.0f;
    Controls[prHiMute] = 1.0f;
    Run(*instance, 64);
    EXPECT_EQ(Parameter(*instance, prInGain), 0.25f);
    EXPECT_EQ(Parameter(*instance, prTuning), 0.75f);
    EXPECT_EQ(Parameter(*instance, prHiMute), 1.0f);
}

TEST_F(Lv2Instance, PassesMidiThruAtItsFramesAndMapsControllers)
{
    auto instance = Instantiate();
    const std::vector<TMidiOut> events{{5, {0x90, 60, 100}},
                                       {10, {0xB0, 22, 100}}, // CC 22 drives "Mid"
                                       {700, {0xC3, 7}},      // beyond the first call
                                       {999, {0xE0, 0, 64}}};
    EXPECT_EQ(Run(*instance, 1000, events), events);
    EXPECT_EQ(Parameter(*instance, prMid), 100.0f / 127.0f);
}

TEST_F(Lv2Instance, CarriesLearnedBindingsThroughTheState)
{
    auto instance = Instantiate();
    instance->Plugin().startMidiLearn(prTube);
    Run(*instance, 64, {{3, {0xB0, 50, 10}}});
    ASSERT_EQ(instance->Plugin().midiMap().CcToParam[50], prTube);

    std::map<LV2_URID, std::pair<std::string, LV2_URID>> saved;
    const auto store = [](LV2_State_Handle handle, std::uint32_t key, const void* value,
                          std::size_t size, std::uint32_t type, std::uint32_t) {
        (*static_cast<decltype(saved)*>(handle))[key] = {
            std::string(static_cast<const char*>(value), size), type};
        return LV2_STATE_SUCCESS;
    };
    ASSERT_EQ(instance->Save(store, &saved), LV2_STATE_SUCCESS);
    instance.reset();

    auto restored = Instantiate();
    EXPECT_EQ(restored->Plugin().midiMap(), TMidiMap::Default()); // no file: the default map
    const auto retrieve = [](LV2_State_Handle handle, std::uint32_t key, std::size_t* size,
                             std::uint32_t* type, std::uint32_t* flags) -> const void* {
        auto& values = *static_cast<decltype(saved)*>(handle);
        const auto found = values.find(key);
        if (found == values.end())
        {
            return nullptr;
        }
        *size = found->second.first.size();
        *type = found->second.second;
        *flags = LV2_STATE_IS_POD;
        return found->second.first.data();
    };
    ASSERT_EQ(restored->Restore(retrieve, &saved), LV2_STATE_SUCCESS);
    EXPECT_EQ(restored->Plugin().midiMap().CcToParam[50], prTube);
    EXPECT_EQ(restored->Plugin().midiMap().CcToParam[30], NoBinding); // Tube's old CC
    Run(*restored, 64, {{0, {0xB0, 50, 127}}});
    EXPECT_EQ(Parameter(*restored, prTube), 1.0f);
}
} // namespace
} // namespace orvo::test
