// The chain's loops without a recursion (dsp/uChainLoops.h) and the transient processor's
// loops (dsp/uDispersionLoops.h) compiled for the wider instruction sets. SSE2 needs no copy of its
// own: it is the baseline that uOrvoChain.cpp compiles for. Call one only where the processor
// supports its set.
#pragma once

#include "dsp/uFilterKernels.h"
#include "dsp/uTransientDispersion.h"

#include <cstdint>

namespace orvo::simd
{

void MixAvx2(const TMixJob& job) noexcept;
void SoftClipAvx2(const float* in, float* out, std::int32_t count, bool adding) noexcept;
void MixAvx512(const TMixJob& job) noexcept;
void SoftClipAvx512(const float* in, float* out, std::int32_t count, bool adding) noexcept;
void DispersionAvx2(TDispersionJob& job) noexcept;
void DispersionAvx512(TDispersionJob& job) noexcept;

} // namespace orvo::simd
