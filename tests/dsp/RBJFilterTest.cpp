#include <gtest/gtest.h>

#include "dsp/uRBJFilter.h"
#include "tests/dsp/DspTestSupport.h"

#include <cmath>
#include <vector>

namespace orvo
{
namespace
{

using test::Magnitude;
using test::ToDecibels;

constexpr float ButterworthQ = 0.70710677f;
constexpr double Pi = 3.14159265358979323846;

TRBJFilter SettledLowPass(float frequency, float rate)
{
    TRBJFilter filter(rate);
    filter.SetFilter(ftLowPass, frequency, ButterworthQ, 1.0f);
    filter.Reset();
    return filter;
}

struct TPublishedCoefficients
{
    float Frequency;
    float Rate;
    double B0, B1, A1, A2;
};

class TRBJFilterCoefficients : public testing::TestWithParam<TPublishedCoefficients>
{
};

TEST_P(TRBJFilterCoefficients, MatchThePublishedFigures)
{
    const TPublishedCoefficients& expected = GetParam();
    const TRBJFilter filter = SettledLowPass(expected.Frequency, expected.Rate);
    const auto& c = filter.Core().FCoef;
    EXPECT_NEAR(c[0], expected.B0, std::fabs(expected.B0) * 1e-6);
    EXPECT_NEAR(c[1], expected.B1, std::fabs(expected.B1) * 1e-6);
    EXPECT_NEAR(c[2], expected.B0, std::fabs(expected.B0) * 1e-6);
    EXPECT_EQ(c[3], 1.0);
    EXPECT_NEAR(c[4], expected.A1, 1e-7);
    EXPECT_NEAR(c[5], expected.A2, 1e-7);
}

INSTANTIATE_TEST_SUITE_P(
    CrossoversAndOversampling, TRBJFilterCoefficients,
    testing::Values(
        TPublishedCoefficients{120.0f, 44100.0f, 7.22031e-05, 1.444062e-04, -1.9758222, 0.9761110},
        TPublishedCoefficients{2000.0f, 44100.0f, 0.01681915, 0.03363830, -1.6010924, 0.6683690},
        TPublishedCoefficients{8000.0f, 44100.0f, 0.1772450, 0.3544900, -0.5087175, 0.2176976},
        TPublishedCoefficients{22050.0f, 88200.0f, 0.2928932, 0.5857864, 0.0, 0.1715729}));

// Amplitude of a sine after the filter has settled, measured on the output samples.
double MeasuredGain(TRBJFilter& filter, double frequency, double rate)
{
    const int length = static_cast<int>(rate); // one second
    std::vector<float> signal(static_cast<std::size_t>(length));
    for (int i = 0; i < length; ++i)
    {
        signal[static_cast<std::size_t>(i)] =
            static_cast<float>(0.5 * std::sin(2.0 * Pi * frequency * i / rate));
    }
    filter.ProcessSamples(signal.data(), length);
    double peak = 0.0;
    for (int i = length / 2; i < length; ++i)
    {
        peak = std::max(peak, static_cast<double>(std::fabs(signal[static_cast<std::size_t>(i)])));
    }
    return peak / 0.5;
}

TEST(TRBJFilter, LowPassHasUnityGainAtDcAndMinus3DbAtItsCorner)
{
    TRBJFilter dc = SettledLowPass(120.0f, 44100.0f);
    std::vector<float> ones(44100, 1.0f);
    dc.ProcessSamples(ones.data(), static_cast<std::int32_t>(ones.size()));
    // The output is rounded to 32-bit before it is fed back; at DC this 120 Hz filter
    // amplifies that rounding about 3500 times.
    EXPECT_NEAR(ones.back(), 1.0f, 3e-4f);

    TRBJFilter corner = SettledLowPass(120.0f, 44100.0f);
    EXPECT_NEAR(ToDecibels(MeasuredGain(corner, 120.0, 44100.0)), -3.0103, 0.01);
}

TEST(TRBJFilter, EveryTypeHasItsCookbookResponse)
{
    const float rate = 48000.0f;
    const float f0 = 1000.0f;
    auto settled = [&](TFilterType type, float q, float gain)
    {
        TRBJFilter filter(rate);
        filter.SetFilter(type, f0, q, gain);
        filter.Reset();
        return filter;
    };
    auto at = [&](const TRBJFilter& filter, double frequency)
    { return Magnitude(filter.Core(), frequency, rate); };

    const TRBJFilter highPass = settled(ftHighPass, ButterworthQ, 0.0f);
    EXPECT_NEAR(at(highPass, 0.001), 0.0, 1e-9);
    EXPECT_NEAR(at(highPass, rate / 2), 1.0, 1e-9);
    EXPECT_NEAR(ToDecibels(at(highPass, f0)), -3.0103, 1e-3);

    const TRBJFilter bandPassQ = settled(ftBandPassQ, 1.0f, 0.0f); // one octave
    const TRBJFilter bandPass = settled(ftBandPass, 1.0f, 0.0f);
    EXPECT_NEAR(at(bandPass, f0), 1.0, 1e-9);
    EXPECT_LT(at(bandPass, f0 / 8), 0.2);
    // The constant-skirt band-pass peaks at Q = 1 / (2 sinh(ln 2 / 2 BW)) for this bandwidth.
    const double qOfOneOctave = 1.0 / (2.0 * std::sinh(std::log(2.0) / 2.0));
    EXPECT_NEAR(at(bandPassQ, f0) / qOfOneOctave, 1.0, 0.01);

    const TRBJFilter notch = settled(ftNotch, 1.0f, 0.0f);
    EXPECT_NEAR(at(notch, f0), 0.0, 1e-9);
    EXPECT_NEAR(at(notch, 0.001), 1.0, 1e-9);

    const TRBJFilter allPass = settled(ftAllPass, 1.0f, 0.0f);
    for (double f : {10.0, 500.0, 1000.0, 5000.0, 20000.0})
    {
        EXPECT_NEAR(at(allPass, f), 1.0, 1e-9) << f;
    }

    const TRBJFilter peaking = settled(ftPeaking, 2.0f, 6.0f);
    EXPECT_NEAR(ToDecibels(at(peaking, f0)), 6.0, 1e-6);
    EXPECT_NEAR(at(peaking, 0.001), 1.0, 1e-6);

    const TRBJFilter lowShelf = settled(ftLowShelf, ButterworthQ, -12.0f);
    EXPECT_NEAR(ToDecibels(at(lowShelf, 0.001)), -12.0, 1e-6);
    EXPECT_NEAR(at(lowShelf, rate / 2), 1.0, 1e-6);
    EXPECT_NEAR(ToDecibels(at(lowShelf, f0)), -6.0, 1e-6); // half the gain at the midpoint

    const TRBJFilter highShelf = settled(ftHighShelf, ButterworthQ, 9.0f);
    EXPECT_NEAR(ToDecibels(at(highShelf, rate / 2)), 9.0, 1e-6);
    EXPECT_NEAR(at(highShelf, 0.001), 1.0, 1e-6);
}

TEST(TRBJFilter, SettingsAreClampedAndOnlyChangesRecompute)
{
    TRBJFilter filter(44100.0f);
    filter.SetFilter(ftLowPass, 0.05f, ButterworthQ, 1.0f);
    EXPECT_EQ(filter.Frequency(), 0.1f);
    filter.SetFilter(ftLowPass, 25000.0f, ButterworthQ, 1.0f);
    EXPECT_EQ(filter.Frequency(), 22050.0f);

    filter.Reset();
    filter.SetFilter(ftLowPass, 22050.0f, ButterworthQ, 1.0f);
    filter.SetParam(0, 22050.0f);
    filter.SetParam(2, ButterworthQ);
    filter.SetParam(1, 1.0f);
    filter.SetParam(7, 3.0f);
    filter.SetFilter(static_cast<TFilterType>(9), 22050.0f, ButterworthQ, 1.0f);
    EXPECT_EQ(filter.Core().FGlideLeft, 0);
    EXPECT_EQ(filter.FilterType(), ftLowPass);

    filter.SetSampleRate(0.5f);
    EXPECT_EQ(filter.SampleRate(), 1.0f);
    filter.Reset();
    filter.SetSampleRate(1.0f);
    EXPECT_EQ(filter.Core().FGlideLeft, 0);
}

TEST(TRBJFilter, GlidesLinearlyOverOneBlockAndEndsOnTheTargets)
{
    TRBJFilter filter = SettledLowPass(120.0f, 44100.0f);
    const auto start = filter.Core().FCoef;
    filter.SetFilter(ftLowPass, 2000.0f, ButterworthQ, 1.0f);
    EXPECT_EQ(filter.Core().FGlideLeft, 64);
    EXPECT_EQ(filter.Core().FCoef, start); // nothing moves before the first sample

    const TRBJFilter reference = SettledLowPass(2000.0f, 44100.0f);
    std::vector<float> block(64, 0.0f);
    filter.ProcessSamples(block.data(), 32);
    for (int i = 0; i < 6; ++i)
    {
        const double halfway = (start[i] + reference.Core().FCoef[i]) / 2.0;
        EXPECT_NEAR(filter.Core().FCoef[i], halfway, 1e-12) << i;
    }
    filter.ProcessSamples(block.data() + 32, 32);
    EXPECT_EQ(filter.Core().FGlideLeft, 0);
    EXPECT_EQ(filter.Core().FCoef, reference.Core().FCoef);

    filter.ProcessBlock(block.data());
    EXPECT_EQ(filter.Core().FCoef, reference.Core().FCoef);
}

TEST(TRBJFilter, ResetCompletesTheGlideAndSilencesTheMemory)
{
    TRBJFilter filter = SettledLowPass(480.0f, 44100.0f);
    std::vector<float> block(64, 0.7f);
    filter.ProcessBlock(block.data());
    filter.SetParam(0, 960.0f);
    filter.Reset();
    EXPECT_EQ(filter.Core().FGlideLeft, 0);
    EXPECT_EQ(filter.Core().FCoef, SettledLowPass(960.0f, 44100.0f).Core().FCoef);
    EXPECT_EQ(filter.Core().FState, (std::array<double, 4>{}));
}

TEST(TRBJFilter, GlideCarriesAcrossShortRunsAndTouchesOnlyCountSamples)
{
    TRBJFilter whole = SettledLowPass(8000.0f, 44100.0f);
    TRBJFilter pieces = whole;
    whole.SetParam(0, 240.0f);
    pieces.SetParam(0, 240.0f);

    std::vector<float> a(201); // one sample beyond the 200 processed, as a guard
    for (std::size_t i = 0; i < a.size(); ++i)
    {
        a[i] = static_cast<float>(std::sin(0.3 * static_cast<double>(i)));
    }
    std::vector<float> b = a;
    whole.ProcessSamples(a.data(), 200);

    const float guard = 12345.0f;
    std::int32_t pos = 0;
    for (std::int32_t length : {10, 1, 30, 63, 64, 32})
    {
        const float after = b[static_cast<std::size_t>(pos + length)];
        b[static_cast<std::size_t>(pos + length)] = guard;
        pieces.ProcessSamples(b.data() + pos, length);
        EXPECT_EQ(b[static_cast<std::size_t>(pos + length)], guard);
        b[static_cast<std::size_t>(pos + length)] = after;
        pos += length;
    }
    pieces.ProcessSamples(b.data() + pos, 200 - pos);
    EXPECT_EQ(a, b);
    EXPECT_EQ(pieces.Core().FCoef, pieces.Core().FCoefTarget);

    std::vector<float> untouched(4, 1.0f);
    pieces.ProcessSamples(untouched.data(), 0);
    pieces.ProcessSamples(untouched.data(), -3);
    EXPECT_EQ(untouched, std::vector<float>(4, 1.0f));
}

TEST(TRBJFilter, TinyValuesAreFlushedFromTheMemoryButNotFromTheOutput)
{
    TRBJFilter filter = SettledLowPass(8000.0f, 44100.0f);
    float sample = 1.0e-25f;
    filter.ProcessSamples(&sample, 1);
    EXPECT_EQ(filter.Core().FState[0], 0.0); // x1
    EXPECT_GT(sample, 0.0f);                 // b0 x, not flushed
    EXPECT_EQ(filter.Core().FState[2], 0.0); // y1: the output was tiny too

    float larger = 2.0e-25f;
    filter.ProcessSamples(&larger, 1);
    EXPECT_EQ(filter.Core().FState[0], static_cast<double>(2.0e-25f));
}

TEST(TRBJFilter, CornerAtHalfTheRateStaysStableAfterAGlide)
{
    // At exactly half the rate the cookbook low-pass has a double pole at z = -1.
    TRBJFilter filter = SettledLowPass(8000.0f, 22050.0f);
    filter.SetParam(0, 16000.0f); // clamped to 11025
    EXPECT_EQ(filter.Frequency(), 11025.0f);
    std::vector<float> signal(22050, 0.0f);
    for (std::size_t i = 0; i < 2000; ++i)
    {
        signal[i] = (i % 2 == 0 ? 0.5f : -0.5f) * static_cast<float>(std::sin(0.01 * double(i)));
    }
    filter.ProcessSamples(signal.data(), static_cast<std::int32_t>(signal.size()));
    const auto& c = filter.Core().FCoef;
    EXPECT_LT(c[5], 1.0);                   // pole radius squared
    EXPECT_LT(std::fabs(c[4]), 1.0 + c[5]); // inside the stability triangle
    float tail = 0.0f;
    for (std::size_t i = 4000; i < signal.size(); ++i)
    {
        tail = std::max(tail, std::fabs(signal[i]));
    }
    EXPECT_EQ(tail, 0.0f);
}

} // namespace
} // namespace orvo
