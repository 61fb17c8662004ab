// RecurrenceFloor: the lower bound every filter path meets, per stereo frame. It runs the
// biquad recurrence alone, y = b0 x + b1 x1 + b2 x2 - a1 y1 - a2 y2 in double, y rounded to
// 32 bits and flushed before it is fed back, and x flushed into x1, as each path must do to
// give the same samples, with nothing read or written besides. Host rate: the eight crossover
// lanes, one step per frame. Oversampled: twelve lanes (crossovers, interpolation and
// decimation overlapped), two steps per frame. The rounding is done by converting to float
// and back, on the double's bits to nearest even (with AVX-512's masks where it has them), or
// in two operations on the bits: r = (bits + 2^28) & ~(2^29 - 1), half away from zero, which
// is FlushTiny(float(y)) except at exact ties, at or below the flush limit, at -0, beyond the
// float range and at NaN; those are only noted here, off the feedback chain (a kernel does
// the run again with the exact rounding where one occurs). The fastest of these is the floor
// on the machine. No kernel can run a frame faster than this: every step
// waits for the one before it, and nothing else is done.
#include <benchmark/benchmark.h>

#include "dsp/simd/uBiquadLanes.h"
#include "dsp/simd/uBiquadRounding.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

namespace
{

namespace r = orvo::simd_rounding;

// The loop body for Groups vectors of four lanes, stamped out once per instruction set.
#define ORVO_FLOOR_BODY                                                                            \
    __m256d b0[Groups], b1[Groups], b2[Groups], a1[Groups], a2[Groups];                            \
    __m256d x[Groups], x1[Groups], x2[Groups], y1[Groups], y2[Groups];                             \
    for (int g = 0; g < Groups; ++g)                                                               \
    {                                                                                              \
        const double k = 1.0 + 0.01 * g;                                                           \
        b0[g] = _mm256_set1_pd(0.0168 * k);                                                        \
        b1[g] = _mm256_set1_pd(0.0336 * k);                                                        \
        b2[g] = _mm256_set1_pd(0.0168 * k);                                                        \
        a1[g] = _mm256_set1_pd(-1.601 * k);                                                        \
        a2[g] = _mm256_set1_pd(0.668 * k);                                                         \
        x[g] = _mm256_set1_pd(0.25);                                                               \
        x1[g] = x2[g] = y1[g] = y2[g] = _mm256_setzero_pd();                                       \
    }                                                                                              \
    const __m256d magnitudeBits =                                                                  \
        _mm256_castsi256_pd(_mm256_set1_epi64x(static_cast<long long>(r::MagnitudeBits)));         \
    const __m256d drift = _mm256_set1_pd(1e-9);                                                    \
    bool unusual = false;                                                                          \
    __m256i rare = _mm256_setzero_si256();                                                         \
    for (long step = 0; step < steps; ++step)                                                      \
    {                                                                                              \
        for (int g = 0; g < Groups; ++g)                                                           \
        {                                                                                          \
            const __m256d y = _mm256_sub_pd(                                                       \
                _mm256_sub_pd(_mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(b0[g], x[g]),              \
                                                          _mm256_mul_pd(b1[g], x1[g])),            \
                                            _mm256_mul_pd(b2[g], x2[g])),                          \
                              _mm256_mul_pd(a1[g], y1[g])),                                        \
                _mm256_mul_pd(a2[g], y2[g]));                                                      \
            const __m256d magnitude = _mm256_and_pd(y, magnitudeBits);                             \
            __m256d fed;                                                                           \
            if (Mode == roTwoOps)                                                                  \
            {                                                                                      \
                const __m256i bits = _mm256_castpd_si256(y);                                       \
                fed = _mm256_castsi256_pd(                                                         \
                    _mm256_and_si256(_mm256_add_epi64(bits, _mm256_set1_epi64x(1ll << 28)),        \
                                     _mm256_set1_epi64x(static_cast<long long>(r::KeptBits))));    \
                const __m256i size = _mm256_castpd_si256(magnitude);                               \
                const __m256i tie = _mm256_cmpeq_epi64(                                            \
                    _mm256_and_si256(bits,                                                         \
                                     _mm256_set1_epi64x(static_cast<long long>(r::DroppedBits))),  \
                    _mm256_set1_epi64x(1ll << 28));                                                \
                const __m256i sizable = _mm256_or_si256(                                           \
                    _mm256_cmpgt_epi64(                                                            \
                        size, _mm256_set1_epi64x(static_cast<long long>(r::FlushLimitBits))),      \
                    _mm256_cmpeq_epi64(bits, _mm256_setzero_si256()));                             \
                const __m256i beyond = _mm256_cmpgt_epi64(                                         \
                    size, _mm256_set1_epi64x(static_cast<long long>(r::OverflowBits - 1)));        \
                rare = _mm256_or_si256(                                                            \
                    rare, _mm256_or_si256(_mm256_or_si256(tie, beyond),                            \
                                          _mm256_andnot_si256(sizable, _mm256_set1_epi64x(-1))));  \
            }                                                                                      \
            else if (Mode == roBits)                                                               \
            {                                                                                      \
                const __m256i bits = _mm256_castpd_si256(y);                                       \
                const __m256i keep = _mm256_cmpgt_epi64(                                           \
                    _mm256_castpd_si256(magnitude),                                                \
                    _mm256_set1_epi64x(static_cast<long long>(r::FlushLimitBits)));                \
                const __m256i overflow = _mm256_cmpgt_epi64(                                       \
                    _mm256_castpd_si256(magnitude),                                                \
                    _mm256_set1_epi64x(static_cast<long long>(r::OverflowBits - 1)));              \
                unusual |= _mm256_testz_si256(overflow, overflow) == 0;                            \
                const __m256i rounded = _mm256_add_epi64(                                          \
                    _mm256_add_epi64(bits,                                                         \
                                     _mm256_set1_epi64x(static_cast<long long>(r::RoundingBias))), \
                    _mm256_and_si256(_mm256_srli_epi64(bits, 29), _mm256_set1_epi64x(1)));         \
                fed = _mm256_castsi256_pd(_mm256_and_si256(                                        \
                    rounded, _mm256_and_si256(                                                     \
                                 keep, _mm256_set1_epi64x(static_cast<long long>(r::KeptBits))))); \
            }                                                                                      \
            else                                                                                   \
            {                                                                                      \
                const __m256d keep =                                                               \
                    _mm256_cmp_pd(magnitude, _mm256_set1_pd(r::FlushLimit), _CMP_GT_OQ);           \
                fed = _mm256_and_pd(_mm256_cvtps_pd(_mm256_cvtpd_ps(y)), keep);                    \
            }                                                                                      \
            x2[g] = x1[g];                                                                         \
            x1[g] = _mm256_and_pd(x[g],                                                            \
                                  _mm256_cmp_pd(_mm256_and_pd(x[g], magnitudeBits),                \
                                                _mm256_set1_pd(r::FlushThresholdD), _CMP_GT_OQ));  \
            y2[g] = y1[g];                                                                         \
            y1[g] = fed;                                                                           \
            x[g] = _mm256_add_pd(x[g], drift);                                                     \
        }                                                                                          \
    }                                                                                              \
    double sum = unusual || _mm256_testz_si256(rare, rare) == 0 ? 1.0 : 0.0;                       \
    for (int g = 0; g < Groups; ++g)                                                               \
    {                                                                                              \
        alignas(32) double lanes[4];                                                               \
        _mm256_store_pd(lanes, y1[g]);                                                             \
        sum += lanes[0] + lanes[1] + lanes[2] + lanes[3];                                          \
    }                                                                                              \
    return sum;

