// The lockstep biquad loop, written once for every vector width. Each instruction-set file
// (uBiquadLanesSse2.cpp, ...) includes this after switching its code generation to that
// instruction set, and instantiates RunLanes with its own vector operations V:
//
//   V::Width                     doubles per vector
//   V::D                         vector of doubles
//   Set1, Load, Store            broadcast, aligned load and store of doubles
//   Add, Sub, Mul                lane-wise IEEE double arithmetic
//   Select(mask, a, b)           per lane: mask ? a : b, masks from LessThan / Equal
//   LoadLanes(quads, first)      lanes first..first+Width-1 of one sample held as floats in
//                                quads (4 lanes per __m128), as doubles
//   StoreLanes(quads, first, y)  y rounded to 32-bit into the same place
//   FlushInput(x)                FlushTiny on input samples (exact 32-bit values)
//   RoundAndFlush(y, unusual)    FlushTiny(float(y)) as a double; sets `unusual` when a lane
//                                is out of the fast path's range (see below)
//
// Per lane and sample the operations are those of ProcessBiquad, in its order:
//   y = b0 x + b1 x1 + b2 x2 - a1 y1 - a2 y2, evaluated left to right.
// The rounding of y to 32-bit and the flush form the feedback's critical path. The vector
// kernels do them on the double's bits (round to nearest even at bit 29, then clear the lane
// when the rounded magnitude is not above FlushThreshold), which only holds while the
// rounded value is a finite 32-bit number. A lane whose |y| rounds to infinity, or is NaN,
// flags `unusual`, and that sample's feedback is then recomputed with the exact conversion
// (RoundAndFlushExact); so every input, however broken, gives the scalar path's bits.
//
// The lanes' buffers are read and written four samples at a time and transposed in registers
// (one 4 x 4 transpose per four lanes), inside the loop, where that work overlaps with the
// feedback chains instead of adding to them.
//
// Everything is in an anonymous namespace, and each including file instantiates it with types
// of its own, so no two instruction sets ever share a copy.
#pragma once

// Included before the target switch by every including file, so that the filter's own inline
// functions keep the baseline instruction set.
#include "dsp/uFilterKernels.h"
#include "dsp/uRBJFilter.h"

#include <emmintrin.h>

