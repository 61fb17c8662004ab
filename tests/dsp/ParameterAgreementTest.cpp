// The chain's settings against what the effect shows for them: for every parameter of the
// table and a sweep of values, the number in the display text and the LV2 port value must
// describe the setting the chain took, so that display and sound cannot drift apart.
#include <gtest/gtest.h>

#include "dsp/uOrvoChain.h"
#include "parameters/uParameterCurves.h"
#include "parameters/uParameterMapping.h"
#include "tests/support/ParameterSweep.h"

#include <charconv>
#include <cmath>
#include <string>

namespace orvo
{
namespace
{

/// The leading number of a display text ("-19.20dB" -> -19.2); NaN when there is none.
double ShownNumber(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(' ');
    double number = std::nan("");
    if (first != std::string::npos)
    {
        std::from_chars(text.data() + first, text.data() + text.size(), number);
    }
    return number;
}

double Decibels(float gain)
{
    return 20.0 * std::log10(static_cast<double>(gain));
}

/// Two decimals shown: within half a hundredth, plus the float rounding of the setting.
constexpr double ShownMargin = 0.005 + 1e-4;

void ExpectChainShows(const TOrvoChain& chain, std::int32_t index, float x)
{
    const std::string text = DisplayText(index, x, '.').value();
    const double shown = ShownNumber(text);
    const double port = PortValue(index, x);
    const auto band = static_cast<std::size_t>(KindOrdinal(index));
    switch (InfoOf(index).Kind)
    {
    case pkBand:
        if (text.ends_with("%TD"))
        {
            ASSERT_TRUE(chain.BandDispersionOn(static_cast<int>(band)));
            ASSERT_NEAR(shown, chain.Dispersion(static_cast<int>(band)).Amount() * 100.0,
                        ShownMargin);
        }
        else if (text == "-oodB")
        {
            ASSERT_FALSE(chain.BandDispersionOn(static_cast<int>(band)));
            ASSERT_EQ(chain.BandGain(static_cast<int>(band)), 0.0f);
        }
        else
        {
            ASSERT_FALSE(chain.BandDispersionOn(static_cast<int>(band)));
            ASSERT_NEAR(shown, Decibels(chain.BandGain(static_cast<int>(band))), ShownMargin);
        }
        ASSERT_EQ(port, x); // the port carries the normalised value
        break;
    case pkMute:
    {
        const TMuteState state = chain.MuteState(static_cast<int>(band));
        const bool muted = state == msFadingOut || state == msMuted;
        ASSERT_EQ(text, muted ? "Muted" : "Open");
        ASSERT_EQ(port, muted ? 1.0 : 0.0);
        break;
    }
    case pkGain:
    {
        const float gain = index == prInGain ? chain.InGain() : chain.OutGain();
        if (gain == 0.0f)
        {
            ASSERT_EQ(text, "   -oo  ");
            ASSERT_LT(port, LevelSilenceDecibels + 0.01);
        }
        else
        {
            ASSERT_NEAR(shown, Decibels(gain), ShownMargin);
            ASSERT_NEAR(port, Decibels(gain), 1e-4);
        }
        break;
    }
    case pkTube:
        // -100..100 % is drive 0.2..0.8.
        ASSERT_NEAR(0.2 + 0.6 * (shown + 100.0) / 200.0, chain.TubeDrive(),
                    0.6 * ShownMargin / 200.0);
        ASSERT_NEAR(0.2 + 0.6 * (port + 100.0) / 200.0, chain.TubeDrive(), 1e-6);
        break;
    case pkTuning:
        // Semitones are twelfths of the octaves the crossovers move by.
        ASSERT_NEAR(shown, 12.0 * chain.Tuning(), ShownMargin);
        ASSERT_NEAR(port, 12.0 * chain.Tuning(), 1e-5);
        break;
    case pkSwitch:
        ASSERT_EQ(text, chain.OverSample() ? "Oversampling On" : "Host Rate Processing");
        ASSERT_EQ(port, chain.OverSample() ? 1.0 : 0.0);
        break;
    case pkReserved:
        break;
    }
}

TEST(ParameterAgreement, DisplayAndPortShowTheSettingTheChainTakes)
{
    for (const TParameterInfo& info : ParameterInfo)
    {
        if (info.Kind == pkReserved)
        {
            continue;
        }
        TOrvoChain chain;
        for (const float x : test::ParameterSweep(400))
        {
            chain.SetParameter(info.Index, x);
            ExpectChainShows(chain, info.Index, x);
            if (::testing::Test::HasFatalFailure())
            {
                FAIL() << info.Name << " at " << x;
            }
        }
    }
}

} // namespace
} // namespace orvo
