// The effect's dispatcher and record functions with arbitrary opcodes and arguments. Every
// pointer argument is a valid buffer: text buffers hold a terminated text, event lists and
// speaker arrangements are well formed.
#include "tests/fuzz/PluginFuzzSupport.h"

#include <vector>

using namespace orvo;
using namespace orvo::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto* plugin = new APlugin(&FuzzHost, Services(), &MakePluginEditor);
    AEffect* effect = plugin->getAeffect();
    TInput input(data, size);
    std::vector<float> left(2048);
    std::vector<float> right(2048);
    for (int step = 0; step < 64 && !input.Empty(); ++step)
    {
        const auto action = input.Take<std::uint8_t>();
        const auto opcode = input.Take<VstInt32>();
        const auto index = input.Take<VstInt32>();
        const auto value = input.Take<VstIntPtr>();
        const auto opt = input.Take<float>();

        alignas(16) char buffer[4096];
        std::memset(buffer, 0, sizeof buffer);
        const auto fill = input.Take<std::uint8_t>();
        std::memset(buffer, fill, 300); // a text of 300 characters, then zeros

        VstMidiEvent event{};
        std::memcpy(&event, buffer, sizeof event);
        event.type = kVstMidiType;
        event.deltaFrames = index;
        struct
        {
            VstInt32 numEvents;
            VstIntPtr reserved;
            VstEvent* events[2];
        } events{1, 0, {reinterpret_cast<VstEvent*>(&event), nullptr}};
        VstSpeakerArrangement arrangement{};
        arrangement.numChannels = 2;
        VstSpeakerArrangement* arrangementOut = nullptr;

        switch (action % 5)
        {
        case 0:
        {
            if (opcode == effClose)
            {
                break; // the instance is closed once, at the end
            }
            VstIntPtr argument = value;
            void* ptr = buffer;
            if (opcode == effProcessEvents)
            {
                ptr = &events;
            }
            else if (opcode == effSetSpeakerArrangement)
            {
                argument = reinterpret_cast<VstIntPtr>(&arrangement);
                ptr = &arrangement;
            }
            else if (opcode == effGetSpeakerArrangement)
            {
                argument = reinterpret_cast<VstIntPtr>(&arrangementOut);
                ptr = &arrangementOut;
            }
            effect->dispatcher(effect, opcode, index, argument, ptr, opt);
            break;
        }
        case 1:
            effect->setParameter(effect, index, opt);
            break;
        case 2:
            effect->getParameter(effect, index);
            break;
        default:
        {
            const auto frames = static_cast<std::int32_t>(static_cast<std::uint32_t>(index) % 2049);
            float* channels[] = {left.data(), right.data()};
            HostLog.BlockFrames = frames;
            if (action % 5 == 3)
            {
                effect->processReplacing(effect, channels, channels, frames);
            }
            else
            {
                effect->process(effect, channels, channels, frames);
            }
            break;
        }
        }
    }
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    return 0;
}
