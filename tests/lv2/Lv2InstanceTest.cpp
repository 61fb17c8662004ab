// The LV2 instance in-process, as a host with atom support drives it: control ports reach
// the effect in their units, MIDI controllers drive parameters through the default map,
// thru messages come out at their frames (also past the effect's call size), and learned
// bindings travel through the state extension into a new instance, and the UI's MIDI menu
// commands act on the instance's map.
#include "tests/lv2/TLv2HostFixture.h"

#include <map>

namespace orvo::test
{
namespace
{
using Lv2Instance = TLv2HostFixture;

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

TEST_F(Lv2Instance, SendsItsControlValuesAfterARunInWhichAControlChanged)
{
    auto instance = Instantiate();
    Run(*instance, 64); // the ports hold program 0, as the instance does
    EXPECT_FALSE(ReceivedControlValues());
    // A host restoring a preset sets the ports without telling the UI: the instance does.
    Controls[prTuning] = 6.0f;
    Controls[prLoMute] = 1.0f;
    Run(*instance, 64);
    const auto values = ReceivedControlValues();
    ASSERT_TRUE(values);
    for (const TParameterInfo& info : ParameterInfo)
    {
        if (info.Port != NoPort)
        {
            EXPECT_EQ((*values)[info.Index], Controls[info.Index]) << info.Name;
        }
    }
    Run(*instance, 64);
    EXPECT_FALSE(ReceivedControlValues());
    // A UI that opens asks for the values the instance holds.
    PrepareRun({}, {{lv2::mmSendControlValues, NoBinding}});
    instance->Run(64);
    EXPECT_TRUE(ReceivedControlValues());
}

TEST_F(Lv2Instance, PassesMidiThruAtItsFramesAndMapsControllers)
{
    auto instance = Instantiate();
    const std::vector<TMidiAt> events{{5, {0x90, 60, 100}},
                                      {10, {0xB0, 22, 100}}, // CC 22 drives "Mid"
                                      {700, {0xC3, 7}},      // beyond the first call
                                      {999, {0xE0, 0, 64}}};
    EXPECT_EQ(Run(*instance, 1000, events), events);
    EXPECT_EQ(Parameter(*instance, prMid), 100.0f / 127.0f);
}

TEST_F(Lv2Instance, CarriesLearnedBindingsThroughTheState)
{
    auto instance = Instantiate();
    instance->Effect().StartMidiLearn(prTube);
    Run(*instance, 64, {{3, {0xB0, 50, 10}}});
    ASSERT_EQ(instance->Effect().MidiMap().CcToParam[50], prTube);

    std::map<LV2_URID, std::pair<std::string, LV2_URID>> saved;
    const auto store = [](LV2_State_Handle handle, std::uint32_t key, const void* value,
                          std::size_t size, std::uint32_t type, std::uint32_t)
    {
        (*static_cast<decltype(saved)*>(handle))[key] = {
            std::string(static_cast<const char*>(value), size), type};
        return LV2_STATE_SUCCESS;
    };
    ASSERT_EQ(instance->Save(store, &saved), LV2_STATE_SUCCESS);
    instance.reset();

    auto restored = Instantiate();
    EXPECT_EQ(restored->Effect().MidiMap(), TMidiMap::Default()); // no file: the default map
    const auto retrieve = [](LV2_State_Handle handle, std::uint32_t key, std::size_t* size,
                             std::uint32_t* type, std::uint32_t* flags) -> const void*
    {
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
    EXPECT_EQ(restored->Effect().MidiMap().CcToParam[50], prTube);
    EXPECT_EQ(restored->Effect().MidiMap().CcToParam[30], NoBinding); // Tube's old CC
    Run(*restored, 64, {{0, {0xB0, 50, 127}}});
    EXPECT_EQ(Parameter(*restored, prTube), 1.0f);
}
TEST_F(Lv2Instance, MidiMenuMessagesActOnTheMapAndTheReportCarriesIt)
{
    auto instance = Instantiate();
    using lv2::TMidiMenuMessage;
    TMidiMap learned = TMidiMap::Default();
    learned.CcToParam[30] = NoBinding; // Tube's old CC
    learned.CcToParam[50] = prTube;
    learned.ParamToCc[prTube] = 50;
    const struct
    {
        std::vector<TMidiMenuMessage> Commands;
        std::vector<TMidiAt> Midi;
        TMidiMap Expected;
        std::int32_t Learning;
    } steps[] = {
        // The command comes before the run's MIDI: the CC of the same run is learned.
        {{{lv2::mmLearn, prTube}}, {{3, {0xB0, 50, 10}}}, learned, NoBinding},
        {{{lv2::mmLearn, prMid}}, {}, learned, prMid},
        {{{lv2::mmReset, NoBinding}}, {}, TMidiMap::Empty(), NoBinding},
        {{{lv2::mmRestoreDefault, NoBinding}}, {}, TMidiMap::Default(), NoBinding},
    };
    for (std::size_t s = 0; s < std::size(steps); ++s)
    {
        PrepareRun(steps[s].Midi, steps[s].Commands);
        instance->Run(64);
        EXPECT_FALSE(ReceivedReply()) << "step " << s; // only on request
        PrepareRun({}, {{lv2::mmReport, NoBinding}});
        instance->Run(64);
        const auto reply = ReceivedReply();
        ASSERT_TRUE(reply) << "step " << s;
        EXPECT_EQ(reply->first, steps[s].Expected) << "step " << s;
        EXPECT_EQ(reply->second, steps[s].Learning) << "step " << s;
        EXPECT_EQ(instance->Effect().MidiMap(), steps[s].Expected) << "step " << s;
    }
}
} // namespace
} // namespace orvo::test
