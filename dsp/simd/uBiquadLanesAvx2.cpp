// The lockstep biquads with AVX2: four doubles per vector, eight lanes as two vectors whose
// feedback chains overlap. Compiled for AVX2 by the target switch below; called only on
// processors that have it (BestSimdLevel).
#include "dsp/simd/uBiquadLanesIsa.h"
#include "dsp/simd/uBiquadRounding.h"
#include "dsp/simd/uSimdTarget.h"
#include "dsp/uRBJFilter.h"

#include <immintrin.h>

// The library headers the kernels use, before the target switch: their functions keep the
// baseline instruction set.
#include <algorithm>
#include <cmath>
#include <cstdint>

ORVO_SIMD_TARGET_BEGIN

#include "dsp/simd/uBiquadKernel.h"

#include "dsp/simd/uBandSplitIO.h"

#include "dsp/simd/uBiquadAvx2Ops.h"

namespace orvo::simd
{

using avx2_ops::TAvx2;
using avx2_ops::TAvx2Converting;

void RunLanesAvx2(TBiquadCore* const* cores, float* const* buffers, int laneCount,
                  int count) noexcept
{
    while (laneCount >= 8)
    {
        simd_kernel::RunLanes<TAvx2, 2>(cores, buffers, count);
        cores += 8;
        buffers += 8;
        laneCount -= 8;
    }
    if (laneCount >= 4)
    {
        simd_kernel::RunLanes<TAvx2, 1>(cores, buffers, count);
        cores += 4;
        buffers += 4;
        laneCount -= 4;
    }
    if (laneCount > 0)
    {
        RunLanesSse2(cores, buffers, laneCount, count);
    }
}

void RunCrossoversGainedAvx2(TBiquadCore* const* cores, float* const* buffers, int count,
                             const TGainedInput& gained) noexcept
{
    const simd_kernel::TGainedIO<8> io{buffers, gained.Left, gained.Right, gained.Gain};
    simd_kernel::RunLanesWith<TAvx2, 2>(cores, io, count);
}

void RunCrossoverBandsAvx2(TBiquadCore* const* cores, int count, const TGainedInput& gained,
                           TBandSplit& split) noexcept
{
    simd_kernel::RunCrossoverBands<TAvx2, 2>(cores, count, gained, split);
}

void RunLanesTogetherAvx2(TBiquadCore* const* cores, float* const* buffers, int laneCount,
                          int count, const TGainedInput* gained) noexcept
{
    simd_kernel::RunLanesPadded<TAvx2Converting, 3>(cores, buffers, laneCount, count, gained);
}

void RunLanesTogetherBandsAvx2(TBiquadCore* const* cores, float* const* buffers, int laneCount,
                               int count, const TGainedInput& gained, TBandSplit& split) noexcept
{
    simd_kernel::RunLanesPaddedBands<TAvx2Converting, 3>(cores, buffers, laneCount, count, gained,
                                                         split);
}

} // namespace orvo::simd

ORVO_SIMD_TARGET_END
