#include "dsp/uOrvoEngine.h"

#include "dsp/simd/uVectorFilterKernels.h"
#include "parameters/uParameterCurves.h"

namespace orvo
{
namespace
{

/// The parameter value that matches the chain's setting at construction: the table's
/// default (bands at 0 dB, mutes open, Tube at the identity, Tuning in the middle, host
/// rate), except the gains, with which the chain starts silent until values arrive.
constexpr float ValueAtConstruction(std::int32_t index)
{
    return InfoOf(index).Kind == pkGain ? 0.0f : InfoOf(index).Default;
}

/// Runs the owner's MIDI dispatch, then applies what it changed before the next run.
class TApplyingMidiClock final : public IMidiClock
{
  public:
    TApplyingMidiClock(TOrvoEngine& engine, IMidiClock* inner) noexcept
        : FEngine(engine), FInner(inner)
    {
    }
    std::int32_t NextMidiPos() const noexcept override { return FInner->NextMidiPos(); }
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
    for (std::int32_t i = 0; i < ParameterCount; ++i)
    {
        FParamValues[static_cast<std::size_t>(i)].store(ValueAtConstruction(i),
                                                        std::memory_order_relaxed);
    }
}

void TOrvoEngine::MarkPending(std::uint32_t bits) noexcept
{
    FPending.fetch_or(bits, std::memory_order_release);
}

void TOrvoEngine::MarkParameterPending(std::int32_t index) noexcept
{
    // The parameter's bit goes first: the audio thread that sees ParametersPending finds it.
    FPendingParameters[static_cast<std::size_t>(index / WordBits)].fetch_or(
        1u << (index % WordBits), std::memory_order_release);
    MarkPending(ParametersPending);
}

void TOrvoEngine::ApplyParameter(std::int32_t index, float value) noexcept
{
    static_cast<void>(ExchangeParameter(index, value));
}

float TOrvoEngine::ExchangeParameter(std::int32_t index, float value) noexcept
{
    if (!IsParameterIndex(index))
    {
        return 0.0f;
    }
    // The store comes before the pending mark (a release), so the audio thread that takes
    // the mark over sees this value or a later one: whichever thread stores last, the chain
    // ends with the value stored last, without a lock or a retry.
    const float replaced = FParamValues[static_cast<std::size_t>(index)].exchange(
        ClampedParameterValue(value), std::memory_order_relaxed);
    MarkParameterPending(index);
    return replaced;
}

void TOrvoEngine::ReapplyParameter(std::int32_t index) noexcept
{
    if (IsParameterIndex(index))
    {
        MarkParameterPending(index);
    }
}

float TOrvoEngine::Parameter(std::int32_t index) const noexcept
{
    return IsParameterIndex(index) ? Value(index) : 0.0f;
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
    FSettle.store(true, std::memory_order_release);
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
    if ((pending & ParametersPending) == 0)
    {
        return;
    }
    for (std::size_t word = 0; word < FPendingParameters.size(); ++word)
    {
        const std::uint32_t changed =
            FPendingParameters[word].exchange(0, std::memory_order_acquire);
        for (std::int32_t bit = 0; bit < WordBits && changed != 0; ++bit)
        {
            const auto index = static_cast<std::int32_t>(word) * WordBits + bit;
            if ((changed & (1u << bit)) != 0 && index < ParameterCount)
            {
                FChain.SetParameter(index, Value(index));
            }
        }
    }
}

void TOrvoEngine::StartCall() noexcept
{
    ApplyPendingChanges();
    if (FSettle.load(std::memory_order_relaxed) &&
        FSettle.exchange(false, std::memory_order_acquire))
    {
        FChain.Settle();
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

float TOrvoEngine::Value(std::int32_t index) const noexcept
{
    return FParamValues[static_cast<std::size_t>(index)].load(std::memory_order_relaxed);
}

bool TOrvoEngine::BandDispersionOn(int band) const noexcept
{
    return BandUsesDispersion(Value(BandParameters[static_cast<std::size_t>(band)]));
}

float TOrvoEngine::DispersionAmount(int band) const noexcept
{
    return DispersionAmountFor(Value(BandParameters[static_cast<std::size_t>(band)]));
}

float TOrvoEngine::BandGain(int band) const noexcept
{
    return LevelCurve(Value(BandParameters[static_cast<std::size_t>(band)]));
}

bool TOrvoEngine::BandMuted(int band) const noexcept
{
    return SwitchOn(Value(MuteParameters[static_cast<std::size_t>(band)]));
}

float TOrvoEngine::InGain() const noexcept
{
    return LevelCurve(Value(prInGain));
}

float TOrvoEngine::OutGain() const noexcept
{
    return LevelCurve(Value(prOutGain));
}

bool TOrvoEngine::OverSample() const noexcept
{
    return SwitchOn(Value(prOverSample));
}

} // namespace orvo
