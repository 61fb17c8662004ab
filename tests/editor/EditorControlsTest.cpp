// The editor window's controls driven by synthetic input: the refresh from the values the
// effect pushes, knob drags, the button modifiers and the pop-up menu commands.
#include "tests/editor/EditorFixture.h"

namespace orvo::test
{
namespace
{

using TCalls = std::vector<std::pair<std::int32_t, float>>;

class EditorControls : public TEditorFixture
{
  protected:
    void SetUp() override { Open(); }

    void SetMutes(std::array<float, 5> mutes)
    {
        for (std::int32_t k = 0; k < 5; ++k)
        {
            SetParameter(prLoMute + k, mutes[static_cast<std::size_t>(k)]);
        }
        Platform.Advance(100);
        Host.ClearCalls();
    }
};

TEST_F(EditorControls, TheRefreshMovesKnobsToHostValuesWithoutAutomating)
{
    SetParameter(prLo, 0.25f);
    SetParameter(prTube, 1.0f);
    SetParameter(prTuning, 0.5f);
    SetParameter(prMidMute, 0.5f);
    SetParameter(prOverSample, 0.0f);
    Host.ClearCalls();
    Platform.Advance(99);
    EXPECT_NE(Knob(prLo).Position(), 142); // not before the refresh tick
    Platform.Advance(1);
    EXPECT_EQ(Knob(prLo).Position(), 142); // 569 x 0.25 = 142.25
    EXPECT_EQ(Knob(prTube).Position(), 609);
    EXPECT_EQ(Knob(prTuning).Position(), 300);
    EXPECT_TRUE(Button(prMidMute).Down());
    EXPECT_FALSE(Button(prOverSample).Down());
    EXPECT_TRUE(Automations().empty());
    EXPECT_EQ(Parameter(prLo), 0.25f);
}

TEST_F(EditorControls, HalfwayRoundsToTheEvenPosition)
{
    SetParameter(prInGain, 0.5f);        // 284.5
    SetParameter(prOutGain, 0.5009666f); // 285.05
    Platform.Advance(100);
    EXPECT_EQ(Knob(prInGain).Position(), 284);
    EXPECT_EQ(Knob(prOutGain).Position(), 285);
}

TEST_F(EditorControls, DraggingASliderSendsPositionOverMaximum)
{
    Drag(Knob(prMid), 200); // 1000 positions up: held at the top
    EXPECT_EQ(Knob(prMid).Position(), 569);
    EXPECT_EQ(Automations(), (TCalls{{prMid, 1.0f}}));
    EXPECT_EQ(Parameter(prMid), 1.0f);
    Host.ClearCalls();
    Drag(Knob(prMid), -200);
    EXPECT_EQ(Knob(prMid).Position(), 0);
    EXPECT_EQ(Automations(), (TCalls{{prMid, 0.0f}}));

    // A value the user set is not moved again by the refresh.
    Drag(Knob(prMid), 57);
    Platform.Advance(500);
    EXPECT_EQ(Knob(prMid).Position(), 285);
    EXPECT_EQ(Parameter(prMid), 285.0f / 569.0f);
}

TEST_F(EditorControls, DragStepsFollowShiftPerKnob)
{
    const std::int32_t slider = Knob(prLo).Position();
    Drag(Knob(prLo), 4);
    EXPECT_EQ(Knob(prLo).Position(), slider + 20);
    Drag(Knob(prLo), 4, 1, ssShift);
    EXPECT_EQ(Knob(prLo).Position(), slider + 24);

    // kbTuning: the plain drag is fine, Shift moves a semitone (25 positions) per pixel.
    SetParameter(prTuning, 0.5f);
    Platform.Advance(100);
    Drag(Knob(prTuning), 3);
    EXPECT_EQ(Knob(prTuning).Position(), 303);
    Drag(Knob(prTuning), 3, 1, ssShift);
    EXPECT_EQ(Knob(prTuning).Position(), 378);
    EXPECT_EQ(Parameter(prTuning), 378.0f / 600.0f);
    // The pointer stays where the drag began and is visible again afterwards.
    EXPECT_TRUE(Platform.PointerVisible());
}

TEST_F(EditorControls, AWheelNotchMovesOneFineStepAndShiftOneSmaller)
{
    struct TCase
    {
        std::int32_t Parameter;
        std::int32_t Step;     // one notch
        std::int32_t FineStep; // one notch with Shift
    };
    // Sliders and Tube a frame of their strips, Tuning a semitone; with Shift one position.
    for (const TCase c : {TCase{prLo, 10, 1}, TCase{prTube, 10, 1}, TCase{prTuning, 25, 1}})
    {
        SCOPED_TRACE(c.Parameter);
        SetParameter(c.Parameter, 0.5f);
        Platform.Advance(100);
        const std::int32_t start = Knob(c.Parameter).Position();
        Wheel(Knob(c.Parameter), 2);
        EXPECT_EQ(Knob(c.Parameter).Position(), start + 2 * c.Step);
        Wheel(Knob(c.Parameter), -1, ssShift);
        EXPECT_EQ(Knob(c.Parameter).Position(), start + 2 * c.Step - c.FineStep);
        EXPECT_EQ(Parameter(c.Parameter), static_cast<float>(Knob(c.Parameter).Position()) /
                                              static_cast<float>(Knob(c.Parameter).Max()));
    }
    // Over a button or the bare panel the wheel does nothing; a drag in progress keeps it.
    Host.ClearCalls();
    Wheel(Button(prLoMute), 1);
    Screen().MouseWheel(20, 20, 1);
    EXPECT_TRUE(Automations().empty());
    const std::int32_t held = Knob(prMid).Position();
    Press(Knob(prMid));
    Wheel(Knob(prMid), 3);
    EXPECT_EQ(Knob(prMid).Position(), held);
    Release(Knob(prMid));
}

TEST_F(EditorControls, ShiftCtrlPressCentresAKnob)
{
    Press(Knob(prTube), mbLeft, ssShift | ssCtrl);
    EXPECT_EQ(Automations(), (TCalls{{prTube, 0.5f}}));
    Release(Knob(prTube));
    Platform.Advance(100);
    EXPECT_EQ(Knob(prTube).Position(), 304); // 609 x 0.5 = 304.5
    Host.ClearCalls();
    Press(Knob(prTube), mbLeft, ssShift);
    Release(Knob(prTube));
    EXPECT_TRUE(Automations().empty());
}

TEST_F(EditorControls, AClickTogglesOnceAndTheRefreshRestoresTheButton)
{
    SetMutes({0, 0, 0, 0, 0});
    Press(Button(prHiMute));
    EXPECT_EQ(Automations(), (TCalls{{prHiMute, 1.0f}}));
    EXPECT_TRUE(Button(prHiMute).Down());
    Release(Button(prHiMute)); // ToggleDown flips it back up
    EXPECT_FALSE(Button(prHiMute).Down());
    Platform.Advance(100);
    EXPECT_TRUE(Button(prHiMute).Down());
    EXPECT_EQ(Automations().size(), 1u);
    EXPECT_EQ(Plugin().effect().FEditorClosed.load(), 0);

    Click(Button(prHiMute));
    Platform.Advance(100);
    EXPECT_FALSE(Button(prHiMute).Down());
    EXPECT_EQ(Parameter(prHiMute), 0.0f);
}

TEST_F(EditorControls, ShiftClickSolosABandInParameterOrder)
{
    SetMutes({0, 0, 0, 0, 0});
    Click(Button(prMidMute), mbLeft, ssShift);
    EXPECT_EQ(Automations(), (TCalls{{5, 1.0f}, {6, 1.0f}, {7, 0.0f}, {8, 1.0f}, {9, 1.0f}}));

    // "Solo" from the band's menu does the same.
    SetMutes({0, 1, 1, 1, 1});
    ChooseFromMenu(Button(prLoMute), {"Solo"});
    EXPECT_EQ(Automations(), (TCalls{{5, 0.0f}, {6, 1.0f}, {7, 1.0f}, {8, 1.0f}, {9, 1.0f}}));
}

TEST_F(EditorControls, CtrlClickInvertsEveryBand)
{
    SetMutes({1, 0, 0, 1, 0});
    Click(Button(prLoMidMute), mbLeft, ssCtrl);
    EXPECT_EQ(Automations(), (TCalls{{5, 0.0f}, {6, 1.0f}, {7, 1.0f}, {8, 0.0f}, {9, 1.0f}}));
}

TEST_F(EditorControls, ShiftCtrlClickOpensAllBandsButOnlyTogglesOverSampling)
{
    SetMutes({1, 1, 0, 1, 1});
    Click(Button(prHiMidMute), mbMiddle, ssShift | ssCtrl);
    EXPECT_EQ(Automations(), (TCalls{{5, 0.0f}, {6, 0.0f}, {7, 0.0f}, {8, 0.0f}, {9, 0.0f}}));

    SetParameter(prOverSample, 1.0f);
    Platform.Advance(100);
    Host.ClearCalls();
    Click(Button(prOverSample), mbLeft, ssShift | ssCtrl);
    EXPECT_EQ(Automations(), (TCalls{{prOverSample, 0.0f}}));
}

TEST_F(EditorControls, CentreFromTheMenuSetsTheMiddle)
{
    ChooseFromMenu(Knob(prInGain), {"Centre"});
    EXPECT_EQ(Automations(), (TCalls{{prInGain, 0.5f}}));
    Platform.Advance(100);
    EXPECT_EQ(Knob(prInGain).Position(), 284);
    ASSERT_EQ(Platform.ShownMenus().size(), 1u);
    const TUIMenu& menu = Platform.ShownMenus()[0].Menu;
    ASSERT_EQ(menu.Items.size(), 4u);
    EXPECT_EQ(menu.Items[1].Caption, "-");
    EXPECT_EQ(menu.Items[2].Caption, "MIDI");
    EXPECT_EQ(menu.Items[2].Items.size(), 4u);
    EXPECT_EQ(menu.Items[3].Caption, "Size");
    // The menu opens where the pointer was released, in screen pixels.
    const TPoint centre = Centre(Knob(prInGain));
    EXPECT_EQ(Platform.ShownMenus()[0].Screen, (TPoint{centre.X + Platform.ParentScreenOrigin.X,
                                                       centre.Y + Platform.ParentScreenOrigin.Y}));
}

TEST_F(EditorControls, MidiLearnThroughTheMenuBindsTheNextController)
{
    ChooseFromMenu(Button(prOverSample), {"MIDI Learn"});
    EXPECT_EQ(Plugin().effect().MidiLearnParameter(), prOverSample);

    ChooseFromMenu(Button(prOverSample), {"Show MIDI CC Config"});
    ASSERT_EQ(Platform.Messages().size(), 1u);
    EXPECT_EQ(Platform.Messages()[0].Caption, "Orvo");
    EXPECT_NE(Platform.Messages()[0].Text.find("Learning: OverSample"), std::string::npos);

    // CC 64 at offset 3, value 0: binds CC 64 to OverSample and switches it off.
    SetParameter(prOverSample, 1.0f);
    VstMidiEvent event{};
    event.type = kVstMidiType;
    event.byteSize = sizeof(VstMidiEvent);
    event.deltaFrames = 3;
    event.midiData[0] = static_cast<char>(0xB0);
    event.midiData[1] = 64;
    event.midiData[2] = 0;
    VstEvents events{};
    events.numEvents = 1;
    events.events[0] = reinterpret_cast<VstEvent*>(&event);
    Instance.Dispatch(effProcessEvents, 0, 0, &events);
    std::vector<float> left(16, 0.0f), right(16, 0.0f);
    float* inputs[] = {left.data(), right.data()};
    float* outputs[] = {left.data(), right.data()};
    Instance.Effect->processReplacing(Instance.Effect, inputs, outputs, 16);
    EXPECT_EQ(Plugin().effect().MidiLearnParameter(), -1);
    EXPECT_EQ(Plugin().effect().MidiMap().CcToParam[64], prOverSample);
    EXPECT_EQ(Parameter(prOverSample), 0.0f);
    Platform.Advance(100);
    EXPECT_FALSE(Button(prOverSample).Down());
}

TEST_F(EditorControls, MidiMapCommandsFromTheMenus)
{
    ChooseFromMenu(Knob(prTube), {"MIDI", "Reset CC config"});
    EXPECT_EQ(Plugin().effect().MidiMap().CcToParam[30], -1);
    ChooseFromMenu(Knob(prTube), {"MIDI", "Show MIDI CC Config"});
    ChooseFromMenu(Button(prLoMute), {"MIDI", "Restore Default config"});
    EXPECT_EQ(Plugin().effect().MidiMap().CcToParam[30], prTube);
    ChooseFromMenu(Button(prLoMute), {"MIDI", "MIDI Learn"});
    EXPECT_EQ(Plugin().effect().MidiLearnParameter(), prLoMute);
    ASSERT_EQ(Platform.Messages().size(), 1u);
    EXPECT_EQ(Platform.Messages()[0].Text,
              "MIDI CC -> VST Parameter Configuration\r\n\r\nNo MIDI CC details configured");
}

TEST_F(EditorControls, MenuCommandsWithoutTargetOrEffect)
{
    // No control has been right-clicked yet: nothing happens.
    TDIBMenuItem& centre = *Window().mnuSliders.Items()[0];
    Window().Centre1Click(centre);
    EXPECT_TRUE(Automations().empty());
    EXPECT_TRUE(Platform.Messages().empty());

    Window().effect = nullptr;
    Window().Centre1Click(centre);
    ASSERT_EQ(Platform.Messages().size(), 1u);
    EXPECT_EQ(Platform.Messages()[0].Text, "NoEffect");
    // Without an effect the mouse handlers do nothing.
    Click(Button(prLoMute));
    Drag(Knob(prLo), 5);
    EXPECT_TRUE(Automations().empty());
}

TEST_F(EditorControls, ControlsTakeTheirImagesSizes)
{
    // Each control is one frame of the strip it is linked to: a wrong link shows up as a
    // wrong size (the table sizes are what the artwork was drawn for).
    for (const form::TFormComponent& d : form::Components)
    {
        const TCustomDIBControl* control = Window().Control(d.Name);
        ASSERT_NE(control, nullptr) << d.Name;
        if (d.Kind == form::ckKnob || d.Kind == form::ckGlyphButton)
        {
            EXPECT_EQ(control->BoundsRect(), TRect::FromBounds(d.Left, d.Top, d.Width, d.Height))
                << d.Name;
        }
    }
    EXPECT_EQ(Window().imgCredits->BoundsRect(), (TRect{0, 0, 700, 300}));
    EXPECT_FALSE(Window().imgCredits->Visible());
    // Later controls lie above earlier ones.
    auto& container = *Window().cntBackGround;
    EXPECT_EQ(container.ControlAt(TPoint{300, 275}), Window().lblHint);
    EXPECT_EQ(container.ControlAt(TPoint{50, 275}), Window().ButtonOf(prOverSample));
}

} // namespace
} // namespace orvo::test
