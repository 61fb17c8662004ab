// The X11 window system alone on a real X server (Xvfb), with real input through XTest:
// the child window and its paint, timers pumped by idle, the mouse with modifiers, leave,
// the pointer grab, the hidden and warped pointer, a host window destroyed first, menus,
// the message box and text; the display scale from the resources.
#include <gtest/gtest.h>

#include "platform/x11/TFreeTypeTextRenderer.h"
#include "platform/x11/TX11UIPlatform.h"
#include "platform/x11/uX11Resources.h"
#include "tests/x11/TX11TestDesktop.h"

#include <X11/XKBlib.h>
#include <X11/keysym.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace orvo::test
{
namespace
{

constexpr int HostX = 100; // where TX11TestDesktop puts the host window
constexpr int HostY = 100;
constexpr TRect ChildBounds{10, 20, 210, 120};

struct TRecordedEvent
{
    char Kind; // 'd'own, 'm'ove, 'u'p, 'l'eave
    TUIMouseEvent Mouse;
};

/// Paints a pattern (red rises to the right, green downwards) and records the mouse.
class TRecordingListener : public IUIWindowListener
{
  public:
    IUIWindow* Window = nullptr;
    std::vector<TRecordedEvent> Events;
    std::vector<TRect> Paints;
    bool CaptureOnPress = false;

    void HandlePaint(const TRect& invalid) override
    {
        Paints.push_back(invalid);
        std::vector<std::uint8_t> pixels(200 * 100 * 4);
        for (int y = 0; y < 100; ++y)
        {
            for (int x = 0; x < 200; ++x)
            {
                std::uint8_t* p = &pixels[static_cast<std::size_t>((y * 200 + x) * 4)];
                p[0] = 40;
                p[1] = static_cast<std::uint8_t>(y * 2);
                p[2] = static_cast<std::uint8_t>(x);
                p[3] = 255;
            }
        }
        Window->Present(TPixelView{pixels.data(), 200 * 4, 200, 100}, invalid);
    }
    void HandleMouseDown(const TUIMouseEvent& event) override
    {
        Events.push_back({'d', event});
        if (CaptureOnPress)
        {
            Window->SetMouseCapture(true);
        }
    }
    void HandleMouseMove(const TUIMouseEvent& event) override { Events.push_back({'m', event}); }
    void HandleMouseUp(const TUIMouseEvent& event) override
    {
        Events.push_back({'u', event});
        Window->SetMouseCapture(false);
    }
    void HandleMouseLeave() override { Events.push_back({'l', {}}); }
    void HandleMouseWheel(const TUIWheelEvent& event) override { Wheels.push_back(event); }
    std::vector<TUIWheelEvent> Wheels;

    const TRecordedEvent* Last(char kind) const
    {
        for (auto it = Events.rbegin(); it != Events.rend(); ++it)
        {
            if (it->Kind == kind)
            {
                return &*it;
            }
        }
        return nullptr;
    }
};

class X11UIBackend : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(Desktop.Valid()) << "no X display";
        Platform = TX11UIPlatform::Open();
        ASSERT_NE(Platform, nullptr);
        Child = Platform->CreateChildWindow(Desktop.HostWindow(), ChildBounds, Listener);
        ASSERT_NE(Child, nullptr);
        Listener.Window = Child.get();
        ASSERT_TRUE(PumpUntil([&] { return !Listener.Paints.empty(); }));
        // The server's Expose for the newly mapped window may follow the first paint.
        TX11TestDesktop::PumpFor([&] { Platform->Idle(); }, 50);
    }
    void TearDown() override
    {
        Child.reset();
        Platform.reset();
    }

    bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 3000)
    {
        return TX11TestDesktop::PumpUntil([&] { Platform->Idle(); }, done, timeoutMs);
    }
    /// A client point on the screen.
    static TPoint Screen(int x, int y)
    {
        return TPoint{HostX + ChildBounds.Left + x, HostY + ChildBounds.Top + y};
    }
    void MoveTo(int x, int y)
    {
        const TPoint p = Screen(x, y);
        Desktop.MoveTo(p.X, p.Y);
    }
    std::size_t CountOf(char kind) const
    {
        std::size_t count = 0;
        for (const auto& event : Listener.Events)
        {
            count += event.Kind == kind ? 1 : 0;
        }
        return count;
    }

    TX11TestDesktop Desktop;
    std::unique_ptr<TX11UIPlatform> Platform;
    TRecordingListener Listener;
    std::unique_ptr<IUIWindow> Child;
};

