// The filter loops of the chain and its loops without a recursion (band mix, Tube, soft
// clip), behind function pointers so that versions for wider instruction sets chosen at run
// time can replace the baseline without touching the chain. Every version must give the same
// samples, bit for bit, and the filter versions must leave the same TBiquadCore contents
// (coefficients, glide and state) as ProcessBiquad run on each filter in turn.
#pragma once

#include "dsp/uRBJFilter.h"
#include "dsp/uTransientDispersion.h"

#include <array>
#include <cstdint>

namespace orvo
{

/// Where the crossover lanes of a filter call take their input from instead of their
/// buffers: lanes 0..3 filter Left[i] x Gain, lanes 4..7 Right[i] x Gain (the 32-bit
/// products, as the chain's copies for the low-passes hold them).
struct TGainedInput
{
    const float* Left;
    const float* Right;
    float Gain;
};

/// The eight crossover low-passes of one run: cores[0..3] are the left channel's filters 0..3,
/// cores[4..7] the right channel's; each filters buffers[i] in place, count samples (1..64),
/// or, with gained, filters the gained input into buffers[i].
using TCrossoverKernel = void (*)(const std::array<TBiquadCore*, 8>& cores,
                                  const std::array<float*, 8>& buffers, std::int32_t count,
                                  const TGainedInput* gained) noexcept;

/// The crossovers of a run that hand on bands rather than low-passes, and follow the peak
/// envelopes of the bands on the way.
struct TBandSplit
{
    /// Per channel, the five band buffers written: low-pass k minus low-pass k - 1 (band 0
    /// is low-pass 0, band 4 the gained input minus low-pass 3), as float subtractions.
    std::array<std::array<float*, 5>, 2> Bands;
    /// Per band, its envelope at the run's start on entry and at its end on return; only
    /// the bands in Tracked are touched.
    std::array<double, 5> Envelope;
    /// The transient processors' coefficients (they all run at the same rate).
    double Attack;
    double Release;
    unsigned Tracked; // bit k: band k's envelope follows its peaks
};

/// The eight crossover low-passes of a run (as TCrossoverKernel with gained input), writing
/// the bands to split.Bands and advancing the tracked bands' envelopes over their peaks
/// max(|left|, |right|) exactly as the transient processor would.
using TCrossoverBandsKernel = void (*)(const std::array<TBiquadCore*, 8>& cores, std::int32_t count,
                                       const TGainedInput& gained, TBandSplit& split) noexcept;

/// One filter per channel over a whole doubled-rate block (the interpolation or the
/// decimation low-passes), count samples of left and right in place.
using TStereoKernel = void (*)(TBiquadCore& leftCore, TBiquadCore& rightCore, float* left,
                               float* right, std::int32_t count) noexcept;

/// One run's band mix, Tube and output gain on both channels, as TOrvoChain sets it up.
struct TMixJob
{
    /// Per channel: the five band signals (FromSplit), or the four low-passes in 0..3 from
    /// which the bands are formed on the fly.
    std::array<std::array<const float*, 5>, 2> Bands;
    /// Per band: its mute gain for each sample of the run (Fading).
    std::array<const float*, 5> MuteRamps;
    /// Per channel: the work buffer at the run's start; holds the ungained input on entry
    /// and the Tube's output times the output gain on return.
    std::array<float*, 2> Work;
    std::int32_t Length;
    float InputGain;
    std::array<float, 5> Gain; // per band; 1 for a band its transient processor has scaled
    std::array<float, 5> Mute; // per band, when steady over the run
    float OutGain;
    float TubeShape;
    double TubeLimit;
    bool FromSplit; // the bands are in Bands already
    bool Fading;    // at least one band fades: use MuteRamps
    bool Identity;  // Tube at its identity setting: only the input limit applies
};

using TMixKernel = void (*)(const TMixJob& job) noexcept;

/// out[i] = SoftClip(in[i]), or out[i] += SoftClip(in[i]) when adding, for count samples;
/// in and out may be the same buffer.
using TSoftClipKernel = void (*)(const float* in, float* out, std::int32_t count,
                                 bool adding) noexcept;

/// laneCount (at most 12) filters, each on its own buffer, count samples (at most 64) in one
/// lockstep loop, so that their feedback waits overlap. The oversampled path runs the
/// crossovers of a run together with the interpolation of the stretch eight samples ahead
/// and the decimation of the previous one. With gained (then laneCount is 8 to 12 and count at
/// most 64), the first eight lanes read it and write their buffers. Gained samples are read
/// four at a time, after every lane has written the samples of the fours before them (and
/// one at a time after the last full four): a lane may write, in place, what the crossovers
/// read 4 or more samples later in the same call.
using TLockstepKernel = void (*)(TBiquadCore* const* cores, float* const* buffers,
                                 std::int32_t laneCount, std::int32_t count,
                                 const TGainedInput* gained) noexcept;
/// The lockstep with gained input (laneCount 8 to 12), its first eight lanes writing bands and
/// following their envelopes as TCrossoverBandsKernel does.
using TLockstepBandsKernel = void (*)(TBiquadCore* const* cores, float* const* buffers,
                                      std::int32_t laneCount, std::int32_t count,
                                      const TGainedInput& gained, TBandSplit& split) noexcept;

inline constexpr std::int32_t LockstepMaxLanes = 12;
inline constexpr std::int32_t LockstepMaxCount = 64;

struct TFilterKernels
{
    TCrossoverKernel Crossovers;
    TStereoKernel Stereo;
    TMixKernel Mix;
    TSoftClipKernel SoftClip;
    /// Null: the oversampled path runs its three filter stages one after another.
    TLockstepKernel Lockstep;
    TDispersionKernel Dispersion;
    /// Null: the chain splits the bands and follows their envelopes after the crossovers.
    TCrossoverBandsKernel CrossoverBands = nullptr;
    /// Null where CrossoverBands or Lockstep is.
    TLockstepBandsKernel LockstepBands = nullptr;
};

/// The gained input copied into the crossover lanes' buffers, as the lanes would read it.
inline void CopyGainedInput(const TGainedInput& gained, const std::array<float*, 8>& buffers,
                            std::int32_t count) noexcept
{
    for (std::size_t lane = 0; lane < buffers.size(); ++lane)
    {
        const float* const input = lane < 4 ? gained.Left : gained.Right;
        for (std::int32_t i = 0; i < count; ++i)
        {
            buffers[lane][i] = input[i] * gained.Gain;
        }
    }
}

inline void FilterCrossoversScalar(const std::array<TBiquadCore*, 8>& cores,
                                   const std::array<float*, 8>& buffers, std::int32_t count,
                                   const TGainedInput* gained) noexcept
{
    if (gained != nullptr)
    {
        CopyGainedInput(*gained, buffers, count);
    }
    for (std::size_t i = 0; i < cores.size(); ++i)
    {
        ProcessBiquad(*cores[i], buffers[i], count);
    }
}

inline void FilterStereoScalar(TBiquadCore& leftCore, TBiquadCore& rightCore, float* left,
                               float* right, std::int32_t count) noexcept
{
    ProcessBiquad(leftCore, left, count);
    ProcessBiquad(rightCore, right, count);
}

/// The mix and soft clip loops compiled for the baseline instruction set (uOrvoChain.cpp).
void MixBaseline(const TMixJob& job) noexcept;
void SoftClipBaseline(const float* in, float* out, std::int32_t count, bool adding) noexcept;

inline constexpr TFilterKernels ScalarFilterKernels{
    &FilterCrossoversScalar, &FilterStereoScalar, &MixBaseline, &SoftClipBaseline, nullptr,
    &DispersionBaseline};

} // namespace orvo
