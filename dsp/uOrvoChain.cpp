#include "dsp/uOrvoChain.h"

#include "dsp/uChainLoops.h"
#include "dsp/uChainMath.h"
#include "maths/uDetMath.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace orvo
{
namespace
{

constexpr float HostRateAtStart = 44100.0f;
constexpr float ButterworthQ = 0.70710677f;
/// Corner of the interpolation and decimation low-passes as a fraction of the host rate:
/// half of it, a quarter of the doubled rate. There the pair passes every frequency below the
/// host's Nyquist frequency at unity gain once decimation folds the images back, at any rate.
constexpr float OversamplingCornerRatio = 0.5f;
/// Samples a mute fade takes, per Hz of processing rate: 10 ms.
constexpr float FadeSeconds = 0.01f;
/// How far the interpolation runs ahead of the crossovers in the pipelined oversampled path,
/// a multiple of four (TLockstepKernel): short, since the stretch before a call's first run
/// is interpolated alone, at the latency of a lone filter per sample; but two fours rather
/// than the least the loop allows, so that the crossovers do not wait on the interpolation's
/// output of the four just before (measured a few per cent slower).
constexpr std::int32_t InterpolationLead = 8;
constexpr int FirstInterpolationFilter = 8;
constexpr int FirstDecimationFilter = 10;

template <std::size_t... Index>
std::array<TRBJFilter, 12> MakeFilters(std::index_sequence<Index...>)
{
    // 0..7 the crossovers at the host rate, 8..11 the oversampling filters at twice it.
    return {TRBJFilter(Index < 8 ? HostRateAtStart : 2.0f * HostRateAtStart)...};
}

template <std::size_t... Index>
std::array<TTransientDispersion, 5> MakeDispersion(std::index_sequence<Index...>)
{
    return {((void)Index, TTransientDispersion(HostRateAtStart))...};
}

/// Host input as the chain takes it: non-finite samples become 0, finite ones are limited to
/// the input ceiling.
inline float SanitisedInput(float x) noexcept
{
    // Written as selects, without branches, so that the copy loops vectorise.
    const float magnitude = std::fabs(x);
    const float limited = std::copysign(TOrvoChain::InputCeiling, x);
    const float beyond = magnitude <= std::numeric_limits<float>::max() ? limited : 0.0f;
    return magnitude <= TOrvoChain::InputCeiling ? x : beyond;
}

/// The MIDI clock of a call as seen from a later part of it that starts at offset.
class TOffsetMidiClock final : public IMidiClock
{
  public:
    TOffsetMidiClock(IMidiClock* inner, std::int32_t offset) noexcept
        : FInner(inner), FOffset(offset)
    {
    }
    std::int32_t NextMidiPos() const noexcept override
    {
        const std::int32_t pos = FInner->NextMidiPos();
        return pos == NoMidiDue ? pos : pos - FOffset; // before the part: negative, never due
    }
    void DispatchMidiAt(std::int32_t pos) noexcept override
    {
        FInner->DispatchMidiAt(pos + FOffset);
    }

  private:
    IMidiClock* FInner;
    std::int32_t FOffset;
};

/// Work-buffer position of a host-rate MIDI position, workPerHost work samples to a host
/// sample; never (NoMidiDue) when it lies before the block or does not fit.
std::int32_t WorkMidiPos(std::int32_t hostPos, std::int32_t workPerHost) noexcept
{
    if (hostPos < 0 || hostPos > NoMidiDue / workPerHost)
    {
        return NoMidiDue;
    }
    return hostPos * workPerHost;
}

} // namespace

void MixBaseline(const TMixJob& job) noexcept
{
    chain_loops::Mix(job);
}

void SoftClipBaseline(const float* in, float* out, std::int32_t count, bool adding) noexcept
{
    chain_loops::SoftClipInto(in, out, count, adding);
}

TOrvoChain::TOrvoChain()
    : FFilters(MakeFilters(std::make_index_sequence<12>{})),
      FDispersion(MakeDispersion(std::make_index_sequence<BandCount>{}))
{
    for (int k = 0; k < 4; ++k)
    {
        FFilters[k].SetFilter(ftLowPass, CrossoverFrequencies[k], ButterworthQ, 1.0f);
        FFilters[k + 4].SetFilter(ftLowPass, CrossoverFrequencies[k], ButterworthQ, 1.0f);
        FFilters[k + 8].SetFilter(ftLowPass, OversamplingCornerRatio * HostRateAtStart,
                                  ButterworthQ, 1.0f);
    }
    FAppliedValue.fill(std::numeric_limits<float>::quiet_NaN());
    FBandValue.fill(0.5f);
    FBandGain.fill(1.0f);
    FMuteGain.fill(1.0f);
    FMuteState.fill(msOpen);
    FTubeLimit = TubeSettingFor(0.5f).Limit;
    // Builds the level table for controller values here, not on the audio thread.
    static_cast<void>(LevelCurve(1.0f));
    GrowWork(512);
    Suspend();
}

// ---- Parameter mapping ------------------------------------------------------------------

void TOrvoChain::SetParameter(std::int32_t index, float value) noexcept
{
    if (!IsParameterIndex(index))
    {
        return;
    }
    const float x = ClampedParameterValue(value);
    // Applying the value applied last once more would change nothing, so it is skipped: a
    // program change sets all sixteen, several of them often as they were.
    float& applied = FAppliedValue[static_cast<std::size_t>(index)];
    if (x == applied)
    {
        return;
    }
    applied = x;
    switch (InfoOf(index).Kind)
    {
    case pkBand:
        SetBand(KindOrdinal(index), x);
        break;
    case pkMute:
        SetMute(KindOrdinal(index), x);
        break;
    case pkTube:
        SetTube(x);
        break;
    case pkTuning:
        SetTuning(x);
        break;
    case pkGain:
        (index == prInGain ? FInGain : FOutGain) = Level(x);
        break;
    case pkSwitch:
        SetOverSample(x);
        break;
    case pkReserved:
        break;
    }
}

void TOrvoChain::SetBand(int band, float x) noexcept
{
    const auto k = static_cast<std::size_t>(band);
    FBandValue[k] = x;
    const bool on = BandUsesDispersion(x);
    if (on != FBandDispersionOn[k])
    {
        FBandDispersionOn[k] = on;
        if (on)
        {
            FDispersion[k].Reset(); // the band fades in from silence
        }
    }
    if (on)
    {
        FDispersion[k].SetParam(0, DispersionAmountFor(x));
    }
    else
    {
        FBandGain[k] = Level(x);
    }
}

void TOrvoChain::SetMute(int band, float x) noexcept
{
    TMuteState& state = FMuteState[static_cast<std::size_t>(band)];
    if (SwitchOn(x))
    {
        if (state == msFadingIn || state == msOpen)
        {
            state = msFadingOut;
        }
    }
    else if (state == msFadingOut || state == msMuted)
    {
        state = msFadingIn;
    }
}

void TOrvoChain::SetTube(float x) noexcept
{
    const TTubeSetting setting = TubeSettingFor(x);
    FTubeDrive = setting.Drive;
    FTubeShape = setting.Shape;
    FTubeLimit = setting.Limit;
}

void TOrvoChain::SetTuning(float x) noexcept
{
    FTuning = TuningOctaves(x);
    // The right channel's crossover takes the left one's coefficients: one design each, and
    // none for a Tuning value set lately at this rate (its designs are the same bit for bit).
    if (const TTuningDesign* known = FTuningDesigns.Find(x))
    {
        FTuningRatio = known->Ratio;
        for (int k = 0; k < 4; ++k)
        {
            FFilters[k].SetFrequencyDesigned(CrossoverFrequencies[k] * FTuningRatio,
                                             known->Targets[static_cast<std::size_t>(k)]);
            FFilters[k + 4].SetFilterLike(FFilters[k]);
        }
        return;
    }
    FTuningRatio = static_cast<float>(detmath::Exp2(FTuning));
    TTuningDesign design{};
    design.Ratio = FTuningRatio;
    for (int k = 0; k < 4; ++k)
    {
        FFilters[k].SetParam(0, CrossoverFrequencies[k] * FTuningRatio);
        FFilters[k + 4].SetFilterLike(FFilters[k]);
        design.Targets[static_cast<std::size_t>(k)] = FFilters[k].Core().FCoefTarget;
    }
    FTuningDesigns.Store(x, design);
}

float TOrvoChain::Level(float x) noexcept
{
    if (const float* known = FLevels.Find(x))
    {
        return *known;
    }
    const float level = LevelCurve(x);
    FLevels.Store(x, level);
    return level;
}

void TOrvoChain::SetOverSample(float x) noexcept
{
    const bool on = SwitchOn(x);
    if (on == FOverSample)
    {
        return;
    }
    FOverSample = on;
    ApplyProcessingRate();
}

float TOrvoChain::ProcessingRate() const noexcept
{
    return FOverSample ? FHostRate * 2.0f : FHostRate;
}

void TOrvoChain::ApplyProcessingRate() noexcept
{
    ++FFilterResets;
    FTuningDesigns.Clear();
    const float rate = ProcessingRate();
    FFadeRate = FadeSeconds * rate;
    // Choice: a fade moves the gain by 1 / FFadeRate per sample, so it lasts 10 ms at every
    // rate; the clamp to 0..1 makes it end exactly on 0 or 1.
    FFadeStep = 1.0f / FFadeRate;
    // Five designs: the left crossovers and one oversampling filter; the right crossovers
    // take their left twins', the other three oversampling filters the first one's.
    for (std::size_t i = 0; i < FFilters.size(); ++i)
    {
        TRBJFilter& filter = FFilters[i];
        const auto first = static_cast<std::size_t>(FirstInterpolationFilter);
        if (i < 4 || i == first)
        {
            filter.SetSampleRate(rate);
        }
        else
        {
            filter.SetFilterLike(FFilters[i < first ? i - 4 : first]);
        }
        if (i == first)
        {
            // After the rate, so that the corner is clamped against the new rate; the same
            // corner as before (as at 44.1 kHz always) computes nothing anew.
            filter.SetParam(0, OversamplingCornerRatio * FHostRate);
        }
        filter.Reset();
    }
    for (TTransientDispersion& dispersion : FDispersion)
    {
        dispersion.SetSampleRate(rate);
    }
}

void TOrvoChain::SetSampleRate(float hostRate) noexcept
{
    if (!std::isfinite(hostRate))
    {
        return;
    }
    FHostRate = std::max(hostRate, 1.0f);
    ApplyProcessingRate();
}

void TOrvoChain::Suspend() noexcept
{
    ++FFilterResets;
    for (TRBJFilter& filter : FFilters)
    {
        filter.Reset();
    }
    for (TTransientDispersion& dispersion : FDispersion)
    {
        dispersion.Reset();
    }
}

void TOrvoChain::Settle() noexcept
{
    for (TRBJFilter& filter : FFilters)
    {
        filter.EndGlide();
    }
    for (TTransientDispersion& dispersion : FDispersion)
    {
        dispersion.Settle();
    }
    for (std::size_t k = 0; k < FMuteState.size(); ++k)
    {
        const bool open = FMuteState[k] == msFadingIn || FMuteState[k] == msOpen;
        FMuteState[k] = open ? msOpen : msMuted;
        FMuteGain[k] = open ? 1.0f : 0.0f;
    }
}

// ---- Processing ------------------------------------------------------------------------

void TOrvoChain::GrowWork(std::int32_t samples)
{
    if (samples <= FWorkCapacity)
    {
        return;
    }
    FWorkL.reset();
    FWorkR.reset();
    FWorkL = std::make_unique<float[]>(static_cast<std::size_t>(samples));
    FWorkR = std::make_unique<float[]>(static_cast<std::size_t>(samples));
    FWorkCapacity = samples;
}

template <bool Adding>
bool TOrvoChain::TryGrowWork(std::int32_t samples, float* outL, float* outR,
                             std::int32_t frames) noexcept
{
    try
    {
        GrowWork(samples);
        return true;
    }
    catch (...)
    {
        if constexpr (!Adding)
        {
            std::fill_n(outL, frames, 0.0f); // out of memory: silence
            std::fill_n(outR, frames, 0.0f);
        }
        return false;
    }
}

void TOrvoChain::ProcessReplacing(const float* const* inputs, float* const* outputs,
                                  std::int32_t frames, IMidiClock* midi) noexcept
{
    Process<false>(inputs, outputs, frames, midi);
}

void TOrvoChain::ProcessAdding(const float* const* inputs, float* const* outputs,
                               std::int32_t frames, IMidiClock* midi) noexcept
{
    Process<true>(inputs, outputs, frames, midi);
}

template <bool Adding>
void TOrvoChain::Process(const float* const* inputs, float* const* outputs, std::int32_t frames,
                         IMidiClock* midi) noexcept
{
    if (frames <= 0 || inputs == nullptr || outputs == nullptr)
    {
        return;
    }
    // Blocks beyond MaxBlock (far beyond what hosts send) are cut so that the doubled count
    // and the work buffers stay in range. The path is chosen once per call.
    const bool overSample = FOverSample;
    for (std::int32_t done = 0; done < frames;)
    {
        const std::int32_t count = std::min(frames - done, MaxBlock);
        const float* inL = inputs[0] + done;
        const float* inR = inputs[1] + done;
        float* outL = outputs[0] + done;
        float* outR = outputs[1] + done;
        TOffsetMidiClock partClock(midi, done);
        IMidiClock* clock = midi != nullptr && done > 0 ? &partClock : midi;
        if (overSample)
        {
            ProcessOversampled<Adding>(inL, inR, outL, outR, count, clock);
        }
        else
        {
            ProcessHostRate<Adding>(inL, inR, outL, outR, count, clock);
        }
        done += count;
    }
}

template <bool Adding>
void TOrvoChain::ProcessHostRate(const float* inL, const float* inR, float* outL, float* outR,
                                 std::int32_t frames, IMidiClock* midi) noexcept
{
    if (!TryGrowWork<Adding>(frames, outL, outR, frames))
    {
        return;
    }
    float* workL = FWorkL.get();
    float* workR = FWorkR.get();
    for (std::int32_t i = 0; i < frames; ++i)
    {
        workL[i] = SanitisedInput(inL[i]);
        workR[i] = SanitisedInput(inR[i]);
    }

    ProcessRunsBetweenEvents(frames, 1, 1.0f, midi);

    FKernels.SoftClip(workL, outL, frames, Adding);
    FKernels.SoftClip(workR, outR, frames, Adding);
}

template <bool Adding>
void TOrvoChain::ProcessOversampled(const float* inL, const float* inR, float* outL, float* outR,
                                    std::int32_t frames, IMidiClock* midi) noexcept
{
    const std::int32_t doubled = frames * 2;
    if (!TryGrowWork<Adding>(doubled, outL, outR, frames))
    {
        return;
    }
    float* workL = FWorkL.get();
    float* workR = FWorkR.get();
    for (std::int32_t i = 0; i < frames; ++i)
    {
        workL[2 * i] = SanitisedInput(inL[i]);
        workL[2 * i + 1] = 0.0f;
        workR[2 * i] = SanitisedInput(inR[i]);
        workR[2 * i + 1] = 0.0f;
    }
    // The pipelined path overlaps the three filter stages and writes the outputs itself. It
    // handles MIDI events too, except when adding onto the outputs: a dispatch that resets
    // the filters makes it decimate the whole call again, which only storing can repeat.
    const bool eventDue = midi != nullptr && WorkMidiPos(midi->NextMidiPos(), 2) < doubled;
    if (FKernels.Lockstep != nullptr && !(Adding && eventDue))
    {
        ProcessDoubledPipelined<Adding>(doubled, eventDue ? midi : nullptr, outL, outR);
        return;
    }
    ProcessDoubledRuns(doubled, midi);
    for (std::int32_t i = 0; i < frames; ++i)
    {
        if constexpr (Adding)
        {
            outL[i] += workL[2 * i];
            outR[i] += workR[2 * i];
        }
        else
        {
            outL[i] = workL[2 * i];
            outR[i] = workR[2 * i];
        }
    }
}

void TOrvoChain::ProcessDoubledRuns(std::int32_t doubled, IMidiClock* midi) noexcept
{
    float* workL = FWorkL.get();
    float* workR = FWorkR.get();
    FKernels.Stereo(FFilters[FirstInterpolationFilter].Core(),
                    FFilters[FirstInterpolationFilter + 1].Core(), workL, workR, doubled);

    // The zero-stuffing halves the level; the band copies restore it. In 32-bit, w x (2 g)
    // rounds exactly like w x g x 2 rounded once, 2 g being exact.
    ProcessRunsBetweenEvents(doubled, 2, 2.0f, midi);

    FKernels.SoftClip(workL, workL, doubled, false);
    FKernels.SoftClip(workR, workR, doubled, false);
    FKernels.Stereo(FFilters[FirstDecimationFilter].Core(),
                    FFilters[FirstDecimationFilter + 1].Core(), workL, workR, doubled);
}

void TOrvoChain::ProcessRunsBetweenEvents(std::int32_t length, std::int32_t workPerHost,
                                          float inputGainScale, IMidiClock* midi) noexcept
{
    // An event due before the block (a negative offset from a host) is never due here: it
    // must not cut a run, or the loop would not advance.
    for (std::int32_t pos = 0; pos < length;)
    {
        std::int32_t due =
            midi != nullptr ? WorkMidiPos(midi->NextMidiPos(), workPerHost) : NoMidiDue;
        if (pos == due)
        {
            midi->DispatchMidiAt(midi->NextMidiPos());
            due = WorkMidiPos(midi->NextMidiPos(), workPerHost);
        }
        std::int32_t end = std::min(length - pos, RunLength) + pos;
        if (due > pos && due < end)
        {
            end = due;
        }
        // FInGain is read per run: an event dispatched just now may have changed it.
        ProcessRun(pos, end - pos, FInGain * inputGainScale);
        pos = end;
    }
}

template <bool Adding>
void TOrvoChain::ProcessDoubledPipelined(std::int32_t doubled, IMidiClock* midi, float* outL,
                                         float* outR) noexcept
{
    // The same work as ProcessDoubledRuns in another order: the interpolation runs eight
    // samples ahead of the runs and the decimation one run behind, both in the same lockstep
    // call as the run's crossovers, which read the interpolation's output eight samples after
    // it is written. Each filter still sees its samples in order, and each sample passes
    // interpolation, run, soft clip and decimation in that order. The decimation filters a
    // copy of each stretch, so the work buffers keep what it reads.
    float* workL = FWorkL.get();
    float* workR = FWorkR.get();
    TBiquadCore& interpolationL = FFilters[FirstInterpolationFilter].Core();
    TBiquadCore& interpolationR = FFilters[FirstInterpolationFilter + 1].Core();
    TBiquadCore& decimationL = FFilters[FirstDecimationFilter].Core();
    TBiquadCore& decimationR = FFilters[FirstDecimationFilter + 1].Core();
    float* decimatingL = FDecimationBufL.data();
    float* decimatingR = FDecimationBufR.data();
    const auto emit = [&](std::int32_t from, std::int32_t count)
    {
        for (std::int32_t i = 0; i < count; i += 2) // stretches start on even samples
        {
            const std::int32_t host = (from + i) / 2;
            if constexpr (Adding)
            {
                outL[host] += decimatingL[i];
                outR[host] += decimatingR[i];
            }
            else
            {
                outL[host] = decimatingL[i];
                outR[host] = decimatingR[i];
            }
        }
    };

    const std::uint32_t resetsAtStart = FFilterResets;
    // The four oversampling filters as the last reset in this call left them.
    std::array<TBiquadCore, 4> afterReset{};
    std::int32_t interpolated = std::min(doubled, InterpolationLead);
    FKernels.Stereo(interpolationL, interpolationR, workL, workR, interpolated);
    std::int32_t decimated = 0;
    for (std::int32_t pos = 0; pos < doubled;)
    {
        std::int32_t due = midi != nullptr ? WorkMidiPos(midi->NextMidiPos(), 2) : NoMidiDue;
        if (pos == due)
        {
            const std::array<TBiquadCore, 2> running{interpolationL, interpolationR};
            const std::uint32_t resets = FFilterResets;
            midi->DispatchMidiAt(midi->NextMidiPos());
            if (FFilterResets != resets)
            {
                // In ProcessDoubledRuns the interpolation of the whole call comes before
                // this reset and the decimation after it: the interpolation goes on as it
                // was, and the decimation is done again at the end.
                afterReset = {interpolationL, interpolationR, decimationL, decimationR};
                interpolationL = running[0];
                interpolationR = running[1];
            }
            due = WorkMidiPos(midi->NextMidiPos(), 2);
        }
        std::int32_t end = std::min(doubled - pos, RunLength) + pos;
        if (due > pos && due < end)
        {
            end = due;
        }
        std::array<TStereoStretch, 2> alongside{};
        int alongsideCount = 0;
        const std::int32_t ahead = std::min(doubled, end + InterpolationLead) - interpolated;
        if (ahead > 0)
        {
            alongside[alongsideCount++] = {&interpolationL, &interpolationR, workL + interpolated,
                                           workR + interpolated, ahead};
        }
        const std::int32_t behind = pos - decimated;
        if (behind > 0)
        {
            std::copy_n(workL + decimated, behind, decimatingL);
            std::copy_n(workR + decimated, behind, decimatingR);
            alongside[alongsideCount++] = {&decimationL, &decimationR, decimatingL, decimatingR,
                                           behind};
        }
        // FInGain is read per run: an event dispatched just now may have changed it.
        ProcessRun(pos, end - pos, FInGain * 2.0f, alongside.data(), alongsideCount);
        FKernels.SoftClip(workL + pos, workL + pos, end - pos, false);
        FKernels.SoftClip(workR + pos, workR + pos, end - pos, false);
        emit(decimated, behind);
        if (ahead > 0)
        {
            interpolated += ahead;
        }
        decimated = pos;
        pos = end;
    }
    const std::int32_t rest = doubled - decimated;
    std::copy_n(workL + decimated, rest, decimatingL);
    std::copy_n(workR + decimated, rest, decimatingR);
    FKernels.Stereo(decimationL, decimationR, decimatingL, decimatingR, rest);
    emit(decimated, rest);

    if (FFilterResets != resetsAtStart)
    {
        interpolationL = afterReset[0];
        interpolationR = afterReset[1];
        decimationL = afterReset[2];
        decimationR = afterReset[3];
        FKernels.Stereo(decimationL, decimationR, workL, workR, doubled);
        for (std::int32_t i = 0; i < doubled / 2; ++i) // only reached when storing
        {
            outL[i] = workL[2 * i];
            outR[i] = workR[2 * i];
        }
    }
}

void TOrvoChain::FilterCrossovers(const float* workL, const float* workR, std::int32_t length,
                                  float inputGain, const TStereoStretch* alongside,
                                  int alongsideCount, TBandSplit* split) noexcept
{
    std::array<TBiquadCore*, 8> cores{&FFilters[0].Core(), &FFilters[1].Core(), &FFilters[2].Core(),
                                      &FFilters[3].Core(), &FFilters[4].Core(), &FFilters[5].Core(),
                                      &FFilters[6].Core(), &FFilters[7].Core()};
    std::array<float*, 8> buffers{FBandBufL[0].data(), FBandBufL[1].data(), FBandBufL[2].data(),
                                  FBandBufL[3].data(), FBandBufR[0].data(), FBandBufR[1].data(),
                                  FBandBufR[2].data(), FBandBufR[3].data()};
    if (alongsideCount == 0)
    {
        const TGainedInput gained{workL, workR, inputGain};
        if (split != nullptr)
        {
            FKernels.CrossoverBands(cores, length, gained, *split);
        }
        else
        {
            FKernels.Crossovers(cores, buffers, length, &gained);
        }
        return;
    }
    // The samples all lanes have in common go in one lockstep call, the crossovers reading
    // the gained input straight from the work buffers; the rest of each stretch follows on
    // its own (a filter run in two parts gives the samples of one run), the interpolation's
    // first, since the crossovers' rest may read what it writes.
    std::int32_t common = length;
    std::array<TBiquadCore*, LockstepMaxLanes> laneCores{};
    std::array<float*, LockstepMaxLanes> laneBuffers{};
    std::copy(cores.begin(), cores.end(), laneCores.begin());
    std::copy(buffers.begin(), buffers.end(), laneBuffers.begin());
    int lanes = 8;
    for (int s = 0; s < alongsideCount; ++s)
    {
        const TStereoStretch& stretch = alongside[s];
        common = std::min(common, stretch.Count);
        laneCores[lanes] = stretch.Left;
        laneBuffers[lanes++] = stretch.LeftSamples;
        laneCores[lanes] = stretch.Right;
        laneBuffers[lanes++] = stretch.RightSamples;
    }
    const TGainedInput gained{workL, workR, inputGain};
    if (split != nullptr)
    {
        FKernels.LockstepBands(laneCores.data(), laneBuffers.data(), lanes, common, gained, *split);
    }
    else
    {
        FKernels.Lockstep(laneCores.data(), laneBuffers.data(), lanes, common, &gained);
    }
    for (int s = 0; s < alongsideCount; ++s)
    {
        const TStereoStretch& stretch = alongside[s];
        if (common < stretch.Count)
        {
            FKernels.Stereo(*stretch.Left, *stretch.Right, stretch.LeftSamples + common,
                            stretch.RightSamples + common, stretch.Count - common);
        }
    }
    if (common < length)
    {
        const TGainedInput rest{workL + common, workR + common, inputGain};
        if (split != nullptr)
        {
            // The envelopes go on from where the lockstep left them.
            for (auto& channel : split->Bands)
            {
                for (float*& band : channel)
                {
                    band += common;
                }
            }
            FKernels.CrossoverBands(cores, length - common, rest, *split);
            return;
        }
        for (float*& buffer : buffers)
        {
            buffer += common;
        }
        FKernels.Crossovers(cores, buffers, length - common, &rest);
    }
}

void TOrvoChain::ProcessRun(std::int32_t pos, std::int32_t length, float inputGain,
                            const TStereoStretch* alongside, int alongsideCount) noexcept
{
    float* workL = FWorkL.get() + pos;
    float* workR = FWorkR.get() + pos;

    const bool anyDispersion = std::find(FBandDispersionOn.begin(), FBandDispersionOn.end(),
                                         true) != FBandDispersionOn.end();
    if (anyDispersion && FKernels.CrossoverBands != nullptr &&
        (alongsideCount == 0 || FKernels.LockstepBands != nullptr))
    {
        SplitAndFollowBands(workL, workR, length, inputGain, alongside, alongsideCount);
    }
    else
    {
        FilterCrossovers(workL, workR, length, inputGain, alongside, alongsideCount);
        if (anyDispersion)
        {
            SplitBands(workL, workR, length, inputGain);
            ProcessDispersion(length);
        }
    }
    UpdateMuteRamps(length);
    // One pass from the band signals to the Tube's output.
    TMixJob job{};
    for (int k = 0; k < BandCount; ++k)
    {
        job.Bands[0][k] = FBandBufL[k].data();
        job.Bands[1][k] = FBandBufR[k].data();
        job.MuteRamps[k] = FMuteRamp[k].data();
        // A band its transient processor has scaled takes x 1, which changes no sample.
        job.Gain[k] = FBandDispersionOn[k] ? 1.0f : FBandGain[k];
        job.Mute[k] = FMuteGain[k];
    }
    job.Work = {workL, workR};
    job.Length = length;
    job.InputGain = inputGain;
    job.OutGain = FOutGain;
    job.TubeShape = FTubeShape;
    job.TubeLimit = FTubeLimit;
    job.FromSplit = anyDispersion;
    job.Fading = FFadingBands != 0;
    job.Identity = FTubeShape == -1.0f;
    FKernels.Mix(job);
}

void TOrvoChain::SplitBands(const float* workL, const float* workR, std::int32_t length,
                            float inputGain) noexcept
{
    // Each band is its low-pass minus the one below, from the top down; the top band is the
    // gained input minus the highest low-pass. The five bands add up to the gained input.
    for (int channel = 0; channel < 2; ++channel)
    {
        auto& b = channel == 0 ? FBandBufL : FBandBufR;
        const float* work = channel == 0 ? workL : workR;
        for (std::int32_t i = 0; i < length; ++i)
        {
            b[4][i] = work[i] * inputGain - b[3][i];
            b[3][i] = b[3][i] - b[2][i];
            b[2][i] = b[2][i] - b[1][i];
            b[1][i] = b[1][i] - b[0][i];
        }
    }
}

void TOrvoChain::SplitAndFollowBands(const float* workL, const float* workR, std::int32_t length,
                                     float inputGain, const TStereoStretch* alongside,
                                     int alongsideCount) noexcept
{
    TBandSplit split{};
    // The five processors always run at the processing rate, so they share coefficients.
    split.Attack = FDispersion[0].Attack();
    split.Release = FDispersion[0].Release();
    for (int k = 0; k < BandCount; ++k)
    {
        split.Bands[0][k] = FBandBufL[k].data();
        split.Bands[1][k] = FBandBufR[k].data();
        if (FBandDispersionOn[k])
        {
            split.Tracked |= 1u << k;
            split.Envelope[k] = FDispersion[k].Envelope();
        }
    }
    FilterCrossovers(workL, workR, length, inputGain, alongside, alongsideCount, &split);
    ProcessDispersion(length, &split.Envelope);
}

void TOrvoChain::ProcessDispersion(std::int32_t length,
                                   const std::array<double, BandCount>* endEnvelopes) noexcept
{
    // ProcessBlock or ProcessSamples of each transient band, the bands side by side.
    std::array<TTransientDispersion*, BandCount> processors{};
    std::array<float*, BandCount> left{};
    std::array<float*, BandCount> right{};
    std::array<double, BandCount> ends{};
    int active = 0;
    for (int k = 0; k < BandCount; ++k)
    {
        if (FBandDispersionOn[k])
        {
            processors[active] = &FDispersion[k];
            left[active] = FBandBufL[k].data();
            right[active] = FBandBufR[k].data();
            ends[active] = endEnvelopes != nullptr ? (*endEnvelopes)[k] : 0.0;
            ++active;
        }
    }
    TTransientDispersion::ProcessBands(processors.data(), left.data(), right.data(), active, length,
                                       FKernels.Dispersion,
                                       endEnvelopes != nullptr ? ends.data() : nullptr);
}

void TOrvoChain::UpdateMuteRamps(std::int32_t length) noexcept
{
    // A fading band's gain moves by one step per sample, clamped to 0..1, and its fade ends
    // at the end of the run in which the gain reaches 0 or 1. Steady bands keep theirs
    // (exactly 1 when open, 0 when muted).
    FFadingBands = 0;
    for (int k = 0; k < BandCount; ++k)
    {
        const TMuteState state = FMuteState[k];
        if (state != msFadingIn && state != msFadingOut)
        {
            continue;
        }
        FFadingBands |= 1u << k;
        float g = FMuteGain[k];
        const float step = state == msFadingIn ? FFadeStep : -FFadeStep;
        auto& ramp = FMuteRamp[k];
        for (std::int32_t i = 0; i < length; ++i)
        {
            g += step;
            if (!(g > 0.0f))
            {
                g = 0.0f;
            }
            if (g > 1.0f)
            {
                g = 1.0f;
            }
            ramp[i] = g;
        }
        FMuteGain[k] = g;
        if (g <= 0.0f || g >= 1.0f)
        {
            FMuteState[k] = state == msFadingIn ? msOpen : msMuted;
        }
    }
    if (FFadingBands != 0)
    {
        for (int k = 0; k < BandCount; ++k)
        {
            if ((FFadingBands & (1u << k)) == 0)
            {
                std::fill_n(FMuteRamp[k].begin(), length, FMuteGain[k]);
            }
        }
    }
}

} // namespace orvo
