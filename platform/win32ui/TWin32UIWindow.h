// The editor's window on Win32: a borderless WS_CHILD window of the host's window (a
// borderless pop-up window when there is no parent). It passes paints and mouse input to
// its listener, copies the composed image to the screen in one blit, and tracks pointer
// leave with TrackMouseEvent. When the host destroys its own window first, the child goes
// with it: the object then stays harmless (no more calls reach the listener, drawing does
// nothing) until the editor destroys it.
#pragma once

#include "platform/ui/IUIWindow.h"
#include "platform/win32ui/uWin32WindowClass.h"
#include "platform/win32ui/uWindowsHeader.h"

#include <memory>

namespace orvo
{

class TWin32UIWindow final : public IUIWindow, private win32::TMessageTarget
{
  public:
    /// Creates and shows the window; Handle() is null when the system refused.
    TWin32UIWindow(HWND parent, const TRect& bounds, IUIWindowListener& listener);
    ~TWin32UIWindow() override;
    TWin32UIWindow(const TWin32UIWindow&) = delete;
    TWin32UIWindow& operator=(const TWin32UIWindow&) = delete;

    HWND Handle() const { return FWindow; }

    void SetBounds(const TRect& bounds) override;
    TRect Bounds() const override { return FBounds; }
    void SetVisible(bool visible) override;
    void Invalidate(const TRect& rect) override;
    void Present(const TPixelView& image, const TRect& rect) override;
    void SetMouseCapture(bool capture) override;
    TPoint ClientToScreen(TPoint client) const override;
    TPoint ScreenToClient(TPoint screen) const override;
    std::uintptr_t NativeHandle() const override
    {
        return reinterpret_cast<std::uintptr_t>(FWindow);
    }

  private:
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint();
    void MouseButton(UINT message, WPARAM wParam, LPARAM lParam);
    void MouseMove(WPARAM wParam, LPARAM lParam);
    void MouseWheel(WPARAM wParam, LPARAM lParam);
    void CaptureLost();
    void Blit(HDC dc, const TPixelView& image, const TRect& area);

    IUIWindowListener& FListener;
    HWND FWindow = nullptr;
    TRect FBounds;
    HDC FPaintDC = nullptr;           // the WM_PAINT device context while the listener paints
    std::int32_t FWheelRemainder = 0; // wheel delta short of a whole notch
    bool FTrackingLeave = false;      // TrackMouseEvent armed for this entry of the pointer
    bool FReleasingCapture = false;
    std::uint8_t FButtonsDown = 0; // ssLeft | ssRight | ssMiddle pressed in this window
};

} // namespace orvo
