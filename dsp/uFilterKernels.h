// The filter loops of the chain, behind function pointers so that vector versions chosen at
// run time can replace the scalar reference without touching the chain. Every version must
// give the same samples, bit for bit, and leave the same TBiquadCore contents (coefficients,
// glide and state) as ProcessBiquad run on each filter in turn.
#pragma once

#include "dsp/uRBJFilter.h"

#include <array>
#include <cstdint>

namespace orvo
{

/// The eight crossover low-passes of one run: cores[0..3] are the left channel's filters 0..3,
/// cores[4..7] the right channel's; each filters buffers[i] in place, count samples (1..64).
using TCrossoverKernel = void (*)(const std::array<TBiquadCore*, 8>& cores,
                                  const std::array<float*, 8>& buffers,
                                  std::int32_t count) noexcept;

/// One filter per channel over a whole doubled-rate block (the interpolation or the
/// decimation low-passes), count samples of left and right in place.
using TStereoKernel = void (*)(TBiquadCore& leftCore, TBiquadCore& rightCore, float* left,
                               float* right, std::int32_t count) noexcept;

struct TFilterKernels
{
    TCrossoverKernel Crossovers;
    TStereoKernel Stereo;
};

inline void FilterCrossoversScalar(const std::array<TBiquadCore*, 8>& cores,
                                   const std::array<float*, 8>& buffers,
                                   std::int32_t count) noexcept
{
    for (std::size_t i = 0; i < cores.size(); ++i)
    {
        ProcessBiquad(*cores[i], buffers[i], count);
    }
}

inline void FilterStereoScalar(TBiquadCore& leftCore, TBiquadCore& rightCore, float* left,
                               float* right, std::int32_t count) noexcept
{
    ProcessBiquad(leftCore, left, count);
    ProcessBiquad(rightCore, right, count);
}

inline constexpr TFilterKernels ScalarFilterKernels{&FilterCrossoversScalar, &FilterStereoScalar};

} // namespace orvo
