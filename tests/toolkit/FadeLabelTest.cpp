#include <gtest/gtest.h>

#include "editor/toolkit/cDIBFadeLabel.h"

#include "ToolkitFixture.h"

namespace orvo::test
{
namespace
{

constexpr TColor HintColour = 10148572; // red 220, green 218, blue 154

class FadeLabel : public ::testing::Test, public TContainerFixture
{
  protected:
    void SetUp() override
    {
        Label = std::make_unique<TDIBFadeLabel>(&Form);
        Label->SetBounds(20, 30, 119, 20);
        Label->SetFont(TUIFont{"MS Sans Serif", 11}, HintColour);
        Label->SetAlignment(taCenter);
        Label->SetCaption("0.00dB");
    }

    std::unique_ptr<TDIBFadeLabel> Label;
};

TEST_F(FadeLabel, FadeColoursStepFromFontColourToHighlight)
{
    ASSERT_EQ(HintColour, MakeColor(220, 218, 154));
    const std::vector<TColor> expected{MakeColor(223, 221, 164), MakeColor(227, 225, 174),
                                       MakeColor(230, 229, 184), MakeColor(234, 232, 194),
                                       MakeColor(237, 236, 204), MakeColor(241, 240, 214),
                                       MakeColor(244, 243, 224), MakeColor(248, 247, 234),
                                       MakeColor(251, 251, 244), MakeColor(255, 255, 255)};
    EXPECT_EQ(Label->FadeColors(), expected);

    Label->SetFrameCount(1);
    EXPECT_TRUE(Label->FadeColors().empty());
    Label->SetFrameCount(3);
    Label->SetColorHighlighted(MakeColor(0, 0, 0));
    // Red: 220 - 73.33 per step = 146.67, 73.33, then exactly the highlight.
    EXPECT_EQ(
        Label->FadeColors(),
        (std::vector<TColor>{MakeColor(146, 145, 102), MakeColor(73, 72, 51), MakeColor(0, 0, 0)}));
}

TEST_F(FadeLabel, HighlightsOnEnterAndFadesBackTickByTick)
{
    Window().MouseMove(25, 35);
    EXPECT_EQ(Label->CurrentColor(), clWhite);
    Platform.Advance(1000);
    EXPECT_EQ(Label->CurrentColor(), clWhite);

    Window().MouseMove(150, 100);
    EXPECT_EQ(Label->CurrentColor(), clWhite);
    Platform.Advance(50); // entry 9: the highlight itself
    EXPECT_EQ(Label->CurrentColor(), clWhite);
    Platform.Advance(50);
    EXPECT_EQ(Label->CurrentColor(), MakeColor(251, 251, 244));
    Platform.Advance(350);
    EXPECT_EQ(Label->CurrentColor(), MakeColor(227, 225, 174)); // entry 1 on the ninth tick;
    // entry 0 is never shown
    EXPECT_EQ(Platform.RunningTimers(), 1u);
    Platform.Advance(50);
    EXPECT_EQ(Label->CurrentColor(), HintColour);
    EXPECT_EQ(Platform.RunningTimers(), 0u);
}

TEST_F(FadeLabel, EnteringDuringTheFadeStopsIt)
{
    Window().MouseMove(25, 35);
    Window().MouseMove(150, 100);
    Platform.Advance(200);
    Window().MouseMove(25, 35);
    EXPECT_EQ(Label->CurrentColor(), clWhite);
    EXPECT_EQ(Platform.RunningTimers(), 0u);
}

TEST_F(FadeLabel, SingleFrameReturnsToFontColourAtOnce)
{
    Label->SetFrameCount(1);
    Window().MouseMove(25, 35);
    Window().MouseMove(150, 100);
    EXPECT_EQ(Label->CurrentColor(), HintColour);
    EXPECT_EQ(Platform.RunningTimers(), 0u);
}

TEST_F(FadeLabel, FontChangeIsFollowedUnlessHighlighted)
{
    Label->SetFont(TUIFont{}, clBlack);
    EXPECT_EQ(Label->CurrentColor(), clBlack);
    Window().MouseMove(25, 35);
    Label->SetFont(TUIFont{}, HintColour);
    EXPECT_EQ(Label->CurrentColor(), clWhite);
}

/// The columns of the label's rectangle in which some pixel differs from the background.
std::pair<std::int32_t, std::int32_t> InkColumns(TContainerFixture& f, const TRect& rect,
                                                 TPixel background)
{
    std::int32_t first = -1;
    std::int32_t last = -1;
    for (std::int32_t x = rect.Left; x < rect.Right; ++x)
    {
        for (std::int32_t y = rect.Top; y < rect.Bottom; ++y)
        {
            if (f.Composed(x, y) != background)
            {
                first = first < 0 ? x : first;
                last = x;
            }
        }
    }
    return {first, last};
}

TEST_F(FadeLabel, TextIsCentredInTheFontColour)
{
    const TPixel background{3, 2, 1, 255};
    // Six cells of 6 pixels: 36 wide, centred in 119 at 20 + 41; the last cell's blank column
    // is not ink.
    const auto [first, last] = InkColumns(*this, Label->BoundsRect(), background);
    EXPECT_EQ(first, 20 + 41);
    EXPECT_EQ(last, 20 + 41 + 34);
    bool sawFontColour = false;
    for (std::int32_t y = 30; y < 50; ++y)
    {
        sawFontColour = sawFontColour || Composed(first, y) == TPixel{154, 218, 220, 255};
    }
    EXPECT_TRUE(sawFontColour);
}

TEST_F(FadeLabel, OpacityFadesTheWholeLabel)
{
    Label->SetCaption("IIIIIIIIIIIIIIIII");
    Label->SetOpacity(120);
    // Text pixel over background (3, 2, 1): blue (154 x 120 + 3 x 135 + 255) >> 8 = 74.
    bool found = false;
    for (std::int32_t x = 20; x < 139 && !found; ++x)
    {
        for (std::int32_t y = 30; y < 50 && !found; ++y)
        {
            found = Composed(x, y)[0] == 74;
        }
    }
    EXPECT_TRUE(found);
}

TEST_F(FadeLabel, DisabledDrawsAnEmbossedCopy)
{
    Label->SetCaption("I");
    Label->SetEnabled(false);
    // The 'I' glyph's top bar starts at cell column 1, row 2: font colour there, and the
    // highlight one pixel right and down of the bar's last pixel.
    const std::int32_t left = 20 + (119 - 6) / 2;
    EXPECT_EQ(Composed(left + 1, 32), (TPixel{154, 218, 220, 255}));
    EXPECT_EQ(Composed(left + 4, 33), (TPixel{255, 255, 255, 255}));
}

TEST_F(FadeLabel, BottomLayoutMovesTheTextDown)
{
    Label->SetCaption("I");
    Label->SetLayout(tlBottom);
    // 11-pixel line in a 20-pixel label: the line starts 9 pixels down.
    const std::int32_t left = 20 + (119 - 6) / 2;
    EXPECT_EQ(Composed(left + 1, 30 + 9 + 2), (TPixel{154, 218, 220, 255}));
}

} // namespace
} // namespace orvo::test
