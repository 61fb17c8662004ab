// Sequences of MIDI deliveries and processing calls with arbitrary events and block sizes.
// Every thru message must be stamped inside its block, and no event may outlive the
// processing call after its delivery: at the end the whole queue is free again.
#include "tests/fuzz/PluginFuzzSupport.h"
#include "tests/support/TEventList.h"

#include <vector>

using namespace orvo;
using namespace orvo::fuzz;

namespace
{
void Deliver(AEffect* effect, std::vector<VstMidiEvent>& events)
{
    test::TEventList list(events);
    effect->dispatcher(effect, effProcessEvents, 0, 0, list.Get(), 0.0f);
}

void Process(AEffect* effect, std::int32_t frames, std::vector<float>& buffer)
{
    float* channels[] = {buffer.data(), buffer.data()};
    HostLog.BlockFrames = frames;
    effect->processReplacing(effect, channels, channels, frames);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto* plugin = new APlugin(&FuzzHost, Services(), &MakePluginEditor);
    AEffect* effect = plugin->getAeffect();
    TInput input(data, size);
    std::vector<float> buffer(4096);
    while (!input.Empty())
    {
        const auto command = input.Take<std::uint8_t>();
        if (command & 1)
        {
            std::vector<VstMidiEvent> events(command >> 1);
            for (VstMidiEvent& event : events)
            {
                event = input.Take<VstMidiEvent>();
                event.type = (event.type & 7) == 6 ? kVstSysExType : kVstMidiType;
            }
            Deliver(effect, events);
        }
        else if (command & 2)
        {
            plugin->effect().StartMidiLearn(command >> 4);
        }
        else
        {
            Process(effect, static_cast<std::int32_t>(input.Take<std::uint16_t>() % 4097) - 1,
                    buffer);
        }
    }

    // Whatever happened, the queue takes a full 250 events again.
    Process(effect, 0, buffer);
    std::vector<VstMidiEvent> notes(250);
    for (VstMidiEvent& note : notes)
    {
        note = VstMidiEvent{kVstMidiType, 24, 0, 0, 0, 0, {char(0x90), 60, 1, 0}, 0, 0, 0, 0};
    }
    Deliver(effect, notes);
    HostLog.ThruMessages = 0;
    Process(effect, 1, buffer);
    if (HostLog.ThruMessages != 250)
    {
        __builtin_trap();
    }
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    return 0;
}