TEST_F(X11UIBackend, ChildOfTheHostWindowShowsThePresentedPixels)
{
    EXPECT_EQ(Listener.Paints.front(), (TRect{0, 0, 200, 100}));
    const auto pixels =
        Desktop.ScreenPixels(HostX + ChildBounds.Left, HostY + ChildBounds.Top, 200, 100);
    ASSERT_EQ(pixels.size(), 200U * 100U);
    for (const auto& [x, y] :
         std::vector<std::pair<int, int>>{{0, 0}, {199, 0}, {57, 33}, {199, 99}})
    {
        const auto expected =
            (static_cast<std::uint32_t>(x) << 16) | (static_cast<std::uint32_t>(y * 2) << 8) | 40U;
        EXPECT_EQ(pixels[static_cast<std::size_t>(y * 200 + x)], expected) << x << ", " << y;
    }
    // Invalidating paints that rectangle again, from the idle loop.
    Listener.Paints.clear();
    Child->Invalidate(TRect{5, 6, 20, 30});
    ASSERT_TRUE(PumpUntil([&] { return !Listener.Paints.empty(); }));
    EXPECT_EQ(Listener.Paints.front(), (TRect{5, 6, 20, 30}));
    EXPECT_EQ(Child->ClientToScreen(TPoint{3, 4}), Screen(3, 4));
}

TEST_F(X11UIBackend, TimersFireFromIdleOnTheirPeriods)
{
    // Judged against the idle calls the host really made, not the wall clock, so that a
    // busy machine (idles late or missed) cannot fail it: each tick comes from the first
    // idle call at or after its due time, and a period no idle call fell in is dropped.
    using TClock = std::chrono::steady_clock;
    std::vector<TClock::time_point> idles; // when each idle call began
    std::vector<std::size_t> tickIdles;    // the idle call each tick came from
    auto timer = Platform->CreateTimer([&] { tickIdles.push_back(idles.size() - 1); });
    const TClock::time_point start = TClock::now();
    ASSERT_TRUE(timer->Start(50));
    const TClock::time_point started = TClock::now();
    const auto idle = [&]
    {
        idles.push_back(TClock::now());
        Platform->Idle();
    };
    TX11TestDesktop::PumpFor(idle, 530, 20);
    timer->Stop();
    const std::size_t idlesWhileRunning = idles.size();
    TX11TestDesktop::PumpFor(idle, 80, 20);

    // The idle calls that should tick: those with a due time since the previous call. The
    // timer's own start lies between start and started, so a due time that close to a call
    // may fall either side of it.
    const auto dueAfter = [](TClock::time_point origin, TClock::time_point at)
    { return static_cast<long>((at - origin) / std::chrono::milliseconds(50)); };
    std::vector<std::size_t> expected;
    std::vector<std::size_t> either;
    for (std::size_t k = 0; k < idlesWhileRunning; ++k)
    {
        const TClock::time_point before = k == 0 ? start : idles[k - 1];
        const bool surely = dueAfter(started, idles[k]) > dueAfter(start, before);
        const bool maybe = dueAfter(start, idles[k]) > dueAfter(started, before);
        if (surely)
        {
            expected.push_back(k);
        }
        else if (maybe)
        {
            either.push_back(k);
        }
    }
    for (const std::size_t k : expected)
    {
        EXPECT_NE(std::find(tickIdles.begin(), tickIdles.end(), k), tickIdles.end())
            << "no tick at idle " << k;
    }
    for (const std::size_t k : tickIdles)
    {
        EXPECT_LT(k, idlesWhileRunning) << "a tick after Stop";
        EXPECT_TRUE(std::count(expected.begin(), expected.end(), k) == 1 ||
                    std::count(either.begin(), either.end(), k) == 1)
            << "a tick at idle " << k << ", when none was due";
        EXPECT_EQ(std::count(tickIdles.begin(), tickIdles.end(), k), 1) << "idle " << k;
    }
    EXPECT_GE(tickIdles.size(), expected.size());
    EXPECT_GE(expected.size(), 1U);
}

