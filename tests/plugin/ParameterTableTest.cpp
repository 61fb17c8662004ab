// The parameter table against the effect itself: names, labels and display texts for a
// sweep of values in both decimal symbols, the fresh program's values, and the LV2 port
// mapping's round trip (exact wherever the port's float resolution allows).
#include "plugin/uParameterMapping.h"
#include "plugin/uPluginProgram.h"
#include "tests/plugin/TPluginFixture.h"

#include <cmath>

namespace orvo::test
{
namespace
{
class ParameterTable : public TPluginFixture
{
};

/// 0..1 in steps of 1/1000, the level curve's silence edge and both neighbours of every
/// switch point.
std::vector<float> SweepValues()
{
    std::vector<float> values;
    for (int i = 0; i <= 1000; ++i)
    {
        values.push_back(static_cast<float>(i) / 1000.0f);
    }
    for (const float edge : {0.000347f, 0.25f, 0.5f})
    {
        values.push_back(std::nextafter(edge, 0.0f));
        values.push_back(std::nextafter(edge, 1.0f));
    }
    return values;
}

TEST_F(ParameterTable, GivesTheEffectsNamesLabelsAndDisplayTexts)
{
    for (const char separator : {'.', ','})
    {
        Locale.Separator = separator;
        Create();
        for (std::int32_t i = 0; i < ParameterCount; ++i)
        {
            EXPECT_EQ(Text(effGetParamName, i), InfoOf(i).Name);
            EXPECT_EQ(Text(effGetParamLabel, i), InfoOf(i).Label);
            if (InfoOf(i).Kind == pkReserved)
            {
                EXPECT_FALSE(DisplayText(i, 0.5f, separator).has_value());
                continue;
            }
            for (const float value : SweepValues())
            {
                SetParameter(i, value);
                ASSERT_EQ(Display(i), DisplayText(i, value, separator)) << i << " at " << value;
            }
        }
        EXPECT_EQ(DisplayText(ParameterCount, 0.5f, separator), "undefined");
        Close();
    }
}

TEST_F(ParameterTable, GivesAFreshProgramsValues)
{
    const APluginProgram program;
    for (std::int32_t i = 0; i < ParameterCount; ++i)
    {
        EXPECT_EQ(program.Value(i), InfoOf(i).Default) << i;
    }
}

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

TEST_F(ParameterTable, PortValuesRoundTripAndStayInTheirRange)
{
    for (std::int32_t i = 0; i < ParameterCount; ++i)
    {
        if (InfoOf(i).Kind == pkReserved)
        {
            continue;
        }
        const TPortScale scale = PortScaleOf(InfoOf(i).Kind);
        for (const float x : SweepValues())
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

TEST_F(ParameterTable, FactoryProgramsComeBackExactlyFromTheirPortValues)
{
    Create();
    for (VstInt32 p = 0; p < ProgramCount; ++p)
    {
        Dispatch(effSetProgram, 0, p);
        for (std::int32_t i = 0; i < prReserved; ++i)
        {
            const float x = GetParameter(i);
            const float back = NormalisedValue(i, PortValue(i, x));
            if (PortScaleOf(InfoOf(i).Kind).Toggled)
            {
                EXPECT_EQ(back >= 0.5f, x >= 0.5f) << p << ", " << i;
            }
            else
            {
                EXPECT_EQ(back, x) << p << ", " << i;
            }
        }
    }
}

TEST_F(ParameterTable, MarksTheUnitsPositions)
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
} // namespace orvo::test
