// The lockstep biquad loop, written once for every vector width. Each instruction-set file
// (uBiquadLanesSse2.cpp, ...) includes this after switching its code generation to that
// instruction set, and instantiates RunLanes with its own vector operations V:
//
//   V::Width                     doubles per vector
//   V::D                         vector of doubles
//   Set1, Load, Store            broadcast, aligned load and store of doubles
//   Add, Sub, Mul                lane-wise IEEE double arithmetic
//   Select(mask, a, b)           per lane: mask ? a : b, masks from LessThan / Equal
//   LoadSamples(buffers, i)      sample i of each lane's buffer, as doubles
//   StoreSamples(buffers, i, y)  y rounded to 32-bit into sample i of each buffer
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
// It defines templates only, in namespace orvo::simd_kernel; each including file instantiates
// them with types of its own anonymous namespace, so no two instruction sets share a copy.
#pragma once

// Included before the target switch by every including file, so that the filter's own inline
// functions keep the baseline instruction set.
#include "dsp/uRBJFilter.h"

namespace orvo::simd_kernel
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

/// One sample of every lane; the groups are independent chains that overlap in time. Always
/// inlined, so that the lanes' values stay in registers across samples.
template <class V, int Groups>
[[gnu::always_inline]] inline void StepSample(TLaneVectors<V, Groups>& v, float* const* buffers,
                                              int i) noexcept
{
    using D = typename V::D;
    constexpr int W = V::Width;
    for (int g = 0; g < Groups; ++g)
    {
        const D x = V::LoadSamples(buffers + g * W, i);
        const D y = V::Sub(V::Sub(V::Add(V::Add(V::Mul(v.B0[g], x), V::Mul(v.B1[g], v.X1[g])),
                                         V::Mul(v.B2[g], v.X2[g])),
                                  V::Mul(v.A1[g], v.Y1[g])),
                           V::Mul(v.A2[g], v.Y2[g]));
        V::StoreSamples(buffers + g * W, i, y);
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
}

// Coefficient indices in TBiquadCore::FCoef of b0 b1 b2 a1 a2 (3 is a0, unused per sample).
inline constexpr int CoefIndex[5] = {0, 1, 2, 4, 5};

/// Runs `count` samples of Groups x V::Width lanes.
template <class V, int Groups>
void RunLanes(TBiquadCore* const* cores, float* const* buffers, int count) noexcept
{
    using D = typename V::D;
    constexpr int W = V::Width;
    constexpr int Lanes = W * Groups;
    TLaneBlock<V, Groups> block;

    int glideSamples = 0;
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
    }
    glideSamples = glideSamples < count ? glideSamples : count;

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

    int i = 0;
    if (glideSamples > 0)
    {
        D stepB0[Groups], stepB1[Groups], stepB2[Groups], stepA1[Groups], stepA2[Groups];
        D last[Groups];
        for (int g = 0; g < Groups; ++g)
        {
            stepB0[g] = V::Load(&block.Step[0][g * W]);
            stepB1[g] = V::Load(&block.Step[1][g * W]);
            stepB2[g] = V::Load(&block.Step[2][g * W]);
            stepA1[g] = V::Load(&block.Step[3][g * W]);
            stepA2[g] = V::Load(&block.Step[4][g * W]);
            last[g] = V::Load(&block.LastGlideStep[g * W]);
        }
        // While a lane glides, each sample first adds the steps, and the step that ends
        // the glide lands on the targets instead; lanes not gliding keep their bits.
        for (; i < glideSamples; ++i)
        {
            const D index = V::Set1(static_cast<double>(i));
            for (int g = 0; g < Groups; ++g)
            {
                const auto adds = V::LessThan(index, last[g]);
                const auto lands = V::Equal(index, last[g]);
                v.B0[g] = V::Select(lands, V::Load(&block.Target[0][g * W]),
                                    V::Select(adds, V::Add(v.B0[g], stepB0[g]), v.B0[g]));
                v.B1[g] = V::Select(lands, V::Load(&block.Target[1][g * W]),
                                    V::Select(adds, V::Add(v.B1[g], stepB1[g]), v.B1[g]));
                v.B2[g] = V::Select(lands, V::Load(&block.Target[2][g * W]),
                                    V::Select(adds, V::Add(v.B2[g], stepB2[g]), v.B2[g]));
                v.A1[g] = V::Select(lands, V::Load(&block.Target[3][g * W]),
                                    V::Select(adds, V::Add(v.A1[g], stepA1[g]), v.A1[g]));
                v.A2[g] = V::Select(lands, V::Load(&block.Target[4][g * W]),
                                    V::Select(adds, V::Add(v.A2[g], stepA2[g]), v.A2[g]));
            }
            StepSample(v, buffers, i);
        }
    }
    for (; i < count; ++i)
    {
        StepSample(v, buffers, i);
    }

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

} // namespace orvo::simd_kernel
