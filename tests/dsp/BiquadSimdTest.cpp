#include <gtest/gtest.h>

#include "dsp/simd/uBiquadLanes.h"
#include "dsp/simd/uVectorFilterKernels.h"
#include "dsp/uRBJFilter.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace
{

using orvo::ProcessBiquad;
using orvo::ProcessBiquadLanes;
using orvo::TBiquadCore;
using orvo::TSimdLevel;

std::vector<TSimdLevel> SupportedLevels()
{
    std::vector<TSimdLevel> levels;
    for (TSimdLevel level : {orvo::slScalar, orvo::slSse2, orvo::slAvx2, orvo::slAvx512})
    {
        if (orvo::SimdLevelSupported(level))
        {
            levels.push_back(level);
        }
    }
    return levels;
}

bool SameBits(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// Samples must match bit for bit; NaNs only as NaNs (their payload is not a sample).
bool SameSample(float a, float b)
{
    return (std::isnan(a) && std::isnan(b)) ||
           std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

::testing::AssertionResult SameCore(const TBiquadCore& expected, const TBiquadCore& actual)
{
    for (int k = 0; k < 6; ++k)
    {
        if (!SameBits(expected.FCoef[k], actual.FCoef[k]))
        {
            return ::testing::AssertionFailure()
                   << "coefficient " << k << ": " << expected.FCoef[k] << " vs " << actual.FCoef[k];
        }
    }
    for (int k = 0; k < 4; ++k)
    {
        if (!SameBits(expected.FState[k], actual.FState[k]) &&
            !(std::isnan(expected.FState[k]) && std::isnan(actual.FState[k])))
        {
            return ::testing::AssertionFailure()
                   << "state " << k << ": " << expected.FState[k] << " vs " << actual.FState[k];
        }
    }
    if (expected.FGlideLeft != actual.FGlideLeft)
    {
        return ::testing::AssertionFailure()
               << "glide left " << expected.FGlideLeft << " vs " << actual.FGlideLeft;
    }
    return ::testing::AssertionSuccess();
}

// A bank of lanes run twice: once filter by filter with ProcessBiquad (the reference), once
// through ProcessBiquadLanes at the level under test.
class TLaneBank
{
  public:
    TLaneBank(int lanes, int capacity)
        : FReference(lanes), FUnderTest(lanes),
          FReferenceBuffers(lanes, std::vector<float>(capacity)),
          FTestBuffers(lanes, std::vector<float>(capacity))
    {
    }

    int Lanes() const { return static_cast<int>(FReference.size()); }
    /// Runs the lanes through the level's lockstep kernel (at most 12 lanes of 64 samples)
    /// instead of ProcessBiquadLanes.
    void UseLockstep() { FLockstep = true; }
    static bool HasLockstep(TSimdLevel level)
    {
        return orvo::FilterKernelsFor(level).Lockstep != nullptr;
    }
    void SetCore(int lane, const TBiquadCore& core)
    {
        FReference[lane] = core;
        FUnderTest[lane] = core;
    }
    TBiquadCore& Reference(int lane) { return FReference[lane]; }
    float* Input(int lane) { return FReferenceBuffers[lane].data(); }

    // Filters `count` samples already written through Input() and compares everything.
    ::testing::AssertionResult Run(int count, TSimdLevel level)
    {
        std::vector<TBiquadCore*> cores;
        std::vector<float*> buffers;
        for (int lane = 0; lane < Lanes(); ++lane)
        {
            std::memcpy(FTestBuffers[lane].data(), FReferenceBuffers[lane].data(),
                        sizeof(float) * static_cast<std::size_t>(count));
            ProcessBiquad(FReference[lane], FReferenceBuffers[lane].data(), count);
            cores.push_back(&FUnderTest[lane]);
            buffers.push_back(FTestBuffers[lane].data());
        }
        if (FLockstep)
        {
            orvo::FilterKernelsFor(level).Lockstep(cores.data(), buffers.data(), Lanes(), count,
                                                   nullptr);
        }
        else
        {
            ProcessBiquadLanes(cores.data(), buffers.data(), Lanes(), count, level);
        }
        for (int lane = 0; lane < Lanes(); ++lane)
        {
            for (int i = 0; i < count; ++i)
            {
                if (!SameSample(FReferenceBuffers[lane][i], FTestBuffers[lane][i]))
                {
                    return ::testing::AssertionFailure()
                           << orvo::SimdLevelName(level) << " lane " << lane << " sample " << i
                           << ": " << FReferenceBuffers[lane][i] << " vs " << FTestBuffers[lane][i];
                }
            }
            const auto core = SameCore(FReference[lane], FUnderTest[lane]);
            if (!core)
            {
                return ::testing::AssertionFailure()
                       << orvo::SimdLevelName(level) << " lane " << lane << ": " << core.message();
            }
        }
        return ::testing::AssertionSuccess();
    }

  private:
    std::vector<TBiquadCore> FReference;
    std::vector<TBiquadCore> FUnderTest;
    std::vector<std::vector<float>> FReferenceBuffers;
    std::vector<std::vector<float>> FTestBuffers;
    bool FLockstep = false;
};

// Settled low-pass coefficients of a real filter, optionally with a glide towards another
// corner pending, as the chain leaves them after a "Tuning" change.
TBiquadCore LowPassCore(std::mt19937& random, float rate)
{
    std::uniform_real_distribution<float> corner(20.0f, rate * 0.5f);
    orvo::TRBJFilter filter(rate);
    filter.SetFilter(orvo::ftLowPass, corner(random), 0.70710677f, 1.0f);
    filter.Reset();
    if (random() % 2 == 0)
    {
        filter.SetParam(0, corner(random));
    }
    return filter.Core();
}

// Arbitrary coefficients and state, stable or not, with any glide position.
TBiquadCore RandomCore(std::mt19937& random)
{
    std::uniform_real_distribution<double> coefficient(-2.0, 2.0);
    std::uniform_real_distribution<double> state(-1.0, 1.0);
    TBiquadCore core;
    for (int k = 0; k < 6; ++k)
    {
        core.FCoef[k] = coefficient(random);
        core.FCoefTarget[k] = coefficient(random) * 0.5;
        core.FCoefStep[k] = (core.FCoefTarget[k] - core.FCoef[k]) / 64.0;
    }
    for (int k = 0; k < 4; ++k)
    {
        core.FState[k] = static_cast<float>(state(random));
    }
    core.FGlideLeft = static_cast<std::int32_t>(random() % 65);
    return core;
}

void FillAudio(std::mt19937& random, float* buffer, int count)
{
    std::uniform_real_distribution<float> sample(-1.0f, 1.0f);
    for (int i = 0; i < count; ++i)
    {
        buffer[i] = sample(random);
    }
}

TEST(BiquadLanes, EveryLevelMatchesTheScalarStepOnCrossoverRuns)
{
    for (TSimdLevel level : SupportedLevels())
    {
        std::mt19937 random(2024);
        TLaneBank bank(8, 64);
        for (int lane = 0; lane < 8; ++lane)
        {
            bank.SetCore(lane, LowPassCore(random, lane < 4 ? 44100.0f : 88200.0f));
        }
        for (int run = 0; run < 3000; ++run)
        {
            const int count = run % 5 == 0 ? 64 : 1 + static_cast<int>(random() % 64);
            // The four low-passes of a channel filter copies of the same input.
            for (int lane = 0; lane < 8; ++lane)
            {
                if (lane % 4 == 0)
                {
                    FillAudio(random, bank.Input(lane), count);
                }
                else
                {
                    std::memcpy(bank.Input(lane), bank.Input(lane - lane % 4),
                                sizeof(float) * count);
                }
            }
            // Now and then a corner moves: a new glide starts from wherever the old one was.
            if (random() % 7 == 0)
            {
                const int lane = static_cast<int>(random() % 8);
                const TBiquadCore fresh = LowPassCore(random, 44100.0f);
                TBiquadCore moved = bank.Reference(lane);
                moved.FCoefTarget = fresh.FCoefTarget;
                for (int k = 0; k < 6; ++k)
                {
                    moved.FCoefStep[k] = (moved.FCoefTarget[k] - moved.FCoef[k]) / 64.0;
                }
                moved.FGlideLeft = 64;
                bank.SetCore(lane, moved);
            }
            ASSERT_TRUE(bank.Run(count, level)) << "run " << run;
        }
    }
}

TEST(BiquadLanes, AnyLaneCountAndRunLengthMatchesTheScalarStep)
{
    // Unstable random coefficients run into infinities and NaNs, which take the exact
    // fallback of the vector paths; long runs are the oversampled path's whole blocks.
    for (TSimdLevel level : SupportedLevels())
    {
        std::mt19937 random(77);
        for (int lanes = 1; lanes <= 11; ++lanes)
        {
            TLaneBank bank(lanes, 8192);
            for (int run = 0; run < 40; ++run)
            {
                const int count = run % 10 == 9 ? 8192 : 1 + static_cast<int>(random() % 200);
                for (int lane = 0; lane < lanes; ++lane)
                {
                    bank.SetCore(lane,
                                 run % 2 == 0 ? RandomCore(random) : LowPassCore(random, 22050.0f));
                    FillAudio(random, bank.Input(lane), count);
                }
                ASSERT_TRUE(bank.Run(count, level)) << lanes << " lanes, run " << run;
            }
        }
    }
}

TEST(BiquadLanes, FeedbackFlushIsDecidedOnTheRoundedValue)
{
    // Two samples (x1, base) through y = x + 2^-40 x1 put y exactly on, or a few double ulps
    // either side of, the midpoint between `base` and the float above it; near the threshold
    // the 32-bit rounding of y then decides whether the stored y1 is kept or flushed to 0.
    const float threshold = orvo::FlushThreshold;
    std::vector<std::array<float, 2>> cases;
    // Away from the threshold the same cases check ties to even (1.0 has an even last bit,
    // the float above it an odd one).
    for (const float base : {threshold, std::nextafter(threshold, 0.0f),
                             std::nextafter(threshold, 1.0f), 1.0f, std::nextafter(1.0f, 2.0f)})
    {
        const int exponent = std::ilogb(base);
        for (int j = -3; j <= 3; ++j)
        {
            for (const float sign : {1.0f, -1.0f})
            {
                // 2^-40 x1 is half a float ulp of base, plus j double ulps of base.
                const float x1 =
                    std::ldexp(1.0f + static_cast<float>(j) * 0x1p-23f, exponent - 24 + 40);
                cases.push_back({sign * x1, sign * base});
            }
        }
    }
    TBiquadCore core;
    core.FCoef = {1.0, 0x1p-40, 0.0, 1.0, 0.0, 0.0};
    core.FCoefTarget = core.FCoef;
    for (TSimdLevel level : SupportedLevels())
    {
        // Through the lanes and, on vector levels, through the lockstep kernel (which rounds
        // the feedback another way), twelve lanes at a time.
        for (const bool lockstep : {false, true})
        {
            if (lockstep && !TLaneBank::HasLockstep(level))
            {
                continue;
            }
            const int lanes = lockstep ? 12 : 8;
            for (std::size_t first = 0; first < cases.size(); first += 8)
            {
                TLaneBank bank(lanes, 2);
                if (lockstep)
                {
                    bank.UseLockstep();
                }
                for (int lane = 0; lane < lanes; ++lane)
                {
                    bank.SetCore(lane, core);
                    const auto& pair = cases[(first + lane) % cases.size()];
                    bank.Input(lane)[0] = pair[0];
                    bank.Input(lane)[1] = pair[1];
                }
                ASSERT_TRUE(bank.Run(2, level))
                    << "cases from " << first << ", lockstep " << lockstep;
            }
        }
    }
}

TEST(BiquadLanes, BrokenAndTinyInputsMatchTheScalarStep)
{
    constexpr float Infinity = std::numeric_limits<float>::infinity();
    const float specials[] = {0.0f,      -0.0f,         1.0e-25f, -1.0e-25f, 1.0e-30f,
                              1.0e-40f,  -1.0e-45f,     3.0e38f,  -3.4e38f,  Infinity,
                              -Infinity, std::nanf(""), 1.0f,     -1.0f,     1.0e-20f};
    for (TSimdLevel level : SupportedLevels())
    {
        std::mt19937 random(5);
        TLaneBank bank(8, 64);
        for (int lane = 0; lane < 8; ++lane)
        {
            bank.SetCore(lane, LowPassCore(random, 44100.0f));
        }
        for (int run = 0; run < 400; ++run)
        {
            const int count = 1 + static_cast<int>(random() % 64);
            std::uniform_real_distribution<float> decade(-40.0f, 1.0f);
            for (int lane = 0; lane < 8; ++lane)
            {
                for (int i = 0; i < count; ++i)
                {
                    const unsigned pick = random() % 16;
                    bank.Input(lane)[i] =
                        pick < 3 ? specials[random() % std::size(specials)]
                                 : (pick % 2 == 0 ? 1.0f : -1.0f) * std::pow(10.0f, decade(random));
                }
            }
            ASSERT_TRUE(bank.Run(count, level)) << "run " << run;
        }
    }
}

TEST(BiquadLanes, LockstepKernelsMatchTheScalarStepOnEveryValue)
{
    // The lockstep kernels round the feedback with the conversion instructions instead of
    // on the bits; every lane count they take, with real and unstable coefficients, broken,
    // tiny and threshold-straddling inputs.
    constexpr float Infinity = std::numeric_limits<float>::infinity();
    const float threshold = orvo::FlushThreshold;
    const float specials[] = {
        0.0f,      -0.0f,         threshold, -threshold, std::nextafter(threshold, 1.0f),
        1.0e-30f,  -1.0e-45f,     3.0e38f,   -3.4e38f,   Infinity,
        -Infinity, std::nanf(""), 1.0f,      -1.0f,      1.0e-20f};
    for (TSimdLevel level : {orvo::slSse2, orvo::slAvx2, orvo::slAvx512})
    {
        if (!orvo::SimdLevelSupported(level) || !TLaneBank::HasLockstep(level))
        {
            continue;
        }
        std::mt19937 random(91 + level);
        for (int lanes = 1; lanes <= 12; ++lanes)
        {
            TLaneBank bank(lanes, 64);
            bank.UseLockstep();
            for (int run = 0; run < 60; ++run)
            {
                const int count = run % 4 == 0 ? 64 : 1 + static_cast<int>(random() % 64);
                for (int lane = 0; lane < lanes; ++lane)
                {
                    if (run % 10 == 0)
                    {
                        bank.SetCore(lane, run % 20 == 0 ? RandomCore(random)
                                                         : LowPassCore(random, 88200.0f));
                    }
                    FillAudio(random, bank.Input(lane), count);
                    for (int i = 0; i < count; ++i)
                    {
                        if (random() % 8 == 0)
                        {
                            bank.Input(lane)[i] = specials[random() % std::size(specials)];
                        }
                    }
                }
                ASSERT_TRUE(bank.Run(count, level)) << lanes << " lanes, run " << run;
            }
        }
    }
}

TEST(BiquadLanes, LevelsTheProcessorLacksFallBackToOnesItHas)
{
    EXPECT_TRUE(orvo::SimdLevelSupported(orvo::slScalar));
    EXPECT_TRUE(orvo::SimdLevelSupported(orvo::BestSimdLevel()));
    std::mt19937 random(3);
    TLaneBank bank(8, 64);
    for (int lane = 0; lane < 8; ++lane)
    {
        bank.SetCore(lane, LowPassCore(random, 48000.0f));
        FillAudio(random, bank.Input(lane), 64);
    }
    EXPECT_TRUE(bank.Run(64, orvo::slAvx512));
}

} // namespace
