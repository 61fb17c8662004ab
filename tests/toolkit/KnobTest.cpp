#include <gtest/gtest.h>

#include "editor/toolkit/EDIBError.h"
#include "editor/toolkit/cDIBKnob.h"

#include "ToolkitFixture.h"

namespace orvo::test
{
namespace
{

class Knob : public ::testing::Test, public TContainerFixture
{
  protected:
    /// A knob at (10, 20) on a strip of `frames` frames of 4 x 6 pixels.
    TDIBKnob& MakeKnob(std::int32_t frames, std::int32_t max)
    {
        MakeStrip(Images.Add("Strip").DIB, frames, 4, 6);
        Images.Item(Images.Count() - 1).DIB.SetMasked(true);
        Subject = std::make_unique<TDIBKnob>(&Form);
        Subject->SetBounds(10, 20, 1, 1);
        Subject->SetNumGlyphs(frames);
        Subject->SetIndexMain(TDIBImageLink{&Images, Images.Count() - 1});
        Subject->SetMax(max);
        Subject->OnChange = [this](TDIBComponent&) { ++Changes; };
        return *Subject;
    }

    std::unique_ptr<TDIBKnob> Subject;
    int Changes = 0;
};

TEST_F(Knob, AutoSizeTakesOneFrame)
{
    const TDIBKnob& knob = MakeKnob(57, 569);
    EXPECT_EQ(knob.BoundsRect(), TRect::FromBounds(10, 20, 4, 6));
}

TEST_F(Knob, FrameIsPositionTimesFramesOverRangePlusOne)
{
    TDIBKnob& knob = MakeKnob(57, 569);
    const std::pair<int, int> cases[] = {{0, 0},    {9, 0},    {10, 1},   {19, 1},
                                         {280, 28}, {559, 55}, {560, 56}, {569, 56}};
    for (const auto& [position, frame] : cases)
    {
        knob.SetPosition(position);
        EXPECT_EQ(knob.FrameIndex(), frame) << position;
        // The composed pixel shows that frame: blue = frame x 4.
        EXPECT_EQ(Composed(12, 22)[0], frame * 4) << position;
    }
}

TEST_F(Knob, TweenFramesAndWeights)
{
    TDIBKnob& knob = MakeKnob(61, 609);
    knob.SetDrawTweens(true);
    knob.SetPosition(305); // f = 305 / 609 x 61 = 30.55: frame 30 at weight 115 over frame 31
    TKnobFrames frames = knob.TweenFrames();
    EXPECT_EQ(frames.Hi, 31);
    EXPECT_EQ(frames.Lo, 30);
    EXPECT_EQ(frames.LoWeight, 115);
    // Blue: (120 x 115 + 124 x 140 + 255) >> 8 = 122; green: (40 x 115 + 41 x 140 + 255) >> 8 = 41.
    EXPECT_EQ(Composed(11, 21), (TPixel{122, 41, 200, 255}));

    knob.SetPosition(609);
    frames = knob.TweenFrames();
    EXPECT_EQ(frames.Hi, 60);
    EXPECT_EQ(frames.Lo, 60);
    EXPECT_EQ(Composed(11, 21), (TPixel{240, 70, 200, 255}));
    knob.SetPosition(0);
    frames = knob.TweenFrames();
    EXPECT_EQ(frames.Hi, 0);
    EXPECT_EQ(frames.Lo, 0);
    EXPECT_EQ(frames.LoWeight, 255);
    EXPECT_EQ(Composed(11, 21), (TPixel{0, 10, 200, 255}));

    knob.SetLoopLastFrame(true);
    knob.SetPosition(609);
    EXPECT_EQ(knob.TweenFrames().Hi, 0);
    EXPECT_EQ(knob.TweenFrames().Lo, 0);
}

TEST_F(Knob, HalfwayRoundsTheWeightToEven)
{
    // f = 1 / 2 x 1 = 0.5 exactly: 0.5 x 255 = 127.5 rounds to 128.
    TDIBKnob& knob = MakeKnob(1, 2);
    knob.SetPosition(1);
    EXPECT_EQ(knob.TweenFrames().LoWeight, 255 - 128);
}

TEST_F(Knob, PositionSetterClampsAndReportsOnlyChanges)
{
    TDIBKnob& knob = MakeKnob(57, 569);
    knob.SetPosition(0);
    EXPECT_EQ(Changes, 0);
    knob.SetPosition(10000);
    EXPECT_EQ(knob.Position(), 569);
    EXPECT_EQ(Changes, 1);
    EXPECT_FLOAT_EQ(knob.Fraction(), 1.0f);
    knob.SetPosition(600);
    EXPECT_EQ(Changes, 1);
    knob.SetPosition(-5);
    EXPECT_EQ(knob.Position(), 0);
    EXPECT_EQ(Changes, 2);
}

TEST_F(Knob, OnChangeRunsBeforeTheSetterReturns)
{
    TDIBKnob& knob = MakeKnob(57, 569);
    std::int32_t seen = -1;
    knob.OnChange = [&](TDIBComponent& sender)
    { seen = static_cast<TDIBKnob&>(sender).Position(); };
    knob.SetPosition(280);
    EXPECT_EQ(seen, 280);
}

TEST_F(Knob, MinAndMaxStayApartAndCarryThePosition)
{
    TDIBKnob& knob = MakeKnob(10, 100);
    knob.SetPosition(80);
    knob.SetMax(50);
    EXPECT_EQ(knob.Position(), 50);
    EXPECT_EQ(Changes, 2);
    knob.SetMin(60);
    EXPECT_EQ(knob.Max(), 61);
    EXPECT_EQ(knob.Position(), 60);
    knob.SetMax(-10);
    EXPECT_EQ(knob.Min(), -11);
    EXPECT_EQ(knob.Position(), -10);
    // At the ends of the 32-bit range the other bound still fits.
    knob.SetMin(2147483647);
    EXPECT_LT(knob.Min(), knob.Max());
    knob.SetMax(-2147483647 - 1);
    EXPECT_LT(knob.Min(), knob.Max());
    knob.SetMin(-2147483647 - 1);
    knob.SetMax(2147483647);
    knob.SetPosition(2147483647);
    EXPECT_EQ(knob.FrameIndex(), 9);
}

TEST_F(Knob, NumGlyphsMustBePositive)
{
    TDIBKnob& knob = MakeKnob(57, 569);
    try
    {
        knob.SetNumGlyphs(0);
        FAIL() << "no error";
    }
    catch (const EDIBError& error)
    {
        EXPECT_STREQ(error.what(), "NumGlyphs must be greater than 0.");
    }
    EXPECT_THROW(knob.SetNumGlyphs(-3), EDIBError);
    EXPECT_EQ(knob.NumGlyphs(), 57);
}

class KnobDrag : public Knob
{
  protected:
    void SetUp() override
    {
        TDIBKnob& knob = MakeKnob(57, 569);
        knob.UseFineTune = true;
        knob.PageSize = 5;
        knob.SmallChange = 1;
        knob.SetPosition(280);
        Changes = 0;
        Window().MouseMove(12, 22);
        Window().MouseDown(mbLeft, 12, 22);
        Origin = Window().ClientToScreen(TPoint{12, 22});
    }

