#include <gtest/gtest.h>

#include "editor/toolkit/cDIB.h"
#include "editor/toolkit/cDIBImageList.h"

#include <vector>

#include "ToolkitFixture.h"

namespace orvo::test
{
namespace
{

constexpr TPixel Source{200, 100, 50, 64};
constexpr TPixel Destination{10, 20, 30, 40};

TPixel DrawOnePixel(TPixel source, TPixel destination, bool masked, std::uint8_t opacity)
{
    TMemoryDIB s;
    FillImage(s, 1, 1, source);
    s.SetMasked(masked);
    s.SetOpacity(opacity);
    TMemoryDIB d;
    FillImage(d, 1, 1, destination);
    s.Draw(d, 0, 0);
    return PixelAt(d, 0, 0);
}

// Worked by hand from d = (s x w + d x (255 - w) + 255) >> 8 and M = max(d.M, s.M).
TEST(DIBBlend, EachRoutineGivesTheWorkedPixel)
{
    EXPECT_EQ(DrawOnePixel(Source, Destination, false, 255), (TPixel{200, 100, 50, 64}));
    EXPECT_EQ(DrawOnePixel(Source, Destination, false, 128), (TPixel{105, 60, 40, 64}));
    EXPECT_EQ(DrawOnePixel(Source, Destination, true, 255), (TPixel{58, 40, 35, 64}));
    // w = (64 x 128) >> 8 = 32.
    EXPECT_EQ(DrawOnePixel(Source, Destination, true, 128), (TPixel{34, 30, 33, 64}));
    // The mask byte keeps the larger value; copy takes the source's.
    EXPECT_EQ(DrawOnePixel(TPixel{0, 0, 0, 10}, Destination, false, 128)[3], 40);
    EXPECT_EQ(DrawOnePixel(TPixel{0, 0, 0, 10}, Destination, false, 255)[3], 10);
}

std::uint8_t Mix(std::uint32_t s, std::uint32_t d, std::uint32_t w)
{
    return static_cast<std::uint8_t>((s * w + d * (255 - w) + 255) / 256);
}

// Every pair of source and destination values through one channel, for a few weights, with
// the weight coming from Opacity, from the mask, and from both.
TEST(DIBBlend, AllValuePairsForSeveralWeights)
{
    TMemoryDIB source;
    TMemoryDIB destination;
    source.SetSize(256, 256);
    for (const std::uint32_t weight : {0u, 1u, 127u, 128u, 254u})
    {
        for (int mode = 0; mode < 3; ++mode)
        {
            const bool masked = mode != 0;
            const std::uint8_t opacity = mode == 1 ? 255 : static_cast<std::uint8_t>(weight);
            const std::uint8_t mask = mode == 0   ? 0
                                      : mode == 1 ? static_cast<std::uint8_t>(weight)
                                                  : 255;
            std::uint32_t effective = weight;
            if (mode == 2)
            {
                effective = (255u * weight) >> 8;
            }
            for (std::int32_t y = 0; y < 256; ++y)
            {
                for (std::int32_t x = 0; x < 256; ++x)
                {
                    SetPixel(source, x, y, TPixel{static_cast<std::uint8_t>(x), 0, 0, mask});
                }
            }
            FillImage(destination, 256, 256, TPixel{0, 0, 0, 0});
            for (std::int32_t y = 0; y < 256; ++y)
            {
                for (std::int32_t x = 0; x < 256; ++x)
                {
                    SetPixel(destination, x, y, TPixel{static_cast<std::uint8_t>(y), 0, 0, 0});
                }
            }
            source.SetMasked(masked);
            source.SetOpacity(opacity);
            source.Draw(destination, 0, 0);
            for (std::uint32_t y = 0; y < 256; ++y)
            {
                for (std::uint32_t x = 0; x < 256; ++x)
                {
                    const std::uint8_t expected = (!masked && opacity == 255)
                                                      ? static_cast<std::uint8_t>(x)
                                                      : Mix(x, y, effective);
                    ASSERT_EQ(PixelAt(destination, static_cast<std::int32_t>(x),
                                      static_cast<std::int32_t>(y))[0],
                              expected)
                        << "weight " << weight << " mode " << mode << " s " << x << " d " << y;
                }
            }
        }
    }
}

TEST(DIBBlend, RoutineFollowsAttributeChanges)
{
    // Masked, then back to plain copy: a transparent source pixel must overwrite again.
    EXPECT_EQ(DrawOnePixel(TPixel{9, 9, 9, 0}, Destination, true, 255), Destination);
    EXPECT_EQ(DrawOnePixel(TPixel{9, 9, 9, 0}, Destination, false, 255), (TPixel{9, 9, 9, 0}));
}

class DIBDraw : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        FillImage(Target, 10, 8, TPixel{0, 0, 0, 0});
        Source.SetSize(4, 4);
        for (std::int32_t y = 0; y < 4; ++y)
        {
            for (std::int32_t x = 0; x < 4; ++x)
            {
                SetPixel(Source, x, y, TPixel{static_cast<std::uint8_t>(1 + x + 4 * y), 0, 0, 255});
            }
        }
    }

    /// The target's blue bytes, row by row, top row first.
    std::vector<std::vector<int>> Blue() const
    {
        std::vector<std::vector<int>> rows;
        for (std::int32_t y = 0; y < Target.Height(); ++y)
        {
            rows.emplace_back();
            for (std::int32_t x = 0; x < Target.Width(); ++x)
            {
                rows.back().push_back(PixelAt(Target, x, y)[0]);
            }
        }
        return rows;
    }

    TMemoryDIB Target;
    TMemoryDIB Source;
};

