// The parameter table against the effect itself: names, labels and display texts for a
// sweep of values in both decimal symbols, the fresh program's values, and the factory
// programs' LV2 port values coming back exactly.
#include "core/uPluginProgram.h"
#include "parameters/uParameterMapping.h"
#include "tests/support/ParameterSweep.h"
#include "tests/vst2/TPluginFixture.h"

#include <cmath>

namespace orvo::test
{
namespace
{
class ParameterTable : public TPluginFixture
{
};

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
            for (const float value : ParameterSweep())
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

} // namespace
} // namespace orvo::test
