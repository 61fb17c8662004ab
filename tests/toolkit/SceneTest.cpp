// A whole headless scene: a background container with knobs, glyph buttons, value labels
// and a picture, driven by synthetic input and the virtual clock, rendered to a picture.
#include <gtest/gtest.h>

#include "editor/toolkit/cDIBFadeLabel.h"
#include "editor/toolkit/cDIBGlyphButton.h"
#include "editor/toolkit/cDIBImage.h"
#include "editor/toolkit/cDIBKnob.h"
#include "editor/toolkit/cDIBTimer.h"

#include <string>

#include "ToolkitFixture.h"

#ifdef ORVO_HAVE_PNG
#include "tools/png/PNGFile.h"
#endif

namespace orvo::test
{
namespace
{

class Scene : public ::testing::Test, public TContainerFixture
{
  protected:
    Scene() : TContainerFixture(240, 120) {}

    void SetUp() override
    {
        TMemoryDIB& background = Images.Add("BackGround").DIB;
        background.SetSize(240, 120);
        for (std::int32_t y = 0; y < 120; ++y)
        {
            for (std::int32_t x = 0; x < 240; ++x)
            {
                SetPixel(background, x, y,
                         TPixel{static_cast<std::uint8_t>(40 + y / 2), 30,
                                static_cast<std::uint8_t>(20 + x / 4), 255});
            }
        }
        TMemoryDIB& credits = Images.Add("Credits").DIB;
        FillImage(credits, 240, 120, TPixel{230, 230, 230, 255});
        MakeStrip(Images.Add("Slider").DIB, 57, 20, 40);
        MakeStrip(Images.Add("Knob").DIB, 61, 30, 30);
        MakeStrip(Images.Add("Button").DIB, 2, 40, 16);
        for (std::int32_t i = 2; i < 5; ++i)
        {
            Images.Item(i).DIB.SetMasked(true);
        }
        Container.IndexImage = TDIBImageLink{&Images, 0};

        Slider = std::make_unique<TDIBKnob>(&Form);
        Slider->SetBounds(20, 20, 1, 1);
        Slider->SetNumGlyphs(57);
        Slider->SetIndexMain(TDIBImageLink{&Images, 2});
        Slider->SetMax(569);
        Slider->UseFineTune = true;
        Slider->SetPosition(280);

        Tube = std::make_unique<TDIBKnob>(&Form);
        Tube->SetBounds(60, 25, 1, 1);
        Tube->SetNumGlyphs(61);
        Tube->SetIndexMain(TDIBImageLink{&Images, 3});
        Tube->SetMax(609);
        Tube->SetDrawTweens(true);
        Tube->UseFineTune = true;

        Mute = std::make_unique<TDIBGlyphButton>(&Form);
        Mute->SetBounds(20, 70, 1, 1);
        Mute->SetGlyph(TDIBImageLink{&Images, 4});
        Mute->ToggleDown = true;

        Shadow = std::make_unique<TDIBFadeLabel>(&Form);
        Shadow->SetBounds(102, 97, 119, 20);
        Shadow->SetAlignment(taCenter);
        Shadow->SetOpacity(120);
        Hint = std::make_unique<TDIBFadeLabel>(&Form);
        Hint->SetBounds(100, 95, 119, 20);
        Hint->SetFont(TUIFont{}, MakeColor(220, 218, 154));
        Hint->SetAlignment(taCenter);

        Credits = std::make_unique<TDIBImage>(&Form);
        Credits->SetBounds(0, 0, 240, 120);
        Credits->SetIndexMain(TDIBImageLink{&Images, 1});
        Credits->SetVisible(false);

        // The value text follows the knob being turned.
        auto showValue = [this](TDIBComponent& sender)
        {
            const auto& knob = static_cast<TDIBKnob&>(sender);
            const std::string text = std::to_string(knob.Position());
            Hint->SetCaption(text);
            Shadow->SetCaption(text);
        };
        Slider->OnChange = showValue;
        Tube->OnChange = showValue;

        // A press in the lower right corner shows the picture for 1 s, then fades it.
        Container.OnMouseDown =
            [this](TDIBComponent&, TMouseButton, TShiftState, std::int32_t x, std::int32_t y)
        {
            if (x > 200 && y > 100)
            {
                Credits->SetOpacity(255);
                Credits->SetVisible(true);
                About.SetInterval(1000);
                About.SetOnTimer(
                    [this](TDIBComponent&)
                    {
                        About.SetInterval(10);
                        About.SetOnTimer(
                            [this](TDIBComponent&)
                            {
                                Credits->SetOpacity(
                                    static_cast<std::uint8_t>(Credits->Opacity() - 10));
                                if (Credits->Opacity() <= 10)
                                {
                                    About.SetEnabled(false);
                                    Credits->SetVisible(false);
                                }
                            });
                    });
                About.SetEnabled(true);
            }
        };
        Platform.DeliverPaints();
    }

