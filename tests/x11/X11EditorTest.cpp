// Orvo.so on a real X server (Xvfb), driven as a Linux host drives it: the module is loaded
// with dlopen, the host makes a top-level window and passes its id to effEditOpen, and
// calls effEditIdle every 20 ms; the user's input comes through XTest. The window must show
// what the headless editor draws for the same values (outside the value labels' text), and
// every gesture must reach the host as automation between beginEdit and endEdit.
#include <gtest/gtest.h>

#include "tests/editor/EditorInstance.h"
#include "tests/vst2/TPluginFixture.h"
#include "tests/x11/TX11TestDesktop.h"

#include <X11/keysym.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <dlfcn.h>

namespace orvo::test
{
namespace
{

using TEntry = AEffect* (*)(audioMasterCallback);

constexpr int HostX = 100; // where TX11TestDesktop puts the host window
constexpr int HostY = 100;
constexpr int IdleInterval = 20;
// lblHint (291, 269, 119 x 20) and its shadow two pixels lower right: the only text.
constexpr TRect ValueLabels{291, 269, 293 + 119, 271 + 20};

/// Client centres of the controls the tests use.
constexpr TPoint MidCentre{328 + 24, 93 + 57};
constexpr TPoint TuningCentre{161 + 31, 124 + 31};
constexpr TPoint InGainCentre{91 + 24, 93 + 57};
constexpr TPoint LoMuteCentre{237 + 22, 226 + 10};
constexpr TPoint OverSampleCentre{45 + 36, 269 + 10};

/// What the host does when it hears endEdit: nothing, or close the editor or the effect
/// from inside that call, as some hosts do when a menu command changes a parameter.
VstInt32 CloseOnEndEdit = 0;
/// The effect that ClosingHost closed: the host makes no further calls to it.
AEffect* ClosedEffect = nullptr;

VstIntPtr VSTCALL ClosingHost(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                              void* ptr, float opt)
{
    const VstIntPtr answer = TestHost::Callback(effect, opcode, index, value, ptr, opt);
    if (opcode == audioMasterEndEdit && CloseOnEndEdit != 0 && effect != nullptr)
    {
        const VstInt32 close = CloseOnEndEdit;
        CloseOnEndEdit = 0;
        if (close == effClose)
        {
            ClosedEffect = effect;
        }
        effect->dispatcher(effect, close, 0, 0, nullptr, 0.0f);
    }
    return answer;
}

class X11Editor : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(Desktop.Valid()) << "no X display";
        std::filesystem::copy_file(ORVO_MODULE_PATH, Folder.Path() / "Orvo.so");
        Library = dlopen((Folder.Path() / "Orvo.so").c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(Library, nullptr) << dlerror();
        const auto entry = reinterpret_cast<TEntry>(dlsym(Library, "VSTPluginMain"));
        ASSERT_NE(entry, nullptr);
        Host.MakeCurrent();
        Effect = entry(&ClosingHost);
        ASSERT_NE(Effect, nullptr);
        Host.Attach(Effect);
        Desktop.MoveTo(5, 5); // off the editor: no value text
        ASSERT_EQ(Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(Desktop.HostWindow())), 1);
        PumpFor(100);
        Host.ClearCalls();
    }
    void TearDown() override
    {
        if (Effect != nullptr)
        {
            Dispatch(effEditClose);
            Dispatch(effClose);
        }
        if (Library != nullptr)
        {
            dlclose(Library);
        }
    }

    VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr)
    {
        return Effect->dispatcher(Effect, opcode, index, value, ptr, 0.0f);
    }
    float Parameter(std::int32_t index) { return Effect->getParameter(Effect, index); }

    void Idle()
    {
        if (Effect != ClosedEffect)
        {
            Dispatch(effEditIdle);
        }
    }
    bool PumpUntil(const std::function<bool()>& done)
    {
        return TX11TestDesktop::PumpUntil([this] { Idle(); }, done, 3000, IdleInterval);
    }
    void PumpFor(int milliseconds)
    {
        TX11TestDesktop::PumpFor([this] { Idle(); }, milliseconds, IdleInterval);
    }
    bool HostSaw(VstInt32 opcode) const { return !Host.CallsOf(opcode).empty(); }

    /// beginEdit, automation and endEdit as words: "b2 a2 e2".
    std::string Gestures() const { return Host.Gestures(); }

    static TPoint Screen(TPoint client) { return TPoint{HostX + client.X, HostY + client.Y}; }
    void MoveTo(TPoint client)
    {
        const TPoint p = Screen(client);
        Desktop.MoveTo(p.X, p.Y);
    }

    /// Pixels that differ from the headless editor given the module's parameter values,
    /// outside the value labels.
    int DifferencesFromHeadless()
    {
        THeadlessPlatform platform;
        TestHost referenceHost;
        TEditorInstance reference(&platform, referenceHost);
        for (std::int32_t i = 0; i < Effect->numParams; ++i)
        {
            reference.Effect->setParameter(reference.Effect, i, Parameter(i));
        }
        int standIn = 0;
        reference.Dispatch(effEditOpen, 0, 0, &standIn);
        platform.Advance(200);
        const std::vector<std::uint8_t>& expected = platform.LastWindow()->Screen();
        Host.MakeCurrent();
        const auto shown = Desktop.ScreenPixels(HostX, HostY, 700, 300);
        int differences = 0;
        for (int y = 0; y < 300; ++y)
        {
            for (int x = 0; x < 700; ++x)
            {
                if (ValueLabels.Contains(TPoint{x, y}))
                {
                    continue;
                }
                const std::uint8_t* e = &expected[static_cast<std::size_t>((y * 700 + x) * 4)];
                const std::uint32_t rgb = (static_cast<std::uint32_t>(e[2]) << 16) |
                                          (static_cast<std::uint32_t>(e[1]) << 8) | e[0];
                differences += shown[static_cast<std::size_t>(y * 700 + x)] != rgb ? 1 : 0;
            }
        }
        return differences;
    }

    /// Runs the user's actions on a connection of their own while the test idles; the
    /// longest effEditIdle call in milliseconds.
    double AsUser(const std::function<void(TX11TestDesktop&)>& actions)
    {
        return TX11TestDesktop::AsUser([this] { Idle(); }, actions, IdleInterval);
    }

    TTempFolder Folder;
    TestHost Host;
    TX11TestDesktop Desktop{700, 300};
    void* Library = nullptr;
    AEffect* Effect = nullptr;
};

TEST_F(X11Editor, OpensInsideTheHostWindowAndLooksLikeTheHeadlessEditor)
{
    const std::vector<Window> children = Desktop.HostChildren();
    ASSERT_EQ(children.size(), 1U);
    XWindowAttributes child{};
    XGetWindowAttributes(Desktop.XDisplay(), children[0], &child);
    EXPECT_EQ((std::vector<int>{child.x, child.y, child.width, child.height}),
              (std::vector<int>{0, 0, 700, 300}));
    EXPECT_EQ(DifferencesFromHeadless(), 0);

    // A host change reaches the window within a refresh, and it still matches.
    Effect->setParameter(Effect, 0, 0.25f);
    Effect->setParameter(Effect, 14, 1.0f);
    PumpFor(250);
    EXPECT_EQ(DifferencesFromHeadless(), 0);
}

TEST_F(X11Editor, MuteKeyClickTogglesTheBandInOneGesture)
{
    const float before = Parameter(5);
    MoveTo(LoMuteCentre);
    Desktop.Press(Button1);
    Desktop.Release(Button1);
    ASSERT_TRUE(PumpUntil([&] { return HostSaw(audioMasterEndEdit); }));
    EXPECT_EQ(Parameter(5), before >= 0.5f ? 0.0f : 1.0f);
    EXPECT_EQ(Gestures(), "b5 a5 e5");
}

