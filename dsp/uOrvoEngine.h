// The DSP as the effect owns it: the chain, plus the hand-over of settings from any thread
// to the audio thread.
#pragma once

#include "dsp/uOrvoChain.h"

#include <array>
#include <atomic>
#include <cstdint>

namespace orvo
{

/// Owns the chain and lets parameter values, the host rate and suspend arrive on any thread
/// while the audio thread processes. Each setter stores its value in an atomic and marks it
/// pending; the audio thread applies what is pending, between runs only: at the start of a
/// processing call and right after every MIDI dispatch (so controller changes made inside
/// processing land at their exact sample). A run thus sees every filter and transient
/// processor entirely before or entirely after a change, the audio thread never waits for
/// another thread, and the coefficient maths runs on the audio thread like every other
/// change of the chain. The chain itself is touched by the audio thread only.
class TOrvoEngine
{
  public:
    TOrvoEngine();

    // Any thread.
    /// Stores a parameter value (clamped to 0..1) for the audio thread to apply; the
    /// reserved parameter is stored but drives nothing, indices outside 0..15 do nothing.
    void ApplyParameter(std::int32_t index, float value) noexcept;
    /// ApplyParameter in one atomic exchange, giving back the value it replaced (0 for an
    /// index outside 0..15): the effect's program change hands that value to the program
    /// it leaves, so that no change stored meanwhile on another thread is lost.
    float ExchangeParameter(std::int32_t index, float value) noexcept;
    /// Applies the stored value again (as it stands when the audio thread takes it over).
    void ReapplyParameter(std::int32_t index) noexcept;
    /// The value stored last (0 for an index outside 0..15).
    float Parameter(std::int32_t index) const noexcept;
    void SetSampleRate(float hostRate) noexcept;
    void Suspend() noexcept;
    /// Playing starts (again): the next processing call begins settled (TOrvoChain::Settle)
    /// at the settings pending by then, as if it had run silence at them, since nothing
    /// sounded before that a glide or a fade could lead from. Whether a program arrived before
    /// or after Resume makes no difference; a change made from then on glides and fades. The
    /// engine starts this way.
    void Resume() noexcept;

    // Any thread: the settings the latest values given map to.
    bool BandDispersionOn(int band) const noexcept;
    /// Transient amount of a band, 0..1 (meaningful while BandDispersionOn).
    float DispersionAmount(int band) const noexcept;
    /// Linear gain of a band (meaningful while not BandDispersionOn); 0 means silence.
    float BandGain(int band) const noexcept;
    /// True while the band is muted or fading out.
    bool BandMuted(int band) const noexcept;
    float InGain() const noexcept;
    float OutGain() const noexcept;
    bool OverSample() const noexcept;

    // Audio thread.
    void ProcessReplacing(const float* const* inputs, float* const* outputs, std::int32_t frames,
                          IMidiClock* midi) noexcept;
    void ProcessAdding(const float* const* inputs, float* const* outputs, std::int32_t frames,
                       IMidiClock* midi) noexcept;
    /// Applies every pending change to the chain now (processing does it by itself).
    void ApplyPendingChanges() noexcept;
    /// The chain, for the audio thread (or any thread while nothing processes).
    const TOrvoChain& Chain() const noexcept { return FChain; }
    /// Before processing starts (the constructor picks the widest this processor runs).
    void SetFilterKernels(const TFilterKernels& kernels) noexcept
    {
        FChain.SetFilterKernels(kernels);
    }

  private:
    static constexpr std::uint32_t ParametersPending = 1u << 0;
    static constexpr std::uint32_t SampleRatePending = 1u << 1;
    static constexpr std::uint32_t SuspendPending = 1u << 2;
    /// Parameters per word of FPendingParameters.
    static constexpr std::int32_t WordBits = 32;

    float Value(std::int32_t index) const noexcept;
    /// Start of a processing call: the pending changes, then settling if playing starts.
    void StartCall() noexcept;
    void MarkPending(std::uint32_t bits) noexcept;
    /// Marks parameter index changed, then ParametersPending.
    void MarkParameterPending(std::int32_t index) noexcept;

    /// The parameter values in force: the one store of them (the effect reads and
    /// exchanges them here), and with FPending their hand-over to the audio thread.
    std::array<std::atomic<float>, ParameterCount> FParamValues;
    std::atomic<float> FHostRate{44100.0f};
    /// ParametersPending, SampleRatePending, SuspendPending: what the audio thread has to
    /// take over; with ParametersPending, which parameters changed is in FPendingParameters
    /// (one bit per parameter, as many words as the table needs).
    std::atomic<std::uint32_t> FPending{0};
    std::array<std::atomic<std::uint32_t>, (ParameterCount + WordBits - 1) / WordBits>
        FPendingParameters{};
    /// Set at construction and by Resume; the next processing call settles the chain.
    std::atomic<bool> FSettle{true};
    TOrvoChain FChain;

    static_assert(std::atomic<float>::is_always_lock_free);
    static_assert(std::atomic<std::uint32_t>::is_always_lock_free);
};

} // namespace orvo
