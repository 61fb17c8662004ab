#include "dsp/uTransientDispersion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

namespace orvo
{
namespace
{

TEST(TTransientDispersion, TimeConstantsAreFiveAndTwentyMilliseconds)
{
    const TTransientDispersion dispersion(44100.0f);
    EXPECT_NEAR(dispersion.Attack(), 0.995475, 1e-6);
    EXPECT_NEAR(dispersion.Release(), 0.998867, 1e-6);
}

TEST(TTransientDispersion, SilenceEndsTheRunOnTheQuietGain)
{
    TTransientDispersion dispersion(44100.0f);
    std::vector<float> left(64, 0.0f), right(64, 0.0f);
    dispersion.ProcessBlock(left.data(), right.data());
    EXPECT_EQ(dispersion.Gain(), 0.75);
    dispersion.SetParam(0, 1.0f);
    dispersion.ProcessBlock(left.data(), right.data());
    EXPECT_EQ(dispersion.Gain(), 1.5);
    EXPECT_EQ(left, std::vector<float>(64, 0.0f));
}

TEST(TTransientDispersion, EnvelopeRisesWithTheAttackAndFallsWithTheRelease)
{
    TTransientDispersion dispersion(44100.0f);
    float left = 1.0f;
    float right = 0.0f;
    dispersion.ProcessSamples(&left, &right, 1);
    EXPECT_NEAR(dispersion.Envelope(), 0.004525, 1e-6);
    EXPECT_NEAR(dispersion.Gain(), (0.004525 + 0.5) * 1.5, 1e-6);
    const double peak = dispersion.Envelope();
    left = 0.0f;
    dispersion.ProcessSamples(&left, &right, 1);
    EXPECT_DOUBLE_EQ(dispersion.Envelope(), peak * dispersion.Release());
}

TEST(TTransientDispersion, SteadyLevelsGiveTheReferenceGains)
{
    for (auto [level, gain] : {std::pair{0.5f, 1.5}, std::pair{1.0f, 2.25}})
    {
        TTransientDispersion dispersion(44100.0f);
        std::vector<float> left(64), right(64);
        for (int run = 0; run < 200; ++run)
        {
            left.assign(64, level);
            right.assign(64, -level);
            dispersion.ProcessBlock(left.data(), right.data());
        }
        EXPECT_NEAR(dispersion.Gain(), gain, 1e-6) << level;
        EXPECT_NEAR(left.back(), level * gain, 1e-5);
    }
}

TEST(TTransientDispersion, GainRampsAcrossTheRunIdenticallyOnBothChannels)
{
    TTransientDispersion dispersion(44100.0f);
    std::vector<float> left(10), right(10);
    for (int i = 0; i < 10; ++i)
    {
        left[static_cast<std::size_t>(i)] = 0.1f * static_cast<float>(i % 3);
        right[static_cast<std::size_t>(i)] = 1.0f;
    }
    const std::vector<float> original = left;
    dispersion.ProcessSamples(left.data(), right.data(), 10);
    const double step = dispersion.Gain() / 10.0; // from the reset gain 0
    for (std::size_t i = 0; i < 10; ++i)
    {
        const double g = step * static_cast<double>(i + 1); // the first sample carries a step
        EXPECT_NEAR(right[i], g, 1e-6) << i;
        EXPECT_NEAR(left[i], original[i] * g, 1e-6) << i;
    }
}

TEST(TTransientDispersion, RateChangesResetButTheSameRateDoesNot)
{
    TTransientDispersion dispersion(44100.0f);
    float left = 1.0f, right = 1.0f;
    dispersion.ProcessSamples(&left, &right, 1);
    dispersion.SetSampleRate(44100.0f);
    EXPECT_GT(dispersion.Envelope(), 0.0);
    dispersion.SetParam(3, 0.9f);
    EXPECT_EQ(dispersion.Amount(), 0.0f);
    dispersion.SetSampleRate(88200.0f);
    EXPECT_EQ(dispersion.Envelope(), 0.0);
    EXPECT_EQ(dispersion.Gain(), 0.0);
    EXPECT_NEAR(dispersion.Attack(), std::exp(-1.0 / 441.0), 1e-9);
}

TEST(TTransientDispersion, AnEmptyRunOnlyUpdatesTheGain)
{
    TTransientDispersion dispersion(44100.0f);
    dispersion.SetParam(0, 0.5f);
    float left = 3.0f, right = 3.0f;
    dispersion.ProcessSamples(&left, &right, 0);
    EXPECT_EQ(left, 3.0f);
    EXPECT_EQ(dispersion.Gain(), 0.75 * 1.5);
}

} // namespace
} // namespace orvo
