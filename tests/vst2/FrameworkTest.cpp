// The effect record as the base construction fills it, the host-call wrappers with and
// without a host, the speaker-arrangement helpers, the text copy and the stand-in host.

#include <gtest/gtest.h>

#include "tests/support/TestHost.h"
#include "tests/vst2/TTestEffect.h"
#include "vst2/uHostText.h"

#include <cstring>
#include <functional>
#include <memory>

namespace orvo::test
{
namespace
{

TEST(EffectRecord, BaseConstructionFillsTheRecord)
{
    TCallLog log;
    TTestEffect effect(nullptr, log, 3);
    const AEffect& record = *effect.getAeffect();
    EXPECT_EQ(record.magic, 0x56737450);    // "VstP"
    EXPECT_EQ(record.uniqueID, 0x4E6F4566); // "NoEf"
    EXPECT_EQ(record.numPrograms, 3);
    EXPECT_EQ(record.numParams, 4);
    EXPECT_EQ(record.numInputs, 1);
    EXPECT_EQ(record.numOutputs, 2);
    EXPECT_EQ(record.flags, effFlagsCanReplacing);
    EXPECT_EQ(record.version, 1);
    EXPECT_EQ(record.ioRatio, 1.0f);
    EXPECT_EQ(record.object, &effect);
    EXPECT_EQ(record.user, nullptr);
    EXPECT_EQ(record.resvd1, 0);
    EXPECT_EQ(record.initialDelay, 0);
    ASSERT_NE(record.dispatcher, nullptr);
    ASSERT_NE(record.process, nullptr);
    ASSERT_NE(record.processReplacing, nullptr);
    ASSERT_NE(record.processDoubleReplacing, nullptr);
    for (char byte : record.future)
    {
        EXPECT_EQ(byte, 0);
    }
}

TEST(EffectRecord, FlagSettersSetAndClearOneBitEach)
{
    TCallLog log;
    TTestEffect effect(nullptr, log);
    const VstInt32& flags = effect.getAeffect()->flags;
    const std::vector<std::pair<std::function<void(bool)>, VstInt32>> setters = {
        {[&](bool s) { effect.hasClip(s); }, effFlagsHasClip},
        {[&](bool s) { effect.hasVu(s); }, effFlagsHasVu},
        {[&](bool s) { effect.canMono(s); }, effFlagsCanMono},
        {[&](bool s) { effect.programsAreChunks(s); }, effFlagsProgramChunks},
        {[&](bool s) { effect.isSynth(s); }, effFlagsIsSynth},
        {[&](bool s) { effect.noTail(s); }, effFlagsNoSoundInStop},
        {[&](bool s) { effect.wantAsyncOperation(s); }, effFlagsExtIsAsync},
        {[&](bool s) { effect.hasExternalBuffer(s); }, effFlagsExtHasBuffer},
        {[&](bool s) { effect.canDoubleReplacing(s); }, effFlagsCanDoubleReplacing},
    };
    for (const auto& [setter, bit] : setters)
    {
        setter(true);
        EXPECT_EQ(flags, effFlagsCanReplacing | bit);
        setter(false);
        EXPECT_EQ(flags, effFlagsCanReplacing);
    }
    effect.canProcessReplacing(false);
    EXPECT_EQ(flags, 0);

    auto* editor = new TTestEditor(&effect, log);
    effect.setEditor(editor);
    EXPECT_EQ(flags, effFlagsHasEditor);
    effect.setEditor(nullptr);
    EXPECT_EQ(flags, 0);
    delete editor;
}

TEST(HostCalls, WrappersSendTheirOpcodeAndArguments)
{
    TestHost host;
    TCallLog log;
    TTestEffect effect(TestHost::Callback, log);
    AEffect* record = effect.getAeffect();
    int thing = 0;
    struct TExpected
    {
        std::function<void()> Call;
        VstInt32 Opcode;
        VstInt32 Index;
        VstIntPtr Value;
        void* Ptr;
        float Opt;
    };
    const std::vector<TExpected> expected = {
        {[&] { effect.setParameterAutomated(5, 0.25f); }, audioMasterAutomate, 5, 0, nullptr,
         0.25f},
        {[&] { effect.getCurrentUniqueId(); }, audioMasterCurrentId, 0, 0, nullptr, 0},
        {[&] { effect.masterIdle(); }, audioMasterIdle, 0, 0, nullptr, 0},
        {[&] { effect.isInputConnected(3); }, audioMasterPinConnected, 3, 0, nullptr, 0},
        {[&] { effect.isOutputConnected(1); }, audioMasterPinConnected, 1, 1, nullptr, 0},
        {[&] { effect.beginEdit(7); }, audioMasterBeginEdit, 7, 0, nullptr, 0},
        {[&] { effect.endEdit(8); }, audioMasterEndEdit, 8, 0, nullptr, 0},
        {[&] { effect.getTimeInfo(0x202); }, audioMasterGetTime, 0, 0x202, nullptr, 0},
        {[&] { effect.sendVstEventsToHost(reinterpret_cast<VstEvents*>(&thing)); },
         audioMasterProcessEvents, 0, 0, &thing, 0},
        {[&] { effect.hostVendorSpecific(1, 2, &thing, 3.0f); }, audioMasterVendorSpecific, 1, 2,
         &thing, 3.0f},
        {[&] { effect.sizeWindow(700, 300); }, audioMasterSizeWindow, 700, 300, nullptr, 0},
        {[&] { effect.offlineStart(reinterpret_cast<VstAudioFile*>(&thing), 4, 5); },
         audioMasterOfflineStart, 5, 4, &thing, 0},
        {[&] { effect.offlineRead(reinterpret_cast<VstOfflineTask*>(&thing), 6, true); },
         audioMasterOfflineRead, 1, 6, &thing, 0},
        {[&] { effect.offlineWrite(reinterpret_cast<VstOfflineTask*>(&thing), 2); },
         audioMasterOfflineWrite, 0, 2, &thing, 0},
        {[&] { effect.wantEvents(); }, audioMasterWantMidi, 0, 1, nullptr, 0},
        {[&] { effect.tempoAt(99); }, audioMasterTempoAt, 0, 99, nullptr, 0},
        {[&] { effect.setOutputSamplerate(22050.0f); }, audioMasterSetOutputSampleRate, 0, 0,
         nullptr, 22050.0f},
        {[&] { effect.getInputSpeakerArrangement(); }, audioMasterGetInputSpeakerArrangement, 0, 0,
         nullptr, 0},
        {[&] { effect.getOutputSpeakerArrangement(); }, audioMasterGetOutputSpeakerArrangement, 0,
         0, nullptr, 0},
        {[&] { effect.openWindow(reinterpret_cast<VstWindow*>(&thing)); }, audioMasterOpenWindow, 0,
         0, &thing, 0},
        {[&] { effect.getChunkFile(&thing); }, audioMasterGetChunkFile, 0, 0, &thing, 0},
    };
    for (const TExpected& call : expected)
    {
        host.ClearCalls();
        call.Call();
        const auto calls = host.Calls();
        ASSERT_EQ(calls.size(), 1u) << call.Opcode;
        EXPECT_EQ(calls[0].effect, record);
        EXPECT_EQ(calls[0].opcode, call.Opcode);
        EXPECT_EQ(calls[0].index, call.Index) << call.Opcode;
        EXPECT_EQ(calls[0].value, call.Value) << call.Opcode;
        EXPECT_EQ(calls[0].ptr, call.Ptr) << call.Opcode;
        EXPECT_EQ(calls[0].opt, call.Opt) << call.Opcode;
    }
    EXPECT_TRUE(log.Has("setParameter 5 0.250000")); // set before the host is told

    host.ClearCalls();
    EXPECT_FALSE(effect.openFileSelector(nullptr));
    EXPECT_FALSE(effect.getChunkFile(nullptr));
    EXPECT_TRUE(host.Calls().empty());
}

TEST(HostCalls, AnswersAreInterpreted)
{
    TestHost host;
    TCallLog log;
    TTestEffect effect(TestHost::Callback, log);
    EXPECT_EQ(effect.getMasterVersion(), 2400);
    host.SetAnswer(audioMasterVersion, 0);
    EXPECT_EQ(effect.getMasterVersion(), 1);

    host.SetAnswer(audioMasterPinConnected, 1);
    EXPECT_FALSE(effect.isInputConnected(0));
    host.SetAnswer(audioMasterProcessEvents, 2);
    EXPECT_FALSE(effect.sendVstEventsToHost(nullptr)); // only 1 means done
    host.SetAnswer(audioMasterProcessEvents, 1);
    EXPECT_TRUE(effect.sendVstEventsToHost(nullptr));

    host.SetAnswer(audioMasterGetSampleRate, 0);
    host.SetAnswer(audioMasterGetBlockSize, -5);
    EXPECT_EQ(effect.updateSampleRate(), 44100.0);
    EXPECT_EQ(effect.updateBlockSize(), 1024);
    host.SetAnswer(audioMasterGetSampleRate, 48000);
    host.SetAnswer(audioMasterGetBlockSize, 256);
    EXPECT_EQ(effect.updateSampleRate(), 48000.0);
    EXPECT_EQ(effect.updateBlockSize(), 256);

    char vendor[kVstMaxVendorStrLen + 1] = "kept";
    host.SetVendorString("");
    EXPECT_FALSE(effect.getHostVendorString(vendor));
    EXPECT_STREQ(vendor, "kept");
    host.SetProductString(std::string(100, 'p'));
    EXPECT_TRUE(effect.getHostProductString(vendor));
    EXPECT_EQ(std::string(vendor), std::string(64, 'p'));
}

TEST(HostCalls, WithoutAHostEveryCallFallsBack)
{
    TCallLog log;
    TTestEffect effect(nullptr, log);
    EXPECT_EQ(effect.getMasterVersion(), 1);
    EXPECT_EQ(effect.getCurrentUniqueId(), 0);
    EXPECT_TRUE(effect.isInputConnected(0));
    EXPECT_TRUE(effect.isOutputConnected(0));
    EXPECT_FALSE(effect.sendVstEventsToHost(nullptr));
    EXPECT_FALSE(effect.beginEdit(0));
    EXPECT_EQ(effect.getTimeInfo(0), nullptr);
    EXPECT_EQ(effect.updateSampleRate(), 44100.0);
    EXPECT_EQ(effect.updateBlockSize(), 1024);
    char text[kVstMaxVendorStrLen + 1] = "kept";
    EXPECT_FALSE(effect.getHostVendorString(text));
    EXPECT_STREQ(text, "kept");
    effect.setParameterAutomated(1, 0.5f);
    effect.wantEvents();
    effect.masterIdle();
    EXPECT_TRUE(log.Has("setParameter 1 0.500000"));
}

TEST(SpeakerArrangement, AllocateMatchAndFree)
{
    TCallLog log;
    TTestEffect effect(nullptr, log);
    VstSpeakerArrangement* source = nullptr;
    ASSERT_TRUE(effect.allocateArrangement(&source, 12)); // more than the declared 8
    EXPECT_EQ(source->numChannels, 12);
    EXPECT_EQ(arrangementSpeaker(source, 11)->type, 0);
    source->type = 7;
    std::strcpy(arrangementSpeaker(source, 11)->name, "Top");
    arrangementSpeaker(source, 11)->azimuth = 0.5f;

    VstSpeakerArrangement* copy = nullptr;
    ASSERT_TRUE(effect.matchArrangement(&copy, source));
    EXPECT_EQ(copy->type, 7);
    EXPECT_EQ(copy->numChannels, 12);
    EXPECT_STREQ(arrangementSpeaker(copy, 11)->name, "Top");
    EXPECT_EQ(arrangementSpeaker(copy, 11)->azimuth, 0.5f);

    ASSERT_TRUE(effect.allocateArrangement(&copy, 1)); // replaces (and frees) the old one
    EXPECT_EQ(copy->numChannels, 1);
    EXPECT_FALSE(effect.allocateArrangement(&copy, -1));
    EXPECT_TRUE(effect.deallocateArrangement(&copy));
    EXPECT_EQ(copy, nullptr);
    EXPECT_TRUE(effect.deallocateArrangement(&source));
    EXPECT_FALSE(effect.deallocateArrangement(nullptr));
}

TEST(HostText, CopiesBoundedAndTerminated)
{
    char buffer[6];
    std::memset(buffer, 'x', sizeof(buffer));
    EXPECT_EQ(copyHostText(buffer, "Transient", 4), 3u);
    EXPECT_STREQ(buffer, "Tra");
    EXPECT_EQ(buffer[4], 'x');
    EXPECT_EQ(copyHostText(buffer, "Lo", sizeof(buffer)), 2u);
    EXPECT_STREQ(buffer, "Lo");
    EXPECT_EQ(copyHostText(buffer, "12345", sizeof(buffer)), 5u);
    EXPECT_STREQ(buffer, "12345");
    EXPECT_EQ(copyHostText(buffer, "anything", 0), 0u);
    EXPECT_EQ(buffer[0], '1');
    EXPECT_EQ(copyHostText(nullptr, "anything", 8), 0u);
    EXPECT_EQ(copyHostText(buffer, "", 1), 0u);
    EXPECT_STREQ(buffer, "");
}

TEST(TestHostRouting, SeveralHostsKeepTheirOwnEffects)
{
    TestHost first;
    TCallLog log;
    auto firstEffect = std::make_unique<TTestEffect>(TestHost::Callback, log);
    firstEffect->masterIdle(); // unknown record: bound to the current host, first
    TestHost second;
    second.SetAnswer(audioMasterCurrentId, 42);
    auto secondEffect = std::make_unique<TTestEffect>(TestHost::Callback, log);
    secondEffect->masterIdle();
    EXPECT_EQ(secondEffect->getCurrentUniqueId(), 42);
    EXPECT_EQ(firstEffect->getCurrentUniqueId(), 0);
    EXPECT_EQ(first.Calls().size(), 2u);
    EXPECT_EQ(second.Calls().size(), 2u);

    // The entry's version call carries no record: it goes to the current host.
    first.MakeCurrent();
    EXPECT_EQ(TestHost::Callback(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f), 2400);
    EXPECT_EQ(first.CallsOf(audioMasterVersion).size(), 1u);
}

TEST(TestHostRouting, RecordsMidiEventsInOrder)
{
    TestHost host;
    TCallLog log;
    TTestEffect effect(TestHost::Callback, log);
    VstMidiEvent events[2] = {};
    for (int i = 0; i < 2; ++i)
    {
        events[i].type = kVstMidiType;
        events[i].byteSize = 24;
        events[i].deltaFrames = 10 + i;
        events[i].midiData[0] = static_cast<char>(0xB0);
        events[i].midiData[1] = static_cast<char>(20 + i);
    }
    VstEvents delivery{};
    delivery.numEvents = 2;
    delivery.events[0] = reinterpret_cast<VstEvent*>(&events[0]);
    delivery.events[1] = reinterpret_cast<VstEvent*>(&events[1]);
    effect.sendVstEventsToHost(&delivery);
    const auto sent = host.SentMidiEvents();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].deltaFrames, 10);
    EXPECT_EQ(sent[1].midiData[1], 21);
}

} // namespace
} // namespace orvo::test
