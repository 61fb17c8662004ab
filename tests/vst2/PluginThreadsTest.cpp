// Cross-thread use as hosts do it: a user-interface thread sets and reads parameters and
// rewrites the MIDI map, and another thread changes and renames programs, while the
// processing thread runs blocks full of controllers.
// Run under ThreadSanitizer by scripts/test.
#include "tests/vst2/TPluginFixture.h"

#include <thread>

namespace orvo::test
{
namespace
{
using PluginThreads = TPluginFixture;

TEST_F(PluginThreads, UserInterfaceAndProcessingThreadsShareTheEffect)
{
    Create();
    constexpr int Blocks = 2000;
    std::atomic<bool> processingDone{false};

    std::thread processing(
        [&]
        {
            std::vector<float> left(512, 0.1f);
            std::vector<float> right(512, 0.1f);
            float* channels[] = {left.data(), right.data()};
            for (int block = 0; block < Blocks; ++block)
            {
                std::vector<VstMidiEvent> events;
                for (int i = 0; i < 8; ++i)
                {
                    events.push_back(MidiEvent(i * 60, 0xB0,
                                               static_cast<std::uint8_t>(20 + (block + i) % 16),
                                               static_cast<std::uint8_t>((block * 7 + i) % 128)));
                }
                SendEvents(events);
                Effect->processReplacing(Effect, channels, channels, 512); // in place
            }
            processingDone = true;
        });

    std::thread programs(
        [&]
        {
            for (int round = 0; !processingDone; ++round)
            {
                Dispatch(effSetProgram, 0, round % 16);
                std::string name = "Take " + std::to_string(round % 100);
                Dispatch(effSetProgramName, 0, 0, name.data());
                char text[64] = {};
                Dispatch(effGetProgramName, 0, 0, text);
                EXPECT_LE(std::strlen(text), 24u);
            }
        });

    int round = 0;
    while (!processingDone)
    {
        EXPECT_LT(Dispatch(effGetProgram), 16);
        EXPECT_LE(Text(effGetProgramNameIndexed, round % 16).size(), 24u);
        SetParameter(round % 16, static_cast<float>(round % 10) / 10.0f);
        EXPECT_GE(GetParameter((round + 3) % 16), 0.0f);
        Display(round % 16);
        switch (round % 4)
        {
        case 0:
            Plugin().effect().ResetMidiMap();
            break;
        case 1:
            Plugin().effect().StartMidiLearn(round % 16);
            break;
        case 2:
            Plugin().effect().RestoreDefaultMidiMap();
            break;
        default:
            EXPECT_FALSE(Plugin().effect().MidiMapReport().empty());
            break;
        }
        ++round;
    }
    processing.join();
    programs.join();

    Plugin().effect().RestoreDefaultMidiMap();
    Process(1);
    EXPECT_EQ(Plugin().effect().MidiMap(), TMidiMap::Default());
    // The values in force are the current program's, and the sound and the display texts
    // follow the value stored last.
    const auto current = static_cast<VstInt32>(Dispatch(effGetProgram));
    std::vector<float> values;
    std::vector<std::string> displays;
    for (int i = 0; i < 16; ++i)
    {
        values.push_back(GetParameter(i));
        displays.push_back(Display(i));
        EXPECT_TRUE(values.back() >= 0.0f && values.back() <= 1.0f);
    }
    Dispatch(effSetProgram, 0, (current + 1) % 16);
    Dispatch(effSetProgram, 0, current);
    for (int i = 0; i < 16; ++i)
    {
        EXPECT_EQ(GetParameter(i), values[static_cast<std::size_t>(i)]) << i;
        EXPECT_EQ(Display(i), displays[static_cast<std::size_t>(i)]) << i;
    }
}
} // namespace
} // namespace orvo::test
