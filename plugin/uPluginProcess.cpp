// APlugin: the processing entry points. Each block is walked in runs cut at the position of
// the next pending MIDI event; events are handled between runs at their own positions.
#include "plugin/uPlugin.h"

#include <algorithm>
#include <cstring>

namespace orvo
{
namespace
{
constexpr std::int32_t ChannelCount = 2;

float* Channel(float** channels, std::int32_t index) noexcept
{
    return channels == nullptr ? nullptr : channels[index];
}
} // namespace

template <typename TRun>
void APlugin::walkBlock(std::int32_t sampleFrames, TRun&& run) noexcept
{
    const std::int32_t frames = std::max(sampleFrames, 0);
    startMidiBlock();
    std::int32_t pos = 0;
    while (pos < frames)
    {
        if (FNextMidiPos <= pos)
        {
            dispatchMidiAt(pos); // leaves FNextMidiPos beyond pos
        }
        const std::int32_t end = std::min(frames, FNextMidiPos);
        run(pos, end - pos);
        pos = end;
    }
    finishMidiBlock(frames);
}

void APlugin::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) noexcept
{
    walkBlock(sampleFrames, [&](std::int32_t start, std::int32_t count) {
        for (std::int32_t c = 0; c < ChannelCount; ++c)
        {
            float* out = Channel(outputs, c);
            const float* in = Channel(inputs, c);
            if (out == nullptr)
            {
                continue;
            }
            const auto bytes = static_cast<std::size_t>(count) * sizeof(float);
            if (in == nullptr)
            {
                std::memset(out + start, 0, bytes);
            }
            else if (in != out)
            {
                std::memmove(out + start, in + start, bytes);
            }
        }
    });
}

void APlugin::process(float** inputs, float** outputs, VstInt32 sampleFrames) noexcept
{
    walkBlock(sampleFrames, [&](std::int32_t start, std::int32_t count) {
        for (std::int32_t c = 0; c < ChannelCount; ++c)
        {
            float* out = Channel(outputs, c);
            const float* in = Channel(inputs, c);
            if (out == nullptr || in == nullptr)
            {
                continue;
            }
            for (std::int32_t i = start; i < start + count; ++i)
            {
                out[i] += in[i];
            }
        }
    });
}
} // namespace orvo
