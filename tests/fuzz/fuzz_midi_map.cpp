// The map file reader over arbitrary lines: every binding it makes is within range, and
// what it reads is written back and read again unchanged.
#include "core/uMidiMap.h"

#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < size; ++i)
    {
        if (data[i] == '\n')
        {
            lines.emplace_back();
        }
        else
        {
            lines.back().push_back(static_cast<char>(data[i]));
        }
    }
    const orvo::TMidiMap map = orvo::ParseMidiMap(lines);
    for (const std::int32_t parameter : map.CcToParam)
    {
        if (parameter < -1 || parameter >= orvo::ParameterCount)
        {
            __builtin_trap();
        }
    }
    for (const std::int32_t cc : map.ParamToCc)
    {
        if (cc < -1 || cc >= orvo::MidiCcCount)
        {
            __builtin_trap();
        }
    }
    if (orvo::ParseMidiMap(orvo::MidiMapLines(map)).CcToParam != map.CcToParam)
    {
        __builtin_trap();
    }
    return 0;
}