TEST_F(X11Editor, SliderDragMovesFivePositionsAPixelAndKeepsThePointer)
{
    struct TCase
    {
        TPoint Centre;
        std::int32_t Parameter;
        std::int32_t Maximum;
        bool Shift;
        std::int32_t Expected; // positions moved by 2 pixels upwards
    };
    for (const TCase& c :
         {TCase{MidCentre, 2, 569, false, 10}, TCase{TuningCentre, 11, 600, true, 50}})
    {
        Host.ClearCalls();
        // The knob rounds halves to even, as nearbyint does.
        const auto before = static_cast<std::int32_t>(
            std::nearbyint(static_cast<double>(Parameter(c.Parameter)) * c.Maximum));
        MoveTo(c.Centre);
        if (c.Shift)
        {
            Desktop.KeyDown(XK_Shift_L);
        }
        Desktop.Press(Button1);
        ASSERT_TRUE(PumpUntil([&] { return HostSaw(audioMasterBeginEdit); }));
        MoveTo(TPoint{c.Centre.X, c.Centre.Y - 2});
        ASSERT_TRUE(PumpUntil([&] { return HostSaw(audioMasterAutomate); }));
        Desktop.Release(Button1);
        if (c.Shift)
        {
            Desktop.KeyUp(XK_Shift_L);
        }
        ASSERT_TRUE(PumpUntil([&] { return HostSaw(audioMasterEndEdit); }));
        const std::string p = std::to_string(c.Parameter);
        EXPECT_EQ(Gestures(), "b" + p + " a" + p + " e" + p);
        EXPECT_EQ(Parameter(c.Parameter),
                  static_cast<float>(std::min(before + c.Expected, c.Maximum)) /
                      static_cast<float>(c.Maximum));
        // The drag put the pointer back where it began.
        int x = 0;
        int y = 0;
        Desktop.PointerAt(x, y);
        EXPECT_EQ((TPoint{x, y}), Screen(c.Centre));
    }
}

TEST_F(X11Editor, CentreFromTheSliderMenu)
{
    Effect->setParameter(Effect, 12, 0.9f);
    PumpFor(150);
    Host.ClearCalls();
    const TPoint knob = Screen(InGainCentre);
    const double longestIdle = AsUser(
        [&](TX11TestDesktop& user)
        {
            user.MoveTo(knob.X, knob.Y);
            user.Press(Button3);
            user.Release(Button3);
            const auto menu = user.WaitForPopup(true);
            user.LetHostIdle();
            EXPECT_EQ((std::vector<int>{menu[0], menu[1]}), (std::vector<int>{knob.X, knob.Y}));
            user.MoveTo(menu[0] + 20, menu[1] + 3 + 8); // "Centre"
            user.Press(Button1);
            user.Release(Button1);
        });
    EXPECT_EQ(Parameter(12), 0.5f);
    EXPECT_EQ(Gestures(), "b12 a12 e12");
    EXPECT_LT(longestIdle, IdleLimitMs);
}

TEST_F(X11Editor, MidiReportInAMessageBox)
{
    const TPoint button = Screen(OverSampleCentre);
    const TPoint knob = Screen(InGainCentre); // left of the box, which is centred
    std::vector<int> box;
    const double longestIdle = AsUser(
        [&, host = Desktop.HostWindow()](TX11TestDesktop& user)
        {
            user.MoveTo(button.X, button.Y);
            user.Press(Button3);
            user.Release(Button3);
            const auto menu = user.WaitForPopup(true);
            user.LetHostIdle();
            user.MoveTo(menu[0] + 20, menu[1] + 3 + 17 + 8); // "Show MIDI CC Config"
            user.Press(Button1);
            user.Release(Button1);
            // While the box is open the editor takes no input.
            user.WaitForPopup(false, {host});
            user.MoveTo(knob.X, knob.Y);
            user.Press(Button1);
            user.Release(Button1);
            user.LetHostIdle();
            box = user.AnswerMessageBox(host);
        });
    ASSERT_EQ(box.size(), 4U);
    EXPECT_GT(box[3], 23 + 12 * 16); // the report's 16 lines and the button
    EXPECT_TRUE(Gestures().empty());
    EXPECT_LT(longestIdle, IdleLimitMs);
    // The editor goes on after the box.
    MoveTo(LoMuteCentre);
    Desktop.Press(Button1);
    Desktop.Release(Button1);
    EXPECT_TRUE(PumpUntil([&] { return HostSaw(audioMasterEndEdit); }));
}

