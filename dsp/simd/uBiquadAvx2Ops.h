// The AVX2 vector operations of the lockstep biquads (see uBiquadKernel.h), shared by the
// AVX2 file and, for the twelve-lane lockstep loop, by the AVX-512 file: there the same
// 256-bit code gets the 32 vector registers of AVX-512 and keeps all twelve lanes in them.
// Included after each file's target switch, into an anonymous namespace: every file compiles
// its own copy.
#pragma once

#include "dsp/simd/uBiquadRounding.h"
#include "dsp/uRBJFilter.h"

#include <immintrin.h>

namespace orvo::simd::avx2_ops
{
namespace
{

namespace r = simd_rounding;

__m256i Broadcast(std::uint64_t bits) noexcept
{
    return _mm256_set1_epi64x(static_cast<long long>(bits));
}

struct TAvx2
{
    static constexpr int Width = 4;
    using D = __m256d;

    static D Set1(double v) noexcept { return _mm256_set1_pd(v); }
    static D Load(const double* p) noexcept { return _mm256_load_pd(p); }
    static void Store(double* p, D v) noexcept { _mm256_store_pd(p, v); }
    static D Add(D a, D b) noexcept { return _mm256_add_pd(a, b); }
    static D Sub(D a, D b) noexcept { return _mm256_sub_pd(a, b); }
    static D Mul(D a, D b) noexcept { return _mm256_mul_pd(a, b); }
    static D LessThan(D a, D b) noexcept { return _mm256_cmp_pd(a, b, _CMP_LT_OQ); }
    static D Equal(D a, D b) noexcept { return _mm256_cmp_pd(a, b, _CMP_EQ_OQ); }
    static D Select(D mask, D a, D b) noexcept { return _mm256_blendv_pd(b, a, mask); }

    static D LoadLanes(const __m128* quads, int first) noexcept
    {
        return _mm256_cvtps_pd(quads[first / 4]);
    }
    static void StoreLanes(__m128* quads, int first, D y) noexcept
    {
        quads[first / 4] = _mm256_cvtpd_ps(y);
    }

    static D FlushInput(D x) noexcept
    {
        const D magnitude = _mm256_and_pd(x, _mm256_castsi256_pd(Broadcast(r::MagnitudeBits)));
        return _mm256_and_pd(
            x, _mm256_cmp_pd(magnitude, _mm256_set1_pd(r::FlushThresholdD), _CMP_GT_OQ));
    }
    static D RoundAndFlush(D y, bool& unusual) noexcept
    {
        const __m256i bits = _mm256_castpd_si256(y);
        const __m256i magnitude = _mm256_and_si256(bits, Broadcast(r::MagnitudeBits));
        const __m256i keep = _mm256_cmpgt_epi64(magnitude, Broadcast(r::FlushLimitBits));
        const __m256i overflow = _mm256_cmpgt_epi64(magnitude, Broadcast(r::OverflowBits - 1));
        unusual = _mm256_testz_si256(overflow, overflow) == 0;
        const __m256i lowestKept = _mm256_and_si256(_mm256_srli_epi64(bits, 29), Broadcast(1));
        const __m256i rounded =
            _mm256_add_epi64(_mm256_add_epi64(bits, Broadcast(r::RoundingBias)), lowestKept);
        const __m256i kept = _mm256_and_si256(keep, Broadcast(r::KeptBits));
        return _mm256_castsi256_pd(_mm256_and_si256(rounded, kept));
    }
};

/// The same lanes with the feedback rounded by the conversion instructions themselves,
/// which are exact for every value (NaN and infinities included, so the slow path never
/// runs). Longer per sample than the bit path but fewer instructions: the better choice
/// where several vectors' chains share the processor (RunLanesTogetherAvx2). The flush
/// tests y itself against FlushLimit, which decides exactly as the rounded value against
/// FlushThreshold would, while the two conversions run: only a logical AND follows them on
/// the feedback chain.
struct TAvx2Converting : TAvx2
{
    static D RoundAndFlush(D y, bool& unusual) noexcept
    {
        unusual = false;
        const D magnitude = _mm256_and_pd(y, _mm256_castsi256_pd(Broadcast(r::MagnitudeBits)));
        const D keep = _mm256_cmp_pd(magnitude, _mm256_set1_pd(r::FlushLimit), _CMP_GT_OQ);
        return _mm256_and_pd(_mm256_cvtps_pd(_mm256_cvtpd_ps(y)), keep);
    }
};

} // namespace
} // namespace orvo::simd::avx2_ops
