#include "dsp/simd/uVectorFilterKernels.h"

#include "dsp/simd/uBiquadLanesIsa.h"
#include "dsp/simd/uChainLoopsIsa.h"

namespace orvo
{
namespace
{

using TLanesEntry = void (*)(TBiquadCore* const*, float* const*, int, int) noexcept;
using TTogetherEntry = void (*)(TBiquadCore* const*, float* const*, int, int,
                                const TGainedInput*) noexcept;

using TGainedEntry = void (*)(TBiquadCore* const*, float* const*, int,
                              const TGainedInput&) noexcept;

template <TLanesEntry Entry, TGainedEntry Gained>
void FilterCrossovers(const std::array<TBiquadCore*, 8>& cores,
                      const std::array<float*, 8>& buffers, std::int32_t count,
                      const TGainedInput* gained) noexcept
{
    if (count <= 0)
    {
        return;
    }
    if (gained != nullptr)
    {
        Gained(cores.data(), buffers.data(), count, *gained);
    }
    else
    {
        Entry(cores.data(), buffers.data(), 8, count);
    }
}

template <TLanesEntry Entry>
void FilterStereo(TBiquadCore& leftCore, TBiquadCore& rightCore, float* left, float* right,
                  std::int32_t count) noexcept
{
    if (count > 0)
    {
        TBiquadCore* const cores[2] = {&leftCore, &rightCore};
        float* const buffers[2] = {left, right};
        Entry(cores, buffers, 2, count);
    }
}

using TBandsEntry = void (*)(TBiquadCore* const*, int, const TGainedInput&, TBandSplit&) noexcept;

template <TBandsEntry Entry>
void CrossoverBands(const std::array<TBiquadCore*, 8>& cores, std::int32_t count,
                    const TGainedInput& gained, TBandSplit& split) noexcept
{
    if (count > 0)
    {
        Entry(cores.data(), count, gained, split);
    }
}

using TTogetherBandsEntry = void (*)(TBiquadCore* const*, float* const*, int, int,
                                     const TGainedInput&, TBandSplit&) noexcept;

template <TTogetherBandsEntry Entry>
void LockstepBands(TBiquadCore* const* cores, float* const* buffers, std::int32_t laneCount,
                   std::int32_t count, const TGainedInput& gained, TBandSplit& split) noexcept
{
    if (count > 0)
    {
        Entry(cores, buffers, laneCount, count, gained, split);
    }
}

template <TTogetherEntry Together, TLanesEntry Wide>
void Lockstep(TBiquadCore* const* cores, float* const* buffers, std::int32_t laneCount,
              std::int32_t count, const TGainedInput* gained) noexcept
{
    if (count <= 0 || laneCount <= 0)
    {
        return;
    }
    // With gained input, the caller keeps to the lockstep's limits (TLockstepKernel).
    if (gained != nullptr || (laneCount <= LockstepMaxLanes && count <= LockstepMaxCount))
    {
        Together(cores, buffers, laneCount, count, gained);
    }
    else
    {
        Wide(cores, buffers, laneCount, count);
    }
}

// Two channels fill only an SSE2 vector; wider sets gain nothing there.
template <TLanesEntry Crossovers, TGainedEntry Gained, TMixKernel Mix, TSoftClipKernel SoftClip,
          TLockstepKernel Together, TDispersionKernel Dispersion, TCrossoverBandsKernel Bands,
          TLockstepBandsKernel TogetherBands>
constexpr TFilterKernels KernelsWith{&FilterCrossovers<Crossovers, Gained>,
                                     &FilterStereo<&simd::RunLanesSse2>,
                                     Mix,
                                     SoftClip,
                                     Together,
                                     Dispersion,
                                     Bands,
                                     TogetherBands};

#if defined(__i386__)
// Eight vector registers: twelve SSE2 lanes would live in memory, so the oversampled path's
// filter stages run one after another.
constexpr TLockstepKernel Sse2Together = nullptr;
#else
constexpr TLockstepKernel Sse2Together =
    &Lockstep<&simd::RunLanesTogetherSse2, &simd::RunLanesSse2>;
#endif

} // namespace

TFilterKernels FilterKernelsFor(TSimdLevel level) noexcept
{
#if defined(__x86_64__) || defined(__i386__)
    if (level > BestSimdLevel())
    {
        level = BestSimdLevel();
    }
    switch (level)
    {
    case slAvx512:
        return KernelsWith<&simd::RunLanesAvx512, &simd::RunCrossoversGainedAvx512,
                           &simd::MixAvx512, &simd::SoftClipAvx512,
                           &Lockstep<&simd::RunLanesTogetherAvx512, &simd::RunLanesAvx512>,
                           &simd::DispersionAvx512, &CrossoverBands<&simd::RunCrossoverBandsAvx512>,
                           &LockstepBands<&simd::RunLanesTogetherBandsAvx512>>;
    case slAvx2:
        return KernelsWith<&simd::RunLanesAvx2, &simd::RunCrossoversGainedAvx2, &simd::MixAvx2,
                           &simd::SoftClipAvx2,
                           &Lockstep<&simd::RunLanesTogetherAvx2, &simd::RunLanesAvx2>,
                           &simd::DispersionAvx2, &CrossoverBands<&simd::RunCrossoverBandsAvx2>,
                           &LockstepBands<&simd::RunLanesTogetherBandsAvx2>>;
    case slSse2:
        return KernelsWith<&simd::RunLanesSse2, &simd::RunCrossoversGainedSse2, &MixBaseline,
                           &SoftClipBaseline, Sse2Together, &DispersionBaseline, nullptr, nullptr>;
    case slScalar:
        break;
    }
#else
    (void)level;
#endif
    return ScalarFilterKernels;
}

} // namespace orvo
