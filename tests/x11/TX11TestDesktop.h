// The host's side of an X11 editor test on the Xvfb display of WithXvfb.sh: a connection
// of its own (as a host has), a top-level host window, real input through the XTest
// extension, the screen's pixels, and a loop that calls the editor's idle every few
// milliseconds until something has happened (with a deadline instead of fixed sleeps).
#pragma once

#include <X11/Xlib.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orvo::test
{

/// An X server of the test's own (Xvfb), for a test that kills it under an open editor:
/// DISPLAY names it for the server's life, and a connection of the host to it (with a
/// top-level window) survives its death, counting the losses Xlib reports for it.
class TDoomedXServer
{
  public:
    TDoomedXServer();
    ~TDoomedXServer();
    TDoomedXServer(const TDoomedXServer&) = delete;
    TDoomedXServer& operator=(const TDoomedXServer&) = delete;

    bool Valid() const { return FHostDisplay != nullptr; }
    Window HostWindow() const { return FHostWindow; }
    /// Kills the server and waits until it has gone.
    void Kill();
    /// Makes one request on the host's connection and returns how many times Xlib has
    /// reported it lost (to the handler the host installed before any editor opened).
    int HostLosses();

  private:
    int FPid = -1;
    std::string FOuterDisplay;
    Display* FHostDisplay = nullptr;
    Window FHostWindow = 0;
};

/// The longest an idle call of the host may take while a menu or message box is open.
constexpr double IdleLimitMs = 50.0;

/// Open, idle and close cycles of an editor on each of two threads at once.
constexpr int EditorCycles = 100;
/// Runs body(0) and body(1) on two threads started together, and waits for both.
void RunOnTwoThreads(const std::function<void(int thread)>& body);

class TX11TestDesktop
{
  public:
    /// Opens DISPLAY and maps a top-level window at 100, 100 of the given size.
    TX11TestDesktop(int width = 800, int height = 400);
    ~TX11TestDesktop();
    TX11TestDesktop(const TX11TestDesktop&) = delete;
    TX11TestDesktop& operator=(const TX11TestDesktop&) = delete;

    bool Valid() const { return FDisplay != nullptr; }
    Display* XDisplay() const { return FDisplay; }
    Window HostWindow() const { return FHostWindow; }
    /// The windows inside the host window (the embedded editor, once open).
    std::vector<Window> HostChildren() const;
    /// Destroys the host window (as a host that closes its frame before the editor).
    void DestroyHostWindow();

    // Input through XTest, in screen pixels; each is sent at once.
    void MoveTo(int x, int y);
    void Press(unsigned int button);
    void Release(unsigned int button);
    void KeyDown(unsigned long keysym);
    void KeyUp(unsigned long keysym);
    /// Where the pointer is on the screen.
    void PointerAt(int& x, int& y) const;

    /// 0x00RRGGBB pixels of a screen rectangle, row by row.
    std::vector<std::uint32_t> ScreenPixels(int x, int y, int width, int height) const;

    /// Waits (up to 3 s) for a mapped top-level window other than the host's, an
    /// override-redirect one (a pop-up menu) or not (a dialog); its screen rectangle as
    /// x, y, width, height, or all zero. skip: windows already seen.
    std::vector<int> WaitForPopup(bool overrideRedirect, const std::vector<Window>& skip = {},
                                  Window* found = nullptr) const;

    /// Waits for the editor's message box (a dialog other than host), lets the host idle a
    /// few times, and presses its OK button; the box's rectangle as WaitForPopup gives it.
    std::vector<int> AnswerMessageBox(Window host);
    /// As a user who looks before acting: waits until the host has made a few more idle
    /// calls (AsUser's), at most a second.
    void LetHostIdle() const;

    /// Calls idle every intervalMs until done() is true or timeoutMs have passed; true when
    /// done.
    static bool PumpUntil(const std::function<void()>& idle, const std::function<bool()>& done,
                          int timeoutMs = 3000, int intervalMs = 5);
    /// Calls idle every intervalMs for durationMs.
    static void PumpFor(const std::function<void()>& idle, int durationMs, int intervalMs = 5);
    /// Runs the user's actions on a connection of their own, on another thread, while the
    /// host idles; then idles 60 ms more. The longest idle call, in milliseconds: a menu or
    /// message box open must not hold the host inside one.
    static double AsUser(const std::function<void()>& idle,
                         const std::function<void(TX11TestDesktop&)>& actions, int intervalMs = 5);

  private:
    Display* FDisplay = nullptr;
    Window FHostWindow = 0;
    const std::atomic<int>* FHostIdles = nullptr; // AsUser's count of the host's idle calls
};

} // namespace orvo::test
