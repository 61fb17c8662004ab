// TOrvoEffect: construction, parameters and their texts, processing and the DSP lifecycle.
// The engine walks each block in runs of at most 64 samples cut at the frame of the next
// queued event, and calls back through IMidiClock at every such frame (before doubled-rate
// sample 2k for frame k while oversampling), so that an event changes the sound from its own
// sample on. Around that call the effect handles what lies outside the block: events queued
// with negative frames before it, events still pending after it.
#include "core/uOrvoEffect.h"

#include "parameters/uParameterMapping.h"

#include <algorithm>
#include <cmath>

namespace orvo
{
namespace
{
static_assert(TOrvoEffect::NeverDue == NoMidiDue, "the queue and the engine agree on 'never'");
static_assert(std::atomic<float>::is_always_lock_free);
static_assert(std::atomic<std::int32_t>::is_always_lock_free);
static_assert(std::atomic<std::uint8_t>::is_always_lock_free);

/// Both channel buffers given: the engine reads and writes channels 0 and 1.
template <typename TSample> bool HasStereoChannels(TSample* const* channels) noexcept
{
    return channels != nullptr && channels[0] != nullptr && channels[1] != nullptr;
}
} // namespace

TOrvoEffect::TOrvoEffect(const TPluginServices& services, IEffectOutput* output)
    : FServices(services), FOutput(output)
{
    FDecimalSeparator = FServices.Locale.DecimalSeparator();
    loadMidiMap();
    for (std::size_t p = 0; p < FPrograms.size(); ++p)
    {
        FPrograms[p] = std::make_unique<APluginProgram>();
        FPrograms[p]->SetName("Quorvane Orvo " + std::to_string(p));
    }
    FEngine.Suspend();
    loadFactoryBank();
    loadProgram(0);
}

TOrvoEffect::~TOrvoEffect()
{
    saveMidiMap();
}

// --- Parameters ---

void TOrvoEffect::SetParameter(std::int32_t index, float value) noexcept
{
    value = ClampedParameterValue(value);
    if (!IsParameterIndex(index))
    {
        return;
    }
    // The values in force are the current program's values (see SetProgram), so this one
    // store edits the program as well; the engine applies it on the processing thread
    // between runs.
    FEngine.ApplyParameter(index, value);
    parameterStored();
}

float TOrvoEffect::Parameter(std::int32_t index) const noexcept
{
    return FEngine.Parameter(index);
}

std::optional<std::string> TOrvoEffect::ParameterDisplay(std::int32_t index) const
{
    return DisplayText(index, Parameter(index), FDecimalSeparator);
}

void TOrvoEffect::parameterStored() noexcept
{
    if (TParameterListener* listener = FEditorListener.load(std::memory_order_acquire))
    {
        listener->parametersChanged();
    }
}

void TOrvoEffect::tellEditor() noexcept
{
    if (FEditorClosed.load(std::memory_order_relaxed) == 0)
    {
        parameterStored();
    }
}

// --- Processing ---

void TOrvoEffect::SetSampleRate(float rate) noexcept
{
    // Sample rates are clamped to at least 1 Hz; a rate that is not a finite number is 1 Hz.
    FSampleRate = std::isfinite(rate) && rate >= 1.0f ? rate : 1.0f;
    FEngine.SetSampleRate(FSampleRate);
}

void TOrvoEffect::Suspend() noexcept
{
    FEngine.Suspend();
}

void TOrvoEffect::Resume() noexcept
{
    FEngine.Resume();
}

void TOrvoEffect::Process(const float* const* inputs, float* const* outputs, std::int32_t frames,
                          bool adding) noexcept
{
    frames = std::max(frames, 0);
    startBlock();
    if (HasStereoChannels(inputs) && HasStereoChannels(outputs))
    {
        if (adding)
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
        // gave when replacing, nothing added when accumulating. Its events are still
        // handled at their frames.
        if (!adding && outputs != nullptr)
        {
            for (int channel = 0; channel < 2; ++channel)
            {
                if (outputs[channel] != nullptr)
                {
                    std::fill_n(outputs[channel], frames, 0.0f);
                }
            }
        }
        while (FNextDue < frames)
        {
            dispatchDue(FNextDue, FNextDue);
        }
    }
    finishBlock(frames);
}

std::int32_t TOrvoEffect::NextMidiPos() const noexcept
{
    return FNextDue;
}

void TOrvoEffect::DispatchMidiAt(std::int32_t pos) noexcept
{
    dispatchDue(pos, pos);
}
} // namespace orvo
