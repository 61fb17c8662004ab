// Feeds arbitrary bytes to the Standard MIDI File reader: it must either return events
// with finite, non-negative, non-decreasing times or throw EMidiFile.
#include "tools/render/uMidiFile.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try
    {
        const auto events = orvo::ParseMidiFile({data, size});
        double last = 0.0;
        for (const auto& event : events)
        {
            if (!std::isfinite(event.Seconds) || event.Seconds < last || event.Bytes[0] < 0x80)
            {
                std::abort();
            }
            last = event.Seconds;
        }
    }
    catch (const orvo::EMidiFile&)
    {
    }
    return 0;
}
