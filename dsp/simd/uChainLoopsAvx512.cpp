// The chain's band mix, Tube and soft clip loops compiled for AVX-512: sixteen floats or eight doubles per vector.
// Compiled for avx512f by the target switch below; called only on processors that have it.
#include "dsp/simd/uChainLoopsIsa.h"
#include "dsp/uChainMath.h"
#include "dsp/uFilterKernels.h"

#include <cstdint>

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx512f"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512f")
#endif

#include "dsp/uChainLoops.h"

namespace orvo::simd
{

void MixAvx512(const TMixJob& job) noexcept
{
    chain_loops::Mix(job);
}

void SoftClipAvx512(const float* in, float* out, std::int32_t count, bool adding) noexcept
{
    chain_loops::SoftClipInto(in, out, count, adding);
}

} // namespace orvo::simd

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
