// The editor's window system on X11, on a Display connection of its own (never the host's).
// Hosts call effEditIdle on their user-interface thread every 10 to 50 ms; Idle is the
// editor's event loop: it reads the connection's events, fires the timers that are due on
// the monotonic clock and delivers the paints they caused. Pop-up menus and the message
// box run a modal loop of the same kind until the user answers. Made and used on one
// thread; it must outlive the windows and timers it makes.
#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>

#include "platform/ui/IUIPlatform.h"
#include "platform/x11/TFreeTypeTextRenderer.h"

namespace orvo
{

/// A window of the platform that receives its own events.
class TX11EventTarget
{
public:
    virtual void HandleEvent(const XEvent& event) = 0;
    /// Draws the part collected from Expose events and invalidations, if any.
    virtual void DeliverPaint() {}
    /// The pointer was hidden or shown (cursor None: the system's arrow).
    virtual void PointerCursorChanged(Cursor /*cursor*/) {}
    /// While a menu or message box runs its modal loop, only its own windows take input.
    virtual bool TakesModalInput() const { return false; }

protected:
    ~TX11EventTarget() = default;
};

class TX11UIPlatform final : public IUIPlatform
{
public:
    /// Opens a connection to the display named by DISPLAY; null when there is none.
    static std::unique_ptr<TX11UIPlatform> Open();
    ~TX11UIPlatform() override;
    TX11UIPlatform(const TX11UIPlatform&) = delete;
    TX11UIPlatform& operator=(const TX11UIPlatform&) = delete;

    /// A borderless child window of parent (an X11 Window id); a top-level window for 0.
    /// Null when parent is not a window.
    std::unique_ptr<IUIWindow> CreateChildWindow(std::uintptr_t parent, const TRect& bounds,
                                                 IUIWindowListener& listener) override;
    std::unique_ptr<IUITimer> CreateTimer(std::function<void()> onTick) override;

    TPoint PointerPosition() const override;
    void MovePointer(TPoint screen) override;
    /// X11 has no pointer of its own to hide: the editor's windows (and an active grab of
    /// theirs) show an empty cursor while hidden.
    void HidePointer() override;
    void ShowPointer() override;

    std::int32_t PopupMenu(IUIWindow* owner, const TUIMenu& menu, TPoint screen) override;
    void ShowMessage(IUIWindow* owner, std::string_view caption, std::string_view text) override;
    IUITextRenderer& TextRenderer() override { return FText; }

    /// Events, due timers, paints; then whatever was drawn goes to the server.
    void Idle() override;

    /// True once the connection to the X server is lost (the server went away): the
    /// window system then does nothing more, and its windows send nothing when destroyed.
    bool Lost() const override;

    // Used by the platform's windows and timers.
    Display* XDisplay() const { return FDisplay; }
    Window Root() const { return DefaultRootWindow(FDisplay); }
    void Register(Window window, TX11EventTarget& target);
    void Unregister(Window window);
    bool PointerHidden() const { return FPointerShowCount < 0; }
    Cursor CurrentCursor() const { return PointerHidden() ? FBlankCursor : None; }
    /// The time of the last event read (for grabs), CurrentTime before the first.
    Time LastEventTime() const { return FLastEventTime; }
    bool StartTimer(std::uint64_t id, std::uint32_t interval);
    void StopTimer(std::uint64_t id);
    void ForgetTimer(std::uint64_t id);
    /// Runs events, timers and paints, waiting for the connection or the next due timer,
    /// until finished() is true (after each event). For the modal menus and message box.
    void RunModal(const std::function<bool()>& finished);
    /// The top-level window (child of the root) that holds window; window itself when it
    /// is one, None when it is no window.
    Window TopLevelOf(Window window) const;

private:
    using TClock = std::chrono::steady_clock;

    struct TTimerEntry
    {
        std::function<void()> OnTick;
        std::uint32_t Interval = 0;
        bool Running = false;
        TClock::time_point Due;
        std::uint64_t Order = 0; // start order, for timers due at the same moment
    };

    explicit TX11UIPlatform(Display* display);
    /// Reads and dispatches every event waiting on the connection; true when one finished
    /// the modal loop (checked after each event).
    bool ProcessEvents(const std::function<bool()>* finished);
    void RunTimers();
    void DeliverPaints();
    /// Milliseconds until the next timer is due (at most limit).
    int MillisecondsToNextTimer(int limit) const;
    void ApplyCursor();

    Display* FDisplay;
    TFreeTypeTextRenderer FText;
    std::map<Window, TX11EventTarget*> FTargets;
    std::map<std::uint64_t, TTimerEntry> FTimers;
    std::uint64_t FNextTimerId = 1;
    std::uint64_t FNextOrder = 0;
    std::int32_t FPointerShowCount = 0;
    Cursor FBlankCursor = None;
    Time FLastEventTime = CurrentTime;
    std::int32_t FModalDepth = 0; // modal loops running
};

} // namespace orvo
