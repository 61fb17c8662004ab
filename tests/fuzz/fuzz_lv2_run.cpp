// The LV2 instance run with arbitrary bytes as its MIDI input sequence (the first two bytes
// choose the output buffer's size): nothing is read past the input, and an output with room
// for a sequence's head is always a sequence whose events lie wholly within it.
#include "lv2/TLv2Orvo.h"
#include "lv2/uLv2Atoms.h"
#include "platform/headless/HeadlessServices.h"
#include "tests/support/TUridMap.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static orvo::test::TUridMap uris;
    static const LV2_Feature mapFeature{LV2_URID__map, &uris.Map};
    static const LV2_Feature* const features[] = {&mapFeature, nullptr};
    static const orvo::THeadlessServices headless;
    static const orvo::TPluginServices services{headless.ModuleFile, headless.Resources,
                                                headless.FileSystem, headless.Locale,
                                                headless.MessageBox};
    static orvo::lv2::TLv2Orvo instance(48000.0, features, services);
    if (size < 2 + sizeof(LV2_Atom))
    {
        return 0;
    }
    // The input exactly as long as the bytes, so a read beyond it is out of bounds.
    const std::uint32_t outputSize = 16u + (static_cast<std::uint32_t>(data[0]) | data[1] << 8);
    std::vector<std::uint8_t> input(data + 2, data + size);
    auto* sequence = reinterpret_cast<LV2_Atom_Sequence*>(input.data());
    if (sequence->atom.size > input.size() - sizeof(LV2_Atom))
    {
        sequence->atom.size = static_cast<std::uint32_t>(input.size() - sizeof(LV2_Atom));
    }
    std::vector<std::uint64_t> output((outputSize + 7) / 8);
    auto* out = reinterpret_cast<LV2_Atom_Sequence*>(output.data());
    out->atom.size = outputSize - static_cast<std::uint32_t>(sizeof(LV2_Atom));
    static std::array<float, 512> in{};
    static std::array<float, 512> left{};
    static std::array<float, 512> right{};
    instance.Connect(orvo::lv2::AudioInLeft, in.data());
    instance.Connect(orvo::lv2::AudioInRight, in.data());
    instance.Connect(orvo::lv2::AudioOutLeft, left.data());
    instance.Connect(orvo::lv2::AudioOutRight, right.data());
    instance.Connect(orvo::lv2::MidiIn, input.data());
    instance.Connect(orvo::lv2::MidiOut, output.data());
    const std::uint32_t capacity = out->atom.size;
    instance.Run(static_cast<std::uint32_t>(in.size()));
    // A buffer the host declares too small for a sequence's head is left as the host gave it.
    if (capacity < sizeof(LV2_Atom_Sequence))
    {
        if (out->atom.size != capacity)
        {
            __builtin_trap();
        }
        return 0;
    }
    if (sizeof(LV2_Atom) + out->atom.size > outputSize ||
        orvo::lv2::VisitSequence(
            *out, 0, [](const LV2_Atom_Event&, std::uint64_t) { return true; }) != out->atom.size)
    {
        __builtin_trap();
    }
    return 0;
}
