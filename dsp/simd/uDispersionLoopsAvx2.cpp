// The transient processor's loops compiled for AVX2: the peaks and applying the gain ramps
// run on wider vectors. Compiled for avx2 by the target switch below; called only on
// processors that have it.
#include "dsp/simd/uChainLoopsIsa.h"
#include "dsp/uTransientDispersion.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <emmintrin.h>

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

#include "dsp/uDispersionLoops.h"

namespace orvo::simd
{

void DispersionAvx2(TDispersionJob& job) noexcept
{
    dispersion_loops::Run(job);
}

} // namespace orvo::simd

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