TEST_F(X11UIBackend, ReportsButtonsWithShiftAndCtrl)
{
    struct TCase
    {
        unsigned int XButton;
        unsigned long Key; // 0: none
        TMouseButton Button;
        TShiftState Modifier;
    };
    for (const TCase& c :
         {TCase{Button1, XK_Shift_L, mbLeft, ssShift},
          TCase{Button3, XK_Control_L, mbRight, ssCtrl}, TCase{Button2, 0, mbMiddle, ssNone}})
    {
        Listener.Events.clear();
        MoveTo(30, 40);
        if (c.Key != 0)
        {
            Desktop.KeyDown(c.Key);
        }
        Desktop.Press(c.XButton);
        Desktop.Release(c.XButton);
        if (c.Key != 0)
        {
            Desktop.KeyUp(c.Key);
        }
        ASSERT_TRUE(PumpUntil([&] { return Listener.Last('u') != nullptr; }));
        const TRecordedEvent* down = Listener.Last('d');
        const TRecordedEvent* up = Listener.Last('u');
        ASSERT_NE(down, nullptr);
        EXPECT_EQ(down->Mouse.Button, c.Button);
        EXPECT_EQ(down->Mouse.Position, (TPoint{30, 40}));
        EXPECT_EQ(down->Mouse.Shift, c.Modifier | ButtonShift(c.Button));
        EXPECT_EQ(up->Mouse.Button, c.Button);
        EXPECT_EQ(up->Mouse.Shift, c.Modifier); // the released button is no longer held
    }
}

TEST_F(X11UIBackend, ReportsWheelNotchesNotButtons)
{
    MoveTo(30, 40);
    Desktop.KeyDown(XK_Shift_L);
    Desktop.Press(Button4);
    Desktop.Release(Button4);
    Desktop.KeyUp(XK_Shift_L);
    Desktop.Press(Button5);
    Desktop.Release(Button5);
    ASSERT_TRUE(PumpUntil([&] { return Listener.Wheels.size() == 2; }));
    EXPECT_EQ(Listener.Wheels[0].Notches, 1);
    EXPECT_EQ(Listener.Wheels[0].Shift, ssShift);
    EXPECT_EQ(Listener.Wheels[0].Position, (TPoint{30, 40}));
    EXPECT_EQ(Listener.Wheels[1].Notches, -1);
    EXPECT_EQ(Listener.Last('d'), nullptr);
}

TEST(X11Resources, XftDpiIsReadFromTheResourceLines)
{
    EXPECT_EQ(x11::XftDpi("Xft.antialias:\t1\nXft.dpi:\t192\nXft.hinting:\t1\n"), 192.0);
    EXPECT_EQ(x11::XftDpi("  Xft.dpi :  144.5\r\n"), 144.5);
    EXPECT_EQ(x11::XftDpi("Xft.dpi:\t96"), 96.0); // the last line without its newline
    EXPECT_EQ(x11::XftDpi("Xft.dpix:\t192\n*dpi:\t192\n"), std::nullopt);
    EXPECT_EQ(x11::XftDpi("Xft.dpi:\tlarge\n"), std::nullopt);
    EXPECT_EQ(x11::XftDpi("Xft.dpi:\t0\n"), std::nullopt);
    EXPECT_EQ(x11::XftDpi(""), std::nullopt);
}

TEST_F(X11UIBackend, ReportsLeaveUnlessCaptured)
{
    MoveTo(50, 50);
    ASSERT_TRUE(PumpUntil([&] { return Listener.Last('m') != nullptr; }));
    MoveTo(300, 50);
    ASSERT_TRUE(PumpUntil([&] { return Listener.Last('l') != nullptr; }));

    // Captured on the press: moves outside still arrive, and no leave until the release.
    Listener.CaptureOnPress = true;
    Listener.Events.clear();
    MoveTo(50, 50);
    Desktop.Press(Button1);
    ASSERT_TRUE(PumpUntil([&] { return Listener.Last('d') != nullptr; }));
    MoveTo(260, 150);
    ASSERT_TRUE(PumpUntil(
        [&]
        {
            const TRecordedEvent* move = Listener.Last('m');
            return move != nullptr && move->Mouse.Position == TPoint{260, 150};
        }));
    EXPECT_EQ(CountOf('l'), 0U);
    Desktop.Release(Button1);
    ASSERT_TRUE(PumpUntil([&] { return Listener.Last('u') != nullptr; }));
    EXPECT_EQ(Listener.Last('u')->Mouse.Position, (TPoint{260, 150}));
}

