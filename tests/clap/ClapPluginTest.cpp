// Orvo.clap as a host sees it: loaded through clap_entry by the project's own CLAP host, which
// checks the descriptor, every extension, the threads each call belongs to, the parameters'
// texts both ways, state round trips over awkward streams, and the factory programs offered
// as presets.
#include <gtest/gtest.h>

#include "tests/support/ClapPresetList.h"
#include "tests/support/ClapStreams.h"
#include "tests/support/ClapTestHost.h"

#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace orvo::test
{
namespace
{
class ClapPlugin : public ::testing::Test
{
  protected:
    /// Every parameter's plain value, by id.
    std::vector<double> Values(TClapTestHost& host) const
    {
        const auto* params = host.Extension<clap_plugin_params_t>(CLAP_EXT_PARAMS);
        std::vector<double> values;
        for (std::uint32_t i = 0; i < params->count(host.Plugin()); ++i)
        {
            clap_param_info_t info{};
            params->get_info(host.Plugin(), i, &info);
            double value = 0.0;
            EXPECT_TRUE(params->get_value(host.Plugin(), info.id, &value));
            values.push_back(value);
        }
        return values;
    }

    /// The saved state; empty when save fails.
    std::vector<std::uint8_t> Save(TClapTestHost& host) const
    {
        TClapOStream stream;
        if (!host.Extension<clap_plugin_state_t>(CLAP_EXT_STATE)->save(host.Plugin(), stream.Get()))
        {
            return {};
        }
        return stream.Bytes();
    }

    bool Load(TClapTestHost& host, const TClapIStream& stream) const
    {
        return host.Extension<clap_plugin_state_t>(CLAP_EXT_STATE)
            ->load(host.Plugin(), stream.Get());
    }

    /// Sets a parameter through the parameters' flush, as a host does while not processing.
    void Set(TClapTestHost& host, clap_id id, double value) const
    {
        TClapEventList events;
        events.AddParamValue(0, id, value);
        host.Extension<clap_plugin_params_t>(CLAP_EXT_PARAMS)
            ->flush(host.Plugin(), events.Input(), host.Out().Output());
    }

    TClapModule Module{ORVO_CLAP_PATH};
};

TEST_F(ClapPlugin, DescribesOneStereoEffectThatTheFactoryCreatesByItsId)
{
    ASSERT_TRUE(clap_version_is_compatible(Module.Entry().clap_version));
    const clap_plugin_factory_t* factory = Module.PluginFactory();
    ASSERT_NE(factory, nullptr);
    ASSERT_EQ(factory->get_plugin_count(factory), 1U);
    const clap_plugin_descriptor_t* descriptor = factory->get_plugin_descriptor(factory, 0);
    EXPECT_STREQ(descriptor->id, "com.quorvane.orvo");
    EXPECT_STREQ(descriptor->name, "Orvo");
    EXPECT_STREQ(descriptor->vendor, "Quorvane");
    std::set<std::string> features;
    for (const char* const* feature = descriptor->features; *feature != nullptr; ++feature)
    {
        features.insert(*feature);
    }
    EXPECT_TRUE(features.count("audio-effect") == 1 && features.count("stereo") == 1);
    EXPECT_EQ(factory->get_plugin_descriptor(factory, 1), nullptr);

    TClapTestHost host(Module);
    EXPECT_THROW(TClapTestHost(Module, "com.quorvane.other"), std::runtime_error);
    EXPECT_EQ(Module.Entry().get_factory("clap.no-such-factory"), nullptr);
}

TEST_F(ClapPlugin, OffersItsPortsLatencyAndNothingUnknown)
{
    TClapTestHost host(Module);
    const auto* audio = host.Extension<clap_plugin_audio_ports_t>(CLAP_EXT_AUDIO_PORTS);
    const auto* notes = host.Extension<clap_plugin_note_ports_t>(CLAP_EXT_NOTE_PORTS);
    const auto* latency = host.Extension<clap_plugin_latency_t>(CLAP_EXT_LATENCY);
    ASSERT_TRUE(audio != nullptr && notes != nullptr && latency != nullptr);
    for (const bool isInput : {true, false})
    {
        SCOPED_TRACE(isInput ? "input" : "output");
        ASSERT_EQ(audio->count(host.Plugin(), isInput), 1U);
        clap_audio_port_info_t port{};
        ASSERT_TRUE(audio->get(host.Plugin(), 0, isInput, &port));
        EXPECT_EQ(port.channel_count, 2U);
        EXPECT_STREQ(port.port_type, CLAP_PORT_STEREO);
        EXPECT_NE(port.flags & CLAP_AUDIO_PORT_IS_MAIN, 0U);
        EXPECT_NE(port.in_place_pair, CLAP_INVALID_ID); // in place allowed
        EXPECT_FALSE(audio->get(host.Plugin(), 1, isInput, &port));

        ASSERT_EQ(notes->count(host.Plugin(), isInput), 1U);
        clap_note_port_info_t note{};
        ASSERT_TRUE(notes->get(host.Plugin(), 0, isInput, &note));
        EXPECT_EQ(note.supported_dialects, CLAP_NOTE_DIALECT_MIDI);
        EXPECT_EQ(note.preferred_dialect, CLAP_NOTE_DIALECT_MIDI);
    }
    EXPECT_EQ(latency->get(host.Plugin()), 0U);
    EXPECT_EQ(host.Plugin()->get_extension(host.Plugin(), "clap.no-such-extension"), nullptr);
}

TEST_F(ClapPlugin, OffersAnX11EditorEmbeddedAndPumpedByTheHostsTimer)
{
    TClapTestHost host(Module);
    const auto* gui = host.Extension<clap_plugin_gui_t>(CLAP_EXT_GUI);
    ASSERT_NE(gui, nullptr);
    EXPECT_TRUE(gui->is_api_supported(host.Plugin(), CLAP_WINDOW_API_X11, false));
    EXPECT_FALSE(gui->is_api_supported(host.Plugin(), CLAP_WINDOW_API_X11, true));
    EXPECT_FALSE(gui->is_api_supported(host.Plugin(), CLAP_WINDOW_API_WIN32, false));
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    ASSERT_TRUE(gui->get_size(host.Plugin(), &width, &height));
    EXPECT_EQ(width, 700U);
    EXPECT_EQ(height, 300U);
    EXPECT_FALSE(gui->can_resize(host.Plugin()));

    host.ClearRequests();
    for (int round = 0; round < 2; ++round) // made again after a destroy
    {
        ASSERT_TRUE(gui->create(host.Plugin(), CLAP_WINDOW_API_X11, false));
        EXPECT_FALSE(gui->create(host.Plugin(), CLAP_WINDOW_API_X11, false));
        EXPECT_EQ(host.Timers().size(), 1U);
        host.PumpMainThread(); // the timer with no window yet
        gui->destroy(host.Plugin());
        EXPECT_TRUE(host.Timers().empty());
    }
    EXPECT_EQ(host.Requests(), (std::vector<std::string>{"register_timer 30", "unregister_timer",
                                                         "register_timer 30", "unregister_timer"}));
    EXPECT_TRUE(host.Violations().empty());
}

TEST_F(ClapPlugin, ParametersReadTheirOwnTextsBackAtEveryMarkOfTheirRange)
{
    TClapTestHost host(Module);
    const auto* params = host.Extension<clap_plugin_params_t>(CLAP_EXT_PARAMS);
    ASSERT_NE(params, nullptr);
    ASSERT_EQ(params->count(host.Plugin()), 15U); // every record but the reserved one
    std::set<std::string> names;
    for (std::uint32_t i = 0; i < 15; ++i)
    {
        clap_param_info_t info{};
        ASSERT_TRUE(params->get_info(host.Plugin(), i, &info));
        SCOPED_TRACE(info.name);
        names.insert(info.name);
        EXPECT_EQ(info.id, i);
        EXPECT_NE(info.flags & CLAP_PARAM_IS_AUTOMATABLE, 0U);
        ASSERT_LT(info.min_value, info.max_value);
        ASSERT_TRUE(info.default_value >= info.min_value && info.default_value <= info.max_value);
        for (const double value : {info.min_value, info.default_value, info.max_value,
                                   info.min_value + 0.3 * (info.max_value - info.min_value)})
        {
            char text[64];
            ASSERT_TRUE(params->value_to_text(host.Plugin(), info.id, value, text, sizeof text));
            double back = -1e9;
            ASSERT_TRUE(params->text_to_value(host.Plugin(), info.id, text, &back)) << text;
            char again[64];
            ASSERT_TRUE(params->value_to_text(host.Plugin(), info.id, back, again, sizeof again));
            EXPECT_STREQ(again, text);
        }
        double ignored = 0.0;
        EXPECT_FALSE(params->text_to_value(host.Plugin(), info.id, "no number", &ignored));
    }
    EXPECT_EQ(names.size(), 15U);
    clap_param_info_t none{};
    EXPECT_FALSE(params->get_info(host.Plugin(), 15, &none));
    double value = 0.0;
    EXPECT_FALSE(params->get_value(host.Plugin(), 15, &value)); // the reserved parameter
    // What a user types: the record's reading, in the plain unit.
    EXPECT_TRUE(params->text_to_value(host.Plugin(), 10, "50 %", &value));
    EXPECT_EQ(value, 50.0); // Tube
    EXPECT_TRUE(params->text_to_value(host.Plugin(), 5, "muted", &value));
    EXPECT_EQ(value, 1.0); // LoMute
    char tiny[4];
    EXPECT_TRUE(params->value_to_text(host.Plugin(), 10, 50.0, tiny, sizeof tiny));
    EXPECT_EQ(std::strlen(tiny), 3U); // cut to the buffer, terminated
}

TEST_F(ClapPlugin, RefusesCallsOnThreadsClapDoesNotGiveThem)
{
    TClapTestHost host(Module);
    bool activated = true;
    host.InRole(trAudio,
                [&] { activated = host.Plugin()->activate(host.Plugin(), 48000, 1, 512); });
    EXPECT_FALSE(activated);
    ASSERT_TRUE(host.Activate(48000, 512));

    // process on the main thread, state on the audio thread: refused.
    float left[64] = {};
    float right[64] = {};
    float* channels[2] = {left, right};
    clap_audio_buffer_t audio = {channels, nullptr, 2, 0, 0};
    TClapEventList none;
    const clap_process_t process = {
        -1, 64, nullptr, &audio, &audio, 1, 1, none.Input(), host.Out().Output()};
    EXPECT_EQ(host.Plugin()->process(host.Plugin(), &process), CLAP_PROCESS_ERROR);
    bool saved = true;
    host.InRole(trAudio, [&] { saved = !Save(host).empty(); });
    EXPECT_FALSE(saved);
    EXPECT_EQ(host.Process({left, right}, {left, right}, 64, none), CLAP_PROCESS_CONTINUE);

    // What the plug-in asks of the host, it asks on the thread CLAP allows.
    ASSERT_TRUE(Load(host, TClapIStream(Save(host))));
    EXPECT_TRUE(host.Violations().empty());
}

TEST_F(ClapPlugin, StateRoundTripsOverAnyStreamAndRefusesWhatIsNoState)
{
    TClapTestHost source(Module);
    Set(source, 10, 50.0); // Tube 50 %
    Set(source, 11, -3.0); // Tuning -3 semitones
    Set(source, 5, 1.0);   // Lo muted
    const std::vector<std::uint8_t> state = Save(source);
    ASSERT_FALSE(state.empty());

    TClapTestHost target(Module);
    const std::vector<double> fresh = Values(target);
    ASSERT_NE(fresh, Values(source));

    struct TBadStream
    {
        const char* Name;
        std::vector<std::uint8_t> Bytes;
        std::uint64_t FailAfter;
    };
    std::vector<std::uint8_t> garbage(state.size(), 0xA5);
    std::vector<std::uint8_t> truncated(state.begin(), state.end() - 1);
    const TBadStream bad[] = {
        {"empty", {}, UINT64_MAX},
        {"garbage", garbage, UINT64_MAX},
        {"truncated", truncated, UINT64_MAX},
        {"read error halfway", state, state.size() / 2},
    };
    for (const TBadStream& stream : bad)
    {
        SCOPED_TRACE(stream.Name);
        EXPECT_FALSE(Load(target, TClapIStream(stream.Bytes, UINT64_MAX, stream.FailAfter)));
        EXPECT_EQ(Values(target), fresh);
    }
    target.ClearRequests();
    EXPECT_TRUE(Load(target, TClapIStream(state, 1))); // one byte at a time
    EXPECT_EQ(Values(target), Values(source));
    EXPECT_EQ(Save(target), state);
    EXPECT_EQ(target.Requests(), std::vector<std::string>{"rescan 1"});
}

TEST_F(ClapPlugin, OffersTheSixteenFactoryProgramsAsPresetsWithUniqueNames)
{
    std::vector<std::string> errors;
    const std::vector<TClapPreset> presets = ListClapPresets(Module, &errors);
    EXPECT_TRUE(errors.empty());
    ASSERT_EQ(presets.size(), 16U);
    std::set<std::string> names;
    for (const TClapPreset& preset : presets)
    {
        names.insert(preset.Name);
        EXPECT_EQ(preset.LocationKind, CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN);
        EXPECT_NE(preset.Flags & CLAP_PRESET_DISCOVERY_IS_FACTORY_CONTENT, 0U);
        EXPECT_EQ(preset.PluginIds, std::vector<std::string>{"clap:com.quorvane.orvo"});
    }
    EXPECT_EQ(names.size(), 16U);
    EXPECT_EQ(names.count("Spare 1") + names.count("Spare 2"), 2U);
    EXPECT_EQ(presets[4].Name, "Pushed");

    TClapTestHost host(Module);
    const auto* load = host.Extension<clap_plugin_preset_load_t>(CLAP_EXT_PRESET_LOAD);
    ASSERT_NE(load, nullptr);
    const std::vector<double> first = Values(host);
    for (const char* key : {"16", "-1", "04", "", "4x"})
    {
        EXPECT_FALSE(
            load->from_location(host.Plugin(), CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN, nullptr, key))
            << key;
    }
    EXPECT_EQ(Values(host), first);
    ASSERT_TRUE(load->from_location(host.Plugin(), presets[4].LocationKind, nullptr,
                                    presets[4].LoadKey.c_str()));
    EXPECT_NE(Values(host), first);
    EXPECT_EQ(host.Requests().back(), "rescan 1");
}
} // namespace
} // namespace orvo::test
