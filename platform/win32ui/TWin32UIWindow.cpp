#include "platform/win32ui/TWin32UIWindow.h"

#include <cstring>
#include <vector>

namespace orvo
{

namespace
{

// Where a release that the window never saw is reported (capture taken away mid-press):
// outside the client area, so that it clicks nothing and opens no menu.
constexpr TPoint OutsideClient{-1, -1};

TPoint PointFrom(LPARAM lParam)
{
    // Signed: with the mouse captured, positions left of or above the window are negative.
    return TPoint{static_cast<std::int16_t>(LOWORD(lParam)),
                  static_cast<std::int16_t>(HIWORD(lParam))};
}

TShiftState ShiftFrom(WPARAM wParam)
{
    TShiftState shift = ssNone;
    if ((wParam & MK_SHIFT) != 0)
    {
        shift = shift | ssShift;
    }
    if ((wParam & MK_CONTROL) != 0)
    {
        shift = shift | ssCtrl;
    }
    if (GetKeyState(VK_MENU) < 0)
    {
        shift = shift | ssAlt;
    }
    if ((wParam & MK_LBUTTON) != 0)
    {
        shift = shift | ssLeft;
    }
    if ((wParam & MK_RBUTTON) != 0)
    {
        shift = shift | ssRight;
    }
    if ((wParam & MK_MBUTTON) != 0)
    {
        shift = shift | ssMiddle;
    }
    return shift;
}

} // namespace

TWin32UIWindow::TWin32UIWindow(HWND parent, const TRect& bounds, IUIWindowListener& listener)
    : FListener(listener), FBounds(bounds)
{
    // No border, no caption: the client area is the whole window.
    const DWORD style =
        WS_VISIBLE | WS_CLIPCHILDREN | (parent != nullptr ? WS_CHILD | WS_CLIPSIBLINGS : WS_POPUP);
    win32::CreateTargetWindow(*this, style, 0, bounds.Left, bounds.Top, bounds.Width(),
                              bounds.Height(), parent);
}

TWin32UIWindow::~TWin32UIWindow()
{
    if (FWindow == nullptr)
    {
        return;
    }
    // Nothing reaches the listener any more: it may be half destroyed already.
    win32::DetachTarget(FWindow);
    if (GetCapture() == FWindow)
    {
        ReleaseCapture();
    }
    DestroyWindow(FWindow);
    win32::ReleaseClassIfUnused();
}

void TWin32UIWindow::SetBounds(const TRect& bounds)
{
    FBounds = bounds;
    if (FWindow != nullptr)
    {
        SetWindowPos(FWindow, nullptr, bounds.Left, bounds.Top, bounds.Width(), bounds.Height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void TWin32UIWindow::SetVisible(bool visible)
{
    if (FWindow != nullptr)
    {
        ShowWindow(FWindow, visible ? SW_SHOWNA : SW_HIDE);
    }
}

void TWin32UIWindow::Invalidate(const TRect& rect)
{
    if (FWindow != nullptr && !rect.IsEmpty())
    {
        const RECT area{rect.Left, rect.Top, rect.Right, rect.Bottom};
        InvalidateRect(FWindow, &area, FALSE);
    }
}

void TWin32UIWindow::Present(const TPixelView& image, const TRect& rect)
{
    const TRect area = rect.Intersection(TRect{0, 0, FBounds.Width(), FBounds.Height()})
                           .Intersection(TRect{0, 0, image.Width, image.Height});
    if (FWindow == nullptr || area.IsEmpty() || image.TopRow == nullptr)
    {
        return;
    }
    if (FPaintDC != nullptr)
    {
        Blit(FPaintDC, image, area);
        return;
    }
    // Drawn outside WM_PAINT (the editor updating at once): the area is up to date, so a
    // WM_PAINT already pending for it would only draw the same pixels again.
    HDC dc = GetDC(FWindow);
    if (dc != nullptr)
    {
        Blit(dc, image, area);
        ReleaseDC(FWindow, dc);
        const RECT done{area.Left, area.Top, area.Right, area.Bottom};
        ValidateRect(FWindow, &done);
    }
}

// One SetDIBitsToDevice call for the rows of area. The header describes exactly those rows
// (top-down with a negative height when the rows lie top-down in memory, bottom-up
// otherwise), so the source row 0 means the same in both orientations.
void TWin32UIWindow::Blit(HDC dc, const TPixelView& image, const TRect& area)
{
    const std::ptrdiff_t rowBytes = static_cast<std::ptrdiff_t>(image.Width) * 4;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.Width;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const void* bits = nullptr;
    std::vector<std::uint8_t> copy;
    if (image.Stride == rowBytes)
    {
        bits = image.Pixel(0, area.Top);
        info.bmiHeader.biHeight = -area.Height();
    }
    else if (image.Stride == -rowBytes)
    {
        bits = image.Pixel(0, area.Bottom - 1);
        info.bmiHeader.biHeight = area.Height();
    }
    else
    {
        // Rows with padding between them: gathered into one top-down block first.
        copy.resize(static_cast<std::size_t>(rowBytes) * static_cast<std::size_t>(area.Height()));
        for (std::int32_t y = area.Top; y < area.Bottom; ++y)
        {
            std::memcpy(copy.data() + static_cast<std::ptrdiff_t>(y - area.Top) * rowBytes,
                        image.Pixel(0, y), static_cast<std::size_t>(rowBytes));
        }
        bits = copy.data();
        info.bmiHeader.biHeight = -area.Height();
    }
    SetDIBitsToDevice(dc, area.Left, area.Top, static_cast<DWORD>(area.Width()),
                      static_cast<DWORD>(area.Height()), area.Left, 0, 0,
                      static_cast<UINT>(area.Height()), bits, &info, DIB_RGB_COLORS);
}

void TWin32UIWindow::SetMouseCapture(bool capture)
{
    if (FWindow == nullptr)
    {
        return;
    }
    if (capture)
    {
        if (GetCapture() != FWindow)
        {
            SetCapture(FWindow);
        }
        return;
    }
    if (GetCapture() == FWindow)
    {
        FReleasingCapture = true;
        ReleaseCapture();
        FReleasingCapture = false;
    }
}

TPoint TWin32UIWindow::ClientToScreen(TPoint client) const
{
    POINT p{client.X, client.Y};
    if (FWindow != nullptr)
    {
        ::ClientToScreen(FWindow, &p);
    }
    return TPoint{p.x, p.y};
}

TPoint TWin32UIWindow::ScreenToClient(TPoint screen) const
{
    POINT p{screen.X, screen.Y};
    if (FWindow != nullptr)
    {
        ::ScreenToClient(FWindow, &p);
    }
    return TPoint{p.x, p.y};
}

LRESULT TWin32UIWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_NCCREATE:
        FWindow = window;
        break;
    case WM_ERASEBKGND:
        return 1; // every pixel comes from the composed image
    case WM_PAINT:
        Paint();
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_MBUTTONUP:
        MouseButton(message, wParam, lParam);
        return 0;
    case WM_MOUSEMOVE:
        MouseMove(wParam, lParam);
        return 0;
    case WM_MOUSEWHEEL:
        MouseWheel(wParam, lParam);
        return 0;
    case WM_MOUSELEAVE:
        FTrackingLeave = false;
        // While captured the pointer still belongs to the window; the release that ends
        // the capture settles where it is.
        if (GetCapture() != FWindow)
        {
            FListener.HandleMouseLeave();
        }
        return 0;
    case WM_CAPTURECHANGED:
        if (!FReleasingCapture && reinterpret_cast<HWND>(lParam) != FWindow)
        {
            CaptureLost();
        }
        return 0;
    case WM_WINDOWPOSCHANGED:
    {
        // Borderless: the window rectangle in the parent is the client area.
        const auto* position = reinterpret_cast<const WINDOWPOS*>(lParam);
        if ((position->flags & SWP_NOMOVE) == 0)
        {
            FBounds = FBounds.Offset(position->x - FBounds.Left, position->y - FBounds.Top);
        }
        if ((position->flags & SWP_NOSIZE) == 0)
        {
            FBounds = TRect::FromBounds(FBounds.Left, FBounds.Top, position->cx, position->cy);
        }
        break;
    }
    case WM_NCDESTROY:
        // Destroyed with the host's window: from here on the object only waits for its end.
        FWindow = nullptr;
        FPaintDC = nullptr;
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void TWin32UIWindow::Paint()
{
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(FWindow, &paint);
    if (dc == nullptr)
    {
        return;
    }
    const TRect invalid{paint.rcPaint.left, paint.rcPaint.top, paint.rcPaint.right,
                        paint.rcPaint.bottom};
    FPaintDC = dc;
    if (!invalid.IsEmpty())
    {
        FListener.HandlePaint(invalid);
    }
    FPaintDC = nullptr;
    EndPaint(FWindow, &paint);
}

void TWin32UIWindow::MouseButton(UINT message, WPARAM wParam, LPARAM lParam)
{
    TMouseButton button = mbLeft;
    if (message == WM_RBUTTONDOWN || message == WM_RBUTTONDBLCLK || message == WM_RBUTTONUP)
    {
        button = mbRight;
    }
    else if (message == WM_MBUTTONDOWN || message == WM_MBUTTONDBLCLK || message == WM_MBUTTONUP)
    {
        button = mbMiddle;
    }
    const bool up = message == WM_LBUTTONUP || message == WM_RBUTTONUP || message == WM_MBUTTONUP;
    const bool doubleClick =
        message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK || message == WM_MBUTTONDBLCLK;
    TUIMouseEvent event{button, ShiftFrom(wParam), PointFrom(lParam)};
    const auto flag = static_cast<std::uint8_t>(ButtonShift(button));
    if (up)
    {
        FButtonsDown = static_cast<std::uint8_t>(FButtonsDown & ~flag);
        FListener.HandleMouseUp(event);
        return;
    }
    if (doubleClick)
    {
        event.Shift = event.Shift | ssDouble;
    }
    FButtonsDown = static_cast<std::uint8_t>(FButtonsDown | flag);
    FListener.HandleMouseDown(event);
}

void TWin32UIWindow::MouseMove(WPARAM wParam, LPARAM lParam)
{
    if (!FTrackingLeave)
    {
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof track;
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = FWindow;
        FTrackingLeave = TrackMouseEvent(&track) != FALSE;
    }
    FListener.HandleMouseMove(TUIMouseEvent{mbLeft, ShiftFrom(wParam), PointFrom(lParam)});
}

void TWin32UIWindow::MouseWheel(WPARAM wParam, LPARAM lParam)
{
    // Fine-grained wheels send parts of a notch (WHEEL_DELTA); they add up to whole ones.
    FWheelRemainder += GET_WHEEL_DELTA_WPARAM(wParam);
    const std::int32_t notches = FWheelRemainder / WHEEL_DELTA;
    FWheelRemainder -= notches * WHEEL_DELTA;
    if (notches == 0)
    {
        return;
    }
    // The message carries screen coordinates, unlike the button messages.
    FListener.HandleMouseWheel(TUIWheelEvent{notches, ShiftFrom(GET_KEYSTATE_WPARAM(wParam)),
                                             ScreenToClient(PointFrom(lParam))});
}

// The capture went to another window while buttons were held (a dialog of the host, a
// system menu): the held buttons are reported released, so that a knob drag ends and shows
// the pointer again instead of staying hidden.
void TWin32UIWindow::CaptureLost()
{
    for (const TMouseButton button : {mbLeft, mbRight, mbMiddle})
    {
        const auto flag = static_cast<std::uint8_t>(ButtonShift(button));
        if ((FButtonsDown & flag) == 0)
        {
            continue;
        }
        FButtonsDown = static_cast<std::uint8_t>(FButtonsDown & ~flag);
        const auto stillHeld = static_cast<TShiftState>(FButtonsDown);
        FListener.HandleMouseUp(TUIMouseEvent{button, stillHeld, OutsideClient});
    }
}

} // namespace orvo
