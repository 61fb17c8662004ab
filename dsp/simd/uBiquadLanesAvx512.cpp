// The lockstep biquads with AVX-512: eight doubles per vector, the whole crossover bank of a
// run in one register per value, with mask registers for the flush and the glide. Compiled
// for AVX-512F and VL by the target switch below; called only on processors that have them.
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
namespace
{

namespace r = simd_rounding;

// The conversions take a zeroing mask: GCC's unmasked forms start from an "undefined"
// register that its own -Wuninitialized reports.
constexpr __mmask8 AllLanes = 0xff;

__m512i Broadcast(std::uint64_t bits) noexcept
{
    return _mm512_set1_epi64(static_cast<long long>(bits));
}

struct TAvx512
{
    static constexpr int Width = 8;
    using D = __m512d;

    static D Set1(double v) noexcept { return _mm512_set1_pd(v); }
    static D Load(const double* p) noexcept { return _mm512_load_pd(p); }
    static void Store(double* p, D v) noexcept { _mm512_store_pd(p, v); }
    static D Add(D a, D b) noexcept { return _mm512_add_pd(a, b); }
    static D Sub(D a, D b) noexcept { return _mm512_sub_pd(a, b); }
    static D Mul(D a, D b) noexcept { return _mm512_mul_pd(a, b); }
    static __mmask8 LessThan(D a, D b) noexcept { return _mm512_cmp_pd_mask(a, b, _CMP_LT_OQ); }
    static __mmask8 Equal(D a, D b) noexcept { return _mm512_cmp_pd_mask(a, b, _CMP_EQ_OQ); }
    static D Select(__mmask8 mask, D a, D b) noexcept { return _mm512_mask_blend_pd(mask, b, a); }

    static D LoadLanes(const __m128* quads, int first) noexcept
    {
        return _mm512_maskz_cvtps_pd(AllLanes,
                                     _mm256_set_m128(quads[first / 4 + 1], quads[first / 4]));
    }
    static void StoreLanes(__m128* quads, int first, D y) noexcept
    {
        const __m256 samples = _mm512_maskz_cvtpd_ps(AllLanes, y);
        quads[first / 4] = _mm256_castps256_ps128(samples);
        quads[first / 4 + 1] = _mm256_extractf128_ps(samples, 1);
    }

    static D FlushInput(D x) noexcept
    {
        const __mmask8 keep =
            _mm512_cmp_pd_mask(_mm512_abs_pd(x), _mm512_set1_pd(r::FlushThresholdD), _CMP_GT_OQ);
        return _mm512_maskz_mov_pd(keep, x);
    }
    static D RoundAndFlush(D y, bool& unusual) noexcept
    {
        const __m512i bits = _mm512_castpd_si512(y);
        const __m512i magnitude = _mm512_and_si512(bits, Broadcast(r::MagnitudeBits));
        const __mmask8 keep = _mm512_cmpgt_epi64_mask(magnitude, Broadcast(r::FlushLimitBits));
        const __mmask8 overflow =
            _mm512_cmpgt_epi64_mask(magnitude, Broadcast(r::OverflowBits - 1));
        unusual = overflow != 0;
        const __m512i lowestKept =
            _mm512_and_si512(_mm512_maskz_srli_epi64(AllLanes, bits, 29), Broadcast(1));
        const __m512i rounded =
            _mm512_add_epi64(_mm512_add_epi64(bits, Broadcast(r::RoundingBias)), lowestKept);
        return _mm512_castsi512_pd(_mm512_maskz_and_epi64(keep, rounded, Broadcast(r::KeptBits)));
    }
};

} // namespace

void RunLanesAvx512(TBiquadCore* const* cores, float* const* buffers, int laneCount,
                    int count) noexcept
{
    while (laneCount >= 8)
    {
        simd_kernel::RunLanes<TAvx512, 1>(cores, buffers, count);
        cores += 8;
        buffers += 8;
        laneCount -= 8;
    }
    if (laneCount > 0)
    {
        RunLanesAvx2(cores, buffers, laneCount, count);
    }
}

void RunCrossoversGainedAvx512(TBiquadCore* const* cores, float* const* buffers, int count,
                               const TGainedInput& gained) noexcept
{
    const simd_kernel::TGainedIO<8> io{buffers, gained.Left, gained.Right, gained.Gain};
    simd_kernel::RunLanesWith<TAvx512, 1>(cores, io, count);
}

void RunCrossoverBandsAvx512(TBiquadCore* const* cores, int count, const TGainedInput& gained,
                             TBandSplit& split) noexcept
{
    simd_kernel::RunCrossoverBands<TAvx512, 1>(cores, count, gained, split);
}

void RunLanesTogetherAvx512(TBiquadCore* const* cores, float* const* buffers, int laneCount,
                            int count, const TGainedInput* gained) noexcept
{
    // Three 256-bit vectors, whose twelve lanes fit the 32 registers that AVX-512 gives
    // 256-bit code; two 512-bit vectors would leave a third of their lanes idle on
    // processors that split 512-bit operations in two.
    simd_kernel::RunLanesPadded<avx2_ops::TAvx2Converting, 3>(cores, buffers, laneCount, count,
                                                              gained);
}

void RunLanesTogetherBandsAvx512(TBiquadCore* const* cores, float* const* buffers, int laneCount,
                                 int count, const TGainedInput& gained, TBandSplit& split) noexcept
{
    simd_kernel::RunLanesPaddedBands<avx2_ops::TAvx2Converting, 3>(cores, buffers, laneCount, count,
                                                                   gained, split);
}

} // namespace orvo::simd

ORVO_SIMD_TARGET_END
