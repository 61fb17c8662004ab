// The host closing the editor, or the effect, from inside the modal loop of one of the
// window's pop-up menus or message boxes: the window goes when the handler waiting there
// returns, the handler does nothing more, and the glue is closed (and reopens) at once.
// The headless menu and message answers run inside the modal call, as the host would.
#include "tests/editor/EditorFixture.h"

#include <string>
#include <vector>

namespace orvo::test
{
namespace
{

/// The command of the item at captionPath, or 0.
std::int32_t CommandOf(const std::vector<TUIMenuEntry>& items, const std::vector<std::string>& path,
                       std::size_t depth = 0)
{
    for (const TUIMenuEntry& item : items)
    {
        if (item.Caption == path[depth])
        {
            return depth + 1 == path.size() ? item.Command : CommandOf(item.Items, path, depth + 1);
        }
    }
    return 0;
}

class EditorModal : public TEditorFixture
{
  protected:
    /// Right-clicks control, chooses captionPath, and runs duringMenu inside the menu's
    /// modal call before the choice is returned. Drives the window found before the press,
    /// without touching it after the release.
    void ChooseWhileHostActs(const TCustomDIBControl& control, std::vector<std::string> captionPath,
                             std::function<void()> duringMenu)
    {
        Platform.SetMenuAnswerer(
            [this, captionPath, duringMenu](const TUIMenu& menu, TPoint)
            {
                Platform.SetMenuAnswerer({});
                duringMenu();
                return CommandOf(menu.Items, captionPath);
            });
        const TPoint p = Centre(control);
        THeadlessWindow& screen = Screen();
        screen.MouseMove(p.X, p.Y);
        screen.MouseDown(mbRight, p.X, p.Y);
        screen.MouseUp(mbRight, p.X, p.Y);
    }

    void CloseEditor() { EXPECT_EQ(Instance.Dispatch(effEditClose), 0); }

    /// The glue's state after the last close: no window left anywhere, nothing running.
    void ExpectClosedAndGone()
    {
        EXPECT_FALSE(Instance.Glue().hasWindow());
        EXPECT_EQ(Instance.Glue().openCount, 0);
        EXPECT_EQ(Plugin().effect().FEditorClosed.load(), 1);
        EXPECT_TRUE(Platform.Windows().empty());
        EXPECT_EQ(Platform.RunningTimers(), 0u);
        ERect* rect = nullptr;
        Instance.Dispatch(effEditGetRect, 0, 0, &rect);
        EXPECT_EQ((std::array<int, 4>{rect->top, rect->left, rect->bottom, rect->right}),
                  (std::array<int, 4>{0, 0, 300, 700}));
    }
};

TEST_F(EditorModal, CloseFromAMenuEndsTheWindowWhenTheMenuReturnsAndRunsNoCommand)
{
    Open();
    SetParameter(prInGain, 0.25f);
    Host.ClearCalls();
    TPluginEditorWindow* window = &Window();
    ChooseWhileHostActs(Knob(prInGain), {"Centre"},
                        [&]
                        {
                            CloseEditor();
                            // Closed for the glue at once; the window waits, unseen and still, for
                            // its handler.
                            EXPECT_FALSE(Instance.Glue().hasWindow());
                            EXPECT_EQ(Plugin().effect().FEditorClosed.load(), 1);
                            ASSERT_EQ(Platform.Windows().size(), 1u);
                            EXPECT_FALSE(Platform.Windows()[0]->Visible());
                            EXPECT_TRUE(window->Closed());
                            EXPECT_EQ(window->effect, nullptr);
                            EXPECT_FALSE(window->Updater->Enabled());
                        });
    ExpectClosedAndGone();
    EXPECT_FLOAT_EQ(Parameter(prInGain), 0.25f);
    EXPECT_TRUE(Automations().empty());
    EXPECT_TRUE(Platform.Messages().empty());
    Platform.Advance(3000);
}

TEST_F(EditorModal, CloseFromTheMidiReportMessageBox)
{
    Open();
    Platform.SetMessageAnswerer(
        [&](const THeadlessMessageRecord&)
        {
            Platform.SetMessageAnswerer({});
            CloseEditor();
        });
    Platform.QueueMenuAnswer({"MIDI", "Show MIDI CC Config"});
    const TPoint p = Centre(Knob(prMid));
    THeadlessWindow& screen = Screen();
    screen.MouseMove(p.X, p.Y);
    screen.MouseDown(mbRight, p.X, p.Y);
    screen.MouseUp(mbRight, p.X, p.Y);
    // The report only: the handler shows nothing more once the editor is closed.
    EXPECT_EQ(Platform.Messages().size(), 1u);
    ExpectClosedAndGone();
}

TEST_F(EditorModal, ReopenFromTheMenuGetsAWorkingWindow)
{
    Open();
    THeadlessWindow* first = Platform.LastWindow();
    ChooseWhileHostActs(Knob(prLo), {"Centre"},
                        [&]
                        {
                            CloseEditor();
                            EXPECT_EQ(Instance.Dispatch(effEditOpen, 0, 0, HostWindow), 1);
                            EXPECT_NE(Platform.LastWindow(), first);
                        });
    ASSERT_EQ(Platform.Windows().size(), 1u);
    EXPECT_TRUE(Screen().Visible());
    EXPECT_EQ(Instance.Glue().openCount, 1);
    EXPECT_EQ(Plugin().effect().FEditorClosed.load(), 0);
    EXPECT_EQ(Window().effect, &Instance.Glue().editorEffect);
    // The command belonged to the closed window: not run.
    EXPECT_TRUE(Automations().empty());
    SetParameter(prLo, 1.0f);
    Platform.Advance(100);
    EXPECT_EQ(Knob(prLo).Position(), 569);
    ChooseFromMenu(Knob(prLo), {"Centre"});
    EXPECT_FLOAT_EQ(Parameter(prLo), 0.5f);
    CloseEditor();
    ExpectClosedAndGone();
}

TEST_F(EditorModal, EffectClosedFromAMessageBoxLeavesNothingBehind)
{
    Open();
    Platform.SetMessageAnswerer(
        [&](const THeadlessMessageRecord&)
        {
            Platform.SetMessageAnswerer({});
            Instance.Close();
            ASSERT_EQ(Platform.Windows().size(), 1u);
            EXPECT_FALSE(Platform.Windows()[0]->Visible());
        });
    ChooseWhileHostActs(Button(prOverSample), {"Show MIDI CC Config"}, [] {});
    EXPECT_TRUE(Platform.Windows().empty());
    EXPECT_EQ(Platform.RunningTimers(), 0u);
    EXPECT_EQ(Platform.Messages().size(), 1u);
    Platform.Advance(3000);
}

TEST_F(EditorModal, CloseFromTheMessageBoxThatOpenShows)
{
    // No timer for the refresh: open reports it in a message box, and the host closes the
    // editor from there.
    Platform.SetTimerLimit(0);
    Platform.SetMessageAnswerer(
        [&](const THeadlessMessageRecord& message)
        {
            Platform.SetMessageAnswerer({});
            EXPECT_EQ(message.Text, "Not enough timers available");
            CloseEditor();
        });
    EXPECT_EQ(Instance.Dispatch(effEditOpen, 0, 0, HostWindow), 1);
    EXPECT_EQ(Platform.Messages().size(), 1u);
    ExpectClosedAndGone();
}

} // namespace
} // namespace orvo::test