TEST_F(DIBDraw, RowsAreStoredBottomUp)
{
    EXPECT_EQ(Source.ScanLine(3), Source.Pixels().data());
    EXPECT_EQ(Source.Pixels()[0], 13); // first byte in memory: bottom-left pixel
    const TPixelView view = Source.View();
    EXPECT_EQ(view.Pixel(0, 0)[0], 1);
    EXPECT_EQ(view.Pixel(3, 3)[0], 16);
}

TEST_F(DIBDraw, PartLeftOfAndAboveTheDestinationIsCutOff)
{
    Source.Draw(Target, -2, -3, 0, 0, 4, 4);
    EXPECT_EQ(Blue()[0][0], 15); // source (2, 3)
    EXPECT_EQ(Blue()[0][1], 16);
    EXPECT_EQ(Blue()[0][2], 0);
    EXPECT_EQ(Blue()[1][0], 0);
}

TEST_F(DIBDraw, ClipRectangleLimitsEveryEdge)
{
    Target.SetClipRect(TRect{3, 2, 5, 4});
    Source.Draw(Target, 2, 1, 0, 0, 4, 4);
    const auto blue = Blue();
    for (std::int32_t y = 0; y < 8; ++y)
    {
        for (std::int32_t x = 0; x < 10; ++x)
        {
            const bool inside = x >= 3 && x < 5 && y >= 2 && y < 4;
            const int expected = inside ? 1 + (x - 2) + 4 * (y - 1) : 0;
            EXPECT_EQ(blue[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)], expected)
                << x << "," << y;
        }
    }
}

TEST_F(DIBDraw, PartOutsideSourceOrDestinationIsCutOff)
{
    // Asks for more than the source has, at the destination's lower right corner.
    Source.Draw(Target, 8, 6, 1, 1, 100, 100);
    const auto blue = Blue();
    EXPECT_EQ(blue[6][8], 6);
    EXPECT_EQ(blue[7][9], 11);
    // A negative source origin moves the destination along.
    FillImage(Target, 10, 8, TPixel{0, 0, 0, 0});
    Source.Draw(Target, 0, 0, -1, -2, 3, 3);
    EXPECT_EQ(Blue()[2][1], 1);
    EXPECT_EQ(Blue()[2][2], 2);
    EXPECT_EQ(Blue()[0][0], 0);
    EXPECT_EQ(Blue()[2][3], 0);
    EXPECT_EQ(Blue()[3][1], 0);
}

TEST_F(DIBDraw, NothingLeftDrawsNothing)
{
    const std::uint32_t before = Target.ChangeCount();
    Source.Draw(Target, 10, 0);
    Source.Draw(Target, -4, 0);
    Source.Draw(Target, 0, 0, 0, 0, 0, 4);
    Source.Draw(Target, 0, 0, 4, 0, 4, 4);
    Target.SetClipRect(TRect{20, 20, 30, 30}); // outside the image: nothing may be drawn
    Source.Draw(Target, 0, 0);
    EXPECT_EQ(Target.ChangeCount(), before);
    EXPECT_EQ(Blue(), std::vector<std::vector<int>>(8, std::vector<int>(10, 0)));
}

TEST_F(DIBDraw, ExtremeCoordinatesDoNotOverflow)
{
    Source.Draw(Target, 2147483647, 2147483647, 0, 0, 2147483647, 2147483647);
    Source.Draw(Target, -2147483647 - 1, 0, 0, 0, 2147483647, 4);
    Source.Draw(Target, 0, 0, -2147483647 - 1, -2147483647 - 1, 2147483647, 2147483647);
    EXPECT_EQ(Blue(), std::vector<std::vector<int>>(8, std::vector<int>(10, 0)));
}

TEST(DIBSharing, ImageListLinksSharePixelsWithoutCopying)
{
    TDIBImageList list;
    TDIBImagesItem& item = list.Add("Knob");
    FillImage(item.DIB, 3, 2, TPixel{1, 2, 3, 4});
    item.DIB.SetMasked(true);
    item.DIB.SetOpacity(77);
    list.Add("Empty");

    TMemoryDIB shown;
    ASSERT_TRUE((TDIBImageLink{&list, 0}.GetImage(shown)));
    EXPECT_EQ(shown.Pixels().data(), item.DIB.Pixels().data());
    EXPECT_FALSE(shown.OwnsPixels());
    EXPECT_TRUE(shown.Masked());
    EXPECT_EQ(shown.Opacity(), 77);

    TMemoryDIB none;
    EXPECT_FALSE((TDIBImageLink{&list, 1}.GetImage(none)));
    EXPECT_FALSE((TDIBImageLink{&list, 2}.GetImage(none)));
    EXPECT_FALSE((TDIBImageLink{&list, -1}.GetImage(none)));
    EXPECT_FALSE((TDIBImageLink{nullptr, 0}.GetImage(none)));

    // Resizing the item gives it a new buffer; the shared image keeps the old pixels whole.
    item.DIB.SetSize(100, 100);
    EXPECT_EQ(shown.Width(), 3);
    EXPECT_EQ(PixelAt(shown, 2, 1), (TPixel{1, 2, 3, 4}));
}

TEST(DIBStoredData, ShortOrUntaggedBlockIsReadUncompressed)
{
    // Width 2, height 1, then two pixels bottom row first: 12 bytes, fewer than 26.
    const std::vector<std::uint8_t> block{2, 0, 1, 0, 10, 20, 30, 255, 40, 50, 60, 0};
    TMemoryDIB image;
    image.LoadFromStoredData(block);
    ASSERT_EQ(image.Width(), 2);
    ASSERT_EQ(image.Height(), 1);
    EXPECT_EQ(PixelAt(image, 1, 0), (TPixel{40, 50, 60, 0}));

    image.LoadFromStoredData({});
    EXPECT_TRUE(image.Empty());
}

} // namespace
} // namespace orvo::test
