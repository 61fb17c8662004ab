// The chain's filter seam (dsp/uFilterKernels.h) served by the vector lanes: the crossover
// bank as eight lanes, the interpolation and decimation pair as two.
#pragma once

#include "dsp/simd/uBiquadLanes.h"
#include "dsp/uFilterKernels.h"

namespace orvo
{

/// Kernels running at `level` (or the best level below it that this processor has).
/// slScalar gives ScalarFilterKernels.
TFilterKernels FilterKernelsFor(TSimdLevel level) noexcept;

/// Kernels at ChosenSimdLevel(): the best level, unless the environment asks for a lower one.
inline TFilterKernels BestFilterKernels() noexcept
{
    return FilterKernelsFor(ChosenSimdLevel());
}

} // namespace orvo
