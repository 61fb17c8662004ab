// A borderless child window of a host's native window, as the editor's containers use it.
#pragma once

#include "platform/ui/UIGeometry.h"
#include "platform/ui/UIInput.h"
#include "platform/ui/UIPixels.h"

#include <cstdint>

namespace orvo
{

/// What a window reports. All calls arrive on the user-interface thread.
class IUIWindowListener
{
  public:
    virtual ~IUIWindowListener() = default;

    /// Part of the client area must be drawn again: compose it and call Present.
    virtual void HandlePaint(const TRect& invalid) = 0;
    virtual void HandleMouseDown(const TUIMouseEvent& event) = 0;
    virtual void HandleMouseMove(const TUIMouseEvent& event) = 0;
    virtual void HandleMouseUp(const TUIMouseEvent& event) = 0;
    /// The pointer has left the client area (while the mouse is not captured).
    virtual void HandleMouseLeave() = 0;
    /// The wheel turned over the client area.
    virtual void HandleMouseWheel(const TUIWheelEvent& event) = 0;
};

class IUIWindow
{
  public:
    virtual ~IUIWindow() = default;

    /// Position inside the parent and client size, in pixels.
    virtual void SetBounds(const TRect& bounds) = 0;
    virtual TRect Bounds() const = 0;
    virtual void SetVisible(bool visible) = 0;
    /// Marks part of the client area for a HandlePaint call that comes later, from the event loop.
    virtual void Invalidate(const TRect& rect) = 0;
    /// Copies rect of image (client-sized, viewed top-down) to the same place on the screen
    /// in one operation.
    virtual void Present(const TPixelView& image, const TRect& rect) = 0;
    /// Sends every mouse event to this window until released, even outside it.
    virtual void SetMouseCapture(bool capture) = 0;
    virtual TPoint ClientToScreen(TPoint client) const = 0;
    virtual TPoint ScreenToClient(TPoint screen) const = 0;
    /// The native handle (HWND, X11 Window; an opaque number in the headless backend).
    virtual std::uintptr_t NativeHandle() const = 0;
};

} // namespace orvo
