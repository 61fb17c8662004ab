// The editor glue between two threads, as hosts use it: the processing thread changes
// parameters (automation and mapped controllers, each telling the glue) while the
// user-interface thread opens, refreshes and closes the window. The copy must never touch
// a window that close is destroying, and must never wait for the user-interface thread.
// Run under ThreadSanitizer by scripts/test.
#include "tests/editor/EditorFixture.h"

#include <atomic>
#include <thread>

namespace orvo::test
{
namespace
{

class EditorThreads : public TEditorFixture
{
};

TEST_F(EditorThreads, ParameterChangesRaceOpenRefreshAndClose)
{
    std::atomic<bool> stop{false};
    std::atomic<int> changes{0};
    std::thread processing(
        [&]
        {
            VstMidiEvent event{};
            event.type = kVstMidiType;
            event.byteSize = sizeof(VstMidiEvent);
            event.midiData[0] = static_cast<char>(0xB0);
            VstEvents events{};
            events.numEvents = 1;
            events.events[0] = reinterpret_cast<VstEvent*>(&event);
            std::vector<float> left(64, 0.1f), right(64, 0.1f);
            float* channels[] = {left.data(), right.data()};
            int round = 0;
            while (!stop.load(std::memory_order_relaxed) || round < 200)
            {
                SetParameter(round % 16, static_cast<float>(round % 7) / 6.0f);
                // CC 20..35 drive parameters 0..15 through the default map.
                event.midiData[1] = static_cast<char>(20 + round % 16);
                event.midiData[2] = static_cast<char>(round % 128);
                Instance.Dispatch(effProcessEvents, 0, 0, &events);
                Instance.Effect->processReplacing(Instance.Effect, channels, channels, 64);
                ++round;
                changes.store(round, std::memory_order_relaxed);
            }
        });

    for (int cycle = 0; cycle < 10; ++cycle)
    {
        ASSERT_EQ(Instance.Dispatch(effEditOpen, 0, 0, HostWindow), 1);
        Platform.Advance(250); // two refreshes, reading values
        Screen().MouseMove(350, 150);
        Platform.Advance(1);
        Instance.Dispatch(effEditClose);
    }
    stop = true;
    processing.join();
    EXPECT_GE(changes.load(), 200);

    // Once both threads are quiet, an open shows exactly the effect's values.
    ASSERT_EQ(Instance.Dispatch(effEditOpen, 0, 0, HostWindow), 1);
    for (std::int32_t p = 0; p < ParameterCount; ++p)
    {
        EXPECT_EQ(Instance.Glue().values[static_cast<std::size_t>(p)].load(), Parameter(p)) << p;
    }
    Instance.Dispatch(effEditClose);
}

} // namespace
} // namespace orvo::test
