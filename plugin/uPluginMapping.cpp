// APlugin: how each parameter value becomes the settings that processing and the display
// texts read. All arithmetic in 32-bit floats.
#include "plugin/uPlugin.h"

#include <cmath>

namespace orvo
{
namespace
{
/// ln(10) / 20: exp(dB * DecibelToGain) = 10^(dB / 20).
constexpr float DecibelToGain = 0.11512925464970228f;
/// Below this the level curve is silence.
constexpr float SilenceDecibels = -95.9f;
} // namespace

float APlugin::LevelCurve(float x, bool withBoost) noexcept
{
    float decibels = 0.0f;
    if (x > 0.5f)
    {
        // +6 dB at 1.0 for the input and output gains; the band knobs top out at 0 dB.
        decibels = withBoost ? (x - 0.5f) * 12.0f : 0.0f;
    }
    else if (x >= 0.25f)
    {
        decibels = (0.5f - x) * -96.0f; // -24 dB at 0.25 to 0 dB at 0.5
    }
    else
    {
        decibels = (0.25f - x) * -288.0f - 24.0f; // -96 dB at 0 to -24 dB at 0.25
        if (decibels < SilenceDecibels)
        {
            return 0.0f;
        }
    }
    return std::exp(decibels * DecibelToGain);
}

void APlugin::applyParameter(std::int32_t index, float value) noexcept
{
    if (index >= prLo && index <= prHi)
    {
        const auto band = static_cast<std::size_t>(index - prLo);
        FBandValue[band].store(value, std::memory_order_relaxed);
        // The upper half of a band knob switches the band to its transient processor.
        const bool dispersionOn = value > 0.5f;
        FBandDispersionOn[band].store(dispersionOn, std::memory_order_relaxed);
        if (dispersionOn)
        {
            FDispersionAmount[band].store((value - 0.5f) * 2.0f, std::memory_order_relaxed);
        }
        else
        {
            FBandGain[band].store(LevelCurve(value, false), std::memory_order_relaxed);
        }
    }
    else if (index >= prLoMute && index <= prHiMute)
    {
        // Processing moves a fading state on to its end state at the same time, so the
        // change is made only from the state it was judged on.
        auto& state = FMuteState[static_cast<std::size_t>(index - prLoMute)];
        std::uint8_t current = state.load(std::memory_order_relaxed);
        for (;;)
        {
            const bool open = current == msFadingIn || current == msOpen;
            const bool mute = value >= 0.5f;
            if (mute == !open)
            {
                break; // already muting or muted / opening or open: nothing restarts
            }
            if (state.compare_exchange_weak(current, mute ? msFadingOut : msFadingIn,
                                            std::memory_order_relaxed))
            {
                break;
            }
        }
    }
    else if (index == prTube)
    {
        const float drive = 0.6f * value + 0.2f;
        FTubeDrive.store(drive, std::memory_order_relaxed);
        FTubeShape.store(1.0f - 1.0f / drive, std::memory_order_relaxed);
    }
    else if (index == prTuning)
    {
        const float tuning = 2.0f * value - 1.0f; // one octave down to one octave up
        FTuning.store(tuning, std::memory_order_relaxed);
        FTuningRatio.store(std::pow(2.0f, tuning), std::memory_order_relaxed);
    }
    else if (index == prInGain)
    {
        FInGain.store(LevelCurve(value, true), std::memory_order_relaxed);
    }
    else if (index == prOutGain)
    {
        FOutGain.store(LevelCurve(value, true), std::memory_order_relaxed);
    }
    else if (index == prOverSample)
    {
        const bool on = value >= 0.5f;
        if (FOverSample.exchange(on, std::memory_order_relaxed) != on)
        {
            applyProcessingRate();
        }
    }
}

void APlugin::applyProcessingRate() noexcept
{
    const float rate = sampleRate * (FOverSample.load(std::memory_order_relaxed) ? 2.0f : 1.0f);
    FFadeRate.store(0.01f * rate, std::memory_order_relaxed);
}
} // namespace orvo