TEST_F(X11UIBackend, HiddenPointerIsWarpedWhereTheProgramPutsIt)
{
    Platform->HidePointer();
    Platform->MovePointer(Screen(70, 20));
    int x = 0;
    int y = 0;
    Desktop.PointerAt(x, y);
    EXPECT_EQ((TPoint{x, y}), Screen(70, 20));
    EXPECT_EQ(Platform->PointerPosition(), Screen(70, 20));
    EXPECT_TRUE(Platform->PointerHidden());
    Platform->ShowPointer();
    EXPECT_FALSE(Platform->PointerHidden());
}

TEST_F(X11UIBackend, HostWindowDestroyedMidDragEndsTheGrab)
{
    Listener.CaptureOnPress = true;
    MoveTo(50, 50);
    Desktop.Press(Button1);
    ASSERT_TRUE(PumpUntil([&] { return Listener.Last('d') != nullptr; }));
    Desktop.DestroyHostWindow();
    ASSERT_TRUE(PumpUntil([&] { return Listener.Last('u') != nullptr; }));
    EXPECT_FALSE(Listener.Last('u')->Mouse.Position.X >= 0);
    Desktop.Release(Button1);
    // Drawing into and destroying the dead window is harmless.
    Child->Invalidate(TRect{0, 0, 10, 10});
    TX11TestDesktop::PumpFor([&] { Platform->Idle(); }, 30);
    Child.reset();
    Platform->Idle();
}

TEST_F(X11UIBackend, MenusWithSubmenusReturnTheChosenCommand)
{
    const TUIMenu menu{{TUIMenuEntry{"Centre", 7}, TUIMenuEntry{"-"},
                        TUIMenuEntry{"MIDI", 0, true, false, {{"Learn", 11}, {"Report", 12}}}}};
    const TPoint at = Screen(40, 30);
    struct TCase
    {
        const char* Name;
        std::function<void(TX11TestDesktop&)> User; // runs on its own connection
        std::int32_t Expected;
    };
    const auto click = [](TX11TestDesktop& user, int x, int y)
    {
        user.MoveTo(x, y);
        user.Press(Button1);
        user.Release(Button1);
    };
    const std::vector<TCase> cases{
        {"first item",
         [&](TX11TestDesktop& user)
         {
             const auto r = user.WaitForPopup(true);
             click(user, r[0] + 20, r[1] + 3 + 8);
         },
         7},
        {"submenu item",
         [&](TX11TestDesktop& user)
         {
             Window first = 0;
             const auto r = user.WaitForPopup(true, {}, &first);
             user.MoveTo(r[0] + 20, r[1] + 3 + 17 + 8 + 8); // onto "MIDI": the submenu opens
             const auto sub = user.WaitForPopup(true, {first});
             EXPECT_EQ(sub[0], r[0] + r[2] - 3);
             click(user, sub[0] + 20, sub[1] + 3 + 17 + 8); // "Report"
         },
         12},
        {"press outside",
         [&](TX11TestDesktop& user)
         {
             user.WaitForPopup(true);
             click(user, 5, 5);
         },
         0},
    };
    for (const TCase& c : cases)
    {
        std::thread user(
            [&]
            {
                TX11TestDesktop desktop(10, 10);
                c.User(desktop);
            });
        const std::int32_t chosen = Platform->PopupMenu(Child.get(), menu, at);
        user.join();
        EXPECT_EQ(chosen, c.Expected) << c.Name;
    }
}

TEST_F(X11UIBackend, AnOpenMenuGoesUnansweredWithItsOwnerAndReleasesItsGrab)
{
    bool answered = false;
    Platform->ShowPopupMenu(Child.get(), TUIMenu{{TUIMenuEntry{"Centre", 7}}}, Screen(40, 30),
                            [&](std::int32_t) { answered = true; });
    Platform->Idle();
    EXPECT_TRUE(Platform->PopupOpen());
    Display* host = Desktop.XDisplay();
    const auto grabPointer = [&]
    {
        const int status = XGrabPointer(host, Desktop.HostWindow(), False, ButtonPressMask,
                                        GrabModeAsync, GrabModeAsync, 0, 0, CurrentTime);
        XUngrabPointer(host, CurrentTime);
        XSync(host, False);
        return status;
    };
    EXPECT_EQ(grabPointer(), AlreadyGrabbed);
    Child.reset();
    EXPECT_FALSE(Platform->PopupOpen());
    Platform->Idle();
    EXPECT_FALSE(answered);
    EXPECT_EQ(grabPointer(), GrabSuccess);
}