TEST_F(X11Editor, ClosingTheEditorOrTheEffectFromInsideAMenuCommand)
{
    for (const VstInt32 close : {effEditClose, effClose})
    {
        CloseOnEndEdit = close;
        const TPoint knob = Screen(InGainCentre);
        AsUser(
            [&](TX11TestDesktop& user)
            {
                user.MoveTo(knob.X, knob.Y);
                user.Press(Button3);
                user.Release(Button3);
                const auto menu = user.WaitForPopup(true);
                user.MoveTo(menu[0] + 20, menu[1] + 3 + 8); // "Centre"
                user.Press(Button1);
                user.Release(Button1);
            });
        EXPECT_EQ(CloseOnEndEdit, 0) << "the host heard no endEdit";
        if (close == effClose)
        {
            EXPECT_EQ(ClosedEffect, Effect);
            Effect = nullptr; // gone: nothing more may reach it
            ClosedEffect = nullptr;
            break;
        }
        // The editor window went when the menu's handler returned; the host opens it again.
        EXPECT_EQ(Parameter(12), 0.5f);
        PumpFor(60);
        ASSERT_EQ(Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(Desktop.HostWindow())), 1);
        PumpFor(100);
        EXPECT_EQ(DifferencesFromHeadless(), 0);
    }
}

TEST_F(X11Editor, CloseAndReopen)
{
    const auto children = [this] { return Desktop.HostChildren().size(); };
    EXPECT_EQ(Dispatch(effEditClose), 0);
    XSync(Desktop.XDisplay(), False);
    EXPECT_TRUE(PumpUntil([&] { return children() == 0; }));
    ERect* rect = nullptr;
    Dispatch(effEditGetRect, 0, 0, &rect);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right, 700);
    EXPECT_EQ(rect->bottom, 300);
    ASSERT_EQ(Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(Desktop.HostWindow())), 1);
    PumpFor(100);
    EXPECT_EQ(children(), 1U);
    EXPECT_EQ(DifferencesFromHeadless(), 0);
}

TEST_F(X11Editor, HostWindowDestroyedFirst)
{
    MoveTo(MidCentre);
    Desktop.Press(Button1);
    ASSERT_TRUE(PumpUntil([&] { return HostSaw(audioMasterBeginEdit); }));
    Desktop.DestroyHostWindow();
    // The drag ends with the window: the host hears endEdit.
    EXPECT_TRUE(PumpUntil([&] { return HostSaw(audioMasterEndEdit); }));
    Desktop.Release(Button1);
    PumpFor(60);
    EXPECT_EQ(Dispatch(effEditClose), 0);
    Dispatch(effClose);
    Effect = nullptr;
}

/// A host that answers only what an effect needs to start; safe on any thread.
VstIntPtr VSTCALL QuietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

