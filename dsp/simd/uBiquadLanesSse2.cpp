// The lockstep biquads with SSE2: two doubles per vector. SSE2 is the baseline of every x86
// build (orvo_options adds -msse2 on 32-bit), so this file needs no target switch.
#include "dsp/simd/uBiquadKernel.h"
#include "dsp/simd/uBiquadLanesIsa.h"
#include "dsp/simd/uBiquadRounding.h"
#include "dsp/uRBJFilter.h"

#include <emmintrin.h>

namespace orvo::simd
{
namespace
{

namespace r = simd_rounding;

struct TSse2
{
    static constexpr int Width = 2;
    using D = __m128d;

    static D Set1(double v) noexcept { return _mm_set1_pd(v); }
    static D Load(const double* p) noexcept { return _mm_load_pd(p); }
    static void Store(double* p, D v) noexcept { _mm_store_pd(p, v); }
    static D Add(D a, D b) noexcept { return _mm_add_pd(a, b); }
    static D Sub(D a, D b) noexcept { return _mm_sub_pd(a, b); }
    static D Mul(D a, D b) noexcept { return _mm_mul_pd(a, b); }
    static D LessThan(D a, D b) noexcept { return _mm_cmplt_pd(a, b); }
    static D Equal(D a, D b) noexcept { return _mm_cmpeq_pd(a, b); }
    static D Select(D mask, D a, D b) noexcept
    {
        return _mm_or_pd(_mm_and_pd(mask, a), _mm_andnot_pd(mask, b));
    }

    static D LoadLanes(const __m128* quads, int first) noexcept
    {
        const __m128 quad = quads[first / 4];
        return _mm_cvtps_pd(first % 4 == 0 ? quad : _mm_movehl_ps(quad, quad));
    }
    static void StoreLanes(__m128* quads, int first, D y) noexcept
    {
        const __m128 samples = _mm_cvtpd_ps(y);
        quads[first / 4] = first % 4 == 0 ? samples : _mm_movelh_ps(quads[first / 4], samples);
    }

    static D Magnitude(D v) noexcept
    {
        return _mm_and_pd(
            v, _mm_castsi128_pd(_mm_set1_epi64x(static_cast<long long>(r::MagnitudeBits))));
    }
    static D FlushInput(D x) noexcept
    {
        return _mm_and_pd(x, _mm_cmpgt_pd(Magnitude(x), _mm_set1_pd(r::FlushThresholdD)));
    }
    // Without 64-bit integer compares (SSE4.2), the limits are compared as doubles: for
    // magnitudes the order of the bit patterns is the order of the values.
    static D RoundAndFlush(D y, bool& unusual) noexcept
    {
        const D magnitude = Magnitude(y);
        const D keep = _mm_cmpgt_pd(magnitude, _mm_castsi128_pd(_mm_set1_epi64x(
                                                   static_cast<long long>(r::FlushLimitBits))));
        const D overflow = _mm_cmpnlt_pd(
            magnitude, _mm_castsi128_pd(_mm_set1_epi64x(static_cast<long long>(r::OverflowBits))));
        unusual = _mm_movemask_pd(overflow) != 0;
        const __m128i bits = _mm_castpd_si128(y);
        const __m128i lowestKept = _mm_and_si128(_mm_srli_epi64(bits, 29), _mm_set1_epi64x(1));
        const __m128i rounded = _mm_add_epi64(
            _mm_add_epi64(bits, _mm_set1_epi64x(static_cast<long long>(r::RoundingBias))),
            lowestKept);
        const __m128i kept = _mm_and_si128(_mm_castpd_si128(keep),
                                           _mm_set1_epi64x(static_cast<long long>(r::KeptBits)));
        return _mm_castsi128_pd(_mm_and_si128(rounded, kept));
    }
};

/// The same lanes with the feedback rounded by the conversion instructions themselves,
/// which are exact for every value (NaN and infinities included, so the slow path never
/// runs). Longer per sample than the bit path but fewer instructions: the better choice
/// where several vectors' chains share the processor (RunLanesTogetherSse2). The flush tests
/// y itself against FlushLimit, alongside the conversions rather than after them (as in
/// TAvx2Converting).
struct TSse2Converting : TSse2
{
    static D RoundAndFlush(D y, bool& unusual) noexcept
    {
        unusual = false;
        const D keep = _mm_cmpgt_pd(Magnitude(y), _mm_set1_pd(r::FlushLimit));
        return _mm_and_pd(_mm_cvtps_pd(_mm_cvtpd_ps(y)), keep);
    }
};

} // namespace

void RunLanesSse2(TBiquadCore* const* cores, float* const* buffers, int laneCount,
                  int count) noexcept
{
    while (laneCount >= 8)
    {
        simd_kernel::RunLanes<TSse2, 4>(cores, buffers, count);
        cores += 8;
        buffers += 8;
        laneCount -= 8;
    }
    if (laneCount >= 4)
    {
        simd_kernel::RunLanes<TSse2, 2>(cores, buffers, count);
        cores += 4;
        buffers += 4;
        laneCount -= 4;
    }
    if (laneCount >= 2)
    {
        simd_kernel::RunLanes<TSse2, 1>(cores, buffers, count);
        cores += 2;
        buffers += 2;
        laneCount -= 2;
    }
    if (laneCount == 1)
    {
        ProcessBiquad(**cores, *buffers, count);
    }
}

void RunCrossoversGainedSse2(TBiquadCore* const* cores, float* const* buffers, int count,
                             const TGainedInput& gained) noexcept
{
    const simd_kernel::TGainedIO<8> io{buffers, gained.Left, gained.Right, gained.Gain};
    simd_kernel::RunLanesWith<TSse2, 4>(cores, io, count);
}

void RunLanesTogetherSse2(TBiquadCore* const* cores, float* const* buffers, int laneCount,
                          int count, const TGainedInput* gained) noexcept
{
    simd_kernel::RunLanesPadded<TSse2Converting, 6>(cores, buffers, laneCount, count, gained);
}

} // namespace orvo::simd