enum TRounding
{
    roConvert, // to float and back
    roBits,    // on the double's bits, to nearest even
    roMasked,  // on the bits, with AVX-512 masks (eight lanes in one 512-bit vector)
    roTwoOps,  // on the bits in two operations, the rare cases noted off the chain
};

template <int Groups, TRounding Mode>
__attribute__((target("avx2"))) double FloorAvx2(long steps) noexcept
{
    ORVO_FLOOR_BODY
}

// The same 256-bit code with AVX-512's 32 registers, as the kernels use it for twelve lanes.
template <int Groups, TRounding Mode>
__attribute__((target("avx2,avx512f,avx512vl"))) double FloorAvx512(long steps) noexcept
{
    ORVO_FLOOR_BODY
}

#undef ORVO_FLOOR_BODY

// AVX-512's own forms: rounding on the bits with mask registers, the flush and the overflow
// check as masks (an overflow only noted, to redo the run), for one 512-bit vector of eight
// lanes or three 256-bit vectors of four.
#define ORVO_FLOOR_MASKED_BODY(D, P, I, W, S)                                                      \
    D b0[Groups], b1[Groups], b2[Groups], a1[Groups], a2[Groups];                                  \
    D x[Groups], x1[Groups], x2[Groups], y1[Groups], y2[Groups];                                   \
    for (int g = 0; g < Groups; ++g)                                                               \
    {                                                                                              \
        const double k = 1.0 + 0.01 * g;                                                           \
        b0[g] = P##_set1_pd(0.0168 * k);                                                           \
        b1[g] = P##_set1_pd(0.0336 * k);                                                           \
        b2[g] = P##_set1_pd(0.0168 * k);                                                           \
        a1[g] = P##_set1_pd(-1.601 * k);                                                           \
        a2[g] = P##_set1_pd(0.668 * k);                                                            \
        x[g] = P##_set1_pd(0.25);                                                                  \
        x1[g] = x2[g] = y1[g] = y2[g] = P##_setzero_pd();                                          \
    }                                                                                              \
    const I magnitudeBits = S(static_cast<long long>(r::MagnitudeBits));                           \
    const D drift = P##_set1_pd(1e-9);                                                             \
    __mmask8 overflow = 0;                                                                         \
    for (long step = 0; step < steps; ++step)                                                      \
    {                                                                                              \
        for (int g = 0; g < Groups; ++g)                                                           \
        {                                                                                          \
            const D y = P##_sub_pd(P##_sub_pd(P##_add_pd(P##_add_pd(P##_mul_pd(b0[g], x[g]),       \
                                                                    P##_mul_pd(b1[g], x1[g])),     \
                                                         P##_mul_pd(b2[g], x2[g])),                \
                                              P##_mul_pd(a1[g], y1[g])),                           \
                                   P##_mul_pd(a2[g], y2[g]));                                      \
            const I bits = P##_castpd_si##W(y);                                                    \
            const I magnitude = P##_and_si##W(bits, magnitudeBits);                                \
            const __mmask8 keep =                                                                  \
                P##_cmpgt_epi64_mask(magnitude, S(static_cast<long long>(r::FlushLimitBits)));     \
            overflow |=                                                                            \
                P##_cmpgt_epi64_mask(magnitude, S(static_cast<long long>(r::OverflowBits - 1)));   \
            const I rounded =                                                                      \
                P##_add_epi64(P##_add_epi64(bits, S(static_cast<long long>(r::RoundingBias))),     \
                              P##_and_si##W(ShiftedBits(bits), S(1)));                             \
            const D fed = P##_castsi##W##_pd(                                                      \
                P##_maskz_and_epi64(keep, rounded, S(static_cast<long long>(r::KeptBits))));       \
            const __mmask8 keepInput = P##_cmp_pd_mask(                                            \
                P##_castsi##W##_pd(P##_and_si##W(P##_castpd_si##W(x[g]), magnitudeBits)),          \
                P##_set1_pd(r::FlushThresholdD), _CMP_GT_OQ);                                      \
            x2[g] = x1[g];                                                                         \
            x1[g] = P##_maskz_mov_pd(keepInput, x[g]);                                             \
            y2[g] = y1[g];                                                                         \
            y1[g] = fed;                                                                           \
            x[g] = P##_add_pd(x[g], drift);                                                        \
        }                                                                                          \
    }                                                                                              \
    double sum = overflow != 0 ? 1.0 : 0.0;                                                        \
    for (int g = 0; g < Groups; ++g)                                                               \
    {                                                                                              \
        alignas(64) double lanes[8] = {};                                                          \
        P##_store_pd(lanes, y1[g]);                                                                \
        sum += lanes[0] + lanes[1] + lanes[2] + lanes[3];                                          \
    }                                                                                              \
    return sum;