TEST(X11EditorThreads, EditorsOpenIdleAndCloseOnTwoThreadsAtOnce)
{
    TX11TestDesktop desktop(700, 300);
    ASSERT_TRUE(desktop.Valid()) << "no X display";
    TTempFolder folder;
    std::filesystem::copy_file(ORVO_MODULE_PATH, folder.Path() / "Orvo.so");
    void* library = dlopen((folder.Path() / "Orvo.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    const auto entry = reinterpret_cast<TEntry>(dlsym(library, "VSTPluginMain"));
    ASSERT_NE(entry, nullptr);
    const auto parent = reinterpret_cast<void*>(desktop.HostWindow());
    std::array<int, 2> opened{};
    // An effect per cycle: each opens a display connection of its own and closes it again.
    RunOnTwoThreads(
        [&](int thread)
        {
            for (int cycle = 0; cycle < EditorCycles; ++cycle)
            {
                AEffect* effect = entry(&QuietHost);
                opened[static_cast<std::size_t>(thread)] +=
                    static_cast<int>(effect->dispatcher(effect, effEditOpen, 0, 0, parent, 0.0f));
                for (int idle = 0; idle < 3; ++idle)
                {
                    effect->dispatcher(effect, effEditIdle, 0, 0, nullptr, 0.0f);
                }
                effect->dispatcher(effect, effEditClose, 0, 0, nullptr, 0.0f);
                effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
            }
        });
    EXPECT_EQ(opened, (std::array<int, 2>{EditorCycles, EditorCycles}));
    dlclose(library);
}

TEST(X11EditorServerDeath, TheHostLivesOnAndTheEditorCountsAsClosed)
{
    TDoomedXServer server;
    ASSERT_TRUE(server.Valid()) << "no Xvfb of the test's own";
    TTempFolder folder;
    std::filesystem::copy_file(ORVO_MODULE_PATH, folder.Path() / "Orvo.so");
    void* library = dlopen((folder.Path() / "Orvo.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    AEffect* effect = reinterpret_cast<TEntry>(dlsym(library, "VSTPluginMain"))(&QuietHost);
    ASSERT_NE(effect, nullptr);
    const auto dispatch = [effect](VstInt32 opcode, void* ptr = nullptr)
    { return effect->dispatcher(effect, opcode, 0, 0, ptr, 0.0f); };
    const auto parent = reinterpret_cast<void*>(server.HostWindow());
    ASSERT_EQ(dispatch(effEditOpen, parent), 1);
    const auto idle = [&] { dispatch(effEditIdle); };
    TX11TestDesktop::PumpFor(idle, 100, IdleInterval);
    server.Kill();
    // The host keeps idling and changing parameters; the editor's refresh has nowhere to go.
    effect->setParameter(effect, prLo, 0.25f);
    TX11TestDesktop::PumpFor(idle, 250, IdleInterval);
    EXPECT_EQ(dispatch(effEditClose), 0);
    EXPECT_EQ(dispatch(effEditOpen, parent), 0); // no window on a server that is gone
    idle();
    dispatch(effEditClose);
    dispatch(effClose);
    dlclose(library);
    // The host's own connection still went to the host's handler.
    EXPECT_GE(server.HostLosses(), 1);
}

TEST(X11EditorWithoutDisplay, OpenAnswersZero)
{
    TTempFolder folder;
    std::filesystem::copy_file(ORVO_MODULE_PATH, folder.Path() / "Orvo.so");
    void* library = dlopen((folder.Path() / "Orvo.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr);
    TestHost host;
    AEffect* effect =
        reinterpret_cast<TEntry>(dlsym(library, "VSTPluginMain"))(&TestHost::Callback);
    ASSERT_NE(effect, nullptr);
    host.Attach(effect);
    const std::string display = std::getenv("DISPLAY") != nullptr ? std::getenv("DISPLAY") : "";
    unsetenv("DISPLAY");
    int parent = 0;
    EXPECT_EQ(effect->dispatcher(effect, effEditOpen, 0, 0, &parent, 0.0f), 0);
    setenv("DISPLAY", display.c_str(), 1);
    effect->dispatcher(effect, effEditIdle, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    dlclose(library);
}

} // namespace
} // namespace orvo::test
