// The per-instruction-set entry points behind ProcessBiquadLanes. Each filters `count`
// samples of `laneCount` lanes (any number) and hands lanes it has no full vector for to
// the next narrower set. Call one only where the processor supports its set.
#pragma once

#include "dsp/uFilterKernels.h"
#include "dsp/uRBJFilter.h"

namespace orvo::simd
{

void RunLanesSse2(TBiquadCore* const* cores, float* const* buffers, int laneCount,
                  int count) noexcept;
void RunLanesAvx2(TBiquadCore* const* cores, float* const* buffers, int laneCount,
                  int count) noexcept;
void RunLanesAvx512(TBiquadCore* const* cores, float* const* buffers, int laneCount,
                    int count) noexcept;

/// The eight crossover lanes (TCrossoverKernel) reading the gained input.
void RunCrossoversGainedSse2(TBiquadCore* const* cores, float* const* buffers, int count,
                             const TGainedInput& gained) noexcept;
void RunCrossoversGainedAvx2(TBiquadCore* const* cores, float* const* buffers, int count,
                             const TGainedInput& gained) noexcept;
void RunCrossoversGainedAvx512(TBiquadCore* const* cores, float* const* buffers, int count,
                               const TGainedInput& gained) noexcept;

/// The eight crossover lanes writing bands and following their envelopes
/// (TCrossoverBandsKernel). Not with SSE2: its eight lanes already take four vectors of
/// two, the envelopes take 256-bit ones, and there the two loops after one another measured
/// faster than one loop with both.
void RunCrossoverBandsAvx2(TBiquadCore* const* cores, int count, const TGainedInput& gained,
                           TBandSplit& split) noexcept;
void RunCrossoverBandsAvx512(TBiquadCore* const* cores, int count, const TGainedInput& gained,
                             TBandSplit& split) noexcept;

/// The lockstep with the crossover lanes writing bands (TLockstepBandsKernel).
void RunLanesTogetherBandsAvx2(TBiquadCore* const* cores, float* const* buffers, int laneCount,
                               int count, const TGainedInput& gained, TBandSplit& split) noexcept;
void RunLanesTogetherBandsAvx512(TBiquadCore* const* cores, float* const* buffers, int laneCount,
                                 int count, const TGainedInput& gained, TBandSplit& split) noexcept;

/// Up to 12 lanes of at most 64 samples in one lockstep loop, whatever the width: their
/// feedback waits overlap instead of adding up (TLockstepKernel).
void RunLanesTogetherSse2(TBiquadCore* const* cores, float* const* buffers, int laneCount,
                          int count, const TGainedInput* gained) noexcept;
void RunLanesTogetherAvx2(TBiquadCore* const* cores, float* const* buffers, int laneCount,
                          int count, const TGainedInput* gained) noexcept;
void RunLanesTogetherAvx512(TBiquadCore* const* cores, float* const* buffers, int laneCount,
                            int count, const TGainedInput* gained) noexcept;

} // namespace orvo::simd
