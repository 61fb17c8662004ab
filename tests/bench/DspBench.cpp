// Cost of the processing chains per stereo frame at 44.1 kHz, as the host drives them:
// blocks of 256 and 64 samples, bands in gain mode or in transient mode, at the host rate or
// oversampled, and with a controller moving OutGain every 64 frames. The "ns/frame" counter
// is the figure to compare. ProgramChanges and SteadyPrograms give the cost of a block that
// starts with a program change against that of an ordinary block (their time is per block).
#include <benchmark/benchmark.h>

#include "dsp/simd/uVectorFilterKernels.h"
#include "dsp/uOrvoEngine.h"
#include "tests/support/FactoryPrograms.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace
{

using namespace orvo;

enum TBandMode
{
    bmGain,
    bmTransient,
};

/// A controller every 64 frames of each block, moving OutGain one step either way.
class TControllerClock final : public IMidiClock
{
  public:
    TControllerClock(TOrvoEngine& engine, std::int32_t frames) : FEngine(engine), FFrames(frames) {}
    void Restart() noexcept { FNext = 0; }
    std::int32_t NextMidiPos() const noexcept override
    {
        return FNext < FFrames ? FNext : NoMidiDue;
    }
    void DispatchMidiAt(std::int32_t) noexcept override
    {
        FUp = !FUp;
        FEngine.ApplyParameter(13, FUp ? 65.0f / 127.0f : 64.0f / 127.0f);
        FNext += 64;
    }

  private:
    TOrvoEngine& FEngine;
    std::int32_t FFrames;
    std::int32_t FNext = 0;
    bool FUp = false;
};

void ProcessChain(benchmark::State& state, bool overSample, TBandMode mode, bool midi = false)
{
    const auto frames = static_cast<std::int32_t>(state.range(0));
    const auto level = static_cast<TSimdLevel>(state.range(1));
    if (!SimdLevelSupported(level))
    {
        state.SkipWithError("instruction set not available");
        return;
    }
    state.SetLabel(SimdLevelName(level));
    TOrvoEngine engine;
    engine.SetFilterKernels(FilterKernelsFor(level));
    engine.SetSampleRate(44100.0f);
    const float bandValues[2][5] = {{0.5f, 0.45f, 0.4f, 0.35f, 0.3f},
                                    {0.6f, 0.7f, 0.8f, 0.9f, 1.0f}};
    for (int k = 0; k < 5; ++k)
    {
        engine.ApplyParameter(k, bandValues[mode][k]);
        engine.ApplyParameter(5 + k, 0.0f);
    }
    engine.ApplyParameter(10, 0.6f); // Tube off its identity setting
    engine.ApplyParameter(11, 0.5f);
    engine.ApplyParameter(12, 0.5f);
    engine.ApplyParameter(13, 0.5f);
    engine.ApplyParameter(14, overSample ? 1.0f : 0.0f);

    // Music-like input: two sines and a little noise, read block after block.
    const std::size_t length = 1 << 16;
    std::vector<float> left(length);
    std::vector<float> right(length);
    std::uint32_t noise = 1;
    for (std::size_t i = 0; i < length; ++i)
    {
        noise = noise * 1664525u + 1013904223u;
        const float hiss = static_cast<float>(noise >> 8) * (0.02f / 16777216.0f) - 0.01f;
        left[i] = 0.4f * std::sin(0.031f * static_cast<float>(i)) + hiss;
        right[i] = 0.4f * std::sin(0.0017f * static_cast<float>(i)) - hiss;
    }
    std::vector<float> outLeft(static_cast<std::size_t>(frames));
    std::vector<float> outRight(static_cast<std::size_t>(frames));
    float* outputs[2] = {outLeft.data(), outRight.data()};
    std::size_t offset = 0;
    TControllerClock clock(engine, frames);
    for (auto _ : state)
    {
        const float* inputs[2] = {left.data() + offset, right.data() + offset};
        clock.Restart();
        engine.ProcessReplacing(inputs, outputs, frames, midi ? &clock : nullptr);
        benchmark::DoNotOptimize(outLeft.data());
        offset += static_cast<std::size_t>(frames);
        if (offset + static_cast<std::size_t>(frames) > length)
        {
            offset = 0;
        }
    }
    state.counters["ns/frame"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * frames,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void HostRateGain(benchmark::State& state)
{
    ProcessChain(state, false, bmGain);
}
void HostRateTransient(benchmark::State& state)
{
    ProcessChain(state, false, bmTransient);
}
void OversampledGain(benchmark::State& state)
{
    ProcessChain(state, true, bmGain);
}
void OversampledTransient(benchmark::State& state)
{
    ProcessChain(state, true, bmTransient);
}
void HostRateGainMidi(benchmark::State& state)
{
    ProcessChain(state, false, bmGain, true);
}
void OversampledGainMidi(benchmark::State& state)
{
    ProcessChain(state, true, bmGain, true);
}

enum TProgramMode
{
    pmHeld,     // the first program held
    pmChanging, // a program change before every block
    pmNewTuning // the same, with a Tuning value not seen before (designs not known yet)
};

/// Blocks of noise through the factory programs in turn, each block after a change of all 16
/// parameters as the effect's program change makes it, or the same blocks with one program.
void RunPrograms(benchmark::State& state, TProgramMode mode)
{
    const bool changing = mode != pmHeld;
    const auto frames = static_cast<std::int32_t>(state.range(0));
    const std::vector<test::TFactoryProgram> programs = test::FactoryPrograms();
    TOrvoEngine engine;
    engine.SetSampleRate(44100.0f);
    std::vector<float> left(static_cast<std::size_t>(frames));
    std::vector<float> right(static_cast<std::size_t>(frames));
    std::uint32_t noise = 1;
    for (std::size_t i = 0; i < left.size(); ++i)
    {
        noise = noise * 1664525u + 1013904223u;
        left[i] = static_cast<float>(noise >> 8) / 33554432.0f - 0.25f;
        right[i] = -left[i];
    }
    const float* inputs[2] = {left.data(), right.data()};
    std::vector<float> outLeft(left.size());
    std::vector<float> outRight(left.size());
    float* outputs[2] = {outLeft.data(), outRight.data()};
    std::size_t next = 0;
    for (auto _ : state)
    {
        if (changing || next == 0)
        {
            const test::TFactoryProgram& program = programs[next % programs.size()];
            for (std::int32_t i = 0; i < ParameterCount; ++i)
            {
                engine.ApplyParameter(i, program.Values[static_cast<std::size_t>(i)]);
            }
            if (mode == pmNewTuning)
            {
                const float nudge = static_cast<float>(next % 4096) * 1e-5f;
                engine.ApplyParameter(prTuning, program.Values[prTuning] * 0.95f + nudge);
            }
            next = changing ? next + 1 : 1;
        }
        engine.ProcessReplacing(inputs, outputs, frames, nullptr);
        benchmark::DoNotOptimize(outLeft.data());
    }
}

void ProgramChanges(benchmark::State& state)
{
    RunPrograms(state, pmChanging);
}
void ProgramChangesNewTuning(benchmark::State& state)
{
    RunPrograms(state, pmNewTuning);
}
void SteadyPrograms(benchmark::State& state)
{
    RunPrograms(state, pmHeld);
}

// Block size x filter kernels (scalar reference, SSE2, AVX2, AVX-512).
void Arguments(benchmark::internal::Benchmark* benchmark)
{
    benchmark->ArgsProduct({{256, 64}, {slScalar, slSse2, slAvx2, slAvx512}});
}

BENCHMARK(HostRateGain)->Apply(Arguments);
BENCHMARK(HostRateTransient)->Apply(Arguments);
BENCHMARK(OversampledGain)->Apply(Arguments);
BENCHMARK(OversampledTransient)->Apply(Arguments);
BENCHMARK(HostRateGainMidi)->Apply(Arguments);
BENCHMARK(OversampledGainMidi)->Apply(Arguments);
BENCHMARK(ProgramChanges)->Arg(64)->Arg(256);
BENCHMARK(ProgramChangesNewTuning)->Arg(64)->Arg(256);
BENCHMARK(SteadyPrograms)->Arg(64)->Arg(256);

} // namespace
