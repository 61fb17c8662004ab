// The transient processor's loops (dsp/uDispersionLoops.h) built for one wider instruction
// set: the peaks and applying the gain ramps run on wider vectors. CMake compiles this file
// once per set (uSimdTarget.h). Called only on processors that have the set.
#include "dsp/simd/uChainLoopsIsa.h"
#include "dsp/simd/uSimdTarget.h"
#include "dsp/uTransientDispersion.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <emmintrin.h>

ORVO_SIMD_TARGET_BEGIN

#include "dsp/uDispersionLoops.h"

namespace orvo::simd
{

void ORVO_SIMD_NAME(Dispersion)(TDispersionJob& job) noexcept
{
    dispersion_loops::Run(job);
}

} // namespace orvo::simd

ORVO_SIMD_TARGET_END
