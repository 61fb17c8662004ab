// A whole processing call of the effect through its record: the oversampled chain of
// "Flat", and what queueing and dispatching MIDI, thru to the host and mapped controllers
// (each of which cuts a run) add to it.
#include <benchmark/benchmark.h>

#include "platform/headless/HeadlessServices.h"
#include "tests/support/TEventList.h"
#include "vst2/uPlugin.h"
#include "vst2/uPluginEditor.h"

#include <vector>

namespace
{
using namespace orvo;

VstIntPtr VSTCALL QuietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

/// One 512-frame block with range(0) events spread over it (every fourth a mapped CC).
void ProcessBlockWithEvents(benchmark::State& state)
{
    const THeadlessServices headless;
    auto* plugin = new APlugin(&QuietHost,
                               {headless.ModuleFile, headless.Resources, headless.FileSystem,
                                headless.Locale, headless.MessageBox},
                               &MakePluginEditor);
    AEffect* effect = plugin->getAeffect();

    const auto count = static_cast<std::size_t>(state.range(0));
    std::vector<VstMidiEvent> events(count);
    for (std::size_t i = 0; i < count; ++i)
    {
        const bool cc = i % 4 == 0;
        events[i] = VstMidiEvent{
            kVstMidiType,
            24,
            static_cast<VstInt32>(i * 512 / count),
            0,
            0,
            0,
            {static_cast<char>(cc ? 0xB0 : 0x90), static_cast<char>(cc ? 30 : 60), 64, 0},
            0,
            0,
            0,
            0};
    }
    test::TEventList eventList(events);
    VstEvents* list = eventList.Get();
    std::vector<float> left(512, 0.5f);
    std::vector<float> right(512, 0.5f);
    float* channels[] = {left.data(), right.data()};
    std::vector<float> outLeft(512);
    std::vector<float> outRight(512);
    float* outputs[] = {outLeft.data(), outRight.data()};

    for (auto _ : state)
    {
        if (count > 0)
        {
            effect->dispatcher(effect, effProcessEvents, 0, 0, list, 0.0f);
        }
        effect->processReplacing(effect, channels, outputs, 512);
        benchmark::DoNotOptimize(outLeft.data());
    }
    state.SetItemsProcessed(state.iterations() * 512);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}
BENCHMARK(ProcessBlockWithEvents)->Arg(0)->Arg(8)->Arg(64)->Arg(250);
} // namespace
