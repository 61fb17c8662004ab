// Feeds arbitrary bytes to the Standard MIDI File reader: it must either return events
// with finite, non-negative, non-decreasing times or throw EMidiFile. Their frames at the
// highest rate a render takes must be non-decreasing too, however far the times lie.
#include "tools/render/uMidiFile.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try
    {
        const auto events = orvo::ParseMidiFile({data, size});
        constexpr double HighestRate = 384000.0;
        double last = 0.0;
        std::int64_t lastFrame = 0;
        for (const auto& event : events)
        {
            const std::int64_t frame = orvo::FrameAt(event.Seconds, HighestRate);
            if (!std::isfinite(event.Seconds) || event.Seconds < last || event.Bytes[0] < 0x80 ||
                frame < lastFrame)
            {
                std::abort();
            }
            last = event.Seconds;
            lastFrame = frame;
        }
    }
    catch (const orvo::EMidiFile&)
    {
    }
    return 0;
}
