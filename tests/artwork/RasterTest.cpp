// The artwork's rasteriser: exact coverage and straight colours in the output.
#include <gtest/gtest.h>

#include "tools/artwork/uRaster.h"

#include <numbers>

namespace orvo::art
{
namespace
{

TEST(ArtworkRaster, CoverageOfAnEdgeIsTheCoveredAreaOfEachPixel)
{
    TPath path;
    path.Rect(1.25, 2.0, 2.5, 1.0);
    const TMask mask = TMask::FromPath(path, 6, 5);
    EXPECT_FLOAT_EQ(mask.At(0, 2), 0.0f);
    EXPECT_FLOAT_EQ(mask.At(1, 2), 0.75f);
    EXPECT_FLOAT_EQ(mask.At(2, 2), 1.0f);
    EXPECT_FLOAT_EQ(mask.At(3, 2), 0.75f);
    EXPECT_FLOAT_EQ(mask.At(1, 1), 0.0f);
    EXPECT_FLOAT_EQ(mask.At(1, 3), 0.0f);

    // A slanted edge halves the pixels it crosses corner to corner.
    TPath triangle;
    triangle.MoveTo(0, 0).LineTo(2, 0).LineTo(0, 2);
    const TMask slanted = TMask::FromPath(triangle, 3, 3);
    EXPECT_NEAR(slanted.At(0, 0), 1.0, 1e-6);
    EXPECT_NEAR(slanted.At(1, 0), 0.5, 1e-6);
    EXPECT_NEAR(slanted.At(0, 1), 0.5, 1e-6);
    EXPECT_NEAR(slanted.At(1, 1), 0.0, 1e-6);
}

TEST(ArtworkRaster, ShapesReachingPastTheLeftEdgeStillCoverWhatIsInside)
{
    TPath path;
    path.Rect(-5.0, 0.0, 7.5, 1.0);
    const TMask mask = TMask::FromPath(path, 4, 1);
    EXPECT_FLOAT_EQ(mask.At(0, 0), 1.0f);
    EXPECT_FLOAT_EQ(mask.At(1, 0), 1.0f);
    EXPECT_FLOAT_EQ(mask.At(2, 0), 0.5f);
    EXPECT_FLOAT_EQ(mask.At(3, 0), 0.0f);
}

TEST(ArtworkRaster, CirclesHaveTheirAreaAndHolesCutThrough)
{
    TPath disc;
    disc.Circle(16.0, 16.0, 10.0);
    const TMask mask = TMask::FromPath(disc, 32, 32);
    double area = 0.0;
    for (int y = 0; y < 32; ++y)
    {
        for (int x = 0; x < 32; ++x)
        {
            area += mask.At(x, y);
        }
    }
    EXPECT_NEAR(area, std::numbers::pi * 100.0, 0.005 * std::numbers::pi * 100.0);

    TPath ring;
    ring.Circle(16.0, 16.0, 10.0).CircleHole(16.0, 16.0, 5.0);
    const TMask ringMask = TMask::FromPath(ring, 32, 32);
    EXPECT_NEAR(ringMask.At(16, 16), 0.0f, 1e-6);
    EXPECT_FLOAT_EQ(ringMask.At(16, 8), 1.0f);
}

TEST(ArtworkRaster, HalfCoveredPixelsKeepTheirFullColourAndCarryCoverageInTheMask)
{
    // The toolkit blends masked images with the straight colour weighted by M: a
    // premultiplied colour here would darken every anti-aliased edge.
    TLayer layer(2, 1);
    TPath half;
    half.Rect(0.0, 0.0, 1.5, 1.0);
    layer.Fill(half, Solid(Hex(0xff8000)));
    const auto rgba = layer.ToRGBA(false);
    EXPECT_EQ(rgba[4], 0xff);
    EXPECT_EQ(rgba[5], 0x80);
    EXPECT_EQ(rgba[6], 0x00);
    EXPECT_EQ(rgba[7], 128);
    // Fully transparent pixels come out as zeros (they compress best).
    TLayer empty(1, 1);
    EXPECT_EQ(empty.ToRGBA(false), (std::vector<std::uint8_t>{0, 0, 0, 0}));
}

} // namespace
} // namespace orvo::art
