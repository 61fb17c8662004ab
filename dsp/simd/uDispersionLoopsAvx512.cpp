// The transient processor's loops compiled for AVX-512: the peaks and applying the gain ramps
// run on wider vectors. Compiled for avx512f by the target switch below; called only on
// processors that have it.
#include "dsp/simd/uChainLoopsIsa.h"
#include "dsp/uTransientDispersion.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <emmintrin.h>

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx512f"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512f")
#endif

#include "dsp/uDispersionLoops.h"

namespace orvo::simd
{

void DispersionAvx512(TDispersionJob& job) noexcept
{
    dispersion_loops::Run(job);
}

} // namespace orvo::simd

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
