// Opcodes sent through the record's static dispatcher, as a host sends them.

#include <gtest/gtest.h>

#include "tests/support/TestHost.h"
#include "tests/vst2/TTestEffect.h"

#include <cstring>
#include <limits>

namespace orvo::test
{
namespace
{

class Dispatcher : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        FEffect = new TTestEffect(TestHost::Callback, FLog);
        FRecord = FEffect->getAeffect();
        FHost.Attach(FRecord);
    }
    void TearDown() override
    {
        if (FRecord)
        {
            Dispatch(effClose);
        }
    }
    VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f)
    {
        const VstIntPtr answer = FRecord->dispatcher(FRecord, opcode, index, value, ptr, opt);
        if (opcode == effClose)
        {
            FRecord = nullptr;
        }
        return answer;
    }
    TTestEditor* InstallEditor()
    {
        auto* editor = new TTestEditor(FEffect, FLog);
        FEffect->setEditor(editor);
        return editor;
    }

    TestHost FHost;
    TCallLog FLog;
    TTestEffect* FEffect = nullptr;
    AEffect* FRecord = nullptr;
};

TEST_F(Dispatcher, FixedAnswersOfTheFramework)
{
    EXPECT_EQ(Dispatch(effIdentify), fourCharCode('N', 'v', 'E', 'f'));
    EXPECT_EQ(Dispatch(effIdentify), 0x4E764566);
    EXPECT_EQ(Dispatch(effGetVstVersion), 2400);
    EXPECT_EQ(Dispatch(effKeysRequired), 1);
    EXPECT_EQ(Dispatch(effGetPlugCategory), kPlugCategUnknown);
    EXPECT_EQ(Dispatch(effGetNumProgramCategories), 1);
    EXPECT_EQ(Dispatch(effGetCurrentMidiProgram), -1);
    EXPECT_EQ(Dispatch(effSetTotalSampleToProcess, 0, 4410), 4410);
    EXPECT_EQ(Dispatch(effCanBeAutomated, 16), 1);
    EXPECT_EQ(Dispatch(effCanBeAutomated, -1), 1);
    EXPECT_EQ(Dispatch(effProcessEvents), 1);
    EXPECT_EQ(Dispatch(effGetTailSize), 0);
    EXPECT_EQ(Dispatch(effGetVendorVersion), 0);
    EXPECT_EQ(Dispatch(effSetBlockSizeAndSampleRate, 0, 512, nullptr, 48000.0f), 1);
}

TEST_F(Dispatcher, OpcodesOutsideTheTableAnswerZeroAndChangeNothing)
{
    for (VstInt32 opcode : {-1, -1000, 80, 81, 1000, INT32_MIN, INT32_MAX})
    {
        EXPECT_EQ(Dispatch(opcode, 1, 1, nullptr, 1.0f), 0) << opcode;
    }
    EXPECT_TRUE(FLog.Calls.empty());
    EXPECT_EQ(Dispatch(effGetProgram), 0);
}

TEST_F(Dispatcher, SetProgramOnlyBelowTheProgramCount)
{
    Dispatch(effSetProgram, 0, 16);
    if constexpr (sizeof(VstIntPtr) > 4)
    {
        // Negative beyond 32 bits: not truncated into program 5.
        Dispatch(effSetProgram, 0, -(VstIntPtr{1} << 32) + 5);
    }
    EXPECT_FALSE(FLog.Has("setProgram 16"));
    EXPECT_EQ(Dispatch(effGetProgram), 0);
    Dispatch(effSetProgram, 0, 15);
    EXPECT_EQ(Dispatch(effGetProgram), 15);
    Dispatch(effSetProgram, 0, -1); // reaches setProgram, which must range-check itself
    EXPECT_TRUE(FLog.Has("setProgram -1"));
}

TEST_F(Dispatcher, MainsChangedSuspendsOnZeroAndResumesOnAnythingElse)
{
    Dispatch(effMainsChanged, 0, 0);
    Dispatch(effMainsChanged, 0, 2);
    EXPECT_EQ(FLog.Calls, (std::vector<std::string>{"suspend", "resume"}));
    // resume asks the host for MIDI because canDo("receiveVstMidiEvent") answers 1
    ASSERT_EQ(FHost.CallsOf(audioMasterWantMidi).size(), 1u);
    EXPECT_EQ(FHost.CallsOf(audioMasterWantMidi)[0].value, 1);
}

TEST_F(Dispatcher, ResumeWithoutMidiAsksForMidiOnlyWhenASynth)
{
    FEffect->FReceivesMidi = false;
    Dispatch(effMainsChanged, 0, 1);
    EXPECT_TRUE(FHost.CallsOf(audioMasterWantMidi).empty());
    FEffect->isSynth();
    Dispatch(effMainsChanged, 0, 1);
    EXPECT_EQ(FHost.CallsOf(audioMasterWantMidi).size(), 1u);
    EXPECT_EQ(Dispatch(effGetPlugCategory), kPlugCategSynth);
}

