// The generator's geometry, effects, text decoding and editor mock.
#include <gtest/gtest.h>

#include "tests/artwork/ArtworkFiles.h"
#include "tools/artwork/uFont.h"
#include "tools/artwork/uLayout.h"
#include "tools/artwork/uPreview.h"
#include "tools/artwork/uRaster.h"

#include <filesystem>
#include <numbers>

namespace orvo::art
{
namespace
{

TEST(ArtworkGeometry, PositiveRotationTurnsClockwiseOnScreen)
{
    // Knob angles count clockwise from 12 o'clock with y pointing down: a quarter turn
    // takes the point above the centre to the point right of it.
    const TPoint p = TAffine::Rotation(std::numbers::pi / 2, 10.0, 10.0).Apply({10.0, 9.0});
    EXPECT_NEAR(p.X, 11.0, 1e-12);
    EXPECT_NEAR(p.Y, 10.0, 1e-12);
    const TAffine moveThenScale = TAffine::Scaling(2.0, 3.0).After(TAffine::Translation(1.0, 1.0));
    const TPoint q = moveThenScale.Apply({1.0, 2.0});
    EXPECT_DOUBLE_EQ(q.X, 4.0);
    EXPECT_DOUBLE_EQ(q.Y, 9.0);
}

TEST(ArtworkEffects, InnerShadowFallsInsideFromTheLitSideOnly)
{
    TLayer layer(40, 40);
    TPath well;
    well.Rect(10, 10, 20, 20);
    layer.InnerShadow(well, 0, 2, 3.0, Hex(0x000000));
    EXPECT_EQ(layer.Pixel(20, 5)[3], 0.0f); // nothing outside the shape
    EXPECT_EQ(layer.Pixel(20, 35)[3], 0.0f);
    EXPECT_GT(layer.Pixel(20, 10)[3], 0.5f);  // dark under the top edge
    EXPECT_LT(layer.Pixel(20, 29)[3], 0.05f); // the bottom edge stays clear
    EXPECT_LT(layer.Pixel(20, 20)[3], 0.05f); // and so does the middle
}

TEST(ArtworkEffects, BlurSpreadsWithoutLosingCoverage)
{
    TMask mask(21, 21);
    mask.At(10, 10) = 1.0f;
    mask.Blur(4.0);
    double total = 0.0;
    for (int y = 0; y < 21; ++y)
    {
        for (int x = 0; x < 21; ++x)
        {
            total += mask.At(x, y);
        }
    }
    EXPECT_NEAR(total, 1.0, 1e-5);
    EXPECT_GT(mask.At(12, 10), 0.0f);
    EXPECT_LT(mask.At(10, 10), 0.5f);
    EXPECT_FLOAT_EQ(mask.At(10, 12), mask.At(12, 10));
}

TEST(ArtworkText, Utf8DecodingStopsAtTruncatedSequences)
{
    EXPECT_EQ(DecodeUtf8("-\xe2\x88\x9e"), U"-\u221e");
    EXPECT_EQ(DecodeUtf8("2\xc3\x97"), U"2\u00d7");
    EXPECT_EQ(DecodeUtf8("a\xe2\x88"), U"a\ufffd"); // cut short at the end
    EXPECT_EQ(DecodeUtf8("\xff"
                         "b"),
              U"\ufffdb"); // not a lead byte
    EXPECT_EQ(DecodeUtf8("\xc3"
                         "b"),
              U"\ufffdb"); // lead byte without continuation
}

bool FontsInstalled()
{
    return std::filesystem::exists(std::filesystem::path(DefaultFontFolder) / RegularFontFile) &&
           std::filesystem::exists(std::filesystem::path(DefaultFontFolder) / BoldFontFile);
}

/// Horizontal extent of a path's points.
std::pair<double, double> Extent(const TPath& path)
{
    double low = 1e300;
    double high = -1e300;
    for (const auto& contour : path.Contours())
    {
        for (const TPoint& p : contour)
        {
            low = std::min(low, p.X);
            high = std::max(high, p.X);
        }
    }
    return {low, high};
}

TEST(ArtworkText, AlignmentPlacesTheTextAroundItsAnchor)
{
    if (!FontsInstalled())
    {
        GTEST_SKIP() << "the DejaVu fonts (fonts-dejavu-core) are not installed";
    }
    const TFont font(std::string(DefaultFontFolder) + "/" + RegularFontFile);
    const TTextStyle style{20.0, 0.0, 1.0};
    const double width = font.Width("HOH", style);
    EXPECT_GT(width, 30.0);
    const auto [left, right] = Extent(font.Text("HOH", style, 100.0, 50.0, taCentre));
    EXPECT_NEAR((left + right) / 2, 100.0, 0.5);
    EXPECT_LT(Extent(font.Text("HOH", style, 100.0, 50.0, taRight)).second, 100.0);
    EXPECT_GT(Extent(font.Text("HOH", style, 100.0, 50.0, taLeft)).first, 100.0);
    // Tracking adds its space between characters, condensing narrows the glyphs.
    EXPECT_NEAR(font.Width("HOH", {20.0, 2.0, 1.0}), width + 4.0, 1e-9);
    EXPECT_NEAR(font.Width("HOH", {20.0, 0.0, 0.5}), width / 2, 1e-9);
    EXPECT_NEAR(font.CapHeight(style), 20.0 * 0.729, 0.3);
}

TEST(ArtworkPreview, CreditsCoverEverythingButTheOversamplingKey)
{
    if (!FontsInstalled())
    {
        GTEST_SKIP() << "the DejaVu fonts (fonts-dejavu-core) are not installed";
    }
    const auto fonts = TArtworkFonts::Load(DefaultFontFolder);
    const auto images = DrawArtwork(fonts);
    TEditorState state;
    state.Values.fill(0.5f);
    state.Values[14] = 1.0f;
    state.HintText = "0.00dB";
    state.ShowCredits = true;
    const auto editor = ComposeEditor(images, fonts, state);
    const auto& credits = images[1];
    auto same = [&](int x, int y, const std::vector<std::uint8_t>& other, int otherX, int otherY,
                    int otherWidth)
    {
        for (int k = 0; k < 3; ++k)
        {
            if (editor[(static_cast<std::size_t>(y) * EditorWidth + x) * 4 + k] !=
                other[(static_cast<std::size_t>(otherY) * otherWidth + otherX) * 4 + k])
            {
                return false;
            }
        }
        return true;
    };
    // Over the knobs, sliders and the value label the credits picture is all there is.
    for (const auto& [x, y] : {std::pair{352, 150}, std::pair{520, 155}, std::pair{350, 275}})
    {
        EXPECT_TRUE(same(x, y, credits.Rgba, x, y, EditorWidth)) << x << ", " << y;
    }
    // The oversampling key lies above it, showing its "on" frame.
    const auto& key = images[7];
    const int x = OverSampleButton.Left + OverSampleButton.Width / 2;
    const int y = OverSampleButton.Top + 10;
    EXPECT_TRUE(
        same(x, y, key.Rgba, OverSampleButton.Width + OverSampleButton.Width / 2, 10, key.Width));
}

} // namespace
} // namespace orvo::art
