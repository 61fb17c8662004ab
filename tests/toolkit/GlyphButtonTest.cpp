#include <gtest/gtest.h>

#include "editor/toolkit/cDIBGlyphButton.h"

#include "ToolkitFixture.h"

namespace orvo::test
{
namespace
{

class GlyphButton : public ::testing::Test, public TContainerFixture
{
  protected:
    void SetUp() override
    {
        // Two frames of 44 x 20: frame 0 blue 0, frame 1 blue 4.
        MakeStrip(Images.Add("Mid").DIB, 2, 44, 20);
        Images.Item(0).DIB.SetMasked(true);
        Button = std::make_unique<TDIBGlyphButton>(&Form);
        Button->SetBounds(30, 40, 1, 1);
        Button->SetGlyph(TDIBImageLink{&Images, 0});
        Button->ToggleDown = true;
    }

    std::int32_t ShownFrame() { return Composed(31, 41)[0] / 4; }

    std::unique_ptr<TDIBGlyphButton> Button;
};

TEST_F(GlyphButton, AutoSizeTakesOneFrame)
{
    EXPECT_EQ(Button->BoundsRect(), TRect::FromBounds(30, 40, 44, 20));
}

TEST_F(GlyphButton, TwoFramesShowOneWhileDownOrPressedAndZeroOtherwise)
{
    EXPECT_EQ(Button->State(), bsUp);
    EXPECT_EQ(ShownFrame(), 0);
    Window().MouseMove(35, 45);
    EXPECT_EQ(Button->State(), bsHot);
    EXPECT_EQ(ShownFrame(), 0);
    Window().MouseDown(mbLeft, 35, 45);
    EXPECT_EQ(Button->State(), bsPressed);
    EXPECT_EQ(ShownFrame(), 1);
    Window().MouseUp(mbLeft, 35, 45);
    EXPECT_TRUE(Button->Down());
    EXPECT_EQ(Button->State(), bsDown);
    EXPECT_EQ(ShownFrame(), 1);
    Button->SetEnabled(false);
    EXPECT_EQ(Button->State(), bsDisabled);
    EXPECT_EQ(ShownFrame(), 0);
}

TEST_F(GlyphButton, FrameChoiceForEveryStripLength)
{
    const TButtonState states[] = {bsUp, bsPressed, bsDisabled, bsHot, bsDown};
    const std::int32_t expected[4][5] = {
        {0, 1, 0, 0, 1}, // 2 frames
        {0, 1, 2, 0, 1}, // 3
        {0, 1, 2, 3, 1}, // 4
        {0, 1, 2, 3, 4}, // 5
    };
    for (std::int32_t count = 2; count <= 5; ++count)
    {
        Button->SetNumGlyphs(count);
        for (std::size_t s = 0; s < 5; ++s)
        {
            EXPECT_EQ(Button->FrameFor(states[s]), expected[count - 2][s]) << count << " " << s;
        }
    }
    Button->SetNumGlyphs(6);
    EXPECT_EQ(Button->NumGlyphs(), 5);
    Button->SetNumGlyphs(1);
    EXPECT_EQ(Button->NumGlyphs(), 5);
}

TEST_F(GlyphButton, ClickRunsMouseDownAtPressAndTogglesAtReleaseInside)
{
    std::vector<std::string> events;
    Button->OnMouseDown = [&](TDIBComponent&, TMouseButton, TShiftState, std::int32_t, std::int32_t)
    { events.push_back(Button->Down() ? "down:Down" : "down:Up"); };
    Button->OnClick = [&](TDIBComponent&)
    { events.push_back(Button->Down() ? "click:Down" : "click:Up"); };
    Window().MouseDown(mbLeft, 35, 45);
    EXPECT_EQ(events, (std::vector<std::string>{"down:Up"}));
    Window().MouseUp(mbLeft, 35, 45);
    EXPECT_EQ(events, (std::vector<std::string>{"down:Up", "click:Up"}));
    EXPECT_TRUE(Button->Down());

    // Released outside: no click, nothing flips.
    Window().MouseDown(mbLeft, 35, 45);
    Window().MouseMove(5, 5);
    EXPECT_EQ(Button->State(), bsDown);
    Window().MouseUp(mbLeft, 5, 5);
    EXPECT_TRUE(Button->Down());
    EXPECT_EQ(events.size(), 3u);
}

TEST_F(GlyphButton, PressedLooksUpAgainWhenThePointerLeavesWhileHeld)
{
    Button->ToggleDown = false;
    Window().MouseDown(mbLeft, 35, 45);
    EXPECT_EQ(Button->State(), bsPressed);
    Window().MouseMove(5, 5);
    EXPECT_EQ(Button->State(), bsUp);
    Window().MouseMove(36, 45);
    EXPECT_EQ(Button->State(), bsPressed);
    Window().MouseUp(mbLeft, 36, 45);
    EXPECT_EQ(Button->State(), bsHot);
}

TEST_F(GlyphButton, DoubleClickCountsAsTwoClicks)
{
    int clicks = 0;
    Button->OnClick = [&](TDIBComponent&) { ++clicks; };
    Window().Click(mbLeft, 35, 45);
    Window().MouseDown(mbLeft, 35, 45, true);
    Window().MouseUp(mbLeft, 35, 45);
    EXPECT_EQ(clicks, 2);
    EXPECT_FALSE(Button->Down());
}

TEST_F(GlyphButton, SetDownRaisesNoEventAndRightButtonDoesNotClick)
{
    int clicks = 0;
    Button->OnClick = [&](TDIBComponent&) { ++clicks; };
    Button->SetDown(true);
    EXPECT_EQ(Button->State(), bsDown);
    Window().Click(mbRight, 35, 45);
    Window().Click(mbMiddle, 35, 45);
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(Button->Down());
}

} // namespace
} // namespace orvo::test
