// The Win32 window system of the editor on a real desktop (wine on an Xvfb display): the
// child window and its one-blit paint, timers, mouse input with capture and leave, the
// pointer, menus, the message box, GDI text, and what happens when the host's window goes
// first. Prints "N passed, N failed".
#include "platform/win32ui/TWin32UIPlatform.h"
#include "platform/win32ui/TWin32UIWindow.h"
#include "tests/windows-editor/uWineDesktop.h"
#include "tests/windows/uChecks.h"

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace
{
using namespace orvo;
using namespace orvo::wine;

constexpr TRect ChildBounds = TRect::FromBounds(20, 30, 240, 160);

struct TRecorder : IUIWindowListener
{
    std::vector<TRect> Paints;
    std::vector<TUIMouseEvent> Downs, Moves, Ups;
    int Leaves = 0;
    std::function<void(const TRect&)> OnPaint;
    std::function<void(const TUIMouseEvent&)> OnDown;
    std::function<void(const TUIMouseEvent&)> OnUp;

    void HandlePaint(const TRect& invalid) override
    {
        Paints.push_back(invalid);
        if (OnPaint)
        {
            OnPaint(invalid);
        }
    }
    void HandleMouseDown(const TUIMouseEvent& event) override
    {
        Downs.push_back(event);
        if (OnDown)
        {
            OnDown(event);
        }
    }
    void HandleMouseMove(const TUIMouseEvent& event) override { Moves.push_back(event); }
    void HandleMouseUp(const TUIMouseEvent& event) override
    {
        Ups.push_back(event);
        if (OnUp)
        {
            OnUp(event);
        }
    }
    void HandleMouseLeave() override { ++Leaves; }
    void HandleMouseWheel(const TUIWheelEvent& event) override { Wheels.push_back(event); }
    std::vector<TUIWheelEvent> Wheels;
    void Clear()
    {
        Paints.clear();
        Downs.clear();
        Moves.clear();
        Ups.clear();
        Leaves = 0;
    }
};

// An image stored bottom-up like the toolkit's, viewed top-down through a negative stride.
struct TPattern
{
    std::int32_t Width, Height;
    std::vector<std::uint8_t> Bytes;
    TPattern(std::int32_t width, std::int32_t height, int seed)
        : Width(width), Height(height), Bytes(static_cast<std::size_t>(width) * height * 4)
    {
        for (std::int32_t y = 0; y < height; ++y)
        {
            for (std::int32_t x = 0; x < width; ++x)
            {
                std::uint8_t* p = View().Pixel(x, y);
                p[0] = static_cast<std::uint8_t>(x * 3 + seed);
                p[1] = static_cast<std::uint8_t>(y * 5 + seed * 7);
                p[2] = static_cast<std::uint8_t>(x + y * 2 + seed * 13);
                p[3] = static_cast<std::uint8_t>(x ^ y); // the mask byte must not matter
            }
        }
    }
    TPixelView View()
    {
        const std::ptrdiff_t row = static_cast<std::ptrdiff_t>(Width) * 4;
        return TPixelView{Bytes.data() + (Height - 1) * row, -row, Width, Height};
    }
    TPixelView TopDownView()
    {
        return TPixelView{Bytes.data(), static_cast<std::ptrdiff_t>(Width) * 4, Width, Height};
    }
};

bool ScreenShows(const std::vector<std::uint8_t>& screen, int width, TPixelView image,
                 const TRect& area)
{
    for (std::int32_t y = area.Top; y < area.Bottom; ++y)
    {
        for (std::int32_t x = area.Left; x < area.Right; ++x)
        {
            const std::uint8_t* s = screen.data() + (static_cast<std::size_t>(y) * width + x) * 4;
            const std::uint8_t* p = image.Pixel(x, y);
            if (s[0] != p[0] || s[1] != p[1] || s[2] != p[2])
            {
                std::printf("  first difference at %d, %d\n", x, y);
                return false;
            }
        }
    }
    return true;
}

HWND MakeTopLevel()
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    windowClass.lpszClassName = L"OrvoBackendTestHost";
    RegisterClassW(&windowClass);
    RECT frame{0, 0, 400, 300};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    HWND window = CreateWindowW(L"OrvoBackendTestHost", L"backend test", WS_OVERLAPPEDWINDOW, 60,
                                60, frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    PumpFor(300);
    return window;
}

POINT ScreenOf(const IUIWindow& window, std::int32_t x, std::int32_t y)
{
    const TPoint p = window.ClientToScreen(TPoint{x, y});
    return POINT{p.X, p.Y};
}

void TestChildWindow(TWin32UIPlatform& platform, HWND host)
{
    TChecks::Instance().Group("a borderless child of the host's window");
    TRecorder recorder;
    auto window =
        platform.CreateChildWindow(reinterpret_cast<std::uintptr_t>(host), ChildBounds, recorder);
    CHECK(window != nullptr);
    if (!window)
    {
        return;
    }
    HWND child = reinterpret_cast<HWND>(window->NativeHandle());
    CHECK(GetParent(child) == host);
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    CHECK((style & WS_CHILD) != 0);
    CHECK((style & WS_VISIBLE) != 0);
    CHECK((style & (WS_BORDER | WS_CAPTION | WS_THICKFRAME)) == 0);
    RECT client{};
    GetClientRect(child, &client);
    CHECK_EQ(client.right, 240L);
    CHECK_EQ(client.bottom, 160L);
    POINT origin{0, 0};
    MapWindowPoints(child, host, &origin, 1);
    CHECK_EQ(origin.x, 20L);
    CHECK_EQ(origin.y, 30L);
    CHECK(window->Bounds() == ChildBounds);

    window->SetBounds(TRect::FromBounds(5, 6, 100, 50));
    GetClientRect(child, &client);
    CHECK_EQ(client.right, 100L);
    CHECK(window->Bounds() == TRect::FromBounds(5, 6, 100, 50));

    TChecks::Instance().Group("no window for a parent that is not a window");
    HWND gone =
        CreateWindowW(L"STATIC", L"", WS_CHILD, 0, 0, 1, 1, host, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    CHECK(platform.CreateChildWindow(reinterpret_cast<std::uintptr_t>(gone), ChildBounds,
                                     recorder) == nullptr);
}

void TestPainting(TWin32UIPlatform& platform, HWND host)
{
    TChecks::Instance().Group("paint: the invalid rectangle, presented in one blit");
    TRecorder recorder;
    TPattern pattern(ChildBounds.Width(), ChildBounds.Height(), 1);
    IUIWindow* self = nullptr;
    recorder.OnPaint = [&](const TRect& invalid) { self->Present(pattern.View(), invalid); };
    auto window =
        platform.CreateChildWindow(reinterpret_cast<std::uintptr_t>(host), ChildBounds, recorder);
    self = window.get();
    CHECK(PumpUntil([&] { return !recorder.Paints.empty(); }, 2000));
    PumpFor(100);
    const TRect client{0, 0, ChildBounds.Width(), ChildBounds.Height()};
    CHECK(!recorder.Paints.empty() && recorder.Paints.front() == client);
    int width = 0;
    int height = 0;
    HWND child = reinterpret_cast<HWND>(window->NativeHandle());
    std::vector<std::uint8_t> screen = CaptureClient(child, width, height);
    CHECK_EQ(width, ChildBounds.Width());
    CHECK(ScreenShows(screen, width, pattern.View(), client));

    // Outside WM_PAINT, from a top-down image: only the given rectangle changes.
    TPattern other(ChildBounds.Width(), ChildBounds.Height(), 9);
    const TRect part = TRect::FromBounds(30, 40, 70, 25);
    window->Present(other.TopDownView(), part);
    screen = CaptureClient(child, width, height);
    CHECK(ScreenShows(screen, width, other.TopDownView(), part));
    CHECK(ScreenShows(screen, width, pattern.View(), TRect{0, 0, width, part.Top}));
    CHECK(ScreenShows(screen, width, pattern.View(), TRect{0, part.Bottom, width, height}));

    recorder.Clear();
    const TRect dirty = TRect::FromBounds(100, 10, 20, 30);
    window->Invalidate(dirty);
    CHECK(PumpUntil([&] { return !recorder.Paints.empty(); }, 1000));
    CHECK(!recorder.Paints.empty() && recorder.Paints.back().Intersection(dirty) == dirty);
    screen = CaptureClient(child, width, height);
    CHECK(ScreenShows(screen, width, pattern.View(), dirty));
}

void TestTimers(TWin32UIPlatform& platform)
{
    TChecks::Instance().Group("timers tick on this thread until stopped");
    const DWORD thread = GetCurrentThreadId();
    int fast = 0;
    int slow = 0;
    bool otherThread = false;
    auto fastTimer = platform.CreateTimer(
        [&]
        {
            ++fast;
            otherThread |= GetCurrentThreadId() != thread;
        });
    auto slowTimer = platform.CreateTimer([&] { ++slow; });
    CHECK(fastTimer->Start(20));
    CHECK(slowTimer->Start(100));
    PumpFor(500);
    CHECK(fast >= 8 && fast <= 26);
    CHECK(slow >= 3 && slow <= 6);
    CHECK(!otherThread);
    fastTimer->Stop();
    const int stoppedAt = fast;
    PumpFor(150);
    CHECK_EQ(fast, stoppedAt);

    TChecks::Instance().Group("a timer stopped, restarted or destroyed by its own tick");
    int ticks = 0;
    std::unique_ptr<IUITimer> self;
    self = platform.CreateTimer(
        [&]
        {
            if (++ticks == 2)
            {
                self.reset(); // destroyed while its handler runs
            }
        });
    self->Start(15);
    PumpFor(200);
    CHECK_EQ(ticks, 2);

    int restarts = 0;
    std::unique_ptr<IUITimer> hold;
    hold = platform.CreateTimer(
        [&]
        {
            ++restarts;
            hold->Start(30); // a hold timer switching to its next period
        });
    hold->Start(60);
    PumpFor(300);
    CHECK(restarts >= 4 && restarts <= 10);
    hold->Stop();
}

void TestMouse(TWin32UIPlatform& platform, HWND host)
{
    TChecks::Instance().Group("mouse input: moves, presses with modifiers, leave");
    TRecorder recorder;
    auto window =
        platform.CreateChildWindow(reinterpret_cast<std::uintptr_t>(host), ChildBounds, recorder);
    PumpFor(100);
    CHECK(MovePointerTo(ScreenOf(*window, 50, 60)));
    CHECK(!recorder.Moves.empty() && recorder.Moves.back().Position == (TPoint{50, 60}));
    SendKey(VK_SHIFT, true);
    SendButton(VK_LBUTTON, true);
    SendPointerMove(ScreenOf(*window, 52, 58));
    PumpFor(50);
    SendButton(VK_LBUTTON, false);
    SendKey(VK_SHIFT, false);
    CHECK(!recorder.Moves.empty() && recorder.Moves.back().Position == (TPoint{52, 58}) &&
          HasShift(recorder.Moves.back().Shift, ssShift | ssLeft));
    CHECK_EQ(recorder.Downs.size(), std::size_t{1});
    CHECK_EQ(recorder.Ups.size(), std::size_t{1});
    if (recorder.Downs.size() == 1 && recorder.Ups.size() == 1)
    {
        CHECK(recorder.Downs[0].Button == mbLeft);
        CHECK(recorder.Downs[0].Position == (TPoint{50, 60}));
        CHECK(recorder.Ups[0].Position == (TPoint{52, 58}));
        CHECK(HasShift(recorder.Downs[0].Shift, ssShift | ssLeft));
        CHECK(!HasShift(recorder.Downs[0].Shift, ssCtrl));
        CHECK(!HasShift(recorder.Ups[0].Shift, ssLeft));
    }
    SendKey(VK_CONTROL, true);
    SendButton(VK_RBUTTON, true);
    SendButton(VK_RBUTTON, false);
    SendKey(VK_CONTROL, false);
    CHECK(recorder.Downs.size() == 2 && recorder.Downs[1].Button == mbRight &&
          HasShift(recorder.Downs[1].Shift, ssCtrl | ssRight));
    CHECK_EQ(recorder.Leaves, 0);
    CHECK(MovePointerTo(ScreenOf(*window, 300, 60))); // outside, over the host
    CHECK(PumpUntil([&] { return recorder.Leaves == 1; }, 1000));

    TChecks::Instance().Group("capture: a press keeps the mouse outside the window");
    recorder.Clear();
    recorder.OnDown = [&](const TUIMouseEvent&) { window->SetMouseCapture(true); };
    recorder.OnUp = [&](const TUIMouseEvent&) { window->SetMouseCapture(false); };
    CHECK(MovePointerTo(ScreenOf(*window, 100, 100)));
    SendButton(VK_LBUTTON, true);
    CHECK(MovePointerTo(ScreenOf(*window, -30, 250)));
    CHECK(!recorder.Moves.empty() && recorder.Moves.back().Position == (TPoint{-30, 250}));
    CHECK_EQ(recorder.Leaves, 0);
    SendButton(VK_LBUTTON, false);
    CHECK(recorder.Ups.size() == 1 && recorder.Ups[0].Position == (TPoint{-30, 250}));
    CHECK(GetCapture() == nullptr);

    TChecks::Instance().Group("capture taken away mid-press: the press ends outside");
    recorder.Clear();
    CHECK(MovePointerTo(ScreenOf(*window, 100, 100)));
    SendButton(VK_LBUTTON, true);
    SetCapture(host);
    const TRect client{0, 0, ChildBounds.Width(), ChildBounds.Height()};
    CHECK(recorder.Ups.size() == 1 && recorder.Ups[0].Button == mbLeft &&
          !client.Contains(recorder.Ups[0].Position));
    ReleaseCapture();
    SendButton(VK_LBUTTON, false);
    recorder.OnDown = nullptr;
    recorder.OnUp = nullptr;
}

void TestPointer(TWin32UIPlatform& platform)
{
    TChecks::Instance().Group("pointer: read, move, hide and show nested");
    platform.MovePointer(TPoint{333, 222});
    CHECK(platform.PointerPosition() == (TPoint{333, 222}));
    auto showing = []
    {
        CURSORINFO info{};
        info.cbSize = sizeof info;
        return GetCursorInfo(&info) && (info.flags & CURSOR_SHOWING) != 0;
    };
    CHECK(showing());
    platform.HidePointer();
    platform.HidePointer();
    CHECK(!showing());
    platform.ShowPointer();
    CHECK(!showing());
    platform.ShowPointer();
    CHECK(showing());
}

void TestMenus(TWin32UIPlatform& platform, HWND host)
{
    TChecks::Instance().Group("pop-up menu with a submenu returns the command chosen");
    TRecorder recorder;
    auto window =
        platform.CreateChildWindow(reinterpret_cast<std::uintptr_t>(host), ChildBounds, recorder);
    PumpFor(100);
    TUIMenu menu;
    menu.Items.push_back(TUIMenuEntry{"Centre", 7});
    menu.Items.push_back(TUIMenuEntry{"-", 0});
    TUIMenuEntry midi{"MIDI", 0};
    midi.Items.push_back(TUIMenuEntry{"MIDI Learn", -3});
    midi.Items.push_back(TUIMenuEntry{"Show MIDI CC Config", 12});
    menu.Items.push_back(midi);

    std::thread keys = AnswerMenu(host, {VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN});
    CHECK_EQ(platform.PopupMenu(window.get(), menu, window->ClientToScreen(TPoint{10, 10})), 12);
    keys.join();

    keys = AnswerMenu(host, {VK_DOWN, VK_DOWN, VK_RIGHT, VK_RETURN});
    CHECK_EQ(platform.PopupMenu(window.get(), menu, window->ClientToScreen(TPoint{10, 10})), -3);
    keys.join();

    keys = AnswerMenu(host, {VK_ESCAPE});
    CHECK_EQ(platform.PopupMenu(window.get(), menu, window->ClientToScreen(TPoint{10, 10})), 0);
    keys.join();

    menu.Items[0].Enabled = false;
    keys = AnswerMenu(host, {VK_DOWN, VK_RETURN, VK_ESCAPE, VK_ESCAPE});
    const std::int32_t chosen =
        platform.PopupMenu(window.get(), menu, window->ClientToScreen(TPoint{10, 10}));
    CHECK(chosen != 7);
    keys.join();

    CHECK_EQ(platform.PopupMenu(nullptr, menu, TPoint{10, 10}), 0);
}

struct TSeen
{
    int Buttons = 0;
    bool Text = false;
};

BOOL CALLBACK NoteDialogChild(HWND child, LPARAM data)
{
    auto& seen = *reinterpret_cast<TSeen*>(data);
    wchar_t className[32]{};
    wchar_t text[128]{};
    GetClassNameW(child, className, 32);
    GetWindowTextW(child, text, 128);
    if (lstrcmpiW(className, L"Button") == 0 && IsWindowVisible(child))
    {
        ++seen.Buttons;
    }
    seen.Text |= std::wstring(text).find(L"CC 20 -> Lo") != std::wstring::npos;
    return TRUE;
}

void TestMessageBox(TWin32UIPlatform& platform, HWND host)
{
    TChecks::Instance().Group("message box: caption, text and one OK button");
    TRecorder recorder;
    auto window =
        platform.CreateChildWindow(reinterpret_cast<std::uintptr_t>(host), ChildBounds, recorder);
    std::atomic<bool> found{false};
    std::atomic<int> buttons{0};
    std::atomic<bool> textSeen{false};
    std::atomic<bool> ownedByHost{false};
    std::thread answer(
        [&]
        {
            HWND box = nullptr;
            for (int wait = 0; wait < 300 && box == nullptr; ++wait)
            {
                box = FindWindowW(L"#32770", L"Orvo test");
                Sleep(10);
            }
            if (box == nullptr)
            {
                return;
            }
            found = true;
            ownedByHost = GetWindow(box, GW_OWNER) == host;
            TSeen seen;
            EnumChildWindows(box, &NoteDialogChild, reinterpret_cast<LPARAM>(&seen));
            buttons = seen.Buttons;
            textSeen = seen.Text;
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        });
    platform.ShowMessage(window.get(), "Orvo test", "CC 20 -> Lo\r\nCC 21 -> LoMid");
    answer.join();
    CHECK(found.load());
    CHECK(textSeen.load());
    CHECK_EQ(buttons.load(), 1);
    CHECK(ownedByHost.load());
}

void TestText(TWin32UIPlatform& platform)
{
    TChecks::Instance().Group("GDI text into the off-screen image");
    IUITextRenderer& text = platform.TextRenderer();
    const TUIFont font; // "MS Sans Serif", 11 pixels
    const TTextFormat format;
    const TSize size = text.MeasureText(font, "12.00 dB", format, 0);
    CHECK(size.Width > 20 && size.Width < 80);
    CHECK(size.Height >= 11 && size.Height <= 16);
    CHECK(text.MeasureText(font, "", format, 0) == TSize{});
    TTextFormat wrapped = format;
    wrapped.WordWrap = true;
    CHECK(text.MeasureText(font, "one two three four", wrapped, 40).Height >= 2 * size.Height);
    TTextFormat plain = format;
    plain.ShowAccelChar = false;
    CHECK(text.MeasureText(font, "&Lo", plain, 0).Width >
          text.MeasureText(font, "&Lo", format, 0).Width);

    constexpr std::int32_t W = 120;
    constexpr std::int32_t H = 20;
    std::vector<std::uint8_t> pixels(W * H * 4);
    for (std::size_t i = 0; i < pixels.size(); i += 4)
    {
        pixels[i] = 10;
        pixels[i + 1] = 20;
        pixels[i + 2] = 30;
        pixels[i + 3] = 0;
    }
    const TPixelView view{pixels.data() + (H - 1) * W * 4, -W * 4, W, H};
    const TUIColor colour = MakeColor(220, 218, 154);
    const TRect clip = TRect::FromBounds(0, 0, 90, H);
    TTextFormat centred = format;
    centred.Alignment = taCenter;
    text.DrawText(view, clip, TRect{0, 0, W, H}, "WWWWWWWWWWWWWWWWWWWWWWWW", font, colour, centred);
    bool outsideClipTouched = false;
    bool onlyTwoValues = true;
    int inked = 0;
    for (std::int32_t y = 0; y < H; ++y)
    {
        for (std::int32_t x = 0; x < W; ++x)
        {
            const std::uint8_t* p = view.Pixel(x, y);
            const bool background = p[0] == 10 && p[1] == 20 && p[2] == 30 && p[3] == 0;
            const bool ink = p[0] == 154 && p[1] == 218 && p[2] == 220 && p[3] == 255;
            onlyTwoValues &= background || ink;
            inked += ink ? 1 : 0;
            outsideClipTouched |= !clip.Contains(TPoint{x, y}) && !background;
        }
    }
    CHECK(inked > 50);
    CHECK(onlyTwoValues);
    CHECK(!outsideClipTouched);

    // Centred: a short text's ink is balanced about the box's middle.
    std::fill(pixels.begin(), pixels.end(), std::uint8_t{0});
    text.DrawText(view, TRect{0, 0, W, H}, TRect{0, 0, W, H}, "HIH", font, colour, centred);
    std::int32_t left = W;
    std::int32_t right = -1;
    for (std::int32_t y = 0; y < H; ++y)
    {
        for (std::int32_t x = 0; x < W; ++x)
        {
            if (view.Pixel(x, y)[3] == 255)
            {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    CHECK(right > left && std::abs((left + right + 1) - W) <= 3);
}

void TestHostWindowGoesFirst(HWND host)
{
    TChecks::Instance().Group("the host destroys its window before the editor's");
    auto platform = std::make_unique<TWin32UIPlatform>();
    TRecorder recorder;
    TPattern pattern(ChildBounds.Width(), ChildBounds.Height(), 3);
    HWND parent = CreateWindowW(L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 300, 200, host,
                                nullptr, nullptr, nullptr);
    auto window = platform->CreateChildWindow(reinterpret_cast<std::uintptr_t>(parent), ChildBounds,
                                              recorder);
    PumpFor(100);
    DestroyWindow(parent);
    CHECK_EQ(window->NativeHandle(), std::uintptr_t{0});
    window->Invalidate(TRect{0, 0, 10, 10});
    window->Present(pattern.View(), TRect{0, 0, 10, 10});
    window->SetMouseCapture(true);
    CHECK(GetCapture() == nullptr);
    window.reset();

    TChecks::Instance().Group("the window class lives as long as its windows");
    WNDCLASSEXW info{};
    info.cbSize = sizeof info;
    CHECK(GetClassInfoExW(GetModuleHandleW(nullptr), L"OrvoEditorWindow", &info)); // timers
    platform.reset();
    CHECK(!GetClassInfoExW(GetModuleHandleW(nullptr), L"OrvoEditorWindow", &info));
}
} // namespace

int main()
{
    HWND host = MakeTopLevel();
    {
        TWin32UIPlatform platform;
        TestChildWindow(platform, host);
        TestPainting(platform, host);
        TestTimers(platform);
        TestMouse(platform, host);
        TestPointer(platform);
        TestMenus(platform, host);
        TestMessageBox(platform, host);
        TestText(platform);
    }
    TestHostWindowGoesFirst(host);
    DestroyWindow(host);
    return TChecks::Instance().Summary();
}
