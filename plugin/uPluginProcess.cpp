// APlugin: the processing entry points and the DSP lifecycle, handed to the engine. The
// engine walks each block in runs of at most 64 samples cut at the position of the next
// pending MIDI event, and calls back through IMidiClock at every such position (before
// doubled-rate sample 2k for host offset k while oversampling), so that a mapped controller
// changes the sound from its own sample on. Around that call the effect handles what lies
// outside the block: events queued with negative offsets before it, events still pending
// after it.
#include "plugin/uPlugin.h"

#include <algorithm>
#include <cmath>

namespace orvo
{
namespace
{
static_assert(APlugin::NeverDue == NoMidiDue, "the queue and the engine agree on 'never'");

/// Both channel buffers given: the engine reads and writes channels 0 and 1.
bool HasStereoChannels(float* const* channels) noexcept
{
    return channels != nullptr && channels[0] != nullptr && channels[1] != nullptr;
}
} // namespace

void APlugin::setSampleRate(float newSampleRate) noexcept
{
    // Sample rates are clamped to at least 1 Hz; a rate that is not a finite number is 1 Hz.
    const float rate = std::isfinite(newSampleRate) && newSampleRate >= 1.0f ? newSampleRate : 1.0f;
    AudioEffectX::setSampleRate(rate);
    FEngine.SetSampleRate(rate);
}

void APlugin::suspend() noexcept
{
    FEngine.Suspend();
}

void APlugin::resume() noexcept
{
    FEngine.Resume();
    wantEvents(1);
}

template <bool Adding>
void APlugin::processBlock(float** inputs, float** outputs, VstInt32 sampleFrames) noexcept
{
    const std::int32_t frames = std::max(sampleFrames, 0);
    startMidiBlock();
    if (HasStereoChannels(inputs) && HasStereoChannels(outputs))
    {
        if constexpr (Adding)
        {
            FEngine.ProcessAdding(inputs, outputs, frames, this);
        }
        else
        {
            FEngine.ProcessReplacing(inputs, outputs, frames, this);
        }
    }
    else
    {
        // A host that leaves out a channel buffer gets no sound: silence in the outputs it
        // gave when replacing, nothing added when accumulating. Its MIDI still leaves at the
        // events' positions.
        if (!Adding && outputs != nullptr)
        {
            for (int channel = 0; channel < 2; ++channel)
            {
                if (outputs[channel] != nullptr)
                {
                    std::fill_n(outputs[channel], frames, 0.0f);
                }
            }
        }
        while (FNextMidiPos < frames)
        {
            dispatchMidiAt(FNextMidiPos);
        }
    }
    finishMidiBlock(frames);
}

void APlugin::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) noexcept
{
    processBlock<false>(inputs, outputs, sampleFrames);
}

void APlugin::process(float** inputs, float** outputs, VstInt32 sampleFrames) noexcept
{
    processBlock<true>(inputs, outputs, sampleFrames);
}

std::int32_t APlugin::NextMidiPos() const noexcept
{
    return FNextMidiPos;
}

void APlugin::DispatchMidiAt(std::int32_t pos) noexcept
{
    dispatchMidiAt(pos);
}
} // namespace orvo
