#include <gtest/gtest.h>

#include "editor/toolkit/EDIBError.h"
#include "editor/toolkit/cDIBImage.h"
#include "editor/toolkit/cDIBMenu.h"
#include "editor/toolkit/cDIBPanel.h"

#include "ToolkitFixture.h"

namespace orvo::test
{
namespace
{

constexpr TPixel Backdrop{3, 2, 1, 255}; // the fixture's container colour

class DIBContainer : public ::testing::Test, public TContainerFixture
{
  protected:
    DIBContainer() : TContainerFixture(20, 10) {}

    /// A picture at bounds showing a solid image of that size.
    std::unique_ptr<TDIBImage> MakePicture(const TRect& bounds, TPixel pixel, bool masked = false)
    {
        TDIBImagesItem& item = Images.Add("Solid");
        FillImage(item.DIB, bounds.Width(), bounds.Height(), pixel);
        item.DIB.SetMasked(masked);
        auto picture = std::make_unique<TDIBImage>(&Form);
        picture->SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
        picture->SetIndexMain(TDIBImageLink{&Images, Images.Count() - 1});
        return picture;
    }
};

TEST_F(DIBContainer, CentredBackgroundOfAnotherSizeSitsOnTheContainerColour)
{
    FillImage(Images.Add("Back").DIB, 10, 6, TPixel{50, 60, 70, 255});
    Container.IndexImage = TDIBImageLink{&Images, 0};
    Container.Invalidate();
    // (20 div 2) - (10 div 2) = 5, (10 div 2) - (6 div 2) = 2.
    EXPECT_EQ(Composed(4, 2), Backdrop);
    EXPECT_EQ(Composed(5, 2), (TPixel{50, 60, 70, 255}));
    EXPECT_EQ(Composed(14, 7), (TPixel{50, 60, 70, 255}));
    EXPECT_EQ(Composed(15, 7), Backdrop);
    EXPECT_EQ(Composed(5, 8), Backdrop);
}

TEST_F(DIBContainer, TiledBackgroundRepeatsFromTheOrigin)
{
    TMemoryDIB& tile = Images.Add("Tile").DIB;
    FillImage(tile, 3, 4, TPixel{0, 0, 0, 255});
    SetPixel(tile, 0, 0, TPixel{9, 9, 9, 255});
    Container.IndexImage = TDIBImageLink{&Images, 0};
    Container.TileMethod = tmTile;
    Container.Invalidate(TRect{10, 5, 20, 10});
    Container.Update();
    EXPECT_EQ(PixelAt(Container.Composite(), 12, 8), (TPixel{9, 9, 9, 255}));
    EXPECT_EQ(PixelAt(Container.Composite(), 18, 8), (TPixel{9, 9, 9, 255}));
    EXPECT_EQ(PixelAt(Container.Composite(), 13, 8), (TPixel{0, 0, 0, 255}));
}

TEST_F(DIBContainer, LaterControlsLieOnTopAndOpacityFadesAWholeControl)
{
    auto lower = MakePicture(TRect{2, 2, 8, 8}, TPixel{100, 100, 100, 255});
    auto upper = MakePicture(TRect{5, 5, 10, 10}, TPixel{200, 0, 0, 0}, true);
    // The upper picture is fully masked out: what lies under it shows.
    EXPECT_EQ(Composed(6, 6), (TPixel{100, 100, 100, 255}));
    upper->SetOpacity(128);
    EXPECT_EQ(Composed(6, 6), (TPixel{100, 100, 100, 255}));
    lower->SetOpacity(128);
    // Each channel mixed with the backdrop (3, 2, 1) at weight 128.
    EXPECT_EQ(Composed(3, 3),
              (TPixel{(100 * 128 + 3 * 127 + 255) >> 8, (100 * 128 + 2 * 127 + 255) >> 8,
                      (100 * 128 + 1 * 127 + 255) >> 8, 255}));
    lower->SetVisible(false);
    EXPECT_EQ(Composed(3, 3), Backdrop);
}

TEST_F(DIBContainer, OnlyTheInvalidRectangleIsComposedAndPresented)
{
    auto picture = MakePicture(TRect{2, 3, 6, 7}, TPixel{100, 100, 100, 255});
    Platform.DeliverPaints();
    const std::int32_t presents = Window().PresentCount();
    picture->SetOpacity(10);
    EXPECT_EQ(Window().PendingPaint(), (TRect{2, 3, 6, 7}));
    Platform.DeliverPaints();
    EXPECT_EQ(Window().PresentCount(), presents + 1);
    EXPECT_EQ(Window().LastPresented(), (TRect{2, 3, 6, 7}));
    EXPECT_EQ(OnScreen(2, 3)[0], (100 * 10 + 3 * 245 + 255) >> 8);
    // Setting the same opacity again repaints nothing.
    picture->SetOpacity(10);
    EXPECT_TRUE(Window().PendingPaint().IsEmpty());
}

TEST_F(DIBContainer, ControlsOutsideTheInvalidRectangleAreNotPainted)
{
    struct TCountingControl : TCustomDIBControl
    {
        using TCustomDIBControl::TCustomDIBControl;
        void Paint(TWinDIB&) override { ++Paints; }
        int Paints = 0;
    };
    TCountingControl left(&Form);
    left.SetBounds(0, 0, 5, 5);
    TCountingControl right(&Form);
    right.SetBounds(10, 0, 5, 5);
    Container.Update();
    right.Invalidate();
    Container.Update();
    EXPECT_EQ(left.Paints, 1);
    EXPECT_EQ(right.Paints, 2);
}

TEST_F(DIBContainer, MouseGoesToTheTopmostVisibleEnabledControl)
{
    auto lower = MakePicture(TRect{0, 0, 10, 10}, TPixel{});
    auto upper = MakePicture(TRect{5, 0, 10, 10}, TPixel{});
    std::vector<std::string> log;
    auto record = [&](const char* name)
    {
        return
            [&log, name](TDIBComponent&, TMouseButton, TShiftState, std::int32_t x, std::int32_t y)
        { log.push_back(std::string(name) + " " + std::to_string(x) + "," + std::to_string(y)); };
    };
    lower->OnMouseDown = record("lower");
    upper->OnMouseDown = record("upper");
    Container.OnMouseDown = record("container");
    Window().Click(mbLeft, 6, 1);
    upper->SetEnabled(false);
    Window().Click(mbLeft, 6, 1);
    lower->SetVisible(false);
    Window().Click(mbLeft, 6, 1);
    Window().Click(mbRight, 15, 9);
    EXPECT_EQ(log, (std::vector<std::string>{"upper 1,1", "lower 6,1", "container 6,1",
                                             "container 15,9"}));
}

TEST_F(DIBContainer, EnterAndLeaveFollowThePointer)
{
    auto picture = MakePicture(TRect{0, 0, 10, 10}, TPixel{});
    int enters = 0;
    int leaves = 0;
    picture->OnMouseEnter = [&](TDIBComponent&) { ++enters; };
    picture->OnMouseLeave = [&](TDIBComponent&) { ++leaves; };
    Window().MouseMove(1, 1);
    Window().MouseMove(2, 2);
    EXPECT_EQ(enters, 1);
    EXPECT_TRUE(picture->MouseOver());
    Window().MouseMove(15, 2);
    EXPECT_EQ(leaves, 1);
    Window().MouseMove(3, 3);
    Window().MouseMove(300, 3); // out of the window
    EXPECT_EQ(enters, 2);
    EXPECT_EQ(leaves, 2);
    EXPECT_EQ(Container.HoveredControl(), nullptr);
}

TEST_F(DIBContainer, RightClickShowsThePopupMenuAndRunsTheChosenItem)
{
    auto picture = MakePicture(TRect{0, 0, 10, 10}, TPixel{});
    TDIBPopupMenu menu;
    std::int32_t clickedTag = -1;
    TDIBComponent* target = nullptr;
    auto onClick = [&](TDIBComponent& item) { clickedTag = item.Tag; };
    menu.Add("Centre", 0, onClick);
    menu.Add("-");
    TDIBMenuItem& midi = menu.Add("MIDI");
    midi.Add("MIDI Learn", 1, onClick);
    midi.Add("Show MIDI CC Config", 2, onClick);
    picture->PopupMenu = &menu;
    picture->OnMouseDown =
        [&](TDIBComponent& sender, TMouseButton button, TShiftState, std::int32_t, std::int32_t)
    {
        if (button == mbRight)
        {
            target = &sender;
        }
    };

    Platform.QueueMenuAnswer({"MIDI", "Show MIDI CC Config"});
    Window().Click(mbRight, 4, 5);
    EXPECT_EQ(target, picture.get());
    EXPECT_EQ(clickedTag, 2);
    ASSERT_EQ(Platform.ShownMenus().size(), 1u);
    EXPECT_EQ(Platform.ShownMenus()[0].Screen, Window().ClientToScreen(TPoint{4, 5}));
    EXPECT_EQ(Platform.ShownMenus()[0].Menu.Items[1].Caption, "-");
    EXPECT_EQ(Platform.ShownMenus()[0].Menu.Items[2].Items.size(), 2u);

    clickedTag = -1;
    Window().Click(mbRight, 4, 5); // dismissed: no answer queued
    EXPECT_EQ(clickedTag, -1);
    Window().Click(mbLeft, 4, 5); // left clicks show no menu
    Window().MouseDown(mbRight, 4, 5);
    Window().MouseUp(mbRight, 15, 5); // released elsewhere
    EXPECT_EQ(Platform.ShownMenus().size(), 2u);
}

TEST_F(DIBContainer, HintIsOfferedOncePerEntryAfterThePause)
{
    auto picture = MakePicture(TRect{0, 0, 10, 10}, TPixel{});
    std::vector<std::string> shown;
    Container.ShowHint = true;
    Container.SetHintPause(1);
    Container.OnShowHint = [&](std::string& text, TCustomDIBControl&)
    {
        shown.push_back(text);
        text.clear();
    };
    picture->OnMouseMove = [&](TDIBComponent&, TShiftState, std::int32_t, std::int32_t)
    { picture->Hint = "0.00dB"; };
    Window().MouseMove(1, 1);
    EXPECT_TRUE(shown.empty());
    Platform.Advance(1);
    Window().MouseMove(2, 2);
    Platform.Advance(100);
    EXPECT_EQ(shown, (std::vector<std::string>{"0.00dB"}));
    Container.ActivateHint(*picture);
    EXPECT_EQ(shown.size(), 2u);
    EXPECT_EQ(picture->Hint, "0.00dB");
    // Leaving before the pause ends shows nothing.
    Window().MouseMove(15, 1);
    Window().MouseMove(1, 1);
    Window().MouseMove(15, 1);
    Platform.Advance(100);
    EXPECT_EQ(shown.size(), 2u);
}

TEST_F(DIBContainer, WithoutAFreeTimerTheHintIsSkippedAndTheMouseMoveGoesOn)
{
    auto picture = MakePicture(TRect{0, 0, 10, 10}, TPixel{});
    std::vector<std::string> shown;
    std::int32_t moves = 0;
    Container.ShowHint = true;
    Container.SetHintPause(1);
    Container.OnShowHint = [&](std::string& text, TCustomDIBControl&) { shown.push_back(text); };
    picture->Hint = "0.00dB";
    picture->OnMouseMove = [&](TDIBComponent&, TShiftState, std::int32_t, std::int32_t)
    { ++moves; };
    Platform.SetTimerLimit(Platform.RunningTimers());
    EXPECT_NO_THROW(Window().MouseMove(1, 1));
    EXPECT_EQ(Container.HoveredControl(), picture.get());
    EXPECT_EQ(moves, 1);
    Platform.Advance(100);
    EXPECT_TRUE(shown.empty());
    // With a timer free again the next entry shows its hint.
    Platform.SetTimerLimit(static_cast<std::size_t>(-1));
    Window().MouseMove(15, 1);
    Window().MouseMove(2, 2);
    Platform.Advance(1);
    EXPECT_EQ(shown, (std::vector<std::string>{"0.00dB"}));
}

TEST(ControlOwnership, ControlNeedsAnOwnerHoldingAContainer)
{
    THeadlessPlatform platform;
    auto message = [](auto&& make)
    {
        try
        {
            make();
        }
        catch (const EDIBError& error)
        {
            return std::string(error.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(message([] { TDIBImage picture(nullptr); }), "Owner cannot be nil");
    TDIBComponent lonelyForm(nullptr);
    EXPECT_EQ(message([&] { TDIBImage picture(&lonelyForm); }), "Parent must be a TDIBContainer");

    TDIBComponent form(nullptr);
    TDIBComponent other(&form);
    TDIBImageContainer container(platform, &form, 0, TRect{0, 0, 10, 10});
    TDIBImage picture(&form);
    EXPECT_EQ(picture.Container(), &container);
    EXPECT_EQ(container.Controls().size(), 1u);
}

TEST(ControlOwnership, EitherSideMayBeDestroyedFirst)
{
    THeadlessPlatform platform;
    TDIBComponent form(nullptr);
    auto container = std::make_unique<TDIBImageContainer>(platform, &form, 0, TRect{0, 0, 10, 10});
    auto first = std::make_unique<TDIBImage>(&form);
    auto second = std::make_unique<TDIBImage>(&form);
    first.reset();
    EXPECT_EQ(container->Controls().size(), 1u);
    container.reset();
    EXPECT_EQ(second->Container(), nullptr);
    second->SetOpacity(3); // no container left to repaint
    second.reset();
    EXPECT_TRUE(platform.Windows().empty());
}

} // namespace
} // namespace orvo::test
