// Which size the editor opens at: the user's choice, else the host's, else the display's,
// taken to the nearest drawn size; and the form at 150 and 200 %: its size, where its
// controls take the mouse, how far a drag moves them.
#include <gtest/gtest.h>

#include "editor/uEditorScale.h"
#include "editor/uEditorSettings.h"
#include "tests/editor/EditorFixture.h"

#include <limits>
#include <sstream>

namespace orvo::test
{
namespace
{

TEST(EditorScale, TheUserOverridesTheHostWhichOverridesTheDisplay)
{
    struct TCase
    {
        std::optional<TEditorScale> User;
        std::optional<double> Host;
        double Display;
        TEditorScale Expected;
    };
    const TCase cases[] = {
        {std::nullopt, std::nullopt, 1.0, es100},
        {std::nullopt, std::nullopt, 2.0, es200}, // Xft.dpi 192
        {std::nullopt, std::nullopt, 1.5, es150}, // 144 dpi
        {std::nullopt, 1.5, 2.0, es150},          // the host tells, the display is ignored
        {std::nullopt, 1.0, 2.0, es100},
        {es100, 2.0, 2.0, es100}, // the menu's choice stands over both
        {es200, std::nullopt, 1.0, es200},
        // Between sizes: to the nearest, halfway up; below 100 % and nonsense at 100 %.
        {std::nullopt, 1.24, 1.0, es100},
        {std::nullopt, 1.25, 1.0, es150},
        {std::nullopt, 1.75, 1.0, es200},
        {std::nullopt, 3.0, 1.0, es200},
        {std::nullopt, 0.5, 2.0, es100},
        {std::nullopt, std::numeric_limits<double>::quiet_NaN(), 2.0, es100},
    };
    for (const TCase& c : cases)
    {
        EXPECT_EQ(ChooseScale(c.User, c.Host, c.Display), c.Expected)
            << (c.User ? static_cast<int>(*c.User) : -1) << " " << c.Host.value_or(-1.0) << " "
            << c.Display;
    }
}

TEST(EditorScale, TheUsersSizeIsReadAndWrittenAsALineOfTheSettings)
{
    const std::pair<const char*, std::optional<TEditorScale>> reads[] = {
        {"Size=150\n", es150},
        {"Other=1\r\nSize=200\r\n", es200},
        {"Size=100\nSize=150", es150}, // the last one counts
        {"Size=175\n", std::nullopt},  // no such size
        {"Size=\n", std::nullopt},
        {"size=150\n", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [text, size] : reads)
    {
        std::istringstream in(text);
        EXPECT_EQ(ReadSizeSetting(in), size) << text;
    }
    std::istringstream old("Other=1\nSize=100\nMore=2\n");
    std::ostringstream written;
    WriteSizeSetting(old, written, es200);
    EXPECT_EQ(written.str(), "Other=1\nMore=2\nSize=200\n");
    EXPECT_EQ(LoadUserScale({}), std::nullopt); // no settings file: nothing to read
    EXPECT_FALSE(SaveUserScale({}, es150));
}

TEST(EditorScale, TheFormsLengthsScaleToWholePixels)
{
    EXPECT_EQ(Scaled(700, es150), 1050);
    EXPECT_EQ(Scaled(300, es150), 450);
    EXPECT_EQ(Scaled(700, es200), 1400);
    EXPECT_EQ(Scaled(49, es150), 74); // 73.5: to the even pixel
    EXPECT_EQ(Scaled(49, es100), 49);
}

class EditorAtScale : public TEditorFixture
{
  protected:
    void OpenAt(double displayScale)
    {
        Platform.SetDisplayScale(displayScale);
        Open();
    }
};

TEST_F(EditorAtScale, OpensAtTheDisplaysScaleAndSaysSoToTheHost)
{
    struct TCase
    {
        double Display;
        TEditorScale Scale;
        int Width;
        int Height;
    };
    for (const TCase c :
         {TCase{1.0, es100, 700, 300}, TCase{1.5, es150, 1050, 450}, TCase{2.0, es200, 1400, 600}})
    {
        // Hosts ask the size before they open the editor, and again once it is open.
        Platform.SetDisplayScale(c.Display);
        for (const bool open : {false, true})
        {
            if (open)
            {
                Open();
                EXPECT_EQ(Window().Scale(), c.Scale);
                EXPECT_EQ(Screen().Bounds(), (TRect{0, 0, c.Width, c.Height}));
            }
            ERect* rect = nullptr;
            ASSERT_EQ(Instance.Dispatch(effEditGetRect, 0, 0, &rect), 1);
            EXPECT_EQ(rect->right - rect->left, c.Width) << open;
            EXPECT_EQ(rect->bottom - rect->top, c.Height) << open;
        }
        Instance.Dispatch(effEditClose);
    }
}

TEST_F(EditorAtScale, APressAtTwoHundredPercentHitsTheSameControl)
{
    OpenAt(2.0);
    for (const form::TFormComponent& c : form::Components)
    {
        if (c.Kind == form::ckFadeLabel || c.Kind == form::ckPicture)
        {
            continue; // no input of their own
        }
        SCOPED_TRACE(c.Name);
        const TPoint centre{c.Left + c.Width / 2, c.Top + c.Height / 2};
        EXPECT_EQ(Window().cntBackGround->ControlAt(TPoint{2 * centre.X, 2 * centre.Y}),
                  Window().Control(c.Name));
    }
}

TEST_F(EditorAtScale, EveryMenuOffersTheSizesWithTheCurrentOneChecked)
{
    OpenAt(1.5);
    for (const TCustomDIBControl* control :
         {static_cast<TCustomDIBControl*>(&Knob(prMid)),
          static_cast<TCustomDIBControl*>(&Button(prLoMute)),
          static_cast<TCustomDIBControl*>(&Button(prOverSample))})
    {
        Click(*control, mbRight);
        ASSERT_FALSE(Platform.ShownMenus().empty());
        const TUIMenuEntry& size = Platform.ShownMenus().back().Menu.Items.back();
        EXPECT_EQ(size.Caption, "Size");
        ASSERT_EQ(size.Items.size(), 3u);
        EXPECT_EQ(size.Items[0].Caption, "100 %");
        EXPECT_FALSE(size.Items[0].Checked);
        EXPECT_TRUE(size.Items[1].Checked);
        EXPECT_FALSE(size.Items[2].Checked);
    }
}

TEST_F(EditorAtScale, ASizeChosenWhileOpenReplacesTheWindowAndAsksTheHost)
{
    OpenAt(1.0);
    SetParameter(prLoMute, 0.0f);
    ChooseFromMenu(Knob(prMid), {"Size", "200 %"});
    ASSERT_EQ(Platform.Windows().size(), 1u); // the old window ended with its menu
    EXPECT_EQ(Window().Scale(), es200);
    EXPECT_EQ(Screen().Bounds(), (TRect{0, 0, 1400, 600}));
    EXPECT_EQ(Screen().Parent(), reinterpret_cast<std::uintptr_t>(HostWindow));
    const std::vector<THostCall> sizes = Host.CallsOf(audioMasterSizeWindow);
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_EQ(sizes[0].index, 1400);
    EXPECT_EQ(sizes[0].value, 600);
    ERect* rect = nullptr;
    ASSERT_EQ(Instance.Dispatch(effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(rect->right, 1400);
    // The new window works as the old one did, and later windows open at the chosen size.
    Host.ClearCalls();
    Click(Button(prLoMute));
    EXPECT_EQ(Automations(), (std::vector<std::pair<std::int32_t, float>>{{prLoMute, 1.0f}}));
    Instance.Dispatch(effEditClose);
    Open();
    EXPECT_EQ(Window().Scale(), es200);
    // The size it has already: nothing is replaced.
    ChooseFromMenu(Knob(prMid), {"Size", "200 %"});
    EXPECT_TRUE(Host.CallsOf(audioMasterSizeWindow).empty());
}

TEST_F(EditorAtScale, ADragMovesAsFarPerPixelOfTheHundredPercentForm)
{
    OpenAt(2.0);
    const std::int32_t start = Knob(prLo).Position();
    Drag(Knob(prLo), 8); // 4 pixels at 100 %: 20 positions
    EXPECT_EQ(Knob(prLo).Position(), start + 20);
    Drag(Knob(prLo), 1, 3); // three pixels at 200 %, 1.5 at 100 %: one step, half left over
    EXPECT_EQ(Knob(prLo).Position(), start + 25);
}

} // namespace
} // namespace orvo::test
