// The one window class of the editor's windows (the child windows that show the editor and
// the hidden window that receives the timers). Each window passes its messages to a
// message target. The class is registered with the first window of the module and
// unregistered once the last one is gone (ReleaseClassIfUnused after each DestroyWindow),
// so an unloaded module leaves no class behind whose window procedure points into freed code.
#pragma once

#include "platform/win32ui/uWindowsHeader.h"

namespace orvo::win32
{
/// Receives the messages of one window. HandleMessage runs on the thread that owns the
/// window; it receives every message from WM_NCCREATE on, WM_NCDESTROY last, unless the
/// window was detached first.
class TMessageTarget
{
  public:
    virtual LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;

  protected:
    ~TMessageTarget() = default;
};

/// Creates a window of the editor's class whose messages go to target. parent may be
/// HWND_MESSAGE (a message-only window) or null (a top-level window). Null on failure.
HWND CreateTargetWindow(TMessageTarget& target, DWORD style, DWORD exStyle, int x, int y, int width,
                        int height, HWND parent);

/// From now on the window's messages go to the system's default handling only; for a
/// target that is about to be destroyed together with its window.
void DetachTarget(HWND window);

/// Unregisters the class when no window of it exists any more. Called after destroying a
/// window (the system keeps the class while the window is still in its WM_NCDESTROY).
void ReleaseClassIfUnused();
} // namespace orvo::win32
