// The per-instruction-set entry points behind ProcessBiquadLanes. Each filters `count`
// samples of `laneCount` lanes (any number) and hands lanes it has no full vector for to
// the next narrower set. Call one only where the processor supports its set.
#pragma once

#include "dsp/uRBJFilter.h"

namespace orvo::simd
{

void RunLanesSse2(TBiquadCore* const* cores, float* const* buffers, int laneCount,
                  int count) noexcept;
void RunLanesAvx2(TBiquadCore* const* cores, float* const* buffers, int laneCount,
                  int count) noexcept;
void RunLanesAvx512(TBiquadCore* const* cores, float* const* buffers, int laneCount,
                    int count) noexcept;

} // namespace orvo::simd
