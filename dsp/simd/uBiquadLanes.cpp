#include "dsp/simd/uBiquadLanes.h"

#include "dsp/simd/uBiquadLanesIsa.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace orvo
{
namespace
{

#if defined(__x86_64__) || defined(__i386__)
constexpr bool X86 = true;
#else
constexpr bool X86 = false;
#endif

TSimdLevel DetectSimdLevel() noexcept
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();
    // The AVX-512 kernels also use its 256-bit forms (VL), which every AVX-512 processor
    // but the first Xeon Phi has.
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl"))
    {
        return slAvx512;
    }
    if (__builtin_cpu_supports("avx2"))
    {
        return slAvx2;
    }
    return slSse2;
#else
    return slScalar;
#endif
}

} // namespace

TSimdLevel BestSimdLevel() noexcept
{
    // Detected on first use; thread-safe static initialisation, no lock afterwards.
    static const TSimdLevel best = DetectSimdLevel();
    return best;
}

TSimdLevel ChosenSimdLevel() noexcept
{
    static const TSimdLevel chosen = []
    {
        const char* asked = std::getenv("ORVO_SIMD");
        for (TSimdLevel level : {slScalar, slSse2, slAvx2, slAvx512})
        {
            if (asked != nullptr && std::strcmp(asked, SimdLevelName(level)) == 0)
            {
                return std::min(level, BestSimdLevel());
            }
        }
        return BestSimdLevel();
    }();
    return chosen;
}

bool SimdLevelSupported(TSimdLevel level) noexcept
{
    return level <= BestSimdLevel();
}

const char* SimdLevelName(TSimdLevel level) noexcept
{
    switch (level)
    {
    case slScalar:
        return "scalar";
    case slSse2:
        return "sse2";
    case slAvx2:
        return "avx2";
    case slAvx512:
        return "avx512";
    }
    return "scalar";
}

void ProcessBiquadLanes(TBiquadCore* const* cores, float* const* buffers, std::int32_t laneCount,
                        std::int32_t count, TSimdLevel level) noexcept
{
    if (count <= 0 || laneCount <= 0)
    {
        return;
    }
    if (level > BestSimdLevel())
    {
        level = BestSimdLevel();
    }
    if (X86)
    {
        switch (level)
        {
        case slAvx512:
            simd::RunLanesAvx512(cores, buffers, laneCount, count);
            return;
        case slAvx2:
            simd::RunLanesAvx2(cores, buffers, laneCount, count);
            return;
        case slSse2:
            simd::RunLanesSse2(cores, buffers, laneCount, count);
            return;
        case slScalar:
            break;
        }
    }
    for (std::int32_t lane = 0; lane < laneCount; ++lane)
    {
        ProcessBiquad(*cores[lane], buffers[lane], count);
    }
}

} // namespace orvo
