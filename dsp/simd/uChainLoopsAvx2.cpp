// The chain's band mix, Tube and soft clip loops compiled for AVX2: eight floats or four doubles per vector.
// Compiled for avx2 by the target switch below; called only on processors that have it.
#include "dsp/simd/uChainLoopsIsa.h"
#include "dsp/uChainMath.h"
#include "dsp/uFilterKernels.h"

#include <cstdint>

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

#include "dsp/uChainLoops.h"

namespace orvo::simd
{

void MixAvx2(const TMixJob& job) noexcept
{
    chain_loops::Mix(job);
}

void SoftClipAvx2(const float* in, float* out, std::int32_t count, bool adding) noexcept
{
    chain_loops::SoftClipInto(in, out, count, adding);
}

} // namespace orvo::simd

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
