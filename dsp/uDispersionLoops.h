// The loops of the transient processor: peaks, the envelope recursion, the gain ramps and
// applying them. Written once: uTransientDispersion.cpp compiles them for the baseline
// instruction set, and each dsp/simd/uDispersionLoops<Set>.cpp includes this after switching
// its code generation to a wider set. Every copy runs the same IEEE operations per sample in
// the same order, so every copy gives the same bits. Everything is in an anonymous namespace,
// so no copy can stand in for another at link time.
#pragma once

#include "dsp/uTransientDispersion.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <emmintrin.h>
#define ORVO_ENVELOPE_SSE2 1
#endif

namespace orvo::dispersion_loops
{
namespace
{

/// An envelope not above this is stored as 0 (keeps denormal values out of it).
inline constexpr double EnvelopeFloor = 1.0e-25;

/// The envelope recursion of several bands over n samples of their peaks:
/// e = m + (e - m) x (m > e ? attack : release), then 0 unless above EnvelopeFloor.
template <int Bands, std::int32_t Chunk>
void AdvanceEnvelopes(double* envelope, const double* attack, const double* release,
                      const float (&peak)[Bands][Chunk], std::int32_t n) noexcept
{
#if ORVO_ENVELOPE_SSE2
    // Two bands per vector; the same operations lane by lane, so the same bits. A spare lane
    // runs on silence and is dropped.
    constexpr int Vectors = (Bands + 1) / 2;
    alignas(16) double lanes[3][Vectors * 2];
    for (int b = 0; b < Vectors * 2; ++b)
    {
        const int band = b < Bands ? b : 0;
        lanes[0][b] = b < Bands ? envelope[b] : 0.0;
        lanes[1][b] = attack[band];
        lanes[2][b] = release[band];
    }
    __m128d e[Vectors], a[Vectors], r[Vectors];
    for (int v = 0; v < Vectors; ++v)
    {
        e[v] = _mm_load_pd(&lanes[0][2 * v]);
        a[v] = _mm_load_pd(&lanes[1][2 * v]);
        r[v] = _mm_load_pd(&lanes[2][2 * v]);
    }
    const __m128d floor = _mm_set1_pd(EnvelopeFloor);
    const auto peaks = [&peak](int v, std::int32_t i)
    {
        const int second = 2 * v + 1 < Bands ? 2 * v + 1 : 2 * v;
        return _mm_set_pd(2 * v + 1 < Bands ? static_cast<double>(peak[second][i]) : 0.0,
                          static_cast<double>(peak[2 * v][i]));
    };
    const auto step = [](__m128d from, __m128d m, __m128d up, __m128d down)
    {
        const __m128d rising = _mm_cmplt_pd(from, m);
        const __m128d coefficient = _mm_or_pd(_mm_and_pd(rising, up), _mm_andnot_pd(rising, down));
        return _mm_add_pd(m, _mm_mul_pd(_mm_sub_pd(from, m), coefficient));
    };
    // First without the floor, which is then off the recursion's critical path: it changes a
    // result only when that is not +0 and not above EnvelopeFloor (tiny, negative, -0 or
    // NaN, all marked here), which a sounding band never gives. When one did, the stretch is
    // done again with the floor from where it started.
    __m128d start[Vectors];
    __m128d floored = _mm_setzero_pd(); // sign bits: some result needed the floor
    const __m128d zero = _mm_setzero_pd();
    for (int v = 0; v < Vectors; ++v)
    {
        start[v] = e[v];
    }
    for (std::int32_t i = 0; i < n; ++i)
    {
        for (int v = 0; v < Vectors; ++v)
        {
            const __m128d next = step(e[v], peaks(v, i), a[v], r[v]);
            const __m128d changed =
                _mm_andnot_pd(_mm_cmpgt_pd(next, floor), _mm_cmpneq_pd(next, zero));
            floored = _mm_or_pd(floored, _mm_or_pd(changed, next));
            e[v] = next;
        }
    }
    if (_mm_movemask_pd(floored) != 0)
    {
        for (int v = 0; v < Vectors; ++v)
        {
            e[v] = start[v];
        }
        for (std::int32_t i = 0; i < n; ++i)
        {
            for (int v = 0; v < Vectors; ++v)
            {
                const __m128d next = step(e[v], peaks(v, i), a[v], r[v]);
                e[v] = _mm_and_pd(next, _mm_cmpgt_pd(next, floor));
            }
        }
    }
    for (int v = 0; v < Vectors; ++v)
    {
        _mm_store_pd(&lanes[0][2 * v], e[v]);
    }
    for (int b = 0; b < Bands; ++b)
    {
        envelope[b] = lanes[0][b];
    }
#else
    for (std::int32_t i = 0; i < n; ++i)
    {
        for (int b = 0; b < Bands; ++b)
        {
            const double m = peak[b][i];
            const double e = m + (envelope[b] - m) * (m > envelope[b] ? attack[b] : release[b]);
            envelope[b] = e > EnvelopeFloor ? e : 0.0;
        }
    }
#endif
}

template <int Bands> void RunBands(TDispersionJob& job) noexcept
{
    float* const* left = job.Left;
    float* const* right = job.Right;
    const std::int32_t count = job.Count;
    // The work goes in chunks so that the parts without a recursion (the peaks, applying
    // the gains) run as plain loops over samples, and the recursions of the bands (the
    // envelopes, the gain ramps) advance side by side.
    constexpr std::int32_t Chunk = 64;
    alignas(64) float peak[Bands][Chunk];
    alignas(64) double ramp[Bands][Chunk];
    double envelope[Bands], attack[Bands], release[Bands], gain[Bands], step[Bands];
    for (int b = 0; b < Bands; ++b)
    {
        envelope[b] = job.Envelope[b];
        attack[b] = job.Attack[b];
        release[b] = job.Release[b];
    }
    // Where the crossovers followed the envelopes already, job.Envelope holds their ends.
    if (!job.EnvelopeAdvanced)
    {
        for (std::int32_t start = 0; start < count; start += Chunk)
        {
            const std::int32_t n = std::min(Chunk, count - start);
            for (int b = 0; b < Bands; ++b)
            {
                const float* l = left[b] + start;
                const float* r = right[b] + start;
                for (std::int32_t i = 0; i < n; ++i)
                {
                    peak[b][i] = std::max(std::fabs(l[i]), std::fabs(r[i]));
                }
            }
            AdvanceEnvelopes<Bands>(envelope, attack, release, peak, n);
        }
    }
    for (int b = 0; b < Bands; ++b)
    {
        job.Envelope[b] = envelope[b];
        gain[b] = job.Gain[b]; // g0: where the previous run ended
        job.Gain[b] = DispersionGain(envelope[b], job.Scale[b]);
        // (g1 - g0) / 64 equals (g1 - g0) x 0.015625 exactly: one routine serves both lengths.
        step[b] = count > 0 ? (job.Gain[b] - gain[b]) / count : 0.0;
    }
    // The first sample of the run already carries one step; the last one reaches g1. Left and
    // right follow the same gain curve.
    for (std::int32_t start = 0; start < count; start += Chunk)
    {
        const std::int32_t n = std::min(Chunk, count - start);
        for (std::int32_t i = 0; i < n; ++i)
        {
            for (int b = 0; b < Bands; ++b)
            {
                gain[b] += step[b];
                ramp[b][i] = gain[b];
            }
        }
        for (int b = 0; b < Bands; ++b)
        {
            float* l = left[b] + start;
            float* r = right[b] + start;
            for (std::int32_t i = 0; i < n; ++i)
            {
                l[i] = static_cast<float>(l[i] * ramp[b][i]);
                r[i] = static_cast<float>(r[i] * ramp[b][i]);
            }
        }
    }
}

/// TDispersionKernel.
void Run(TDispersionJob& job) noexcept
{
    switch (job.Bands)
    {
    case 1:
        RunBands<1>(job);
        break;
    case 2:
        RunBands<2>(job);
        break;
    case 3:
        RunBands<3>(job);
        break;
    case 4:
        RunBands<4>(job);
        break;
    case 5:
        RunBands<5>(job);
        break;
    default:
        break;
    }
}

} // namespace
} // namespace orvo::dispersion_loops
