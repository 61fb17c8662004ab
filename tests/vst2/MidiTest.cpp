// MIDI: thru of every kind at the event's position, sample-accurate dispatch, the queue's
// limits, CC mapping and learning, the menu commands and the report.
#include "tests/vst2/TPluginFixture.h"

namespace orvo::test
{
namespace
{
using Row = std::array<int, 4>; // status, data1, data2, deltaFrames

class Midi : public TPluginFixture
{
  protected:
    Midi()
    {
        Create();
        Host.ClearCalls();
    }
};

TEST_F(Midi, EchoesEveryChannelMessageWithItsKindChannelAndPosition)
{
    SendEvents({MidiEvent(0, 0x91, 60, 100), MidiEvent(1, 0x93, 61, 0), MidiEvent(2, 0x82, 62, 5),
                MidiEvent(3, 0xA4, 63, 70), MidiEvent(4, 0xB5, 90, 7), MidiEvent(5, 0xC5, 7, 99),
                MidiEvent(6, 0xD6, 40, 99), MidiEvent(7, 0xE7, 0x12, 0x34),
                MidiEvent(8, 0xF8, 0, 0), MidiEvent(9, 0x45, 1, 2),
                MidiEvent(10, 0x90, 0xFF, 0xC0)});
    Process(64);
    const std::vector<Row> expected = {
        {0x91, 60, 100, 0},     {0x83, 61, 0, 1}, {0x82, 62, 5, 2}, {0xA4, 63, 70, 3},
        {0xB5, 90, 7, 4},       {0xC5, 7, 0, 5},  {0xD6, 40, 0, 6}, {0xE7, 0x12, 0x34, 7},
        {0x90, 0x7F, 0x40, 10}, // data bytes are masked to 7 bits
    };
    EXPECT_EQ(Thru(), expected);
    EXPECT_TRUE(Host.CallsOf(audioMasterAutomate).empty()); // CC 90 is not mapped
    for (const THostCall& call : Host.CallsOf(audioMasterProcessEvents))
    {
        EXPECT_EQ(call.midiEvents.size(), 1u); // one host call per message
    }
}

TEST_F(Midi, HandlesEventsAtTheirPositionsInArrivalOrder)
{
    SendEvents({MidiEvent(9, 0x90, 3, 1), MidiEvent(5, 0x90, 1, 1), MidiEvent(5, 0x90, 2, 1)});
    Process(16);
    const std::vector<Row> expected = {{0x90, 1, 1, 5}, {0x90, 2, 1, 5}, {0x90, 3, 1, 9}};
    EXPECT_EQ(Thru(), expected);
}

TEST_F(Midi, MappedControllerMovesItsParameterAndTellsTheHost)
{
    SendEvents({MidiEvent(10, 0xB0, 22, 100)});
    Process(256);
    EXPECT_FLOAT_EQ(GetParameter(prMid), 0.7874016f);
    EXPECT_EQ(Display(prMid), "57.48%TD");
    const auto automate = Host.CallsOf(audioMasterAutomate);
    ASSERT_EQ(automate.size(), 1u);
    EXPECT_EQ(automate[0].index, prMid);
    EXPECT_EQ(automate[0].opt, static_cast<float>(100 / 127.0));
    // The thru message was sent before the parameter moved.
    EXPECT_EQ(Host.Calls().front().opcode, audioMasterProcessEvents);
}

TEST_F(Midi, EventsOutsideTheBlockAreHandledByTheNextProcessingCall)
{
    SendEvents({MidiEvent(-5, 0x90, 1, 1), MidiEvent(-99, 0x90, 2, 1), MidiEvent(300, 0x90, 3, 1),
                MidiEvent(100, 0x90, 4, 1)});
    // A second delivery before the block: the first one's events stay in view.
    SendEvents({MidiEvent(200, 0x90, 5, 1), MidiEvent(50, 0x90, 6, 1)});
    Process(256);
    const std::vector<Row> expected = {{0x90, 1, 1, 0},   {0x90, 2, 1, 0},   {0x90, 6, 1, 50},
                                       {0x90, 4, 1, 100}, {0x90, 5, 1, 200}, {0x90, 3, 1, 255}};
    EXPECT_EQ(Thru(), expected);
    Host.ClearCalls();
    Process(256);
    EXPECT_TRUE(Thru().empty());
}

TEST_F(Midi, QueueDropsThe251stEventAndAcceptsAgainOnceHandled)
{
    std::vector<VstMidiEvent> events;
    for (int i = 0; i < 251; ++i)
    {
        events.push_back(MidiEvent(1000 + i, 0x90, static_cast<std::uint8_t>(i % 128), 1));
    }
    SendEvents(events);
    Process(0); // a block of no frames still empties the queue
    EXPECT_EQ(Thru().size(), 250u);
    Host.ClearCalls();
    SendEvents({MidiEvent(3, 0x80, 1, 0)});
    Process(8);
    EXPECT_EQ(Thru(), (std::vector<Row>{{0x80, 1, 0, 3}}));
}

TEST_F(Midi, NonMidiEventsAreIgnored)
{
    VstMidiEvent sysex = MidiEvent(0, 0xF0, 1, 2);
    sysex.type = kVstSysExType;
    SendEvents({sysex});
    Process(16);
    EXPECT_TRUE(Thru().empty());
}

TEST_F(Midi, LearningBindsTheFirstControllerThatArrives)
{
    Plugin().effect().StartMidiLearn(prInGain);
    SendEvents({MidiEvent(3, 0xB9, 7, 127), MidiEvent(4, 0xB0, 7, 0)});
    Process(8);
    EXPECT_EQ(Plugin().effect().MidiLearnParameter(), -1);
    const auto automate = Host.CallsOf(audioMasterAutomate);
    ASSERT_EQ(automate.size(), 2u);
    EXPECT_EQ(automate[0].index, prInGain);
    EXPECT_EQ(automate[0].opt, 1.0f);
    EXPECT_EQ(GetParameter(prInGain), 0.0f);
    const TMidiMap map = Plugin().effect().MidiMap();
    EXPECT_EQ(map.CcToParam[7], prInGain);
    EXPECT_EQ(map.CcToParam[32], -1); // InGain's default CC lost it
    EXPECT_EQ(map.ParamToCc[prInGain], 7);
    EXPECT_NE(Plugin().effect().MidiMapReport().find("7: InGain\r\n"), std::string::npos);
}

TEST_F(Midi, LearningACcOfAnotherParameterTakesItAway)
{
    Plugin().effect().StartMidiLearn(prLo);
    SendEvents({MidiEvent(0, 0xB0, 21, 64)}); // CC 21 drove LoMid
    Process(4);
    const TMidiMap map = Plugin().effect().MidiMap();
    EXPECT_EQ(map.CcToParam[21], prLo);
    EXPECT_EQ(map.CcToParam[20], -1);
    EXPECT_EQ(map.ParamToCc[prLoMid], -1);
    EXPECT_EQ(GetParameter(prLo), static_cast<float>(64 / 127.0));
    EXPECT_EQ(GetParameter(prLoMid), 0.5f);
}

TEST_F(Midi, ReportListsBindingsAndLearning)
{
    const std::string header = "MIDI CC -> VST Parameter Configuration\r\n\r\n";
    std::string defaults;
    for (int i = 0; i < 16; ++i)
    {
        defaults += std::to_string(20 + i) + ": " +
                    std::string(ParameterNames[static_cast<std::size_t>(i)]) + "\r\n";
    }
    EXPECT_EQ(Plugin().effect().MidiMapReport(), header + defaults);

    Plugin().effect().StartMidiLearn(prLoMid);
    EXPECT_EQ(Plugin().effect().MidiMapReport(),
              header + "21: LoMid [Learning]\r\n\r\nLearning: LoMid");

    Plugin().effect().ResetMidiMap();
    EXPECT_EQ(Plugin().effect().MidiLearnParameter(), -1);
    EXPECT_EQ(Plugin().effect().MidiMapReport(), header + "No MIDI CC details configured");
    Plugin().effect().StartMidiLearn(prHi);
    EXPECT_EQ(Plugin().effect().MidiMapReport(), header + "Learning: Hi");

    Plugin().effect().RestoreDefaultMidiMap();
    Process(1);
    EXPECT_EQ(Plugin().effect().MidiMap(), TMidiMap::Default());
}

TEST_F(Midi, ResetTakesEffectBeforeTheNextController)
{
    Plugin().effect().ResetMidiMap();
    SendEvents({MidiEvent(0, 0xB0, 20, 0)});
    Process(4);
    EXPECT_EQ(GetParameter(prLo), 0.5f);
    EXPECT_EQ(Plugin().effect().MidiMap(), TMidiMap::Empty());
}
} // namespace
} // namespace orvo::test