TEST_F(X11UIBackend, MessageBoxStaysOpenAcrossIdleCallsWithTheTimersRunningUntilOk)
{
    std::atomic<int> ticks{0};
    auto timer = Platform->CreateTimer([&] { ++ticks; });
    timer->Start(10);
    std::thread user(
        [&ticks, host = Desktop.HostWindow()]
        {
            TX11TestDesktop desktop(10, 10);
            const auto r = desktop.WaitForPopup(false, {host});
            // The editor's timers keep running while the box waits.
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
            while (ticks < 3 && std::chrono::steady_clock::now() < deadline)
            {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            // OK: 75 x 23, centred, 12 pixels above the bottom edge.
            desktop.MoveTo(r[0] + r[2] / 2, r[1] + r[3] - 12 - 11);
            desktop.Press(Button1);
            desktop.Release(Button1);
        });
    Platform->ShowMessage(Child.get(), "Orvo", "CC 20 -> Lo\nCC 21 -> LoMid");
    EXPECT_TRUE(Platform->PopupOpen());
    EXPECT_TRUE(PumpUntil([&] { return !Platform->PopupOpen(); }));
    user.join();
    EXPECT_GE(ticks, 3);
}

TEST(FreeTypeText, DrawsTheEmbeddedFaceWithItsMetrics)
{
    TFreeTypeTextRenderer text;
    EXPECT_EQ(text.Sizes(), (std::vector<std::int32_t>{11, 13, 16}));
    // 'A' is 7 pixels wide and 'g' 6 in the 11-pixel face; lines are 13 pixels.
    EXPECT_EQ(text.MeasureText(TUIFont{}, "Ag", TTextFormat{}, 0), (TSize{13, 13}));
    EXPECT_EQ(text.MeasureText(TUIFont{}, "A\nA", TTextFormat{}, 0), (TSize{7, 26}));
    EXPECT_EQ(text.MeasureText(TUIFont{}, "&A", TTextFormat{}, 0).Width, 7);
    std::vector<std::uint8_t> pixels(8 * 13 * 4, 0);
    const TPixelView view{pixels.data(), 8 * 4, 8, 13};
    text.DrawText(view, TRect{0, 0, 8, 13}, TRect{0, 0, 8, 13}, "A", TUIFont{},
                  MakeColor(255, 0, 0), TTextFormat{});
    const char* const expected[] = {".......", ".......", "...#...", "...#...", "..#.#..",
                                    "..#.#..", ".#...#.", ".#####.", "#.....#", "#.....#",
                                    "#.....#", ".......", "......."};
    for (int y = 0; y < 13; ++y)
    {
        std::string row;
        for (int x = 0; x < 7; ++x)
        {
            const std::uint8_t* p = view.Pixel(x, y);
            row += p[2] == 255 && p[3] == 255 ? '#' : '.';
        }
        EXPECT_EQ(row, expected[y]) << y;
    }
}

TEST(X11UIPlatformOpen, GivesUpOnALocalServerThatNeverAnswers)
{
    // A socket where display :N's server would listen, that takes connections and never
    // says a word; N is one no test server uses.
    const std::string number = std::to_string(60000 + getpid() % 5000);
    const std::string path = "/tmp/.X11-unix/X" + number;
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path + 1, path.data(), path.size()); // an abstract name
    ASSERT_EQ(bind(listener, reinterpret_cast<const sockaddr*>(&address),
                   static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + path.size())),
              0);
    ASSERT_EQ(listen(listener, 4), 0);
    const std::string display = std::getenv("DISPLAY");
    setenv("DISPLAY", (":" + number).c_str(), 1);
    const auto platform = TX11UIPlatform::Open();
    setenv("DISPLAY", display.c_str(), 1);
    close(listener);
    EXPECT_EQ(platform, nullptr);
}

TEST(X11UIPlatformOpen, RefusesAParentThatIsNoWindow)
{
    auto platform = TX11UIPlatform::Open();
    ASSERT_NE(platform, nullptr);
    TRecordingListener listener;
    EXPECT_EQ(platform->CreateChildWindow(0x7ffffff0, ChildBounds, listener), nullptr);
}

} // namespace
} // namespace orvo::test
