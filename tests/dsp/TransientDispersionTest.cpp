#include <gtest/gtest.h>

#include "dsp/uTransientDispersion.h"

#include <cmath>
#include <random>
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

TEST(TTransientDispersion, EnvelopeBelowTheFloorIsStoredAsZero)
{
    // A burst, then peaks of 0 and of tiny sizes: the envelope falls through 1e-25 within a
    // run, stays 0 for peaks too small to lift it over the floor, rises again from 0, and
    // falls through once more. Checked after every run against the recursion
    // e = m + (e - m) x (m > e ? attack : release), 0 unless above 1e-25.
    TTransientDispersion dispersion(44100.0f);
    double expected = 0.0;
    std::vector<float> left(64), right(64, 0.0f);
    for (int run = 0; run < 1200; ++run)
    {
        float level = run % 300 == 299 ? 3.0e-25f : 0.0f;
        level = run < 2 ? 1.0f : (run == 1000 ? 1.0e-20f : level);
        for (std::size_t i = 0; i < left.size(); ++i)
        {
            left[i] = i % 8 == 0 ? level : 0.0f;
            const double m = left[i];
            const double coefficient = m > expected ? dispersion.Attack() : dispersion.Release();
            expected = m + (expected - m) * coefficient;
            expected = expected > 1.0e-25 ? expected : 0.0;
        }
        right.assign(64, 0.0f);
        dispersion.ProcessBlock(left.data(), right.data());
        ASSERT_EQ(dispersion.Envelope(), expected) << "run " << run;
    }
    EXPECT_EQ(expected, 0.0);
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

TEST(TTransientDispersion, BandsRunTogetherGiveTheSameSamplesAsOneByOne)
{
    std::mt19937 random(3);
    std::uniform_real_distribution<float> sample(-1.0f, 1.0f);
    for (int bands = 1; bands <= TTransientDispersion::MaxBands; ++bands)
    {
        std::vector<TTransientDispersion> together, alone;
        for (int b = 0; b < bands; ++b)
        {
            together.emplace_back(44100.0f + 1000.0f * float(b));
            together.back().SetParam(0, 0.2f * float(b));
        }
        alone = together;
        for (std::int32_t count : {64, 17, 1, 0, 64, 40})
        {
            std::vector<std::vector<float>> l(5, std::vector<float>(64)), r = l;
            for (auto* channel : {&l, &r})
            {
                for (auto& buffer : *channel)
                {
                    for (float& s : buffer)
                    {
                        s = sample(random);
                    }
                }
            }
            auto l2 = l, r2 = r;
            std::vector<TTransientDispersion*> processors;
            std::vector<float*> left, right;
            for (int b = 0; b < bands; ++b)
            {
                processors.push_back(&together[std::size_t(b)]);
                left.push_back(l[std::size_t(b)].data());
                right.push_back(r[std::size_t(b)].data());
                alone[std::size_t(b)].ProcessSamples(l2[std::size_t(b)].data(),
                                                     r2[std::size_t(b)].data(), count);
            }
            TTransientDispersion::ProcessBands(processors.data(), left.data(), right.data(), bands,
                                               count);
            EXPECT_EQ(l, l2);
            EXPECT_EQ(r, r2);
            for (int b = 0; b < bands; ++b)
            {
                EXPECT_EQ(together[std::size_t(b)].Gain(), alone[std::size_t(b)].Gain());
                EXPECT_EQ(together[std::size_t(b)].Envelope(), alone[std::size_t(b)].Envelope());
            }
        }
    }
}

} // namespace
} // namespace orvo