// Bit 29 down to bit 0 (the zeroing form: GCC's unmasked one starts from an "undefined"
// register that its own -Wmaybe-uninitialized reports).
__attribute__((target("avx2,avx512f,avx512vl"))) inline __m512i ShiftedBits(__m512i bits) noexcept
{
    return _mm512_maskz_srli_epi64(0xff, bits, 29);
}

__attribute__((target("avx2,avx512f,avx512vl"))) inline __m256i ShiftedBits(__m256i bits) noexcept
{
    return _mm256_srli_epi64(bits, 29);
}

template <int Groups>
__attribute__((target("avx2,avx512f,avx512vl"))) double FloorZmmMasked(long steps) noexcept
{
    ORVO_FLOOR_MASKED_BODY(__m512d, _mm512, __m512i, 512, _mm512_set1_epi64)
}

template <int Groups>
__attribute__((target("avx2,avx512f,avx512vl"))) double FloorYmmMasked(long steps) noexcept
{
    ORVO_FLOOR_MASKED_BODY(__m256d, _mm256, __m256i, 256, _mm256_set1_epi64x)
}

#undef ORVO_FLOOR_MASKED_BODY

using TFloor = double (*)(long) noexcept;

TFloor FloorFor(orvo::TSimdLevel level, bool twelve, TRounding rounding) noexcept
{
    if (level == orvo::slAvx512)
    {
        switch (rounding)
        {
        case roConvert:
            return twelve ? &FloorAvx512<3, roConvert> : &FloorAvx512<2, roConvert>;
        case roBits:
            return twelve ? &FloorAvx512<3, roBits> : &FloorAvx512<2, roBits>;
        case roMasked:
            return twelve ? &FloorYmmMasked<3> : &FloorZmmMasked<1>;
        case roTwoOps:
            return twelve ? &FloorAvx512<3, roTwoOps> : &FloorAvx512<2, roTwoOps>;
        }
    }
    switch (rounding)
    {
    case roConvert:
        return twelve ? &FloorAvx2<3, roConvert> : &FloorAvx2<2, roConvert>;
    case roBits:
        return twelve ? &FloorAvx2<3, roBits> : &FloorAvx2<2, roBits>;
    case roMasked:
        break;
    case roTwoOps:
        return twelve ? &FloorAvx2<3, roTwoOps> : &FloorAvx2<2, roTwoOps>;
    }
    return nullptr;
}

// Arguments: level (2 AVX2, 3 AVX-512), lanes (8 or 12), rounding (TRounding).
void RecurrenceFloor(benchmark::State& state)
{
    const auto level = static_cast<orvo::TSimdLevel>(state.range(0));
    const bool twelve = state.range(1) == 12;
    const TFloor floor = FloorFor(level, twelve, static_cast<TRounding>(state.range(2)));
    if (!orvo::SimdLevelSupported(level) || floor == nullptr)
    {
        state.SkipWithError("not available here");
        return;
    }
    constexpr long Steps = 4096;
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(floor(Steps));
    }
    state.SetLabel(orvo::SimdLevelName(level));
    // A host-rate frame is one step; an oversampled frame is two.
    const double frames = twelve ? Steps / 2.0 : static_cast<double>(Steps);
    state.counters["ns/frame"] = benchmark::Counter(
        frames, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(RecurrenceFloor)
    ->ArgsProduct({{orvo::slAvx2, orvo::slAvx512},
                   {8, 12},
                   {roConvert, roBits, roMasked, roTwoOps}})
    ->ArgNames({"level", "lanes", "rounding"});

} // namespace
#endif
