// A window without a display: it keeps what was presented in a screen image, collects
// invalid rectangles for the platform to paint, and takes synthetic mouse input.
#pragma once

#include "platform/ui/IUIWindow.h"

#include <cstdint>
#include <vector>

namespace orvo
{

class THeadlessPlatform;

class THeadlessWindow : public IUIWindow
{
  public:
    THeadlessWindow(THeadlessPlatform& platform, std::uintptr_t parent, std::uintptr_t handle,
                    const TRect& bounds, IUIWindowListener& listener);
    ~THeadlessWindow() override;

    void SetBounds(const TRect& bounds) override;
    TRect Bounds() const override { return FBounds; }
    void SetVisible(bool visible) override { FVisible = visible; }
    void Invalidate(const TRect& rect) override;
    void Present(const TPixelView& image, const TRect& rect) override;
    void SetMouseCapture(bool capture) override { FCaptured = capture; }
    TPoint ClientToScreen(TPoint client) const override;
    TPoint ScreenToClient(TPoint screen) const override;
    std::uintptr_t NativeHandle() const override { return FHandle; }

    // Synthetic input in client pixels. Each call moves the platform's pointer there,
    // reports the event with the platform's modifier keys and the held buttons, then lets
    // the platform deliver pending paints. A move outside the client area while the mouse
    // is not captured reports a leave instead (once). The listener may destroy the window
    // (as a real window system allows): the call touches nothing of it afterwards; Click
    // then must not be used.
    void MouseMove(std::int32_t x, std::int32_t y);
    void MouseDown(TMouseButton button, std::int32_t x, std::int32_t y, bool doubleClick = false);
    void MouseUp(TMouseButton button, std::int32_t x, std::int32_t y);
    /// A press and release at one place.
    void Click(TMouseButton button, std::int32_t x, std::int32_t y);
    void MouseLeave();
    /// Turns the wheel by notches (positive: up) with the pointer at x, y.
    void MouseWheel(std::int32_t x, std::int32_t y, std::int32_t notches);

    /// Calls HandlePaint for the collected invalid rectangle, if any.
    void DeliverPaint();

    bool Visible() const { return FVisible; }
    bool Captured() const { return FCaptured; }
    std::uintptr_t Parent() const { return FParent; }
    TRect PendingPaint() const { return FInvalid; }
    std::int32_t PresentCount() const { return FPresentCount; }
    TRect LastPresented() const { return FLastPresented; }
    /// What the screen shows of this window: client-sized, top-down, 4 bytes per pixel
    /// (blue, green, red, M).
    const std::vector<std::uint8_t>& Screen() const { return FScreen; }
    /// The screen as top-down RGBA with alpha 255, for writing pictures.
    std::vector<std::uint8_t> ScreenRGBA() const;

  private:
    TUIMouseEvent MakeEvent(TMouseButton button, std::int32_t x, std::int32_t y) const;

    THeadlessPlatform& FPlatform;
    IUIWindowListener& FListener;
    std::uintptr_t FParent;
    std::uintptr_t FHandle;
    TRect FBounds;
    TRect FInvalid;
    bool FVisible = true;
    bool FCaptured = false;
    bool FPointerInside = false;
    std::int32_t FPresentCount = 0;
    TRect FLastPresented;
    std::vector<std::uint8_t> FScreen;
};

} // namespace orvo