    TPoint Origin;
};

TEST_F(KnobDrag, PageSizePerPixelAndSmallChangeWithShift)
{
    EXPECT_TRUE(Subject->Dragging());
    EXPECT_FALSE(Platform.PointerVisible());
    Window().MouseMove(12, 18); // 4 pixels up
    EXPECT_EQ(Subject->Position(), 300);
    EXPECT_EQ(Platform.PointerPosition(), Origin);
    Platform.SetModifiers(ssShift);
    Window().MouseMove(12, 18);
    EXPECT_EQ(Subject->Position(), 304);
    Window().MouseMove(12, 26);
    EXPECT_EQ(Subject->Position(), 300);
    Platform.SetModifiers(ssNone);
    Window().MouseMove(12, 26);
    EXPECT_EQ(Subject->Position(), 280);
    EXPECT_EQ(Changes, 4);
}

TEST_F(KnobDrag, PressDoesNotJumpAndPointerStaysAtOrigin)
{
    EXPECT_EQ(Subject->Position(), 280);
    Window().MouseMove(300, 22); // sideways only: a vertical knob ignores it
    EXPECT_EQ(Subject->Position(), 280);
    Window().MouseMove(12, -5000); // far above the window: the mouse is captured
    EXPECT_EQ(Subject->Position(), 569);
    EXPECT_EQ(Platform.PointerPosition(), Origin);
    Window().MouseUp(mbLeft, 12, 22);
    EXPECT_FALSE(Subject->Dragging());
    EXPECT_TRUE(Platform.PointerVisible());
    EXPECT_EQ(Platform.PointerPosition(), Origin);
    Window().MouseMove(12, 10);
    EXPECT_EQ(Subject->Position(), 569);
}

TEST_F(KnobDrag, OnMouseMoveRunsBeforeTheDragMovesTheKnob)
{
    std::int32_t seen = -1;
    Subject->OnMouseMove = [&](TDIBComponent&, TShiftState, std::int32_t, std::int32_t)
    { seen = Subject->Position(); };
    Window().MouseMove(12, 21);
    EXPECT_EQ(seen, 280);
    EXPECT_EQ(Subject->Position(), 285);
}

TEST_F(KnobDrag, HidingTheKnobEndsTheDragAndShowsThePointer)
{
    Subject->SetVisible(false);
    EXPECT_FALSE(Subject->Dragging());
    EXPECT_TRUE(Platform.PointerVisible());
}

TEST_F(Knob, HorizontalDragCountsRightAsPositive)
{
    TDIBKnob& knob = MakeKnob(57, 569);
    knob.Orientation = koHorizontal;
    knob.SetPosition(100);
    Window().MouseDown(mbLeft, 12, 22);
    Window().MouseMove(15, 22);
    EXPECT_EQ(knob.Position(), 103);
    Window().MouseMove(12, 0);
    EXPECT_EQ(knob.Position(), 103);
    Window().MouseUp(mbLeft, 12, 22);
}

TEST_F(Knob, KeysStepByPageSizeAndSmallChange)
{
    TDIBKnob& knob = MakeKnob(57, 569);
    knob.SetPosition(100);
    knob.KeyDown(kkPageUp);
    knob.KeyDown(kkRight);
    EXPECT_EQ(knob.Position(), 106);
    knob.KeyDown(kkPageDown);
    knob.KeyDown(kkDown);
    knob.KeyDown(kkLeft);
    EXPECT_EQ(knob.Position(), 99);
}

} // namespace
} // namespace orvo::test
