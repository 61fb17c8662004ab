// The band processor of a band knob's upper half: a stereo-linked peak envelope that scales
// both channels of the band by a gain growing with the envelope.
#pragma once

#include <cstdint>

namespace orvo
{

/// The transient processing of up to five bands in one go, as plain data so that copies of
/// the loops for wider instruction sets can run it (dsp/uDispersionLoops.h). Envelope and
/// Gain are updated in place: on entry where the previous run ended, on return where this
/// one ends.
struct TDispersionJob
{
    static constexpr int MaxBands = 5;
    int Bands;
    std::int32_t Count;
    float* Left[MaxBands];
    float* Right[MaxBands];
    double Envelope[MaxBands];
    double Attack[MaxBands];
    double Release[MaxBands];
    double Gain[MaxBands];
    double Scale[MaxBands];
    /// Envelope holds each band's envelope at the run's end already (followed while the
    /// bands were formed): only the gain ramps remain.
    bool EnvelopeAdvanced;
};

using TDispersionKernel = void (*)(TDispersionJob& job) noexcept;

/// The gain a run ends on for the envelope at its end: (envelope + 0.5) x 1.5 x scale, scale
/// being 1 + amount.
inline double DispersionGain(double envelope, double scale) noexcept
{
    return (envelope + 0.5) * 1.5 * scale;
}

/// The loops compiled for the baseline instruction set.
void DispersionBaseline(TDispersionJob& job) noexcept;

/// Scales a stereo band by (envelope + 0.5) x 1.5 x (1 + amount): 0.75 x (1 + amount) for
/// silence, 2.25 x (1 + amount) at full scale. The envelope follows the larger of the two
/// channels with a 5 ms attack and a 20 ms release; the gain moves once per run, linearly
/// across the run, and reaches the run's new value on its last sample.
class TTransientDispersion
{
  public:
    explicit TTransientDispersion(float sampleRate) noexcept;

    /// Acts only on a change of rate; recomputes the time constants and resets.
    void SetSampleRate(float sampleRate) noexcept;
    /// Envelope and gain to 0: the next run fades the band in from silence.
    void Reset() noexcept;
    /// The gain to where runs of silence would take it, the envelope held: a band that starts
    /// playing sounds at once, without the fade in that Reset gives.
    void Settle() noexcept;
    /// Index 0 sets the amount (0..1); other indices do nothing.
    void SetParam(std::int32_t index, float value) noexcept;

    void ProcessBlock(float* left, float* right) noexcept;
    void ProcessSamples(float* left, float* right, std::int32_t count) noexcept;
    /// Runs up to MaxBands processors over their own bands together, each exactly as its
    /// ProcessSamples would (the envelopes of several bands advance side by side instead of
    /// one after another). With endEnvelopes, processor b's envelope over these samples has
    /// been followed already and ends at endEnvelopes[b].
    static void ProcessBands(TTransientDispersion* const* processors, float* const* left,
                             float* const* right, int bandCount, std::int32_t count,
                             TDispersionKernel kernel = &DispersionBaseline,
                             const double* endEnvelopes = nullptr) noexcept;
    static constexpr int MaxBands = TDispersionJob::MaxBands;

    float SampleRate() const noexcept { return FSampleRate; }
    double Attack() const noexcept { return FAttack; }
    double Release() const noexcept { return FRelease; }
    double Envelope() const noexcept { return FEnvelope; }
    double Gain() const noexcept { return FGain; }
    float Amount() const noexcept { return FAmount; }

  private:
    float FSampleRate = 0.0f;
    float FSamplesPerMs = 0.0f;
    double FAttack = 0.0;
    double FRelease = 0.0;
    double FEnvelope = 0.0;
    double FGain = 0.0;
    double FScale = 1.0;
    float FAmount = 0.0f;
};

} // namespace orvo
