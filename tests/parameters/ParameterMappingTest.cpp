// The LV2 port mapping: round trips between normalised and port values (exact wherever the
// port's float resolution allows), the ports' ranges, and the marked positions' texts. The
// display texts read back: every text shown gives a value showing it, typed variants and
// numbers between the shown ones give the nearest, other texts nothing.
#include <gtest/gtest.h>

#include "parameters/uParameterMapping.h"
#include "tests/support/ParameterSweep.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace orvo
{
namespace
{
/// NormalisedValue(PortValue(x)) must be x wherever x is the only nearby float with its port
/// value (a float in dB, % or semitones is coarser than the normalised value near 0), and
/// otherwise a value with the same port value; toggles come back switched alike.
void ExpectRoundTrip(std::int32_t i, float x)
{
    const float port = PortValue(i, x);
    const float back = NormalisedValue(i, port);
    if (PortScaleOf(InfoOf(i).Kind).Toggled)
    {
        ASSERT_EQ(back >= 0.5f, x >= 0.5f) << i << " at " << x;
        return;
    }
    const bool distinct = PortValue(i, std::nextafter(x, 0.0f)) != port &&
                          PortValue(i, std::nextafter(x, 1.0f)) != port;
    if (distinct)
    {
        ASSERT_EQ(back, x) << i << " at " << x;
    }
    ASSERT_EQ(PortValue(i, back), port) << i << " at " << x;
}

TEST(ParameterMapping, PortValuesRoundTripAndStayInTheirRange)
{
    for (std::int32_t i = 0; i < ParameterCount; ++i)
    {
        if (InfoOf(i).Kind == pkReserved)
        {
            continue;
        }
        const TPortScale scale = PortScaleOf(InfoOf(i).Kind);
        for (const float x : test::ParameterSweep())
        {
            ASSERT_GE(PortValue(i, x), scale.Minimum) << i << " at " << x;
            ASSERT_LE(PortValue(i, x), scale.Maximum) << i << " at " << x;
            ExpectRoundTrip(i, x);
        }
        EXPECT_EQ(NormalisedValue(i, scale.Minimum - 5.0f), 0.0f);
        EXPECT_EQ(NormalisedValue(i, scale.Maximum + 5.0f), 1.0f);
        EXPECT_EQ(NormalisedValue(i, std::nanf("")), 0.0f);
    }
}

TEST(ParameterMapping, MarksTheUnitsPositions)
{
    EXPECT_EQ(PortValue(prInGain, 0.75f), 3.0f);
    EXPECT_EQ(PortValue(prOutGain, 0.25f), -24.0f);
    EXPECT_EQ(PortValue(prTuning, 0.25f), -6.0f);
    EXPECT_EQ(PortValue(prTube, 1.0f), 100.0f);
    EXPECT_EQ(MarkText(prInGain, 0.0f), "-oo dB");
    EXPECT_EQ(MarkText(prOutGain, 0.75f), "3.00 dB");
    EXPECT_EQ(MarkText(prLo, 0.75f), "50.00%TD");
    EXPECT_EQ(MarkText(prMidMute, 1.0f), "Muted");
}
TEST(ParameterText, EveryDisplayedTextReadsBackToItself)
{
    // 2^16 steps are finer than a display's 0.01 anywhere; the sweep adds the edges. The
    // scale decides the texts, so one parameter of each scale stands for the others.
    std::vector<float> values = test::ParameterSweep(1 << 16);
    std::sort(values.begin(), values.end());
    std::vector<const TParameterScale*> swept;
    for (std::int32_t i = 0; i < ParameterCount; ++i)
    {
        if (std::find(swept.begin(), swept.end(), InfoOf(i).Scale) != swept.end())
        {
            continue;
        }
        swept.push_back(InfoOf(i).Scale);
        std::string previous;
        for (const float x : values)
        {
            const std::string shown = DisplayText(i, x, '.').value_or("");
            if (shown.empty() || shown == previous)
            {
                continue;
            }
            previous = shown;
            // As a host shows it with a decimal comma, and as a port's mark ("-24.00 dB").
            for (const std::string& text : {*DisplayText(i, x, ','), MarkText(i, x)})
            {
                const std::optional<float> back = ValueOfText(i, text);
                ASSERT_TRUE(back.has_value()) << i << ": " << text;
                ASSERT_EQ(DisplayText(i, *back, '.'), shown) << i << ": " << text;
            }
        }
    }
}

TEST(ParameterText, ReadsTypedTextsAsTheNearestValue)
{
    struct TCase
    {
        std::int32_t Index;
        const char* Typed;
        const char* Shown; // nullptr: refused
    };
    const TCase cases[] = {
        {prLo, "0.5%", "0.50%TD"},
        {prLo, " 0,50 %td", "0.50%TD"},
        {prLo, "-oo", "-oodB"},
        {prLo, "0", "0.00dB"},
        {prMid, "50", "50.00%TD"},
        {prOutGain, "-95.5", "-95.50"},
        {prOutGain, "-95.503", "-95.50"},
        {prOutGain, "-OO dB", "   -oo  "},
        {prInGain, "+3 dB", "3.00"},
        {prTuning, "-2 semitones", "-2.00"},
        {prTuning, "12.004", "12.00"},
        {prTuning, "-0", "-0.00"},
        {prTube, "-40%", "-40.00"},
        {prHiMute, "muted", "Muted"},
        {prOverSample, "Oversampling On", "Oversampling On"},
        {prInGain, "+20", nullptr},
        {prInGain, "-96", nullptr},
        {prTuning, "12.01", nullptr},
        {prTuning, "3 dB", nullptr},
        {prLo, "5 %TD dB", nullptr},
        {prLo, "1e2", nullptr},
        {prLo, "", nullptr},
        {prLoMute, "1", nullptr},
        {prReserved, "0", nullptr},
        {ParameterCount, "0", nullptr},
    };
    for (const TCase& c : cases)
    {
        const std::optional<float> value = ValueOfText(c.Index, c.Typed);
        if (c.Shown == nullptr)
        {
            EXPECT_FALSE(value.has_value()) << c.Index << ": " << c.Typed;
            continue;
        }
        ASSERT_TRUE(value.has_value()) << c.Index << ": " << c.Typed;
        EXPECT_EQ(DisplayText(c.Index, *value, '.'), c.Shown) << c.Index << ": " << c.Typed;
    }
    // Of the values showing a number, the one nearest it: the curves' own points.
    EXPECT_EQ(ValueOfText(prInGain, "0"), 0.5f);
    EXPECT_EQ(ValueOfText(prInGain, "3"), 0.75f);
    EXPECT_EQ(ValueOfText(prOutGain, "-24"), 0.25f);
    EXPECT_EQ(ValueOfText(prTube, "100"), 1.0f);
    // Words stand for the end of the range they reach.
    EXPECT_EQ(ValueOfText(prMidMute, "Muted"), 1.0f);
    EXPECT_EQ(ValueOfText(prOverSample, "Host Rate Processing"), 0.0f);
}
} // namespace
} // namespace orvo
