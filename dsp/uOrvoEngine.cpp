#include "dsp/uOrvoEngine.h"

#include "dsp/simd/uVectorFilterKernels.h"
#include "dsp/uChainMath.h"

namespace orvo
{
namespace
{

/// The parameter values that match the chain's settings at construction: bands at 0 dB,
/// mutes open, Tube at the identity, Tuning in the middle, both gains silent, host rate.
constexpr std::array<float, TOrvoChain::ParameterCount> ValuesAtConstruction{
    0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.0f, 0.0f, 0.0f,
    0.0f, 0.0f, 0.5f, 0.5f, 0.0f, 0.0f, 0.0f, 0.0f};

/// Runs the owner's MIDI dispatch, then applies what it changed before the next run.
class TApplyingMidiClock final : public IMidiClock
{
public:
    TApplyingMidiClock(TOrvoEngine& engine, IMidiClock* inner) noexcept
        : FEngine(engine), FInner(inner)
    {
    }
    std::int32_t NextMidiPos() const noexcept override
    {
        return FInner->NextMidiPos();
    }
    void DispatchMidiAt(std::int32_t pos) noexcept override
    {
        FInner->DispatchMidiAt(pos);
        FEngine.ApplyPendingChanges();
    }

private:
    TOrvoEngine& FEngine;
    IMidiClock* FInner;
};

} // namespace

TOrvoEngine::TOrvoEngine()
{
    // The widest filter kernels this processor runs; every one gives the scalar samples.
    FChain.SetFilterKernels(BestFilterKernels());
    for (std::size_t i = 0; i < FParamValues.size(); ++i)
    {
        FParamValues[i].store(ValuesAtConstruction[i], std::memory_order_relaxed);
    }
}

void TOrvoEngine::MarkPending(std::uint32_t bits) noexcept
{
    FPending.fetch_or(bits, std::memory_order_release);
}

void TOrvoEngine::ApplyParameter(std::int32_t index, float value) noexcept
{
    if (index < 0 || index >= TOrvoChain::ParameterCount)
    {
        return;
    }
    const float x = value > 1.0f ? 1.0f : (value >= 0.0f ? value : 0.0f);
    FParamValues[static_cast<std::size_t>(index)].store(x, std::memory_order_relaxed);
    MarkPending(1u << index);
}

void TOrvoEngine::SetSampleRate(float hostRate) noexcept
{
    FHostRate.store(hostRate, std::memory_order_relaxed);
    MarkPending(SampleRatePending);
}

void TOrvoEngine::Suspend() noexcept
{
    MarkPending(SuspendPending);
}

void TOrvoEngine::Resume() noexcept
{
    FSettleMutes.store(true, std::memory_order_release);
}

void TOrvoEngine::ApplyPendingChanges() noexcept
{
    if (FPending.load(std::memory_order_relaxed) == 0)
    {
        return;
    }
    // A change marked after this exchange stays pending for the next call; a value stored
    // after it is applied now and again then, which changes nothing more.
    const std::uint32_t pending = FPending.exchange(0, std::memory_order_acquire);
    if ((pending & SampleRatePending) != 0)
    {
        FChain.SetSampleRate(FHostRate.load(std::memory_order_relaxed));
    }
    if ((pending & SuspendPending) != 0)
    {
        FChain.Suspend();
    }
    for (int i = 0; i < TOrvoChain::ParameterCount; ++i)
    {
        if ((pending & (1u << i)) != 0)
        {
            FChain.SetParameter(i, Value(i));
        }
    }
}

void TOrvoEngine::StartCall() noexcept
{
    ApplyPendingChanges();
    if (FSettleMutes.load(std::memory_order_relaxed) &&
        FSettleMutes.exchange(false, std::memory_order_acquire))
    {
        FChain.SettleMutes();
    }
}

void TOrvoEngine::ProcessReplacing(const float* const* inputs, float* const* outputs,
                                   std::int32_t frames, IMidiClock* midi) noexcept
{
    if (frames <= 0)
    {
        return;
    }
    StartCall();
    TApplyingMidiClock clock(*this, midi);
    FChain.ProcessReplacing(inputs, outputs, frames, midi != nullptr ? &clock : nullptr);
}

void TOrvoEngine::ProcessAdding(const float* const* inputs, float* const* outputs,
                                std::int32_t frames, IMidiClock* midi) noexcept
{
    if (frames <= 0)
    {
        return;
    }
    StartCall();
    TApplyingMidiClock clock(*this, midi);
    FChain.ProcessAdding(inputs, outputs, frames, midi != nullptr ? &clock : nullptr);
}

float TOrvoEngine::Value(int index) const noexcept
{
    return FParamValues[static_cast<std::size_t>(index)].load(std::memory_order_relaxed);
}

bool TOrvoEngine::BandDispersionOn(int band) const noexcept
{
    return BandUsesDispersion(Value(band));
}

float TOrvoEngine::DispersionAmount(int band) const noexcept
{
    return DispersionAmountFor(Value(band));
}

float TOrvoEngine::BandGain(int band) const noexcept
{
    return LevelCurve(Value(band));
}

bool TOrvoEngine::BandMuted(int band) const noexcept
{
    return SwitchOn(Value(5 + band));
}

float TOrvoEngine::InGain() const noexcept
{
    return LevelCurve(Value(12));
}

float TOrvoEngine::OutGain() const noexcept
{
    return LevelCurve(Value(13));
}

bool TOrvoEngine::OverSample() const noexcept
{
    return SwitchOn(Value(14));
}

} // namespace orvo
