// The editor's window system on X11, on a Display connection of its own (never the host's).
// Hosts call effEditIdle on their user-interface thread every 10 to 50 ms; Idle is the
// editor's event loop: it reads the connection's events, fires the timers that are due on
// the monotonic clock and delivers the paints they caused. Pop-up menus and the message
// box stay open across idle calls, never inside one: the host's own windows go on while
// they wait for the user, and the editor's windows take no input until they are answered.
// Made and used on one thread; it must outlive the windows and timers it makes.
#pragma once

#include "platform/ui/IUIPlatform.h"
#include "platform/x11/TFreeTypeTextRenderer.h"

#include <X11/Xlib.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

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
    /// While a menu or message box is open, only its own windows take input.
    virtual bool TakesModalInput() const { return false; }

  protected:
    ~TX11EventTarget() = default;
};

/// A pop-up of the platform (a menu, the message box), open until the user answers it.
class TX11Popup
{
  public:
    virtual ~TX11Popup() = default;
    /// True once the user has answered; the platform then destroys it (it leaves the
    /// screen and lets go of its grabs) and runs what Answer gives.
    virtual bool Answered() const = 0;
    /// What runs with the user's answer, once the pop-up is gone; empty for nothing.
    virtual std::function<void()> Answer() = 0;
};

class TX11UIPlatform final : public IUIPlatform
{
  public:
    /// Opens a connection to the display named by DISPLAY; null when there is none, or when
    /// it is a local server that does not answer (uX11ServerProbe.h).
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

    /// Shows the menu and runs the platform's loop until the user answers (for callers that
    /// want the command at once; the editor uses ShowPopupMenu).
    std::int32_t PopupMenu(IUIWindow* owner, const TUIMenu& menu, TPoint screen) override;
    /// Opens the menu and returns; onChosen runs from the Idle that reads the user's answer.
    void ShowPopupMenu(IUIWindow* owner, const TUIMenu& menu, TPoint screen,
                       std::function<void(std::int32_t command)> onChosen) override;
    /// Opens the box and returns; it goes when the user answers it.
    void ShowMessage(IUIWindow* owner, std::string_view caption, std::string_view text) override;
    /// True while a menu or message box is open.
    bool PopupOpen() const { return !FPopups.empty(); }
    IUITextRenderer& TextRenderer() override { return FText; }
    /// The Xft.dpi resource over 96, as desktops set it for scaled displays.
    double DisplayScale(std::uintptr_t parent) const override;
    /// $XDG_CONFIG_HOME/Orvo/Editor.ini, else ~/.config/Orvo/Editor.ini.
    std::filesystem::path UserSettingsFile() const override;

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
    /// Closes the pop-ups of owner (an editor window being destroyed) without an answer.
    void ClosePopupsOf(Window owner);
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

    struct TOpenPopup
    {
        Window Owner;
        std::uint64_t Id;
        std::unique_ptr<TX11Popup> Popup;
    };

    explicit TX11UIPlatform(Display* display);
    /// Reads and dispatches every event waiting on the connection.
    void ProcessEvents();
    /// Opens a menu for owner's window; its pop-up's id.
    std::uint64_t OpenMenu(IUIWindow* owner, const TUIMenu& menu, TPoint screen,
                           std::function<void(std::int32_t command)> onChosen);
    /// Opens popup for owner's window; its id.
    std::uint64_t AddPopup(IUIWindow* owner, std::unique_ptr<TX11Popup> popup);
    bool PopupOpen(std::uint64_t id) const;
    /// Destroys the answered pop-ups and runs their answers.
    void FinishAnsweredPopups();
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
    std::vector<TOpenPopup> FPopups; // in the order opened
    std::uint64_t FNextPopupId = 1;
};

} // namespace orvo
