// The crossovers handing on bands (TCrossoverBandsKernel, TLockstepBandsKernel): an
// input/output policy for RunLanesWith (uBiquadKernel.h) that forms the five bands of each
// channel from the crossover lanes' output and follows the transient envelopes of the bands
// as it goes. Included, after uBiquadKernel.h, by the AVX2 and the AVX-512 file only: its
// envelopes take 256-bit vectors. The including file includes the library headers below
// before its target switch, as for uBiquadKernel.h.
#pragma once

#include "dsp/uFilterKernels.h"

#include <immintrin.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace orvo::simd_kernel
{
namespace
{

/// The crossover lanes (0..7) read the gained input as with TGainedIO. Each four samples
/// they have filtered become the five bands of each channel, formed as
/// TOrvoChain::SplitBands forms them, and the bands' peaks advance the envelopes,
/// e = m + (e - m) x (m > e ? attack : release), as the transient processor's own loop
/// advances them: bands 0..3 in one 256-bit vector, band 4 beside a spare lane. Each four
/// samples' envelope steps are taken one after each filter step of the next four, so that
/// the two recursions sit side by side in the instruction stream and their waits overlap.
/// The envelopes run without their floor, which changes nothing while every envelope stays
/// above it; when one did not, FinishEnvelopes does the run again with the floor from its
/// start. With twelve lanes, lanes 8..11 filter their own buffers in place.
template <int Lanes> struct TBandSplitIO
{
    static_assert(Lanes == 8 || Lanes == 12, "the crossover bank, alone or with four more lanes");
    static constexpr double Floor = 1.0e-25;

    /// Memory the kernel works in beside its registers.
    struct Scratch
    {
        alignas(16) float Peak[5][PaddedRunMax]; // per band, its peaks over the run
        alignas(32) double Pending[4][4];        // bands 0..3 of the last four samples
        alignas(32) double PendingTop[4];        // band 4 of the last four samples
    };

    float* const* Buffers; // lanes 8..11
    const float* Left;
    const float* Right;
    float Gain;
    TBandSplit& Split;
    Scratch& Memory;
    __m256d Envelope;    // bands 0..3
    __m128d EnvelopeTop; // band 4, and a spare lane
    __m256d Attack;
    __m256d Release;
    // The lowest envelope so far of each lane. The lanes of untracked bands start at 1,
    // which at any usual rate stays far above Floor over a run (and where it does not, the
    // run is only done again). A NaN is not kept here, but once in an envelope it stays
    // there to the run's end, where FinishEnvelopes sees it.
    __m256d Lowest;
    __m128d LowestTop;
    bool HasPending = false;

    TBandSplitIO(float* const* buffers, const TGainedInput& gained, TBandSplit& split,
                 Scratch& memory) noexcept
        : Buffers(buffers), Left(gained.Left), Right(gained.Right), Gain(gained.Gain), Split(split),
          Memory(memory)
    {
        alignas(32) double start[6];
        for (int k = 0; k < 6; ++k)
        {
            start[k] = k < 5 && (split.Tracked & (1u << k)) != 0
                           ? split.Envelope[static_cast<std::size_t>(k)]
                           : 1.0;
        }
        Envelope = _mm256_load_pd(start);
        EnvelopeTop = _mm_load_pd(start + 4);
        Attack = _mm256_set1_pd(split.Attack);
        Release = _mm256_set1_pd(split.Release);
        Lowest = _mm256_set1_pd(1.0);
        LowestTop = _mm_set1_pd(1.0);
    }

    [[gnu::always_inline]] void Load(int i, TFourSamples<Lanes>& four) const noexcept
    {
        BroadcastGained(Left, Right, Gain, i, four.Quads);
        if constexpr (Lanes == 12)
        {
            LoadQuad(Buffers, 2, i, four);
        }
    }

    /// One envelope step of every band over the peaks of one sample: peaks of bands 0..3,
    /// and of band 4 in the low lane of top.
    [[gnu::always_inline]] void Advance(__m256d peaks, __m128d top) noexcept
    {
        const __m256d rising = _mm256_cmp_pd(Envelope, peaks, _CMP_LT_OQ);
        const __m256d next =
            _mm256_add_pd(peaks, _mm256_mul_pd(_mm256_sub_pd(Envelope, peaks),
                                               _mm256_blendv_pd(Release, Attack, rising)));
        Lowest = _mm256_min_pd(next, Lowest);
        Envelope = next;
        const __m128d risingTop = _mm_cmplt_pd(EnvelopeTop, top);
        const __m128d nextTop =
            _mm_add_pd(top, _mm_mul_pd(_mm_sub_pd(EnvelopeTop, top),
                                       _mm_blendv_pd(_mm256_castpd256_pd128(Release),
                                                     _mm256_castpd256_pd128(Attack), risingTop)));
        LowestTop = _mm_min_pd(nextTop, LowestTop);
        EnvelopeTop = nextTop;
    }

    [[gnu::always_inline]] void AdvancePendingSample(int s) noexcept
    {
        Advance(_mm256_load_pd(Memory.Pending[s]), _mm_load_sd(&Memory.PendingTop[s]));
    }

    [[gnu::always_inline]] void AfterSample(int s) noexcept
    {
        if (HasPending)
        {
            AdvancePendingSample(s);
        }
    }

    void AdvancePending() noexcept
    {
        if (HasPending)
        {
            for (int s = 0; s < 4; ++s)
            {
                AdvancePendingSample(s);
            }
            HasPending = false;
        }
    }

    [[gnu::always_inline]] void Store(const TFourSamples<Lanes>& four, int i) noexcept
    {
        if constexpr (Lanes == 12)
        {
            StoreQuad(four, 2, Buffers, i);
        }
        const float* const inputs[2] = {Left, Right};
        __m128 magnitude[2][5];
        const __m128 sign = _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff));
        for (int c = 0; c < 2; ++c)
        {
            __m128 r0 = four.Quads[0][c];
            __m128 r1 = four.Quads[1][c];
            __m128 r2 = four.Quads[2][c];
            __m128 r3 = four.Quads[3][c];
            _MM_TRANSPOSE4_PS(r0, r1, r2, r3);
            const __m128 gained = _mm_mul_ps(_mm_loadu_ps(inputs[c] + i), _mm_set1_ps(Gain));
            const __m128 bands[5] = {r0, _mm_sub_ps(r1, r0), _mm_sub_ps(r2, r1), _mm_sub_ps(r3, r2),
                                     _mm_sub_ps(gained, r3)};
            for (int k = 0; k < 5; ++k)
            {
                _mm_storeu_ps(
                    Split.Bands[static_cast<std::size_t>(c)][static_cast<std::size_t>(k)] + i,
                    bands[k]);
                magnitude[c][k] = _mm_and_ps(bands[k], sign);
            }
        }
        // max(|left|, |right|) as std::max takes it: the left one unless it is below.
        __m128 peak[5];
        for (int k = 0; k < 5; ++k)
        {
            peak[k] = _mm_max_ps(magnitude[1][k], magnitude[0][k]);
            _mm_store_ps(&Memory.Peak[k][i], peak[k]);
        }
        // Sample by sample: bands 0..3 as four doubles, band 4 as one.
        _MM_TRANSPOSE4_PS(peak[0], peak[1], peak[2], peak[3]);
        for (int s = 0; s < 4; ++s)
        {
            _mm256_store_pd(Memory.Pending[s], _mm256_cvtps_pd(peak[s]));
        }
        _mm256_store_pd(Memory.PendingTop, _mm256_cvtps_pd(peak[4]));
        HasPending = true;
    }

    [[gnu::always_inline]] void LoadOne(int i, __m128* quads) const noexcept
    {
        quads[0] = _mm_set1_ps(Left[i] * Gain);
        quads[1] = _mm_set1_ps(Right[i] * Gain);
        if constexpr (Lanes == 12)
        {
            quads[2] = _mm_set_ps(Buffers[11][i], Buffers[10][i], Buffers[9][i], Buffers[8][i]);
        }
    }

    void StoreOne(const __m128* quads, int i) noexcept
    {
        if constexpr (Lanes == 12)
        {
            alignas(16) float samples[4];
            _mm_store_ps(samples, quads[2]);
            for (int lane = 0; lane < 4; ++lane)
            {
                Buffers[8 + lane][i] = samples[lane];
            }
        }
        AdvancePending();
        const float* const inputs[2] = {Left, Right};
        float band[2][5];
        for (int c = 0; c < 2; ++c)
        {
            alignas(16) float low[4];
            _mm_store_ps(low, quads[c]);
            band[c][0] = low[0];
            band[c][1] = low[1] - low[0];
            band[c][2] = low[2] - low[1];
            band[c][3] = low[3] - low[2];
            band[c][4] = inputs[c][i] * Gain - low[3];
            for (int k = 0; k < 5; ++k)
            {
                Split.Bands[static_cast<std::size_t>(c)][static_cast<std::size_t>(k)][i] =
                    band[c][k];
            }
        }
        alignas(32) double peaks[5];
        for (int k = 0; k < 5; ++k)
        {
            Memory.Peak[k][i] = std::max(std::fabs(band[0][k]), std::fabs(band[1][k]));
            peaks[k] = static_cast<double>(Memory.Peak[k][i]);
        }
        Advance(_mm256_load_pd(peaks), _mm_load_sd(&peaks[4]));
    }

    void Finish() const noexcept {}

    /// The tracked envelopes into Split, or, when some envelope was not above Floor, the
    /// run done again from its start with the floor.
    void FinishEnvelopes(int count) noexcept
    {
        AdvancePending();
        alignas(32) double lanes[6];
        _mm256_store_pd(lanes, Envelope);
        _mm_store_pd(lanes + 4, EnvelopeTop);
        const __m256d floor = _mm256_set1_pd(Floor);
        const __m256d above = _mm256_and_pd(_mm256_cmp_pd(Lowest, floor, _CMP_GT_OQ),
                                            _mm256_cmp_pd(Envelope, floor, _CMP_GT_OQ));
        const __m128d aboveTop =
            _mm_and_pd(_mm_cmpgt_pd(LowestTop, _mm256_castpd256_pd128(floor)),
                       _mm_cmpgt_pd(EnvelopeTop, _mm256_castpd256_pd128(floor)));
        const bool redo = _mm256_movemask_pd(above) != 0xf || _mm_movemask_pd(aboveTop) != 3;
        for (int k = 0; k < 5; ++k)
        {
            if ((Split.Tracked & (1u << k)) == 0)
            {
                continue;
            }
            double& envelope = Split.Envelope[static_cast<std::size_t>(k)];
            if (!redo)
            {
                envelope = lanes[k];
                continue;
            }
            for (int i = 0; i < count; ++i)
            {
                const double m = Memory.Peak[k][i];
                const double e = m + (envelope - m) * (m > envelope ? Split.Attack : Split.Release);
                envelope = e > Floor ? e : 0.0;
            }
        }
    }
};