TEST_F(Dispatcher, ArgumentsReachTheOperations)
{
    char text[64] = "unchanged";
    Dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f);
    Dispatch(effGetProgramNameIndexed, 3, 2, text);
    Dispatch(effConnectInput, 1, 0);
    Dispatch(effOfflineNotify, 1, 5, text);
    Dispatch(effSetPanLaw, 0, 2, nullptr, 0.5f);
    EXPECT_EQ(Dispatch(effSetBypass, 0, 7), 0);
    EXPECT_EQ(Dispatch(effSetChunk, 1, 99, text), 7);
    EXPECT_EQ(Dispatch(effGetChunk, 0, 0, text), 0);
    EXPECT_EQ(FLog.Calls, (std::vector<std::string>{
                              "setSampleRate 96000.000000", "getProgramNameIndexed 2 3",
                              "inputConnected 1 0", "offlineNotify 1 5 1", "setPanLaw 2 0.500000",
                              "setBypass 1", "setChunk 1 99 1", "getChunk 1 0"}));
    EXPECT_STREQ(text, "Prog");
}

TEST_F(Dispatcher, SpeakerArrangementsTravelInValueAndPtr)
{
    VstSpeakerArrangement input{};
    input.numChannels = 1;
    VstSpeakerArrangement output{};
    output.numChannels = 2;
    EXPECT_EQ(Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&input), &output),
              1);
    EXPECT_TRUE(FLog.Has("setSpeakerArrangement 1 2"));

    VstSpeakerArrangement* got[2] = {&input, &output};
    EXPECT_EQ(Dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&got[0]), &got[1]),
              0);
    EXPECT_EQ(got[0], nullptr);
    EXPECT_EQ(got[1], nullptr);
    EXPECT_EQ(Dispatch(effGetSpeakerArrangement), 0); // null out pointers are not written
}

TEST_F(Dispatcher, TextOpcodesFillTheHostBufferAndSkipANullOne)
{
    char name[kVstMaxParamStrLen + 1];
    std::memset(name, 'x', sizeof(name));
    Dispatch(effGetParamName, 12345, 0, name);
    EXPECT_STREQ(name, "Param123"); // cut to 8 characters
    char empty[8] = "old";
    Dispatch(effGetParamLabel, 0, 0, empty);
    EXPECT_STREQ(empty, "");
    for (VstInt32 opcode : {effGetProgramName, effGetParamLabel, effGetParamDisplay,
                            effGetParamName, effSetProgramName, effGetEffectName, effCanDo,
                            effGetProductString, effShellGetNextPlugin, effGetInputProperties})
    {
        EXPECT_EQ(Dispatch(opcode), 0) << opcode;
    }
}

TEST_F(Dispatcher, VuIsScaledAndRoundedTiesToEven)
{
    FEffect->FVu = 0.5f;
    EXPECT_EQ(Dispatch(effGetVu), 16384); // 16383.5 -> 16384
    FEffect->FVu = 1.0f;
    EXPECT_EQ(Dispatch(effGetVu), 32767);
    FEffect->FVu = 2.5f / 32767.0f;
    EXPECT_EQ(Dispatch(effGetVu), 2);
    FEffect->FVu = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(Dispatch(effGetVu), 0);
    FEffect->FVu = 1e30f;
    EXPECT_EQ(Dispatch(effGetVu), INT32_MAX);
}

TEST_F(Dispatcher, KeysRequiredIsInverted)
{
    FEffect->FKeysRequired = true;
    EXPECT_EQ(Dispatch(effKeysRequired), 0);
}

TEST_F(Dispatcher, EditorOpcodesAnswerZeroWithoutAnEditor)
{
    ERect* rect = reinterpret_cast<ERect*>(0x1234);
    for (VstInt32 opcode : {effEditGetRect, effEditOpen, effEditClose, effEditIdle, effEditKeyDown,
                            effEditKeyUp, effSetEditKnobMode})
    {
        EXPECT_EQ(Dispatch(opcode, 1, 1, &rect, 1.0f), 0) << opcode;
    }
    EXPECT_EQ(rect, reinterpret_cast<ERect*>(0x1234));
    EXPECT_EQ(FRecord->flags & effFlagsHasEditor, 0);
}

