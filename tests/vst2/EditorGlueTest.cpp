// The VST 2 editor glue: with the real window on the headless window system (opening as a
// child of the host's window, counting, the first refresh, the rectangle, closing mid-drag,
// and the editor of a module without a window system), and with a stand-in window where a
// window must fail or be counted (FEditorClosed and the copy of the parameter values).
#include "tests/editor/EditorFixture.h"
#include "tests/vst2/TPluginFixture.h"

#include <cmath>

namespace orvo::test
{
namespace
{
class EditorGlue : public TEditorFixture
{
};

TEST_F(EditorGlue, OpensAChildOfTheHostWindowAtTheOrigin)
{
    ERect* rect = nullptr;
    EXPECT_EQ(Instance.Dispatch(effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ((std::array<int, 4>{rect->top, rect->left, rect->bottom, rect->right}),
              (std::array<int, 4>{0, 0, 300, 700}));
    Open();
    ASSERT_EQ(Platform.Windows().size(), 1u);
    EXPECT_EQ(Screen().Parent(), reinterpret_cast<std::uintptr_t>(HostWindow));
    EXPECT_EQ(Screen().Bounds(), (TRect{0, 0, 700, 300}));
    EXPECT_TRUE(Screen().Visible());
    EXPECT_EQ(Window().effect, &Instance.Glue().editorEffect);
    EXPECT_TRUE(Window().Updater->Enabled());
}

TEST_F(EditorGlue, TheFirstPictureShowsTheCurrentValuesAtOnce)
{
    // Set while the editor is closed, shown when it opens without waiting for a tick.
    SetParameter(prLo, 0.25f);
    SetParameter(prLoMute, 1.0f);
    ASSERT_EQ(Instance.Dispatch(effEditOpen, 0, 0, HostWindow), 1);
    EXPECT_EQ(Knob(prLo).Position(), 142);
    EXPECT_TRUE(Button(prLoMute).Down());
    EXPECT_GE(Screen().PresentCount(), 1);
    EXPECT_EQ(Screen().LastPresented(), (TRect{0, 0, 700, 300}));
    EXPECT_TRUE(Host.CallsOf(audioMasterAutomate).empty());
}

TEST_F(EditorGlue, AHostChangeReachesTheKnobWithinOneRefresh)
{
    Open();
    Platform.Advance(30);
    SetParameter(prOutGain, 1.0f);
    EXPECT_NE(Knob(prOutGain).Position(), 569);
    Platform.Advance(70);
    EXPECT_EQ(Knob(prOutGain).Position(), 569);
    // A program change too.
    Instance.Dispatch(effSetProgram, 0, 3);
    Platform.Advance(100);
    for (std::int32_t p : {prLo, prHi, prTube, prTuning})
    {
        EXPECT_EQ(Knob(p).Position(), static_cast<std::int32_t>(std::lrint(
                                          Knob(p).Max() * static_cast<double>(Parameter(p)))))
            << p;
    }
}

TEST_F(EditorGlue, CountsOpensAndDestroysTheWindowOnTheLastClose)
{
    Open();
    THeadlessWindow* first = Platform.LastWindow();
    EXPECT_EQ(Instance.Dispatch(effEditOpen, 0, 0, HostWindow), 1);
    EXPECT_EQ(Platform.LastWindow(), first);
    EXPECT_EQ(Instance.Glue().openCount, 2);
    EXPECT_EQ(Instance.Dispatch(effEditClose), 0);
    EXPECT_EQ(Platform.Windows().size(), 1u);
    Instance.Dispatch(effEditClose);
    EXPECT_TRUE(Platform.Windows().empty());
    EXPECT_EQ(Platform.RunningTimers(), 0u);
    EXPECT_EQ(Plugin().effect().FEditorClosed.load(), 1);
    Instance.Dispatch(effEditClose); // unmatched
    EXPECT_EQ(Instance.Glue().openCount, 0);

    // Closed: changes are not copied, and time passing touches nothing.
    SetParameter(prMid, 0.9f);
    EXPECT_NE(Instance.Glue().values[prMid].load(), 0.9f);
    Platform.Advance(1000);
    ERect* rect = nullptr;
    Instance.Dispatch(effEditGetRect, 0, 0, &rect);
    EXPECT_EQ(rect->right, 700);

    // Opened again: a new window with the value.
    Open();
    EXPECT_EQ(Knob(prMid).Position(), 512);
}

TEST_F(EditorGlue, ANullParentCreatesNothing)
{
    EXPECT_EQ(Instance.Dispatch(effEditOpen, 0, 0, nullptr), 0);
    EXPECT_TRUE(Platform.Windows().empty());
    EXPECT_EQ(Instance.Glue().openCount, 0);
}

TEST_F(EditorGlue, ClosingDuringADragOrAHoldLeavesNothingRunning)
{
    Open();
    const TPoint p = Centre(Knob(prLo));
    Screen().MouseMove(p.X, p.Y);
    Screen().MouseDown(mbLeft, p.X, p.Y);
    Screen().MouseMove(p.X, p.Y - 3); // the value text is now held
    ASSERT_TRUE(Window().tmrLabelFade->Enabled());
    ASSERT_FALSE(Platform.PointerVisible());
    Instance.Dispatch(effEditClose);
    EXPECT_TRUE(Platform.PointerVisible());
    EXPECT_EQ(Platform.RunningTimers(), 0u);
    Platform.Advance(10000);
}

TEST(EditorWithoutWindowSystem, AnswersTheSizeAndOpensNothing)
{
    // The module on a system without a window-system backend: the glue has no platform.
    THeadlessPlatform platform;
    TestHost host;
    TEditorInstance instance(nullptr, host);
    ERect* rect = nullptr;
    EXPECT_EQ(instance.Dispatch(effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(rect->bottom, 300);
    EXPECT_EQ(rect->right, 700);
    int parent = 0;
    EXPECT_EQ(instance.Dispatch(effEditOpen, 0, 0, &parent), 0);
    EXPECT_EQ(instance.Dispatch(effEditIdle), 0);
    EXPECT_EQ(instance.Dispatch(effEditClose), 0);
    EXPECT_TRUE(platform.Windows().empty());
    EXPECT_EQ(instance.Effect->flags & effFlagsHasEditor, effFlagsHasEditor);
}

struct TWindowLog
{
    int Created = 0;
    int Destroyed = 0;
    int Shown = 0;
    bool Fail = false;
};
TWindowLog* CurrentLog = nullptr;

class TFakeWindow final : public TEditorWindow
{
  public:
    TFakeWindow() { ++CurrentLog->Created; }
    ~TFakeWindow() override { ++CurrentLog->Destroyed; }
    std::int16_t ClientWidth() const override { return 700; }
    std::int16_t ClientHeight() const override { return 300; }
    void ShowCurrentValues() override { ++CurrentLog->Shown; }
};

std::unique_ptr<TEditorWindow> MakeFakeWindow(APluginEditor&, void*)
{
    if (CurrentLog->Fail)
    {
        throw std::runtime_error("no window");
    }
    return std::make_unique<TFakeWindow>();
}

TEditorParts MakeGlueWithFakeWindow(APlugin& effect)
{
    auto* glue = new APluginEditor(&effect, &MakeFakeWindow);
    return {glue, glue};
}

class EditorGlueStandIn : public TPluginFixture
{
  protected:
    EditorGlueStandIn()
    {
        CurrentLog = &Log;
        Create(nullptr, &MakeGlueWithFakeWindow);
        Glue = static_cast<APluginEditor*>(Plugin().getEditor());
    }
    ~EditorGlueStandIn() override
    {
        Close();
        CurrentLog = nullptr;
    }

    TWindowLog Log;
    APluginEditor* Glue = nullptr;
    int Parent = 0;
};

TEST_F(EditorGlueStandIn, CopiesParameterValuesOnlyWhileNotClosed)
{
    SetParameter(prTube, 0.9f);
    Dispatch(effEditOpen, 0, 0, &Parent);
    EXPECT_EQ(Glue->values[prTube].load(), 0.9f); // set while closed, shown on open
    SetParameter(prTube, 0.2f);
    EXPECT_EQ(Glue->values[prTube].load(), 0.2f);
    Dispatch(effEditClose);
    SetParameter(prTube, 0.7f);
    EXPECT_EQ(Glue->values[prTube].load(), 0.2f);
}

TEST_F(EditorGlueStandIn, SurvivesAFailingWindow)
{
    Log.Fail = true;
    EXPECT_EQ(Dispatch(effEditOpen, 0, 0, &Parent), 0);
    EXPECT_EQ(Glue->openCount, 0);
    Log.Fail = false;
    EXPECT_EQ(Dispatch(effEditOpen, 0, 0, &Parent), 1);
    EXPECT_EQ(Glue->openCount, 1);
}

TEST_F(EditorGlueStandIn, AnOpenWindowIsDestroyedWithTheEffect)
{
    Dispatch(effEditOpen, 0, 0, &Parent);
    Close();
    EXPECT_EQ(Log.Destroyed, 1);
    Create(); // for the fixture's own close
}
} // namespace
} // namespace orvo::test