    std::vector<std::uint8_t> Screen() { return Window().Screen(); }

    std::unique_ptr<TDIBKnob> Slider;
    std::unique_ptr<TDIBKnob> Tube;
    std::unique_ptr<TDIBGlyphButton> Mute;
    std::unique_ptr<TDIBFadeLabel> Shadow;
    std::unique_ptr<TDIBFadeLabel> Hint;
    std::unique_ptr<TDIBImage> Credits;
    TDIBTimer About{Platform, &Form};
};

TEST_F(Scene, InputAndClockDriveTheControlsAndTheScreenFollows)
{
    // Background under nothing, slider frame 28, tween knob frame 0.
    EXPECT_EQ(OnScreen(5, 5), (TPixel{42, 30, 21, 255}));
    EXPECT_EQ(OnScreen(25, 25)[0], 28 * 4);
    EXPECT_EQ(OnScreen(65, 30)[0], 0);

    // Drag the slider up 3 pixels: 15 positions, frame 29.
    Window().MouseMove(25, 30);
    Window().MouseDown(mbLeft, 25, 30);
    Window().MouseMove(25, 27);
    Window().MouseUp(mbLeft, 25, 30);
    EXPECT_EQ(Slider->Position(), 295);
    EXPECT_EQ(OnScreen(25, 25)[0], 29 * 4);
    EXPECT_EQ(Hint->Caption(), "295");

    // Drag the tween knob with Shift: 1 position per pixel.
    Platform.SetModifiers(ssShift);
    Window().MouseDown(mbLeft, 70, 30);
    Window().MouseMove(70, 20);
    Window().MouseUp(mbLeft, 70, 30);
    Platform.SetModifiers(ssNone);
    EXPECT_EQ(Tube->Position(), 10);

    // Toggle the button.
    Window().Click(mbLeft, 30, 75);
    EXPECT_TRUE(Mute->Down());
    EXPECT_EQ(OnScreen(30, 75)[0], 4);

    // The screen is what the container composed.
    Window().MouseMove(5, 5);
    Platform.Advance(1000);
    const std::vector<std::uint8_t> before = Screen();
    Container.Invalidate();
    Container.Update();
    EXPECT_EQ(Screen(), before);

    // The picture covers everything, then fades and leaves the scene as it was.
    Window().Click(mbLeft, 230, 110);
    EXPECT_EQ(OnScreen(25, 25), (TPixel{230, 230, 230, 255}));
    Window().Click(mbLeft, 25, 25); // the picture takes the mouse
    EXPECT_FALSE(Slider->Dragging());
    EXPECT_EQ(Slider->Position(), 295);
    Platform.Advance(1000 + 10 * 12);
    EXPECT_TRUE(Credits->Visible());
    EXPECT_NE(OnScreen(25, 25), (TPixel{230, 230, 230, 255}));
    Platform.Advance(10 * 13);
    EXPECT_FALSE(Credits->Visible());
    EXPECT_EQ(Screen(), before);

#ifdef ORVO_HAVE_PNG
    TRGBAImage picture{240, 120, Window().ScreenRGBA()};
    const std::string path = std::string(ORVO_TEST_OUTPUT_DIR) + "/toolkit_scene.png";
    WritePNGFile(path, picture);
    EXPECT_EQ(ReadPNGFile(path).Pixels, picture.Pixels);
#endif
}

} // namespace
} // namespace orvo::test
