// Cross-thread use as hosts do it: a user-interface thread sets and reads parameters and
// rewrites the MIDI map while the processing thread runs blocks full of controllers.
// Run under ThreadSanitizer by scripts/test.
#include "tests/plugin/TPluginFixture.h"

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

    std::thread processing([&] {
        std::vector<float> left(512, 0.1f);
        std::vector<float> right(512, 0.1f);
        float* channels[] = {left.data(), right.data()};
        for (int block = 0; block < Blocks; ++block)
        {
            std::vector<VstMidiEvent> events;
            for (int i = 0; i < 8; ++i)
            {
                events.push_back(MidiEvent(i * 60, 0xB0, static_cast<std::uint8_t>(20 + (block + i) % 16),
                                           static_cast<std::uint8_t>((block * 7 + i) % 128)));
            }
            SendEvents(events);
            Effect->processReplacing(Effect, channels, channels, 512); // in place
        }
        processingDone = true;
    });

    int round = 0;
    while (!processingDone)
    {
        SetParameter(round % 16, static_cast<float>(round % 10) / 10.0f);
        EXPECT_GE(GetParameter((round + 3) % 16), 0.0f);
        Display(round % 16);
        switch (round % 4)
        {
        case 0:
            Plugin().resetMidiMap();
            break;
        case 1:
            Plugin().startMidiLearn(round % 16);
            break;
        case 2:
            Plugin().restoreDefaultMidiMap();
            break;
        default:
            EXPECT_FALSE(Plugin().midiMapReport().empty());
            break;
        }
        ++round;
    }
    processing.join();

    Plugin().restoreDefaultMidiMap();
    Process(1);
    EXPECT_EQ(Plugin().midiMap(), TMidiMap::Default());
    for (int i = 0; i < 16; ++i)
    {
        const float value = GetParameter(i);
        EXPECT_TRUE(value >= 0.0f && value <= 1.0f);
    }
}
} // namespace
} // namespace orvo::test
