// The LV2 port mapping: round trips between normalised and port values (exact wherever the
// port's float resolution allows), the ports' ranges, and the marked positions' texts.
#include "parameters/uParameterMapping.h"
#include "tests/support/ParameterSweep.h"

#include <gtest/gtest.h>

#include <cmath>

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
} // namespace
} // namespace orvo