/// The eight crossover lanes writing bands and following their envelopes (TBandSplitIO).
template <class V, int Groups>
void RunCrossoverBands(TBiquadCore* const* cores, int count, const TGainedInput& gained,
                       TBandSplit& split) noexcept
{
    static_assert(V::Width * Groups == 8, "the crossover bank is eight lanes");
    typename TBandSplitIO<8>::Scratch memory;
    TBandSplitIO<8> io(nullptr, gained, split, memory);
    RunLanesWith<V, Groups>(cores, io, count);
    io.FinishEnvelopes(count);
}

/// RunLanesPadded with gained input, the crossover lanes writing bands and following their
/// envelopes (TBandSplitIO) while lanes 8..laneCount-1 filter their buffers.
template <class V, int Groups>
void RunLanesPaddedBands(TBiquadCore* const* cores, float* const* buffers, int laneCount, int count,
                         const TGainedInput& gained, TBandSplit& split) noexcept
{
    static_assert(V::Width * Groups == 12, "the crossover bank and four more lanes");
    TBiquadCore idle[4];
    alignas(16) float silence[4][PaddedRunMax];
    TBiquadCore* allCores[12];
    float* allBuffers[12];
    for (int lane = 0; lane < 8; ++lane)
    {
        allCores[lane] = cores[lane];
        allBuffers[lane] = buffers[lane];
    }
    for (int extra = 0; extra < 4; ++extra)
    {
        if (8 + extra < laneCount)
        {
            allCores[8 + extra] = cores[8 + extra];
            allBuffers[8 + extra] = buffers[8 + extra];
        }
        else
        {
            std::fill_n(silence[extra], count, 0.0f);
            allCores[8 + extra] = &idle[extra];
            allBuffers[8 + extra] = silence[extra];
        }
    }
    typename TBandSplitIO<12>::Scratch memory;
    TBandSplitIO<12> io(allBuffers, gained, split, memory);
    RunLanesWith<V, Groups>(allCores, io, count);
    io.FinishEnvelopes(count);
}

} // namespace
} // namespace orvo::simd_kernel
