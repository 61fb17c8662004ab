// Runs under ThreadSanitizer (scripts/test): one thread processes while two others change
// parameters, programs, the sample rate and suspend, and read the display values.
#include <gtest/gtest.h>

#include "dsp/uOrvoEngine.h"
#include "tests/dsp/DspTestSupport.h"

#include <atomic>
#include <cmath>
#include <random>
#include <thread>
#include <vector>

namespace orvo
{
namespace
{

using test::TScriptedMidiClock;
using test::TStereo;

TEST(TOrvoEngineStress, ChangesFromOtherThreadsNeverMeetARun)
{
    TOrvoEngine engine;
    std::atomic<bool> running{true};
    std::atomic<int> badSamples{0};

    std::thread audio(
        [&]
        {
            std::mt19937 random(1);
            TStereo io(1024);
            for (int block = 0; block < 600; ++block)
            {
                const std::int32_t frames =
                    std::uniform_int_distribution<std::int32_t>(1, 1024)(random);
                for (std::int32_t i = 0; i < frames; ++i)
                {
                    io.L[std::size_t(i)] = 0.5f * std::sin(0.05f * float(block * 1024 + i));
                    io.R[std::size_t(i)] = io.L[std::size_t(i)];
                }
                TScriptedMidiClock midi; // controllers dispatched inside processing
                const std::int32_t pos =
                    std::uniform_int_distribution<std::int32_t>(0, frames - 1)(random);
                const std::int32_t index =
                    std::uniform_int_distribution<std::int32_t>(0, 14)(random);
                midi.Events[pos] = [&engine, index, block]
                { engine.ApplyParameter(index, float(block % 7) / 6.0f); };
                engine.ProcessReplacing(io.In(), io.Out(), frames, &midi);
                for (std::int32_t i = 0; i < frames; ++i)
                {
                    if (!std::isfinite(io.L[std::size_t(i)]) ||
                        std::fabs(io.L[std::size_t(i)]) > 2.0f)
                    {
                        ++badSamples;
                    }
                }
            }
            running = false;
        });

    std::thread parameters(
        [&]
        {
            std::mt19937 random(2);
            std::uniform_real_distribution<float> value(0.0f, 1.0f);
            int round = 0;
            while (running)
            {
                if (++round % 10 == 0)
                {
                    for (int i = 0; i < 16; ++i) // a program change
                    {
                        engine.ApplyParameter(i, value(random));
                    }
                }
                else
                {
                    engine.ApplyParameter(std::uniform_int_distribution<int>(0, 15)(random),
                                          value(random));
                }
                std::this_thread::yield();
            }
        });

    std::thread host(
        [&]
        {
            const float rates[] = {22050.0f, 44100.0f, 48000.0f, 96000.0f};
            int round = 0;
            float sink = 0.0f;
            while (running)
            {
                engine.SetSampleRate(rates[round % 4]);
                if (round % 3 == 0)
                {
                    engine.Suspend();
                }
                sink += engine.BandGain(round % 5) + engine.DispersionAmount(round % 5) +
                        engine.InGain() + engine.OutGain() + float(engine.OverSample()) +
                        float(engine.BandMuted(round % 5)) + float(engine.BandDispersionOn(0));
                ++round;
                std::this_thread::yield();
            }
            EXPECT_TRUE(std::isfinite(sink));
        });

    audio.join();
    parameters.join();
    host.join();
    EXPECT_EQ(badSamples.load(), 0);
}

} // namespace
} // namespace orvo
