// Cost of the processing chains per stereo frame at 44.1 kHz, as the host drives them:
// blocks of 256 and 64 samples, bands in gain mode or in transient mode, at the host rate or
// oversampled, and with a controller moving OutGain every 64 frames. The "ns/frame" counter
// is the figure to compare.
#include "dsp/simd/uVectorFilterKernels.h"
#include "dsp/uOrvoEngine.h"

#include <benchmark/benchmark.h>

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
    TControllerClock(TOrvoEngine& engine, std::int32_t frames) : FEngine(engine), FFrames(frames)
    {
    }
    void Restart() noexcept
    {
        FNext = 0;
    }
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
    const float bandValues[2][5] = {{0.5f, 0.45f, 0.4f, 0.35f, 0.3f}, {0.6f, 0.7f, 0.8f, 0.9f, 1.0f}};
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
    state.counters["ns/frame"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * frames,
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

} // namespace
