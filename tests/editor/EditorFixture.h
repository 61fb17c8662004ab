// An effect with its editor on the headless window system, and helpers that find controls
// and drive them with synthetic input and the virtual clock.
#pragma once

#include <gtest/gtest.h>

#include "tests/editor/EditorInstance.h"

#include <string>
#include <utility>
#include <vector>

namespace orvo::test
{

class TEditorFixture : public ::testing::Test
{
  protected:
    TEditorFixture() { Host.MakeCurrent(); }

    /// Opens the editor in a made-up host window and delivers its first paints.
    void Open()
    {
        ASSERT_EQ(Instance.Dispatch(effEditOpen, 0, 0, HostWindow), 1);
        Platform.DeliverPaints();
        Host.ClearCalls();
    }

    APlugin& Plugin() { return Instance.Plugin(); }
    TPluginEditorWindow& Window() { return *Instance.Window(); }
    THeadlessWindow& Screen() { return *Platform.LastWindow(); }
    TDIBKnob& Knob(std::int32_t parameter) { return *Window().KnobOf(parameter); }
    TDIBGlyphButton& Button(std::int32_t parameter) { return *Window().ButtonOf(parameter); }

    /// The centre of a control, in client pixels.
    static TPoint Centre(const TCustomDIBControl& control)
    {
        return TPoint{control.Left() + control.Width() / 2, control.Top() + control.Height() / 2};
    }

    void Press(const TCustomDIBControl& control, TMouseButton button = mbLeft,
               TShiftState modifiers = ssNone)
    {
        const TPoint p = Centre(control);
        Platform.SetModifiers(modifiers);
        Screen().MouseMove(p.X, p.Y);
        Screen().MouseDown(button, p.X, p.Y);
    }
    void Release(const TCustomDIBControl& control, TMouseButton button = mbLeft)
    {
        const TPoint p = Centre(control);
        Screen().MouseUp(button, p.X, p.Y);
        Platform.SetModifiers(ssNone);
    }
    void Click(const TCustomDIBControl& control, TMouseButton button = mbLeft,
               TShiftState modifiers = ssNone)
    {
        Press(control, button, modifiers);
        Release(control, button);
    }
    /// Right-clicks control and chooses the menu item at captionPath.
    void ChooseFromMenu(const TCustomDIBControl& control, std::vector<std::string> captionPath)
    {
        Platform.QueueMenuAnswer(std::move(captionPath));
        Click(control, mbRight);
    }
    /// Turns the wheel by notches (positive: up) over a control's centre.
    void Wheel(const TCustomDIBControl& control, std::int32_t notches,
               TShiftState modifiers = ssNone)
    {
        const TPoint p = Centre(control);
        Platform.SetModifiers(modifiers);
        Screen().MouseWheel(p.X, p.Y, notches);
        Platform.SetModifiers(ssNone);
    }
    /// A left-button drag on a knob: press at its centre, then `steps` moves of `pixels`
    /// upwards each (negative: downwards), then release.
    void Drag(const TCustomDIBControl& knob, std::int32_t pixels, std::int32_t steps = 1,
              TShiftState modifiers = ssNone)
    {
        Press(knob, mbLeft, modifiers);
        const TPoint p = Centre(knob);
        for (std::int32_t i = 0; i < steps; ++i)
        {
            Screen().MouseMove(p.X, p.Y - pixels);
        }
        Screen().MouseUp(mbLeft, p.X, p.Y - pixels);
        Platform.SetModifiers(ssNone);
    }

    /// The (index, value) of every audioMasterAutomate call since the last ClearCalls.
    std::vector<std::pair<std::int32_t, float>> Automations() const
    {
        std::vector<std::pair<std::int32_t, float>> calls;
        for (const THostCall& call : Host.CallsOf(audioMasterAutomate))
        {
            calls.emplace_back(call.index, call.opt);
        }
        return calls;
    }

    /// The gestures the host saw since the last ClearCalls (TestHost::Gestures).
    std::string Gestures() const { return Host.Gestures(); }

    void SetParameter(std::int32_t index, float value)
    {
        Instance.Effect->setParameter(Instance.Effect, index, value);
    }
    float Parameter(std::int32_t index)
    {
        return Instance.Effect->getParameter(Instance.Effect, index);
    }

    THeadlessPlatform Platform;
    TestHost Host;
    TEditorInstance Instance{&Platform, Host};
    int HostWindowStandIn = 0;
    void* HostWindow = &HostWindowStandIn;
};

} // namespace orvo::test
