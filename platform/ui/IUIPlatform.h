// Everything the editor needs from a window system, behind one interface, so that the
// control toolkit runs on Win32, X11 or the headless backend without change. All of it is
// used on the user-interface thread only.
#pragma once

#include "platform/ui/IUITextRenderer.h"
#include "platform/ui/IUITimer.h"
#include "platform/ui/IUIWindow.h"
#include "platform/ui/UIMenu.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string_view>

namespace orvo
{

class IUIPlatform
{
  public:
    virtual ~IUIPlatform() = default;

    /// A borderless child window of the native window parent (0: a top-level window where
    /// the platform allows one). Returns null when no window can be made.
    virtual std::unique_ptr<IUIWindow> CreateChildWindow(std::uintptr_t parent, const TRect& bounds,
                                                         IUIWindowListener& listener) = 0;

    /// A stopped timer that calls onTick on each expiry.
    virtual std::unique_ptr<IUITimer> CreateTimer(std::function<void()> onTick) = 0;

    /// The pointer, in screen pixels.
    virtual TPoint PointerPosition() const = 0;
    virtual void MovePointer(TPoint screen) = 0;
    /// Hide and show nest: the pointer is visible again after as many shows as hides.
    virtual void HidePointer() = 0;
    virtual void ShowPointer() = 0;

    /// Shows a pop-up menu at a screen position and waits for the user: the chosen
    /// command, or 0 when the menu was dismissed.
    virtual std::int32_t PopupMenu(IUIWindow* owner, const TUIMenu& menu, TPoint screen) = 0;

    /// Shows a pop-up menu at a screen position; onChosen gets the chosen command, or 0 when
    /// the menu was dismissed. A window system whose modal loop keeps the host's windows
    /// running (Win32, headless) answers before it returns, as PopupMenu; one whose host
    /// idles the editor (X11) returns at once and answers from a later Idle, so that the
    /// host never waits for the user. Either way the owner's windows take no input while
    /// the menu is open, and onChosen never runs once owner is destroyed.
    virtual void ShowPopupMenu(IUIWindow* owner, const TUIMenu& menu, TPoint screen,
                               std::function<void(std::int32_t command)> onChosen)
    {
        onChosen(PopupMenu(owner, menu, screen));
    }

    /// A message box with one OK button and no icon, modal to the owner's windows. As with
    /// ShowPopupMenu, it may still be open when the call returns (X11): it then stays until
    /// the user answers it or owner is destroyed.
    virtual void ShowMessage(IUIWindow* owner, std::string_view caption, std::string_view text) = 0;

    virtual IUITextRenderer& TextRenderer() = 0;
    /// How much larger than at 96 dots per inch the display draws for a window made in the
    /// native window parent: 1.0 at 96 dpi, 2.0 at 192 (X11: the Xft.dpi resource; Win32:
    /// the parent's DPI). 1.0 where the display does not say.
    virtual double DisplayScale(std::uintptr_t parent) const = 0;
    /// The file the editor keeps the user's own settings in (X11: under $XDG_CONFIG_HOME or
    /// ~/.config; Win32: under %APPDATA%), or an empty path where the user has none.
    virtual std::filesystem::path UserSettingsFile() const = 0;

    /// Runs the window system's pending work: window events, due timers, then paints. Hosts
    /// on X11 have no event loop that reaches the editor's own display connection, so they
    /// drive it through effEditIdle (every 10 to 50 ms); a window system whose events the
    /// host's loop delivers (Win32, headless) has nothing to do here. Handlers called from
    /// here may destroy the windows and timers they belong to.
    virtual void Idle() {}

    /// True once the window system has lost its display for good (the X server went
    /// away): nothing it makes shows or takes input any more, and an editor on it counts
    /// as closed.
    virtual bool Lost() const { return false; }
};

} // namespace orvo
