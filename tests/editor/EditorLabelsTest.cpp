// The value labels (texts, hold and fade timing) and the credits picture, on the virtual
// clock.
#include "tests/editor/EditorFixture.h"

namespace orvo::test
{
namespace
{

class EditorLabels : public TEditorFixture
{
  protected:
    void SetUp() override { Open(); }

    void Hover(const TCustomDIBControl& control)
    {
        const TPoint p = Centre(control);
        Screen().MouseMove(p.X, p.Y);
    }
    void HoverBackground() { Screen().MouseMove(20, 20); }
    std::string HintText() { return Window().lblHint->Caption(); }
};

TEST_F(EditorLabels, HoveringAKnobShowsItsValueTextInBothLabels)
{
    SetParameter(prMid, 0.5f);
    Hover(Knob(prMid));
    EXPECT_EQ(HintText(), "");
    Platform.Advance(1);
    EXPECT_EQ(HintText(), "0.00dB");
    EXPECT_EQ(Window().lblShadow->Caption(), "0.00dB");
    EXPECT_EQ(Window().lblHint->Opacity(), 255);
    EXPECT_EQ(Window().lblShadow->Opacity(), 120);
    // The texts of the other kinds of parameter: display, blank, label, trimmed.
    SetParameter(prTube, 0.5f);
    Hover(Knob(prTube));
    Platform.Advance(1);
    EXPECT_EQ(HintText(), "0.00 %");
    SetParameter(prTuning, 1.0f);
    Hover(Knob(prTuning));
    Platform.Advance(1);
    EXPECT_EQ(HintText(), "12.00 SemiTones");
    SetParameter(prInGain, 0.0f);
    Hover(Knob(prInGain));
    Platform.Advance(1);
    EXPECT_EQ(HintText(), "-oo   dB");
    // Buttons and the background have no value text.
    Hover(Button(prLoMute));
    HoverBackground();
    Platform.Advance(1);
    EXPECT_EQ(HintText(), "-oo   dB");
}

TEST_F(EditorLabels, AUserChangeShowsTheNewTextAtOnce)
{
    SetParameter(prLo, 0.5f);
    Platform.Advance(100);
    const TPoint p = Centre(Knob(prLo));
    Screen().MouseMove(p.X, p.Y);
    Screen().MouseDown(mbLeft, p.X, p.Y);
    Screen().MouseMove(p.X, p.Y - 20); // +100 positions: 380 of 569, above the middle
    EXPECT_EQ(Window().hintText, "Lo " + Window().ValueText(prLo));
    EXPECT_EQ(HintText(), Window().hintText);
    EXPECT_NE(HintText().find("%TD"), std::string::npos);
    Screen().MouseUp(mbLeft, p.X, p.Y - 20);
    // The gain sliders are named as the panel titles them; a wheel turn names its control too.
    SetParameter(prInGain, 0.0f);
    Platform.Advance(100);
    Wheel(Knob(prInGain), 1, ssShift);
    Wheel(Knob(prInGain), -1, ssShift);
    EXPECT_EQ(HintText(), "Input -oo   dB");
}

TEST_F(EditorLabels, ADraggedControlsTextStaysUntilTheDragEndsThenFades)
{
    const TPoint p = Centre(Knob(prLo));
    Screen().MouseMove(p.X, p.Y);
    Screen().MouseDown(mbLeft, p.X, p.Y);
    Screen().MouseMove(p.X, p.Y - 2);
    Platform.Advance(10000); // held still, long past a hold and a fade
    EXPECT_EQ(Window().lblHint->Opacity(), 255);
    EXPECT_EQ(HintText().rfind("Lo ", 0), 0u);
    Screen().MouseUp(mbLeft, p.X, p.Y - 2);
    Platform.Advance(2000 + 26 * 50);
    EXPECT_EQ(HintText(), "");
}

TEST_F(EditorLabels, WithNothingToShowTheReadOutShowsTheProgramDimmed)
{
    Plugin().setProgram(3);
    Platform.Advance(100);
    const std::string name = Plugin().effect().ProgramName(3);
    ASSERT_FALSE(name.empty());
    EXPECT_TRUE(Window().lblProgram->Visible());
    EXPECT_EQ(Window().lblProgram->Caption(), name);
    EXPECT_LT(Window().lblProgram->Opacity(), Window().lblHint->Opacity());
    // A value text takes the read-out's place; the name returns once it has faded.
    Hover(Knob(prMid));
    Platform.Advance(1);
    EXPECT_FALSE(Window().lblProgram->Visible());
    HoverBackground();
    Platform.Advance(2000 + 26 * 50);
    EXPECT_TRUE(Window().lblProgram->Visible());
    Plugin().setProgram(4);
    Platform.Advance(100);
    EXPECT_EQ(Window().lblProgram->Caption(), Plugin().effect().ProgramName(4));
}

TEST_F(EditorLabels, ATextHoldsTwoSecondsThenFadesOverTwentySixTicks)
{
    Hover(Knob(prMid));
    Platform.Advance(1);
    ASSERT_FALSE(HintText().empty());
    HoverBackground();
    Platform.Advance(1999);
    EXPECT_EQ(Window().lblHint->Opacity(), 255);
    Platform.Advance(1); // the hold ends
    EXPECT_EQ(Window().lblHint->Opacity(), 255);
    std::vector<int> hint;
    std::vector<int> shadow;
    for (int tick = 0; tick < 26; ++tick)
    {
        Platform.Advance(50);
        hint.push_back(Window().lblHint->Opacity());
        shadow.push_back(Window().lblShadow->Opacity());
    }
    EXPECT_EQ(hint.front(), 245);
    EXPECT_EQ(hint[24], 5);
    EXPECT_EQ(hint.back(), 0);
    EXPECT_EQ(shadow.front(), 115);
    EXPECT_EQ(shadow[20], 15);
    EXPECT_EQ(shadow[21], 10);
    EXPECT_EQ(shadow[22], 0); // the 23rd tick
    EXPECT_EQ(HintText(), "");
    EXPECT_EQ(Window().lblShadow->Caption(), "");
    EXPECT_FALSE(Window().tmrLabelFade->Enabled());
}

TEST_F(EditorLabels, ANewTextDuringTheHoldDoesNotLengthenIt)
{
    Hover(Knob(prMid));
    Platform.Advance(1);
    Platform.Advance(1500);
    Hover(Knob(prTube));
    Platform.Advance(1);
    EXPECT_EQ(HintText(), Window().ValueText(prTube));
    HoverBackground();
    Platform.Advance(499 + 26 * 50);
    EXPECT_EQ(HintText(), ""); // 2000 + 26 x 50 ms after the first text
}

TEST_F(EditorLabels, ANewTextDuringTheFadeStartsAFullHold)
{
    Hover(Knob(prMid));
    Platform.Advance(1);
    Platform.Advance(2000 + 5 * 50);
    ASSERT_EQ(Window().lblHint->Opacity(), 205);
    Hover(Knob(prTube));
    Platform.Advance(1);
    EXPECT_EQ(Window().lblHint->Opacity(), 255);
    HoverBackground();
    Platform.Advance(2000 + 25 * 50);
    EXPECT_EQ(HintText(), Window().ValueText(prTube));
    Platform.Advance(50);
    EXPECT_EQ(HintText(), "");
}

TEST_F(EditorLabels, ThePointerRestingOnAKnobShowsItsTextOncePerEntry)
{
    Hover(Knob(prMid));
    Platform.Advance(1);
    Platform.Advance(2000 + 26 * 50);
    ASSERT_EQ(HintText(), "");
    const TPoint p = Centre(Knob(prMid));
    Screen().MouseMove(p.X + 1, p.Y + 1); // still on the same knob
    Platform.Advance(10);
    EXPECT_EQ(HintText(), "");
    HoverBackground();
    Hover(Knob(prMid));
    Platform.Advance(1);
    EXPECT_NE(HintText(), "");
}

TEST_F(EditorLabels, EachWindowShowsOnlyItsOwnTexts)
{
    TEditorInstance other(&Platform, Host);
    int otherParent = 0;
    ASSERT_EQ(other.Dispatch(effEditOpen, 0, 0, &otherParent), 1);
    THeadlessWindow& otherScreen = *Platform.LastWindow();
    other.Effect->setParameter(other.Effect, prTube, 1.0f);
    SetParameter(prTube, 0.0f);
    const TPoint p = Centre(*other.Window()->KnobOf(prTube));
    otherScreen.MouseMove(p.X, p.Y);
    Platform.Advance(1);
    EXPECT_EQ(other.Window()->lblHint->Caption(), "100.00 %");
    EXPECT_EQ(HintText(), "");
    // A window that is gone leaves nothing behind that the other one would call.
    other.Dispatch(effEditClose);
    Hover(Knob(prTube));
    Platform.Advance(1);
    EXPECT_EQ(HintText(), "-100.00 %");
}

TEST_F(EditorLabels, ATimerFailureIsShownNotThrown)
{
    // The hint delay runs; once it has fired, the label timer finds no timer left. The
    // error reaches the user in a message box, not the window system's event loop.
    Hover(Knob(prMid));
    Platform.SetTimerLimit(Platform.RunningTimers() - 1);
    EXPECT_NO_THROW(Platform.Advance(1));
    ASSERT_EQ(Platform.Messages().size(), 1u);
    EXPECT_EQ(Platform.Messages()[0].Text, "Not enough timers available");
    EXPECT_FALSE(Window().tmrLabelFade->Enabled());
}

class EditorCredits : public EditorLabels
{
};

TEST_F(EditorCredits, APressInTheLowerRightCornerShowsThem)
{
    Screen().Click(mbLeft, 530, 290);
    Screen().Click(mbLeft, 600, 260);
    EXPECT_FALSE(Window().imgCredits->Visible());
    Screen().Click(mbRight, 531, 261);
    EXPECT_TRUE(Window().imgCredits->Visible());
    EXPECT_EQ(Window().imgCredits->Opacity(), 255);
}

TEST_F(EditorCredits, TheyFadeAfterFiveSecondsInTwentyFiveTicks)
{
    Screen().Click(mbLeft, 650, 280);
    Platform.Advance(5000);
    EXPECT_EQ(Window().imgCredits->Opacity(), 255);
    Platform.Advance(24 * 10);
    EXPECT_TRUE(Window().imgCredits->Visible());
    EXPECT_EQ(Window().imgCredits->Opacity(), 15);
    Platform.Advance(10);
    EXPECT_FALSE(Window().imgCredits->Visible());
    EXPECT_FALSE(Window().tmrAbout->Enabled());
    // Shown again, the picture starts from full opacity and a full hold.
    Screen().Click(mbLeft, 650, 280);
    EXPECT_EQ(Window().imgCredits->Opacity(), 255);
    Platform.Advance(5000 + 250);
    EXPECT_FALSE(Window().imgCredits->Visible());
}

TEST_F(EditorCredits, WhileShownOnlyOverSamplingCanBeUsed)
{
    Screen().Click(mbLeft, 650, 280);
    SetParameter(prOverSample, 0.0f);
    Platform.Advance(100);
    Host.ClearCalls();
    Click(Knob(prLo), mbLeft, ssShift | ssCtrl);
    Click(Button(prLoMute));
    EXPECT_TRUE(Automations().empty());
    Click(Button(prOverSample));
    EXPECT_EQ(Automations(), (std::vector<std::pair<std::int32_t, float>>{{prOverSample, 1.0f}}));
    // The picture covers what lies under it on the screen.
    Platform.Advance(1);
    const auto& screen = Screen().Screen();
    Window().cntBackGround->Update();
    TMemoryDIB credits;
    ASSERT_TRUE(Window().imgBackground.GetImage(1, credits));
    const std::uint8_t* shown = &screen[(static_cast<std::size_t>(150) * 700 + 260) * 4];
    const std::uint8_t* drawn = credits.ScanLine(150) + 260 * 4;
    EXPECT_TRUE(std::equal(shown, shown + 3, drawn));
}

} // namespace
} // namespace orvo::test
