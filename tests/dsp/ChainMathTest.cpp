#include <gtest/gtest.h>

#include "dsp/uChainMath.h"

#include <cmath>
#include <limits>

namespace orvo
{
namespace
{

TEST(SoftClip, MatchesTheReferenceValues)
{
    EXPECT_NEAR(SoftClip(0.5f), 0.46208f, 1e-5f);
    EXPECT_NEAR(SoftClip(1.0f), 0.76098f, 1e-5f);
    EXPECT_NEAR(SoftClip(std::sqrt(12.0f)), 0.98974f, 1e-5f);
    EXPECT_EQ(SoftClip(-0.5f), -SoftClip(0.5f));
    EXPECT_EQ(SoftClip(0.0f), 0.0f);
    EXPECT_NEAR(SoftClip(1000.0f), 0.012f, 1e-4f);
}

TEST(TubeCurve, SettingsAndShapesMatchTheReference)
{
    const std::pair<float, float> shapes[] = {
        {0.0f, -4.0f}, {0.25f, -1.857143f}, {0.5f, -1.0f}, {0.75f, -0.538462f}, {1.0f, -0.25f}};
    for (auto [x, k] : shapes)
    {
        EXPECT_NEAR(TubeSettingFor(x).Shape, k, 1e-6f) << x;
    }
    EXPECT_EQ(TubeSettingFor(0.5f).Shape, -1.0f);

    const TTubeSetting top = TubeSettingFor(1.0f);
    EXPECT_NEAR(TubeCurve(0.5f, top.Shape, top.Limit), 0.8, 1e-6);
    EXPECT_NEAR(TubeCurve(1000.0f, top.Shape, top.Limit), 1.0 / 0.75, 1e-3);
    const TTubeSetting bottom = TubeSettingFor(0.0f);
    EXPECT_NEAR(TubeCurve(0.5f, bottom.Shape, bottom.Limit), 0.2, 1e-6);
    EXPECT_NEAR(TubeCurve(-0.5f, bottom.Shape, bottom.Limit), -0.2, 1e-6);
    for (float x : {0.0f, 0.3f, 0.5f, 0.9f, 1.0f})
    {
        const TTubeSetting s = TubeSettingFor(x);
        EXPECT_EQ(TubeCurve(0.0f, s.Shape, s.Limit), 0.0) << x;
        EXPECT_NEAR(TubeCurve(1.0f, s.Shape, s.Limit), 1.0, 1e-6) << x;
    }
    const TTubeSetting middle = TubeSettingFor(0.5f);
    for (float s : {1e-30f, 0.3f, 0.7071f, 1.0f, 3.5f, -2.25f})
    {
        EXPECT_EQ(TubeCurve(s, middle.Shape, middle.Limit), static_cast<double>(s)) << s;
    }
}

// For every setting and every finite input the curve is finite, odd, continuous and
// monotonic; expanding settings level off at the ceiling before their pole.
TEST(TubeCurve, StaysFiniteMonotonicAndContinuousEverywhere)
{
    for (int step = 0; step <= 64; ++step)
    {
        const float x = static_cast<float>(step) / 64.0f;
        const TTubeSetting s = TubeSettingFor(x);
        double previous = 0.0;
        for (double p = 1e-6; p < 3e38; p *= 1.002)
        {
            const auto input = static_cast<float>(p);
            const double y = TubeCurve(input, s.Shape, s.Limit);
            ASSERT_TRUE(std::isfinite(y)) << x << " " << p;
            ASSERT_GE(y, previous) << x << " " << p;
            ASSERT_EQ(TubeCurve(-input, s.Shape, s.Limit), -y);
            previous = y;
        }
        // No jump where the curve meets its limit.
        const double below =
            TubeCurve(static_cast<float>(s.Limit * (1.0 - 1e-6)), s.Shape, s.Limit);
        const double above =
            TubeCurve(static_cast<float>(s.Limit * (1.0 + 1e-6)), s.Shape, s.Limit);
        EXPECT_NEAR(below, above, 1e-3 * above) << x;
        if (s.Shape < -1.0f)
        {
            EXPECT_NEAR(previous, TubeExpanderCeiling, 1e-9) << x;
        }
        EXPECT_LE(previous, TubeInputCeiling);
    }
    const TTubeSetting bottom = TubeSettingFor(0.0f);
    const float max = std::numeric_limits<float>::max();
    EXPECT_TRUE(std::isfinite(TubeCurve(max, bottom.Shape, bottom.Limit)));
    EXPECT_TRUE(std::isfinite(TubeCurve(4.0f / 3.0f, bottom.Shape, bottom.Limit)));
}

} // namespace
} // namespace orvo