TEST_F(Dispatcher, EditorOpcodesReachTheEditor)
{
    TTestEditor* editor = InstallEditor();
    EXPECT_EQ(FRecord->flags & effFlagsHasEditor, effFlagsHasEditor);

    ERect hostRect{};
    ERect* rect = &hostRect;
    EXPECT_EQ(Dispatch(effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(editor->FRectSeen, &hostRect); // read before the call
    EXPECT_EQ(rect, &editor->FRect);         // written back after it
    EXPECT_EQ(Dispatch(effEditGetRect), 0);  // no place to write the pointer

    int window = 0;
    EXPECT_EQ(Dispatch(effEditOpen, 0, 0, &window), 1);
    EXPECT_EQ(Dispatch(effEditIdle), 0);
    EXPECT_EQ(Dispatch(effEditDraw), 0);
    EXPECT_EQ(Dispatch(effEditClose), 0);
    EXPECT_EQ(FLog.Calls, (std::vector<std::string>{"editor open", "editor idle", "editor close"}));
}

TEST_F(Dispatcher, KeyCodesCarryLowBytesAndARoundedModifier)
{
    InstallEditor();
    EXPECT_EQ(Dispatch(effEditKeyDown, 'a', 0x1FF, nullptr, 2.6f), 1);
    EXPECT_EQ(Dispatch(effEditKeyUp, 'b', 3, nullptr, 2.5f), 0);
    Dispatch(effEditKeyDown, 'c', 0, nullptr, 3.5f);
    Dispatch(effEditKeyDown, 'd', 0, nullptr, 257.0f);
    Dispatch(effEditKeyDown, 'e', 0, nullptr, -1.0f);
    Dispatch(effEditKeyDown, 'f', 0, nullptr, std::numeric_limits<float>::infinity());
    EXPECT_EQ(Dispatch(effSetEditKnobMode, 0, 2), 1);
    EXPECT_EQ(FLog.Calls,
              (std::vector<std::string>{"keyDown 97 255 3", "keyUp 98 3 2", "keyDown 99 0 4",
                                        "keyDown 100 0 1", "keyDown 101 0 255", "keyDown 102 0 0",
                                        "knobMode 2"}));
}

TEST_F(Dispatcher, TheBaseEditorAnswersZeroAndHandsBackNoRect)
{
    FEffect->setEditor(new AEffEditor(FEffect));
    ERect hostRect{};
    ERect* rect = &hostRect;
    EXPECT_EQ(Dispatch(effEditGetRect, 0, 0, &rect), 0);
    EXPECT_EQ(rect, nullptr);
    int window = 0;
    EXPECT_EQ(Dispatch(effEditOpen, 0, 0, &window), 0);
    EXPECT_TRUE(FEffect->getEditor()->isOpen());
    Dispatch(effEditClose);
    EXPECT_FALSE(FEffect->getEditor()->isOpen());
    VstKeyCode key{};
    EXPECT_FALSE(FEffect->getEditor()->onKeyDown(key));
    EXPECT_EQ(Dispatch(effEditKeyDown, 'a', 0, nullptr, 0.0f), 0);
    EXPECT_EQ(Dispatch(effSetEditKnobMode, 0, 1), 0);
}

TEST_F(Dispatcher, AnEditorThatThrowsAnswersZero)
{
    InstallEditor()->FThrowOnOpen = true;
    int window = 0;
    EXPECT_EQ(Dispatch(effEditOpen, 0, 0, &window), 0);
}

TEST_F(Dispatcher, CloseAnswersOneAndDestroysTheEffectAndEditorOnce)
{
    InstallEditor();
    EXPECT_EQ(Dispatch(effClose), 1);
    EXPECT_EQ(FLog.Calls.back(), "close");
    EXPECT_EQ(FLog.EffectsDestroyed, 1);
    EXPECT_EQ(FLog.EditorsDestroyed, 1);
}

TEST_F(Dispatcher, RecordFunctionsReachTheObject)
{
    FRecord->setParameter(FRecord, 3, 0.75f);
    EXPECT_TRUE(FLog.Has("setParameter 3 0.750000"));
    EXPECT_FLOAT_EQ(FRecord->getParameter(FRecord, 2), 0.5f);

    float left[4] = {};
    float right[4] = {};
    float* outputs[2] = {left, right};
    FRecord->processReplacing(FRecord, outputs, outputs, 4);
    EXPECT_EQ(left[3], 1.0f);

    double doubles[2] = {5.0, 6.0};
    double* doubleOutputs[2] = {doubles, doubles};
    FRecord->processDoubleReplacing(FRecord, doubleOutputs, doubleOutputs, 2);
    EXPECT_EQ(doubles[0], 5.0); // the framework's double processing leaves outputs alone
    FRecord->process(FRecord, outputs, outputs, 4);
    EXPECT_EQ(left[0], 1.0f);
}

} // namespace
} // namespace orvo::test
