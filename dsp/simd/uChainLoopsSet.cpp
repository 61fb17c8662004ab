// The chain's band mix, Tube and soft clip loops (dsp/uChainLoops.h) built for one wider
// instruction set; CMake compiles this file once per set (uSimdTarget.h). Called only on
// processors that have the set.
#include "dsp/simd/uChainLoopsIsa.h"
#include "dsp/simd/uSimdTarget.h"
#include "dsp/uChainMath.h"
#include "dsp/uFilterKernels.h"

#include <cstdint>

ORVO_SIMD_TARGET_BEGIN

#include "dsp/uChainLoops.h"

namespace orvo::simd
{

void ORVO_SIMD_NAME(Mix)(const TMixJob& job) noexcept
{
    chain_loops::Mix(job);
}

void ORVO_SIMD_NAME(SoftClip)(const float* in, float* out, std::int32_t count, bool adding) noexcept
{
    chain_loops::SoftClipInto(in, out, count, adding);
}

} // namespace orvo::simd

ORVO_SIMD_TARGET_END
