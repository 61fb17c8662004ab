// ns per stereo frame of the filter work of one processing call, per instruction set:
//   OversampledRun: the twelve filters of one oversampled run of 64 doubled samples (eight
//     crossovers, the interpolation and the decimation pair), one stage after another or in
//     one lockstep call; one host frame is two doubled samples.
//   CrossoverBank: the eight crossover low-passes (four per channel) over runs of 64 (or
//     fewer) samples, as the chain calls them; one frame is one sample of each lane.
//   OversamplingPair: the interpolation and the decimation low-pass of both channels over a
//     whole doubled block; one host frame is two doubled samples through both pairs.
// Report with --benchmark_counters_tabular=true; "ns/frame" is the figure to read.
#include <benchmark/benchmark.h>

#include "dsp/simd/uBiquadLanes.h"
#include "dsp/simd/uVectorFilterKernels.h"
#include "dsp/uRBJFilter.h"

#include <algorithm>
#include <array>
#include <random>
#include <vector>

namespace
{

using orvo::TBiquadCore;
using orvo::TSimdLevel;

void FillAudio(std::vector<float>& buffer, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> sample(-0.5f, 0.5f);
    for (float& s : buffer)
    {
        s = sample(random);
    }
}

TBiquadCore LowPass(float rate, float corner)
{
    orvo::TRBJFilter filter(rate);
    filter.SetFilter(orvo::ftLowPass, corner, 0.70710677f, 1.0f);
    filter.Reset();
    return filter.Core();
}

// Arguments: level, run length (1..64), 1 to restart a glide every run.
void CrossoverBank(benchmark::State& state)
{
    const auto level = static_cast<TSimdLevel>(state.range(0));
    const int run = static_cast<int>(state.range(1));
    const bool gliding = state.range(2) != 0;
    if (!orvo::SimdLevelSupported(level))
    {
        state.SkipWithError("instruction set not supported here");
        return;
    }
    constexpr std::array<float, 4> Corners{120.0f, 480.0f, 2000.0f, 8000.0f};
    std::array<TBiquadCore, 8> cores;
    std::array<std::vector<float>, 8> buffers;
    std::array<TBiquadCore*, 8> corePointers;
    std::array<float*, 8> bufferPointers;
    for (int lane = 0; lane < 8; ++lane)
    {
        cores[lane] = LowPass(44100.0f, Corners[lane % 4]);
        buffers[lane].resize(64);
        FillAudio(buffers[lane], 1 + static_cast<unsigned>(lane / 4));
        corePointers[lane] = &cores[lane];
        bufferPointers[lane] = buffers[lane].data();
    }
    // Gliding runs alternate each lane between its corner and 1.5 times it, as a "Tuning"
    // automation does.
    std::array<std::array<double, 6>, 2> targets[8];
    for (int lane = 0; lane < 8; ++lane)
    {
        targets[lane][0] = cores[lane].FCoefTarget;
        targets[lane][1] = LowPass(44100.0f, Corners[lane % 4] * 1.5f).FCoefTarget;
    }
    int glideTarget = 0;
    const std::array<std::vector<float>, 8> input = buffers;
    for (auto _ : state)
    {
        // Each run filters fresh copies of the input, as the chain's band buffers are.
        for (int lane = 0; lane < 8; ++lane)
        {
            std::copy_n(input[lane].data(), run, buffers[lane].data());
        }
        if (gliding)
        {
            glideTarget = 1 - glideTarget;
            for (int lane = 0; lane < 8; ++lane)
            {
                TBiquadCore& core = cores[lane];
                core.FCoefTarget = targets[lane][glideTarget];
                for (int k = 0; k < 6; ++k)
                {
                    core.FCoefStep[k] = (core.FCoefTarget[k] - core.FCoef[k]) / 64.0;
                }
                core.FGlideLeft = 64;
            }
        }
        orvo::ProcessBiquadLanes(corePointers.data(), bufferPointers.data(), 8, run, level);
        benchmark::ClobberMemory();
    }
    state.SetLabel(orvo::SimdLevelName(level));
    state.counters["ns/frame"] =
        benchmark::Counter(static_cast<double>(run), benchmark::Counter::kIsIterationInvariantRate |
                                                         benchmark::Counter::kInvert);
}

// Arguments: level, host block length; the pair filters 2 x block doubled samples twice.
void OversamplingPair(benchmark::State& state)
{
    const auto level = static_cast<TSimdLevel>(state.range(0));
    const int block = static_cast<int>(state.range(1));
    if (!orvo::SimdLevelSupported(level))
    {
        state.SkipWithError("instruction set not supported here");
        return;
    }
    std::array<TBiquadCore, 4> cores;
    std::array<std::vector<float>, 2> work;
    for (TBiquadCore& core : cores)
    {
        core = LowPass(88200.0f, 22050.0f);
    }
    for (int channel = 0; channel < 2; ++channel)
    {
        work[channel].resize(2 * static_cast<std::size_t>(block));
        FillAudio(work[channel], 7 + static_cast<unsigned>(channel));
    }
    TBiquadCore* interpolation[2] = {&cores[0], &cores[1]};
    TBiquadCore* decimation[2] = {&cores[2], &cores[3]};
    float* buffers[2] = {work[0].data(), work[1].data()};
    const std::array<std::vector<float>, 2> input = work;
    for (auto _ : state)
    {
        std::copy(input[0].begin(), input[0].end(), work[0].begin());
        std::copy(input[1].begin(), input[1].end(), work[1].begin());
        orvo::ProcessBiquadLanes(interpolation, buffers, 2, 2 * block, level);
        orvo::ProcessBiquadLanes(decimation, buffers, 2, 2 * block, level);
        benchmark::ClobberMemory();
    }
    state.SetLabel(orvo::SimdLevelName(level));
    state.counters["ns/frame"] = benchmark::Counter(static_cast<double>(block),
                                                    benchmark::Counter::kIsIterationInvariantRate |
                                                        benchmark::Counter::kInvert);
}

// Arguments: level, 1 for the lockstep call.
void OversampledRun(benchmark::State& state)
{
    const auto level = static_cast<TSimdLevel>(state.range(0));
    const bool lockstep = state.range(1) != 0;
    const orvo::TFilterKernels kernels = orvo::FilterKernelsFor(level);
    if (!orvo::SimdLevelSupported(level) || (lockstep && kernels.Lockstep == nullptr))
    {
        state.SkipWithError("not available here");
        return;
    }
    constexpr int Run = 64;
    constexpr std::array<float, 4> Corners{120.0f, 480.0f, 2000.0f, 8000.0f};
    std::array<TBiquadCore, 12> cores;
    std::array<std::vector<float>, 12> buffers;
    std::array<TBiquadCore*, 12> corePointers;
    std::array<float*, 12> bufferPointers;
    for (int lane = 0; lane < 12; ++lane)
    {
        cores[lane] = lane < 8 ? LowPass(88200.0f, Corners[lane % 4]) : LowPass(88200.0f, 22050.0f);
        buffers[lane].resize(Run);
        FillAudio(buffers[lane], 11 + static_cast<unsigned>(lane));
        corePointers[lane] = &cores[lane];
        bufferPointers[lane] = buffers[lane].data();
    }
    const std::array<std::vector<float>, 12> input = buffers;
    std::array<TBiquadCore*, 8> crossoverCores;
    std::array<float*, 8> crossoverBuffers;
    std::copy_n(corePointers.begin(), 8, crossoverCores.begin());
    std::copy_n(bufferPointers.begin(), 8, crossoverBuffers.begin());
    for (auto _ : state)
    {
        for (int lane = 0; lane < 12; ++lane)
        {
            std::copy_n(input[lane].data(), Run, buffers[lane].data());
        }
        if (lockstep)
        {
            kernels.Lockstep(corePointers.data(), bufferPointers.data(), 12, Run, nullptr);
        }
        else
        {
            kernels.Stereo(cores[8], cores[9], buffers[8].data(), buffers[9].data(), Run);
            kernels.Crossovers(crossoverCores, crossoverBuffers, Run, nullptr);
            kernels.Stereo(cores[10], cores[11], buffers[10].data(), buffers[11].data(), Run);
        }
        benchmark::ClobberMemory();
    }
    state.SetLabel(orvo::SimdLevelName(level));
    state.counters["ns/frame"] = benchmark::Counter(
        Run / 2.0, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void LevelsAndRuns(benchmark::internal::Benchmark* b)
{
    for (int level = orvo::slScalar; level <= orvo::slAvx512; ++level)
    {
        for (int run : {64, 16})
        {
            b->Args({level, run, 0});
        }
        b->Args({level, 64, 1});
    }
}

void LevelsAndBlocks(benchmark::internal::Benchmark* b)
{
    for (int level = orvo::slScalar; level <= orvo::slAvx512; ++level)
    {
        for (int block : {256, 64})
        {
            b->Args({level, block});
        }
    }
}

BENCHMARK(CrossoverBank)->Apply(LevelsAndRuns)->ArgNames({"level", "run", "glide"});
BENCHMARK(OversamplingPair)->Apply(LevelsAndBlocks)->ArgNames({"level", "block"});
BENCHMARK(OversampledRun)
    ->ArgsProduct({{orvo::slSse2, orvo::slAvx2, orvo::slAvx512}, {0, 1}})
    ->ArgNames({"level", "lockstep"});

} // namespace
