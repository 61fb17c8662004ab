// Several biquads advanced in lockstep with vector instructions, each filtering its own
// buffer in place. Every path gives exactly the samples, coefficients and state that
// ProcessBiquad (dsp/uRBJFilter.h) gives filter by filter: the same operations in the same
// order per lane, 64-bit coefficients and state, the output rounded to 32-bit, the flush of
// tiny values, and the coefficient glide carried across runs.
//
// The crossover bank of one run is eight such lanes (four low-passes per channel); the
// oversampled path's interpolation and decimation filters are two (left and right).
#pragma once

#include "dsp/uRBJFilter.h"

#include <cstdint>

namespace orvo
{

/// Instruction sets the kernels are written for, in rising order of width.
enum TSimdLevel : std::uint8_t
{
    slScalar, // one filter at a time, ProcessBiquad itself
    slSse2,   // 2 doubles per vector: the baseline of every x86 build, 32-bit Windows included
    slAvx2,   // 4 doubles per vector
    slAvx512, // 8 doubles per vector (AVX-512F and VL)
};

/// The widest level this processor and operating system support (detected once).
TSimdLevel BestSimdLevel() noexcept;
/// The level the effect runs at: BestSimdLevel(), or a lower one that the environment
/// variable ORVO_SIMD names ("scalar", "sse2", "avx2", "avx512"), so that each path can be
/// measured and compared in a host. Read once.
TSimdLevel ChosenSimdLevel() noexcept;
/// Whether `level` can run here.
bool SimdLevelSupported(TSimdLevel level) noexcept;
/// "scalar", "sse2", "avx2" or "avx512".
const char* SimdLevelName(TSimdLevel level) noexcept;

/// Filters `count` samples of buffers[i] with cores[i], for i < laneCount, all in place.
/// Lanes must be distinct filters with distinct buffers. A level the processor lacks is
/// replaced by the best one it has. Audio thread; allocation-free.
void ProcessBiquadLanes(TBiquadCore* const* cores, float* const* buffers, std::int32_t laneCount,
                        std::int32_t count, TSimdLevel level) noexcept;

/// The same with BestSimdLevel().
inline void ProcessBiquadLanes(TBiquadCore* const* cores, float* const* buffers,
                               std::int32_t laneCount, std::int32_t count) noexcept
{
    ProcessBiquadLanes(cores, buffers, laneCount, count, BestSimdLevel());
}

} // namespace orvo
