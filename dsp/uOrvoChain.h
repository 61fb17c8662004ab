// The processing chain of the effect, at the host rate and oversampled by two, and the
// mapping from parameter values to its settings. Single-threaded: TOrvoEngine hands changes
// from other threads over to it.
#pragma once

#include "dsp/uFilterKernels.h"
#include "dsp/uRBJFilter.h"
#include "dsp/uRecentResults.h"
#include "dsp/uTransientDispersion.h"
#include "parameters/uParameterTable.h"

#include <array>
#include <cstdint>
#include <memory>

namespace orvo
{

enum TMuteState : std::uint8_t
{
    msFadingIn,
    msOpen,
    msFadingOut,
    msMuted,
};

/// The MIDI side of processing, as the owner of the event queue provides it. Positions are
/// host-rate samples from the start of the current processing call.
class IMidiClock
{
  public:
    /// Position of the next due event; NoMidiDue when none is due.
    virtual std::int32_t NextMidiPos() const noexcept = 0;
    /// Handles every event due at pos. Parameter changes it makes land before the samples
    /// from pos on are processed.
    virtual void DispatchMidiAt(std::int32_t pos) noexcept = 0;

  protected:
    ~IMidiClock() = default;
};

inline constexpr std::int32_t NoMidiDue = 2147483647;

/// Five-band split by four crossover low-passes per channel, band gains or transient
/// emphasis, mute fades, Tube curve, output gain and soft clip; optionally at twice the host
/// rate with Butterworth interpolation and decimation. Works in runs of at most 64 samples
/// cut at MIDI event positions. Every call must come from one thread at a time.
class TOrvoChain
{
  public:
    static constexpr int BandCount = orvo::BandCount;
    static constexpr std::int32_t RunLength = 64;
    /// Largest block a call processes at once; longer calls are cut into blocks of this size.
    static constexpr std::int32_t MaxBlock = 1 << 20;
    /// Input samples beyond this magnitude (+96 dB above full scale) are limited to it, and
    /// non-finite input samples are taken as 0, so that no filter or envelope state can ever
    /// hold an infinite or NaN value.
    static constexpr float InputCeiling = 65536.0f;

    TOrvoChain();

    /// Applies a parameter value (clamped to 0..1) to the setting its kind in the parameter
    /// table drives; the reserved parameter and indices outside 0..15 change nothing.
    void SetParameter(std::int32_t index, float value) noexcept;
    /// Host sample rate in Hz; below 1 becomes 1, a non-finite rate is ignored. Clears the
    /// memory of every filter.
    void SetSampleRate(float hostRate) noexcept;
    /// Clears the memory of every filter and envelope.
    void Suspend() noexcept;
    /// Takes every setting to where it would be after a long silence at the values now set:
    /// each coefficient glide ends, each mute fade ends (the band's gain 1 open, 0 muted) and
    /// each transient processor's gain stands at its envelope's value. For the start of
    /// playing, when nothing sounded before that a glide or a fade could lead from. The filter
    /// memory and the envelopes stay (Suspend clears them).
    void Settle() noexcept;

    /// Stores into outputs[0..1][0..frames-1]; inputs and outputs may be the same buffers.
    void ProcessReplacing(const float* const* inputs, float* const* outputs, std::int32_t frames,
                          IMidiClock* midi) noexcept;
    /// Adds onto outputs[0..1][0..frames-1].
    void ProcessAdding(const float* const* inputs, float* const* outputs, std::int32_t frames,
                       IMidiClock* midi) noexcept;

    void SetFilterKernels(const TFilterKernels& kernels) noexcept { FKernels = kernels; }

    const TRBJFilter& Filter(int index) const noexcept
    {
        return FFilters[static_cast<std::size_t>(index)];
    }
    const TTransientDispersion& Dispersion(int band) const noexcept
    {
        return FDispersion[static_cast<std::size_t>(band)];
    }
    float BandGain(int band) const noexcept { return FBandGain[static_cast<std::size_t>(band)]; }
    bool BandDispersionOn(int band) const noexcept
    {
        return FBandDispersionOn[static_cast<std::size_t>(band)];
    }
    float MuteGain(int band) const noexcept { return FMuteGain[static_cast<std::size_t>(band)]; }
    TMuteState MuteState(int band) const noexcept
    {
        return FMuteState[static_cast<std::size_t>(band)];
    }
    float HostRate() const noexcept { return FHostRate; }
    float FadeRate() const noexcept { return FFadeRate; }
    float TubeDrive() const noexcept { return FTubeDrive; }
    float TubeShape() const noexcept { return FTubeShape; }
    float Tuning() const noexcept { return FTuning; }
    float TuningRatio() const noexcept { return FTuningRatio; }
    float InGain() const noexcept { return FInGain; }
    float OutGain() const noexcept { return FOutGain; }
    bool OverSample() const noexcept { return FOverSample; }
    std::int32_t WorkCapacity() const noexcept { return FWorkCapacity; }

  private:
    using TBandBuffers = std::array<std::array<float, RunLength>, BandCount>;

    template <bool Adding>
    void Process(const float* const* inputs, float* const* outputs, std::int32_t frames,
                 IMidiClock* midi) noexcept;
    template <bool Adding>
    void ProcessHostRate(const float* inL, const float* inR, float* outL, float* outR,
                         std::int32_t frames, IMidiClock* midi) noexcept;
    template <bool Adding>
    void ProcessOversampled(const float* inL, const float* inR, float* outL, float* outR,
                            std::int32_t frames, IMidiClock* midi) noexcept;
    /// One filter per channel over a stretch of the work buffers, run alongside a run's
    /// crossovers.
    struct TStereoStretch
    {
        TBiquadCore* Left;
        TBiquadCore* Right;
        float* LeftSamples;
        float* RightSamples;
        std::int32_t Count;
    };