namespace orvo::simd_kernel
{
// Everything here has internal linkage: each instruction-set file compiles its own copy
// with its own code generation, and the linker must never pick one file's copy for another.
namespace
{

/// Most lanes one call handles (one AVX-512 vector, or two AVX2 vectors, ...).
inline constexpr int MaxLanes = 8;

/// FlushTiny(float(y)) widened back to double, lane by lane without vectors. A template of
/// V only so that each instruction set keeps its own copy.
template <class V> double RoundAndFlushExact(double y) noexcept
{
    return static_cast<double>(FlushTiny(static_cast<float>(y)));
}

template <class V, int Groups> struct TLaneBlock
{
    static constexpr int Lanes = V::Width * Groups;
    alignas(64) double Coef[5][Lanes];       // b0 b1 b2 a1 a2
    alignas(64) double Step[5][Lanes];       // their glide increments
    alignas(64) double Target[5][Lanes];     // their glide targets
    alignas(64) double State[4][Lanes];      // x1 x2 y1 y2
    alignas(64) double LastGlideStep[Lanes]; // index of the sample that lands on the target
};

template <class V, int Groups> struct TLaneVectors
{
    using D = typename V::D;
    D B0[Groups], B1[Groups], B2[Groups], A1[Groups], A2[Groups];
    D X1[Groups], X2[Groups], Y1[Groups], Y2[Groups];
};

/// Four consecutive samples of every lane, as 32-bit floats: Quads[s][q] holds sample s of
/// lanes 4q..4q+3 (with two lanes, Quads[s][0] holds sample s of both in its low half).
template <int Lanes> struct TFourSamples
{
    __m128 Quads[4][(Lanes + 3) / 4];
};

/// One sample of every lane, read from and written back to `quads`; the groups are
/// independent chains that overlap in time. Always inlined, so that the lanes' values stay in
/// registers across samples.
template <class V, int Groups>
[[gnu::always_inline]] inline void StepSample(TLaneVectors<V, Groups>& v, __m128* quads) noexcept
{
    using D = typename V::D;
    constexpr int W = V::Width;
    D out[Groups];
    for (int g = 0; g < Groups; ++g)
    {
        const D x = V::LoadLanes(quads, g * W);
        const D y = V::Sub(V::Sub(V::Add(V::Add(V::Mul(v.B0[g], x), V::Mul(v.B1[g], v.X1[g])),
                                         V::Mul(v.B2[g], v.X2[g])),
                                  V::Mul(v.A1[g], v.Y1[g])),
                           V::Mul(v.A2[g], v.Y2[g]));
        out[g] = y;
        bool unusual = false;
        D fed = V::RoundAndFlush(y, unusual);
        if (unusual)
        {
            alignas(64) double lanes[W];
            V::Store(lanes, y);
            for (int lane = 0; lane < W; ++lane)
            {
                lanes[lane] = RoundAndFlushExact<V>(lanes[lane]);
            }
            fed = V::Load(lanes);
        }
        v.X2[g] = v.X1[g];
        v.X1[g] = V::FlushInput(x);
        v.Y2[g] = v.Y1[g];
        v.Y1[g] = fed;
    }
    for (int g = 0; g < Groups; ++g)
    {
        V::StoreLanes(quads, g * W, out[g]);
    }
}

template <class V, class M>
[[gnu::always_inline]] inline typename V::D
Advance(typename V::D value, M adds, M lands, const double* step, const double* target) noexcept
{
    return V::Select(lands, V::Load(target), V::Select(adds, V::Add(value, V::Load(step)), value));
}

/// One glide step on every lane, none of which lands on its targets with it.
template <class V, int Groups>
[[gnu::always_inline]] inline void AddGlideSteps(TLaneVectors<V, Groups>& v,
                                                 const TLaneBlock<V, Groups>& block) noexcept
{
    constexpr int W = V::Width;
    for (int g = 0; g < Groups; ++g)
    {
        v.B0[g] = V::Add(v.B0[g], V::Load(&block.Step[0][g * W]));
        v.B1[g] = V::Add(v.B1[g], V::Load(&block.Step[1][g * W]));
        v.B2[g] = V::Add(v.B2[g], V::Load(&block.Step[2][g * W]));
        v.A1[g] = V::Add(v.A1[g], V::Load(&block.Step[3][g * W]));
        v.A2[g] = V::Add(v.A2[g], V::Load(&block.Step[4][g * W]));
    }
}

/// While a lane glides, each sample first adds the steps, and the step that ends the glide
/// lands on the targets instead; lanes not gliding keep their bits.
template <class V, int Groups>
[[gnu::always_inline]] inline void GlideStep(TLaneVectors<V, Groups>& v,
                                             const TLaneBlock<V, Groups>& block, int index) noexcept
{
    constexpr int W = V::Width;
    const auto at = V::Set1(static_cast<double>(index));
    for (int g = 0; g < Groups; ++g)
    {
        const auto last = V::Load(&block.LastGlideStep[g * W]);
        const auto adds = V::LessThan(at, last);
        const auto lands = V::Equal(at, last);
        v.B0[g] = Advance<V>(v.B0[g], adds, lands, &block.Step[0][g * W], &block.Target[0][g * W]);
        v.B1[g] = Advance<V>(v.B1[g], adds, lands, &block.Step[1][g * W], &block.Target[1][g * W]);
        v.B2[g] = Advance<V>(v.B2[g], adds, lands, &block.Step[2][g * W], &block.Target[2][g * W]);
        v.A1[g] = Advance<V>(v.A1[g], adds, lands, &block.Step[3][g * W], &block.Target[3][g * W]);
        v.A2[g] = Advance<V>(v.A2[g], adds, lands, &block.Step[4][g * W], &block.Target[4][g * W]);
    }
}

/// Samples i..i+3 of the buffers of lanes 4q..4q+3, transposed into quad q.
template <int Lanes>
[[gnu::always_inline]] inline void LoadQuad(float* const* buffers, int q, int i,
                                            TFourSamples<Lanes>& four) noexcept
{
    __m128 r0 = _mm_loadu_ps(buffers[4 * q] + i);
    __m128 r1 = _mm_loadu_ps(buffers[4 * q + 1] + i);
    __m128 r2 = _mm_loadu_ps(buffers[4 * q + 2] + i);
    __m128 r3 = _mm_loadu_ps(buffers[4 * q + 3] + i);
    _MM_TRANSPOSE4_PS(r0, r1, r2, r3);
    four.Quads[0][q] = r0;
    four.Quads[1][q] = r1;
    four.Quads[2][q] = r2;
    four.Quads[3][q] = r3;
}

/// Samples i..i+3 of every lane's buffer, transposed in registers.
template <int Lanes>
[[gnu::always_inline]] inline void LoadFour(float* const* buffers, int i,
                                            TFourSamples<Lanes>& four) noexcept
{
    if constexpr (Lanes == 2)
    {
        const __m128 left = _mm_loadu_ps(buffers[0] + i);
        const __m128 right = _mm_loadu_ps(buffers[1] + i);
        const __m128 low = _mm_unpacklo_ps(left, right);
        const __m128 high = _mm_unpackhi_ps(left, right);
        four.Quads[0][0] = low;
        four.Quads[1][0] = _mm_movehl_ps(low, low);
        four.Quads[2][0] = high;
        four.Quads[3][0] = _mm_movehl_ps(high, high);
    }
    else
    {
        for (int q = 0; q < Lanes / 4; ++q)
        {
            LoadQuad(buffers, q, i, four);
        }
    }
}

/// The inverse of LoadQuad: quad q of the four samples into lanes 4q..4q+3's buffers at i.
template <int Lanes>
[[gnu::always_inline]] inline void StoreQuad(const TFourSamples<Lanes>& four, int q,
                                             float* const* buffers, int i) noexcept
{
    __m128 r0 = four.Quads[0][q];
    __m128 r1 = four.Quads[1][q];
    __m128 r2 = four.Quads[2][q];
    __m128 r3 = four.Quads[3][q];
    _MM_TRANSPOSE4_PS(r0, r1, r2, r3);
    _mm_storeu_ps(buffers[4 * q] + i, r0);
    _mm_storeu_ps(buffers[4 * q + 1] + i, r1);
    _mm_storeu_ps(buffers[4 * q + 2] + i, r2);
    _mm_storeu_ps(buffers[4 * q + 3] + i, r3);
}

/// The inverse of LoadFour.
template <int Lanes>
[[gnu::always_inline]] inline void StoreFour(const TFourSamples<Lanes>& four, float* const* buffers,
                                             int i) noexcept
{
    if constexpr (Lanes == 2)
    {
        const __m128 low = _mm_movelh_ps(four.Quads[0][0], four.Quads[1][0]);
        const __m128 high = _mm_movelh_ps(four.Quads[2][0], four.Quads[3][0]);
        _mm_storeu_ps(buffers[0] + i, _mm_shuffle_ps(low, high, _MM_SHUFFLE(2, 0, 2, 0)));
        _mm_storeu_ps(buffers[1] + i, _mm_shuffle_ps(low, high, _MM_SHUFFLE(3, 1, 3, 1)));
    }
    else
    {
        for (int q = 0; q < Lanes / 4; ++q)
        {
            StoreQuad(four, q, buffers, i);
        }
    }
}

/// Sample i of every lane alone (the last samples of a run that is not a multiple of 4).
template <int Lanes> inline void LoadOne(float* const* buffers, int i, __m128* quads) noexcept
{
    alignas(16) float samples[(Lanes + 3) / 4 * 4] = {};
    for (int lane = 0; lane < Lanes; ++lane)
    {
        samples[lane] = buffers[lane][i];
    }
    for (int q = 0; q < (Lanes + 3) / 4; ++q)
    {
        quads[q] = _mm_load_ps(samples + 4 * q);
    }
}

template <int Lanes>
inline void StoreOne(const __m128* quads, float* const* buffers, int i) noexcept
{
    alignas(16) float samples[(Lanes + 3) / 4 * 4];
    for (int q = 0; q < (Lanes + 3) / 4; ++q)
    {
        _mm_store_ps(samples + 4 * q, quads[q]);
    }
    for (int lane = 0; lane < Lanes; ++lane)
    {
        buffers[lane][i] = samples[lane];
    }
}

/// Where the lanes' samples come from and go to: each lane its own buffer, filtered in place.
/// RunLanesWith takes any type with these members; AfterSample(s) follows the step of
/// sample s of each four, and Finish ends the run.
template <int Lanes> struct TBufferIO
{
    float* const* Buffers;

    [[gnu::always_inline]] void Load(int i, TFourSamples<Lanes>& four) const noexcept
    {
        LoadFour<Lanes>(Buffers, i, four);
    }
    [[gnu::always_inline]] void Store(const TFourSamples<Lanes>& four, int i) const noexcept
    {
        StoreFour<Lanes>(four, Buffers, i);
    }
    [[gnu::always_inline]] void LoadOne(int i, __m128* quads) const noexcept
    {
        orvo::simd_kernel::LoadOne<Lanes>(Buffers, i, quads);
    }
    [[gnu::always_inline]] void StoreOne(const __m128* quads, int i) const noexcept
    {
        orvo::simd_kernel::StoreOne<Lanes>(quads, Buffers, i);
    }
    void AfterSample(int) const noexcept {}
    void Finish() const noexcept {}
};

// Coefficient indices in TBiquadCore::FCoef of b0 b1 b2 a1 a2 (3 is a0, unused per sample).
inline constexpr int CoefIndex[5] = {0, 1, 2, 4, 5};

/// Runs `count` samples of Groups x V::Width lanes, the samples read and written through io.
template <class V, int Groups, class IO>
[[gnu::always_inline]] inline void RunLanesWith(TBiquadCore* const* cores, IO& io,
                                                int count) noexcept
{
    constexpr int W = V::Width;
    constexpr int Lanes = W * Groups;
    TLaneBlock<V, Groups> block;

    int glideSamples = 0;
    int shortestGlide = GlideLength;
    for (int lane = 0; lane < Lanes; ++lane)
    {
        const TBiquadCore& core = *cores[lane];
        for (int k = 0; k < 5; ++k)
        {
            block.Coef[k][lane] = core.FCoef[CoefIndex[k]];
            block.Step[k][lane] = core.FCoefStep[CoefIndex[k]];
            block.Target[k][lane] = core.FCoefTarget[CoefIndex[k]];
        }
        for (int k = 0; k < 4; ++k)
        {
            block.State[k][lane] = core.FState[k];
        }
        block.LastGlideStep[lane] = static_cast<double>(core.FGlideLeft - 1);
        glideSamples = core.FGlideLeft > glideSamples ? core.FGlideLeft : glideSamples;
        shortestGlide = core.FGlideLeft < shortestGlide ? core.FGlideLeft : shortestGlide;
    }
    glideSamples = glideSamples < count ? glideSamples : count;
    // Samples in which every lane takes a plain step (the usual case: a "Tuning" change
    // starts all eight glides together), done without masks.
    const int allStepping = shortestGlide > 1 ? shortestGlide - 1 : 0;

    TLaneVectors<V, Groups> v;
    for (int g = 0; g < Groups; ++g)
    {
        v.B0[g] = V::Load(&block.Coef[0][g * W]);
        v.B1[g] = V::Load(&block.Coef[1][g * W]);
        v.B2[g] = V::Load(&block.Coef[2][g * W]);
        v.A1[g] = V::Load(&block.Coef[3][g * W]);
        v.A2[g] = V::Load(&block.Coef[4][g * W]);
        v.X1[g] = V::Load(&block.State[0][g * W]);
        v.X2[g] = V::Load(&block.State[1][g * W]);
        v.Y1[g] = V::Load(&block.State[2][g * W]);
        v.Y2[g] = V::Load(&block.State[3][g * W]);
    }

    // Four samples at a time: their loads, transposes and stores overlap with the feedback
    // chains, which leave the processor's other units idle most of the time.
    int i = 0;
    for (; i + 4 <= count; i += 4)
    {
        TFourSamples<Lanes> four;
        io.Load(i, four);
        if (i + 4 <= allStepping)
        {
            for (int s = 0; s < 4; ++s)
            {
                AddGlideSteps(v, block);
                StepSample(v, four.Quads[s]);
                io.AfterSample(s);
            }
        }
        else if (i < glideSamples)
        {
            for (int s = 0; s < 4; ++s)
            {
                GlideStep(v, block, i + s);
                StepSample(v, four.Quads[s]);
                io.AfterSample(s);
            }
        }
        else
        {
            for (int s = 0; s < 4; ++s)
            {
                StepSample(v, four.Quads[s]);
                io.AfterSample(s);
            }
        }
        io.Store(four, i);
    }
    for (; i < count; ++i)
    {
        __m128 quads[(Lanes + 3) / 4];
        io.LoadOne(i, quads);
        GlideStep(v, block, i);
        StepSample(v, quads);
        io.StoreOne(quads, i);
    }
    io.Finish();

    for (int g = 0; g < Groups; ++g)
    {
        V::Store(&block.Coef[0][g * W], v.B0[g]);
        V::Store(&block.Coef[1][g * W], v.B1[g]);
        V::Store(&block.Coef[2][g * W], v.B2[g]);
        V::Store(&block.Coef[3][g * W], v.A1[g]);
        V::Store(&block.Coef[4][g * W], v.A2[g]);
        V::Store(&block.State[0][g * W], v.X1[g]);
        V::Store(&block.State[1][g * W], v.X2[g]);
        V::Store(&block.State[2][g * W], v.Y1[g]);
        V::Store(&block.State[3][g * W], v.Y2[g]);
    }
    for (int lane = 0; lane < Lanes; ++lane)
    {
        TBiquadCore& core = *cores[lane];
        for (int k = 0; k < 5; ++k)
        {
            core.FCoef[CoefIndex[k]] = block.Coef[k][lane];
        }
        for (int k = 0; k < 4; ++k)
        {
            core.FState[k] = block.State[k][lane];
        }
        // a0 takes the same steps as the others, one scalar addition per sample.
        const int steps = core.FGlideLeft < count ? core.FGlideLeft : count;
        for (int s = 0; s < steps; ++s)
        {
            if (--core.FGlideLeft == 0)
            {
                core.FCoef[3] = core.FCoefTarget[3];
            }
            else
            {
                core.FCoef[3] += core.FCoefStep[3];
            }
        }
    }
}

/// Runs `count` samples of Groups x V::Width lanes, each filtering its buffer in place.
template <class V, int Groups>
void RunLanes(TBiquadCore* const* cores, float* const* buffers, int count) noexcept
{
    const TBufferIO<V::Width * Groups> io{buffers};
    RunLanesWith<V, Groups>(cores, io, count);
}

/// Runs `count` (at most PaddedRunMax) samples of laneCount <= Groups x V::Width lanes in one
/// lockstep loop, so that the feedback chains of all of them overlap; the lanes beyond
/// laneCount are idle filters (zero coefficients) on silent scratch buffers.
inline constexpr int PaddedRunMax = 64;

/// Samples i..i+3 of the gained input, each broadcast to the four lanes of its channel:
/// quads[s][0] for the left channel, quads[s][1] for the right.
template <int Quads>
[[gnu::always_inline]] inline void BroadcastGained(const float* left, const float* right,
                                                   float gain, int i,
                                                   __m128 (&quads)[4][Quads]) noexcept
{
    const __m128 g = _mm_set1_ps(gain);
    const float* const channels[2] = {left, right};
    for (int c = 0; c < 2; ++c)
    {
        const __m128 x = _mm_mul_ps(_mm_loadu_ps(channels[c] + i), g);
        quads[0][c] = _mm_shuffle_ps(x, x, _MM_SHUFFLE(0, 0, 0, 0));
        quads[1][c] = _mm_shuffle_ps(x, x, _MM_SHUFFLE(1, 1, 1, 1));
        quads[2][c] = _mm_shuffle_ps(x, x, _MM_SHUFFLE(2, 2, 2, 2));
        quads[3][c] = _mm_shuffle_ps(x, x, _MM_SHUFFLE(3, 3, 3, 3));
    }
}

/// Lanes 0..7 read the gained input (TGainedInput) instead of their buffers: lanes 0..3 the
/// left channel times the gain, lanes 4..7 the right; they write their buffers as usual, and
/// the other lanes read and write theirs. Each four samples are read when their turn comes,
/// so another lane may have written them in an earlier four of the same loop.
template <int Lanes> struct TGainedIO
{
    static_assert(Lanes >= 8, "the crossover bank takes the first eight lanes");
    float* const* Buffers;
    const float* Left;
    const float* Right;
    float Gain;

    [[gnu::always_inline]] void Load(int i, TFourSamples<Lanes>& four) const noexcept
    {
        BroadcastGained(Left, Right, Gain, i, four.Quads);
        for (int q = 2; q < Lanes / 4; ++q)
        {
            LoadQuad(Buffers, q, i, four);
        }
    }
    [[gnu::always_inline]] void Store(const TFourSamples<Lanes>& four, int i) const noexcept
    {
        StoreFour<Lanes>(four, Buffers, i);
    }
    [[gnu::always_inline]] void LoadOne(int i, __m128* quads) const noexcept
    {
        orvo::simd_kernel::LoadOne<Lanes>(Buffers, i, quads);
        quads[0] = _mm_set1_ps(Left[i] * Gain);
        quads[1] = _mm_set1_ps(Right[i] * Gain);
    }
    [[gnu::always_inline]] void StoreOne(const __m128* quads, int i) const noexcept
    {
        orvo::simd_kernel::StoreOne<Lanes>(quads, Buffers, i);
    }
    void AfterSample(int) const noexcept {}
    void Finish() const noexcept {}
};

template <class V, int Groups>
void RunLanesPadded(TBiquadCore* const* cores, float* const* buffers, int laneCount, int count,
                    const TGainedInput* gained = nullptr) noexcept
{
    constexpr int Lanes = V::Width * Groups;
    TBiquadCore idle[Lanes];
    alignas(16) float silence[Lanes][PaddedRunMax];
    TBiquadCore* allCores[Lanes];
    float* allBuffers[Lanes];
    for (int lane = 0; lane < Lanes; ++lane)
    {
        if (lane < laneCount)
        {
            allCores[lane] = cores[lane];
            allBuffers[lane] = buffers[lane];
        }
        else
        {
            for (int i = 0; i < count; ++i)
            {
                silence[lane][i] = 0.0f;
            }
            allCores[lane] = &idle[lane];
            allBuffers[lane] = silence[lane];
        }
    }
    if (gained != nullptr)
    {
        const TGainedIO<Lanes> io{allBuffers, gained->Left, gained->Right, gained->Gain};
        RunLanesWith<V, Groups>(allCores, io, count);
    }
    else
    {
        RunLanes<V, Groups>(allCores, allBuffers, count);
    }
}

} // namespace
} // namespace orvo::simd_kernel
