// The editor's window on X11: a borderless child of the host's window (a top-level window
// without a parent) on the platform's own connection. It collects Expose areas and
// invalidations into one rectangle that the platform's loop paints, copies presented
// rectangles to the screen with one XPutImage each, reports the mouse with Shift and Ctrl,
// reports leave, and grabs the pointer while captured. Where the server shares memory with
// the editor (MIT-SHM on a local display) the image goes through one shared segment the size
// of the window with XShmPutImage instead, which saves copying it through the connection. When the
// host destroys its window first, the server destroys this one with it: the object then draws
// nothing and reports nothing until the editor destroys it.
#pragma once

#include "platform/ui/IUIWindow.h"
#include "platform/x11/TX11UIPlatform.h"

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <cstdint>
#include <vector>

namespace orvo
{

class TX11UIWindow final : public IUIWindow, private TX11EventTarget
{
  public:
    /// Creates and maps the window; Handle() is None when the server refused.
    TX11UIWindow(TX11UIPlatform& platform, Window parent, const TRect& bounds,
                 IUIWindowListener& listener);
    ~TX11UIWindow() override;
    TX11UIWindow(const TX11UIWindow&) = delete;
    TX11UIWindow& operator=(const TX11UIWindow&) = delete;

    Window Handle() const { return FWindow; }

    void SetBounds(const TRect& bounds) override;
    TRect Bounds() const override { return FBounds; }
    void SetVisible(bool visible) override;
    void Invalidate(const TRect& rect) override;
    void Present(const TPixelView& image, const TRect& rect) override;
    void SetMouseCapture(bool capture) override;
    TPoint ClientToScreen(TPoint client) const override;
    TPoint ScreenToClient(TPoint screen) const override;
    std::uintptr_t NativeHandle() const override { return static_cast<std::uintptr_t>(FWindow); }

  private:
    void HandleEvent(const XEvent& event) override;
    void DeliverPaint() override;
    void PointerCursorChanged(Cursor cursor) override;
    void ButtonEvent(const XButtonEvent& event, bool press);
    void CaptureLost();
    /// A shared-memory image the size of the client area, made when first needed; false
    /// when the server offers none (a remote display), which Present then does without.
    bool EnsureSharedImage();
    void ReleaseSharedImage();
    TRect ClientArea() const { return TRect{0, 0, FBounds.Width(), FBounds.Height()}; }

    TX11UIPlatform& FPlatform;
    IUIWindowListener& FListener;
    Display* FDisplay;
    Window FWindow = None;
    bool FGone = false; // destroyed by the server together with the host's window
    TRect FBounds;
    TRect FInvalid;
    Visual* FVisual = nullptr;
    int FDepth = 0;
    std::vector<std::uint32_t> FPixels; // one presented rectangle in the server's format
    XShmSegmentInfo FSegment{};
    XImage* FSharedImage = nullptr;
    bool FSharedFailed = false;
    bool FSharedInUse = false; // the server may still be reading the segment
    bool FCaptured = false;
    std::uint8_t FButtonsDown = 0; // ssLeft | ssRight | ssMiddle pressed in this window
    // The last press, to mark the second press of a double click.
    unsigned int FLastButton = 0;
    Time FLastPressTime = 0;
    TPoint FLastPressPosition;
};

} // namespace orvo