    void ProcessRun(std::int32_t pos, std::int32_t length, float inputGain,
                    const TStereoStretch* alongside = nullptr, int alongsideCount = 0) noexcept;
    /// The crossover bank over the gained input of a run, into the band buffers of the four
    /// low-passes. The fifth band (the gained input itself) is formed again where the split
    /// needs it, with the same rounding. With split, the band buffers get the five bands
    /// instead, and the tracked bands' envelopes follow them (TBandSplit).
    void FilterCrossovers(const float* workL, const float* workR, std::int32_t length,
                          float inputGain, const TStereoStretch* alongside, int alongsideCount,
                          TBandSplit* split = nullptr) noexcept;
    void ProcessDoubledRuns(std::int32_t doubled, IMidiClock* midi) noexcept;
    /// Runs of at most RunLength work samples over length, cut where a MIDI event is due and
    /// the event dispatched there; workPerHost work samples per host sample (1 or 2), the
    /// input gain times inputGainScale (2 restores the level the zero-stuffing halves).
    void ProcessRunsBetweenEvents(std::int32_t length, std::int32_t workPerHost,
                                  float inputGainScale, IMidiClock* midi) noexcept;
    /// ProcessDoubledRuns with the filter stages overlapped, ending with the outputs written
    /// (added when Adding, which comes with no MIDI clock).
    template <bool Adding>
    void ProcessDoubledPipelined(std::int32_t doubled, IMidiClock* midi, float* outL,
                                 float* outR) noexcept;
    void SplitBands(const float* workL, const float* workR, std::int32_t length,
                    float inputGain) noexcept;
    /// FilterCrossovers, SplitBands and the transient bands' envelopes in the same kernel
    /// calls, then the rest of ProcessDispersion: the same samples, the envelope recursion in
    /// the shadow of the filters' own.
    void SplitAndFollowBands(const float* workL, const float* workR, std::int32_t length,
                             float inputGain, const TStereoStretch* alongside,
                             int alongsideCount) noexcept;
    /// With endEnvelopes, each transient band's envelope at the run's end is already known
    /// (per band index), and only its gain ramp remains.
    void ProcessDispersion(std::int32_t length,
                           const std::array<double, BandCount>* endEnvelopes = nullptr) noexcept;
    void UpdateMuteRamps(std::int32_t length) noexcept;
    void GrowWork(std::int32_t samples);
    /// GrowWork without throwing; on failure a replacing call leaves silence in the frames
    /// of outL and outR, an adding one leaves them as they were.
    template <bool Adding>
    bool TryGrowWork(std::int32_t samples, float* outL, float* outR, std::int32_t frames) noexcept;
    void ApplyProcessingRate() noexcept;
    float ProcessingRate() const noexcept;

    void SetBand(int band, float x) noexcept;
    void SetMute(int band, float x) noexcept;
    void SetTube(float x) noexcept;
    void SetTuning(float x) noexcept;
    /// LevelCurve(x), from FLevels when it holds x.
    float Level(float x) noexcept;
    void SetOverSample(float x) noexcept;

    /// The left crossovers' coefficients for one Tuning value at the processing rate.
    struct TTuningDesign
    {
        float Ratio;
        std::array<std::array<double, 6>, 4> Targets;
    };

    /// The value each parameter was set to last; NaN until it is set.
    std::array<float, ParameterCount> FAppliedValue;
    /// The designs of the Tuning values set lately, emptied when the processing rate changes,
    /// and the level curve at the band and gain values set lately. As many as a bank has
    /// programs (levels: seven per program, enough for the most varied half of a bank), so
    /// that going through a bank's programs computes each one's exponentials, sines and
    /// cosines once.
    TRecentResults<TTuningDesign, ProgramCount> FTuningDesigns;
    TRecentResults<float, 56> FLevels;
    std::array<TRBJFilter, 12> FFilters;
    std::array<TTransientDispersion, BandCount> FDispersion;
    TFilterKernels FKernels = ScalarFilterKernels;
    float FHostRate = 44100.0f;
    bool FOverSample = false;
    std::array<float, BandCount> FBandValue{};
    std::array<float, BandCount> FBandGain{};
    std::array<bool, BandCount> FBandDispersionOn{};
    std::array<float, BandCount> FMuteGain{};
    std::array<TMuteState, BandCount> FMuteState{};
    float FFadeRate = 441.0f;
    float FFadeStep = 1.0f / 441.0f;
    float FTubeDrive = 0.5f;
    float FTubeShape = -1.0f;
    double FTubeLimit = 0.0;
    float FTuning = 0.0f;
    float FTuningRatio = 1.0f;
    float FInGain = 0.0f;
    float FOutGain = 0.0f;
    alignas(64) TBandBuffers FBandBufL{};
    alignas(64) TBandBuffers FBandBufR{};
    alignas(64) std::array<std::array<float, RunLength>, BandCount> FMuteRamp{};
    std::uint32_t FFadingBands = 0;  // bit k: band k fades during the current run
    std::uint32_t FFilterResets = 0; // counts the resets of every filter's memory
    alignas(64) std::array<float, RunLength> FDecimationBufL{};
    alignas(64) std::array<float, RunLength> FDecimationBufR{};
    std::int32_t FWorkCapacity = 0;
    std::unique_ptr<float[]> FWorkL;
    std::unique_ptr<float[]> FWorkR;
};

} // namespace orvo
