// What the parameters drive: the level curve against the decibel law, and the table's
// kinds giving the bands, mutes and editor orders their parameters.
#include <gtest/gtest.h>

#include "parameters/uParameterCurves.h"
#include "parameters/uParameterTable.h"

#include <cmath>

namespace orvo
{
namespace
{
static_assert(BandParameters[0] == prLo && BandParameters[4] == prHi);
static_assert(MuteParameters[0] == prLoMute && MuteParameters[4] == prHiMute);
static_assert(KindOrdinal(prHiMidMute) == 3 && KindOrdinal(prOutGain) == 1);
static_assert(ParametersOfKinds<3>({pkTube, pkSwitch, pkTuning})[1] == prTuning);

TEST(LevelCurve, FollowsTheDecibelLaw)
{
    EXPECT_EQ(LevelCurve(0.5f), 1.0f);
    EXPECT_NEAR(LevelCurve(0.25f), 0.0630957f, 1e-7f);
    EXPECT_NEAR(LevelCurve(0.3f), std::pow(10.0f, -19.2f / 20.0f), 1e-7f);
    EXPECT_NEAR(LevelCurve(0.75f), 1.4125375f, 1e-6f);
    EXPECT_NEAR(LevelCurve(1.0f), 1.9952623f, 1e-6f);
    EXPECT_NEAR(LevelCurve(0.001f), std::pow(10.0f, -95.712f / 20.0f), 1e-9f);
    EXPECT_EQ(LevelCurve(0.0003f), 0.0f);
    EXPECT_EQ(LevelCurve(0.0f), 0.0f);
}

TEST(LevelCurve, ControllerValuesLieOnTheCurveOfTheirNeighbours)
{
    // The 128 controller values come from a table; their neighbours are worked out.
    for (int k = 1; k < 127; ++k)
    {
        const float x = static_cast<float>(k / 127.0);
        const float below = LevelCurve(std::nextafter(x, 0.0f));
        const float above = LevelCurve(std::nextafter(x, 1.0f));
        EXPECT_LE(below, LevelCurve(x)) << k;
        EXPECT_GE(above, LevelCurve(x)) << k;
        EXPECT_LE(above - below, 2e-6f * above) << k;
    }
}

} // namespace
} // namespace orvo
