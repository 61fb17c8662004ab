// The effect record as APlugin fills it, its identity, pins and the opcodes it answers.
#include "tests/vst2/TPluginFixture.h"

#include <cstring>

namespace orvo::test
{
namespace
{
class PluginRecord : public TPluginFixture
{
  protected:
    PluginRecord() { Create(); }
};

TEST_F(PluginRecord, FillsTheRecordFields)
{
    EXPECT_EQ(Effect->magic, fourCharCode('V', 's', 't', 'P'));
    EXPECT_EQ(Effect->uniqueID, fourCharCode('O', 'r', 'v', 'o'));
    EXPECT_EQ(Effect->numPrograms, 16);
    EXPECT_EQ(Effect->numParams, 16);
    EXPECT_EQ(Effect->numInputs, 2);
    EXPECT_EQ(Effect->numOutputs, 2);
    EXPECT_EQ(Effect->flags, 0x19);
    EXPECT_EQ(Effect->version, 1);
    EXPECT_EQ(Effect->initialDelay, 0);
    EXPECT_EQ(Effect->ioRatio, 1.0f);
    EXPECT_EQ(Effect->object, &Plugin());
    EXPECT_EQ(Effect->user, nullptr);
    const char zeros[sizeof Effect->future] = {};
    EXPECT_EQ(std::memcmp(Effect->future, zeros, sizeof zeros), 0);
}

TEST_F(PluginRecord, ShowsItsIdentity)
{
    EXPECT_EQ(Text(effGetEffectName), "Orvo");
    EXPECT_EQ(Text(effGetVendorString), "Quorvane");
    EXPECT_EQ(Text(effGetProductString), "Orvo");
    EXPECT_EQ(Dispatch(effGetEffectName, 0, 0, std::array<char, 64>{}.data()), 1);
    EXPECT_EQ(Dispatch(effGetVendorVersion), 1);
    EXPECT_EQ(Dispatch(effGetPlugCategory), 0);
    EXPECT_EQ(Dispatch(effIdentify), fourCharCode('N', 'v', 'E', 'f'));
}

TEST_F(PluginRecord, CanDoAnswersOneOnlyForTheFourMidiAbilities)
{
    for (const char* yes :
         {"receiveVstEvents", "receiveVstMidiEvent", "sendVstEvents", "sendVstMidiEvent"})
    {
        EXPECT_EQ(Dispatch(effCanDo, 0, 0, const_cast<char*>(yes)), 1) << yes;
    }
    for (const char* no :
         {"receiveVstTimeInfo", "ReceiveVstEvents", "receiveVstEvents ", "", "bypass"})
    {
        EXPECT_EQ(Dispatch(effCanDo, 0, 0, const_cast<char*>(no)), -1) << no;
    }
}

TEST_F(PluginRecord, DescribesTwoStereoPinsEachWay)
{
    VstPinProperties pin{};
    std::memset(pin.shortLabel, 'x', sizeof pin.shortLabel);
    EXPECT_EQ(Dispatch(effGetInputProperties, 1, 0, &pin), 1);
    EXPECT_STREQ(pin.label, "Input #2");
    EXPECT_EQ(pin.flags, 3);
    EXPECT_EQ(pin.shortLabel[0], 'x'); // other fields untouched
    EXPECT_EQ(Dispatch(effGetOutputProperties, 0, 0, &pin), 1);
    EXPECT_STREQ(pin.label, "Output #1");

    VstPinProperties untouched{};
    EXPECT_EQ(Dispatch(effGetOutputProperties, 2, 0, &untouched), 0);
    EXPECT_EQ(Dispatch(effGetInputProperties, -1, 0, &untouched), 0);
    EXPECT_EQ(untouched.label[0], '\0');
}

TEST_F(PluginRecord, AnswersTheTableForOpcodesItDoesNotUse)
{
    EXPECT_EQ(Dispatch(effGetVu), 0);
    EXPECT_EQ(Dispatch(effSetBypass, 0, 1), 0);
    void* chunk = &chunk;
    EXPECT_EQ(Dispatch(effGetChunk, 0, 0, &chunk), 0);
    EXPECT_EQ(chunk, &chunk);
    EXPECT_EQ(Dispatch(effCanBeAutomated, 40), 1);
    EXPECT_EQ(Dispatch(effProcessEvents, 0, 0, nullptr), 1);
    EXPECT_EQ(Dispatch(effGetTailSize), 0);
    EXPECT_EQ(Dispatch(80), 0);
    EXPECT_EQ(Dispatch(-1), 0);
}

TEST_F(PluginRecord, ResumeAsksTheHostForMidi)
{
    Host.ClearCalls();
    Dispatch(effMainsChanged, 0, 0);
    EXPECT_TRUE(Host.CallsOf(audioMasterWantMidi).empty());
    Dispatch(effMainsChanged, 0, 1);
    const auto calls = Host.CallsOf(audioMasterWantMidi);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].value, 1);
}

TEST_F(PluginRecord, EditorRectIsTheFormSizeBeforeTheFirstOpen)
{
    ERect* rect = nullptr;
    EXPECT_EQ(Dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 300);
    EXPECT_EQ(rect->right, 700);
    for (int i = 0; i < 10; ++i)
    {
        EXPECT_EQ(Dispatch(effEditIdle), 0); // idle without an editor ever opened
    }
}

using PluginLifecycle = TPluginFixture;

TEST_F(PluginLifecycle, KeepsTheHostsVendorAndProduct)
{
    Host.SetVendorString(std::string(80, 'v')); // longer than the published 64
    Host.SetProductString("Some Host");
    Create();
    EXPECT_EQ(std::string(Plugin().hostVendor()), std::string(64, 'v'));
    EXPECT_STREQ(Plugin().hostProduct(), "Some Host");
}

TEST_F(PluginLifecycle, SurvivesAScannerAndCallsBeforeOpen)
{
    Create();
    Dispatch(effSetSampleRate, 0, 0, nullptr, 0.0f); // a host that knows no rate yet
    Dispatch(effSetBlockSize, 0, 0);
    EXPECT_EQ(Dispatch(effIdentify), fourCharCode('N', 'v', 'E', 'f'));
    Dispatch(effOpen);
    EXPECT_EQ(Text(effGetEffectName), "Orvo");
    EXPECT_EQ(Dispatch(effCanDo, 0, 0, const_cast<char*>("receiveVstMidiEvent")), 1);
    EXPECT_EQ(Effect->dispatcher(Effect, effClose, 0, 0, nullptr, 0.0f), 1);
    Host.Detach(Effect);
    Effect = nullptr;
}

TEST_F(PluginLifecycle, ProcessesAfterASampleRateChangeAroundSuspend)
{
    Create();
    Dispatch(effMainsChanged, 0, 1);
    Process(256);
    Dispatch(effMainsChanged, 0, 0);
    Dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f);
    Dispatch(effMainsChanged, 0, 1);
    Process(8192 + 7);
    EXPECT_NEAR(Out[1].back(), 0.244917f, 1e-5); // "Flat": the soft clip of the 0.25 input
}
} // namespace
} // namespace orvo::test
