#include "platform/x11/TX11UIWindow.h"

#include "platform/x11/uX11Errors.h"
#include "platform/x11/uX11Image.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sys/ipc.h>
#include <sys/shm.h>

namespace orvo
{

namespace
{

constexpr long WindowEvents = ExposureMask | ButtonPressMask | ButtonReleaseMask |
                              PointerMotionMask | EnterWindowMask | LeaveWindowMask |
                              StructureNotifyMask;
constexpr unsigned int GrabEvents =
    ButtonPressMask | ButtonReleaseMask | PointerMotionMask | EnterWindowMask | LeaveWindowMask;

// A second press of the same button this soon and this close is a double click (the
// usual desktop settings).
constexpr Time DoubleClickTime = 500;
constexpr std::int32_t DoubleClickDistance = 4;

// Where a release that the window never saw is reported (the grab taken away mid-press):
// outside the client area, so that it clicks nothing and opens no menu.
constexpr TPoint OutsideClient{-1, -1};

TShiftState ShiftFrom(unsigned int state)
{
    TShiftState shift = ssNone;
    if ((state & ShiftMask) != 0)
    {
        shift = shift | ssShift;
    }
    if ((state & ControlMask) != 0)
    {
        shift = shift | ssCtrl;
    }
    if ((state & Mod1Mask) != 0)
    {
        shift = shift | ssAlt;
    }
    if ((state & Button1Mask) != 0)
    {
        shift = shift | ssLeft;
    }
    if ((state & Button2Mask) != 0)
    {
        shift = shift | ssMiddle;
    }
    if ((state & Button3Mask) != 0)
    {
        shift = shift | ssRight;
    }
    return shift;
}

/// One notch of the vertical wheel arrives as a press of button 4 (up) or 5 (down).
constexpr unsigned int WheelUpButton = 4;
constexpr unsigned int WheelDownButton = 5;

/// Buttons 1, 2 and 3; the wheel (4 to 7) and further buttons are not the editor's.
bool ButtonFrom(unsigned int button, TMouseButton& result)
{
    switch (button)
    {
    case Button1:
        result = mbLeft;
        return true;
    case Button2:
        result = mbMiddle;
        return true;
    case Button3:
        result = mbRight;
        return true;
    default:
        return false;
    }
}

} // namespace

TX11UIWindow::TX11UIWindow(TX11UIPlatform& platform, Window parent, const TRect& bounds,
                           IUIWindowListener& listener)
    : FPlatform(platform), FListener(listener), FDisplay(platform.XDisplay()), FBounds(bounds)
{
    XSetWindowAttributes attributes{};
    attributes.event_mask = WindowEvents;
    // No background: every pixel comes from the composed image, so nothing flickers.
    attributes.background_pixmap = None;
    attributes.border_pixel = 0;
    attributes.bit_gravity = NorthWestGravity;
    attributes.cursor = platform.CurrentCursor();
    const Window under = parent != None ? parent : platform.Root();
    x11::TErrorTrap trap(FDisplay);
    FWindow = XCreateWindow(FDisplay, under, bounds.Left, bounds.Top,
                            static_cast<unsigned int>(std::max(bounds.Width(), 1)),
                            static_cast<unsigned int>(std::max(bounds.Height(), 1)), 0,
                            CopyFromParent, InputOutput, CopyFromParent,
                            CWEventMask | CWBackPixmap | CWBorderPixel | CWBitGravity | CWCursor,
                            &attributes);
    XWindowAttributes created{};
    if (FWindow == None || XGetWindowAttributes(FDisplay, FWindow, &created) == 0 || trap.Failed())
    {
        FWindow = None;
        return;
    }
    FVisual = created.visual;
    FDepth = created.depth;
    FPlatform.Register(FWindow, *this);
    XMapWindow(FDisplay, FWindow);
    XFlush(FDisplay);
    FInvalid = ClientArea();
}

TX11UIWindow::~TX11UIWindow()
{
    if (FWindow == None)
    {
        return;
    }
    // Nothing reaches the listener any more: it may be half destroyed already. Its menu or
    // message box goes with it, unanswered.
    FPlatform.Unregister(FWindow);
    FPlatform.ClosePopupsOf(FWindow);
    if (FPlatform.Lost())
    {
        // The server is gone and so is everything of ours on it; the segment is ours alone.
        if (FSharedImage != nullptr)
        {
            shmdt(FSegment.shmaddr);
            FSharedImage->data = nullptr;
            XDestroyImage(FSharedImage);
        }
        return;
    }
    ReleaseSharedImage();
    if (FCaptured)
    {
        XUngrabPointer(FDisplay, CurrentTime);
    }
    // When the host destroyed its window first the server has done this already; the
    // error that follows is recorded, not fatal.
    XDestroyWindow(FDisplay, FWindow);
    XFlush(FDisplay);
}

void TX11UIWindow::SetBounds(const TRect& bounds)
{
    FBounds = bounds;
    if (!FGone)
    {
        XMoveResizeWindow(FDisplay, FWindow, bounds.Left, bounds.Top,
                          static_cast<unsigned int>(std::max(bounds.Width(), 1)),
                          static_cast<unsigned int>(std::max(bounds.Height(), 1)));
        XFlush(FDisplay);
    }
}

void TX11UIWindow::SetVisible(bool visible)
{
    if (FGone)
    {
        return;
    }
    if (visible)
    {
        XMapWindow(FDisplay, FWindow);
    }
    else
    {
        XUnmapWindow(FDisplay, FWindow);
    }
    XFlush(FDisplay);
}

void TX11UIWindow::Invalidate(const TRect& rect)
{
    const TRect area = rect.Intersection(ClientArea());
    if (!FGone && !area.IsEmpty())
    {
        FInvalid = FInvalid.Union(area);
    }
}

void TX11UIWindow::DeliverPaint()
{
    if (FGone || FInvalid.IsEmpty())
    {
        return;
    }
    const TRect invalid = FInvalid;
    FInvalid = TRect{};
    // The listener may destroy this window: nothing of it is touched afterwards.
    FListener.HandlePaint(invalid);
}

bool TX11UIWindow::EnsureSharedImage()
{
    const auto width = static_cast<unsigned int>(FBounds.Width());
    const auto height = static_cast<unsigned int>(FBounds.Height());
    if (FSharedImage != nullptr && FSharedImage->width == static_cast<int>(width) &&
        FSharedImage->height == static_cast<int>(height))
    {
        return true;
    }
    ReleaseSharedImage();
    if (FSharedFailed || width == 0 || height == 0)
    {
        FSharedFailed = true;
        return false;
    }
    const std::lock_guard extensions(x11::ExtensionListLock());
    if (XShmQueryExtension(FDisplay) == False)
    {
        FSharedFailed = true;
        return false;
    }
    XImage* image = XShmCreateImage(FDisplay, FVisual, static_cast<unsigned int>(FDepth), ZPixmap,
                                    nullptr, &FSegment, width, height);
    const std::uint32_t probe = 1;
    unsigned char first = 0;
    std::memcpy(&first, &probe, 1);
    // The pixels are written as host-order 32-bit values.
    if (image == nullptr || image->bits_per_pixel != 32 ||
        image->byte_order != (first == 1 ? LSBFirst : MSBFirst))
    {
        if (image != nullptr)
        {
            XDestroyImage(image);
        }
        FSharedFailed = true;
        return false;
    }
    FSegment.shmid = shmget(IPC_PRIVATE, static_cast<std::size_t>(image->bytes_per_line) * height,
                            IPC_CREAT | 0600);
    void* memory =
        FSegment.shmid >= 0 ? shmat(FSegment.shmid, nullptr, 0) : reinterpret_cast<void*>(-1);
    if (memory == reinterpret_cast<void*>(-1))
    {
        if (FSegment.shmid >= 0)
        {
            shmctl(FSegment.shmid, IPC_RMID, nullptr);
        }
        XDestroyImage(image);
        FSharedFailed = true;
        return false;
    }
    FSegment.shmaddr = image->data = static_cast<char*>(memory);
    FSegment.readOnly = False;
    x11::TErrorTrap trap(FDisplay);
    const Status attached = XShmAttach(FDisplay, &FSegment);
    const bool failed = trap.Failed() || attached == 0;
    // Marked for removal at once: the segment goes when both sides have let go of it.
    shmctl(FSegment.shmid, IPC_RMID, nullptr);
    if (failed)
    {
        shmdt(FSegment.shmaddr);
        image->data = nullptr;
        XDestroyImage(image);
        FSharedFailed = true; // a server that cannot reach our memory (a remote display)
        return false;
    }
    FSharedImage = image;
    return true;
}

void TX11UIWindow::ReleaseSharedImage()
{
    if (FSharedImage == nullptr)
    {
        return;
    }
    {
        const std::lock_guard extensions(x11::ExtensionListLock());
        XShmDetach(FDisplay, &FSegment);
        XSync(FDisplay, False);
    }
    shmdt(FSegment.shmaddr);
    FSharedImage->data = nullptr;
    XDestroyImage(FSharedImage);
    FSharedImage = nullptr;
    FSharedInUse = false;
}

void TX11UIWindow::Present(const TPixelView& image, const TRect& rect)
{
    const TRect area =
        rect.Intersection(ClientArea()).Intersection(TRect{0, 0, image.Width, image.Height});
    if (FGone || area.IsEmpty() || image.TopRow == nullptr)
    {
        return;
    }
    if (EnsureSharedImage())
    {
        // The segment is written only after the server has read the last picture from it.
        if (FSharedInUse)
        {
            XSync(FDisplay, False);
        }
        const auto stride = static_cast<std::size_t>(FSharedImage->bytes_per_line / 4);
        auto* pixels = reinterpret_cast<std::uint32_t*>(FSharedImage->data) +
                       static_cast<std::size_t>(area.Top) * stride +
                       static_cast<std::size_t>(area.Left);
        x11::ConvertPixels(FVisual, FDepth, image, area, pixels, stride);
        const std::lock_guard extensions(x11::ExtensionListLock());
        XShmPutImage(FDisplay, FWindow, DefaultGC(FDisplay, DefaultScreen(FDisplay)), FSharedImage,
                     area.Left, area.Top, area.Left, area.Top,
                     static_cast<unsigned int>(area.Width()),
                     static_cast<unsigned int>(area.Height()), False);
        FSharedInUse = true;
    }
    else
    {
        x11::PutImage(FDisplay, FWindow, FVisual, FDepth, image, area, FPixels);
    }
    XFlush(FDisplay);
    // Drawn outside the loop's paint (the editor updating at once): the area is up to date.
    if (!FInvalid.IsEmpty() && area.Intersection(FInvalid) == FInvalid)
    {
        FInvalid = TRect{};
    }
}

void TX11UIWindow::SetMouseCapture(bool capture)
{
    if (FGone)
    {
        return;
    }
    if (capture)
    {
        if (!FCaptured)
        {
            FCaptured = XGrabPointer(FDisplay, FWindow, False, GrabEvents, GrabModeAsync,
                                     GrabModeAsync, None, FPlatform.CurrentCursor(),
                                     FPlatform.LastEventTime()) == GrabSuccess;
        }
        return;
    }
    if (FCaptured)
    {
        FCaptured = false;
        XUngrabPointer(FDisplay, FPlatform.LastEventTime());
        XFlush(FDisplay);
    }
}

void TX11UIWindow::PointerCursorChanged(Cursor cursor)
{
    if (FGone)
    {
        return;
    }
    if (cursor == None)
    {
        XUndefineCursor(FDisplay, FWindow);
    }
    else
    {
        XDefineCursor(FDisplay, FWindow, cursor);
    }
    if (FCaptured)
    {
        XChangeActivePointerGrab(FDisplay, GrabEvents, cursor, CurrentTime);
    }
}

TPoint TX11UIWindow::ClientToScreen(TPoint client) const
{
    int x = client.X;
    int y = client.Y;
    Window child = None;
    if (!FGone)
    {
        XTranslateCoordinates(FDisplay, FWindow, FPlatform.Root(), client.X, client.Y, &x, &y,
                              &child);
    }
    return TPoint{x, y};
}

TPoint TX11UIWindow::ScreenToClient(TPoint screen) const
{
    int x = screen.X;
    int y = screen.Y;
    Window child = None;
    if (!FGone)
    {
        XTranslateCoordinates(FDisplay, FPlatform.Root(), FWindow, screen.X, screen.Y, &x, &y,
                              &child);
    }
    return TPoint{x, y};
}

void TX11UIWindow::HandleEvent(const XEvent& event)
{
    if (FGone)
    {
        return;
    }
    switch (event.type)
    {
    case Expose:
        Invalidate(TRect::FromBounds(event.xexpose.x, event.xexpose.y, event.xexpose.width,
                                     event.xexpose.height));
        break;
    case ButtonPress:
        if (event.xbutton.button == WheelUpButton || event.xbutton.button == WheelDownButton)
        {
            FListener.HandleMouseWheel(TUIWheelEvent{event.xbutton.button == WheelUpButton ? 1 : -1,
                                                     ShiftFrom(event.xbutton.state),
                                                     TPoint{event.xbutton.x, event.xbutton.y}});
            break;
        }
        ButtonEvent(event.xbutton, true);
        break;
    case ButtonRelease:
        ButtonEvent(event.xbutton, false);
        break;
    case MotionNotify:
    {
        // Only the latest of the moves that wait right behind this one counts; a move after
        // a press or release stays behind it.
        XEvent latest = event;
        while (XEventsQueued(FDisplay, QueuedAlready) > 0)
        {
            XEvent next{};
            XPeekEvent(FDisplay, &next);
            if (next.type != MotionNotify || next.xmotion.window != FWindow)
            {
                break;
            }
            XNextEvent(FDisplay, &latest);
        }
        FListener.HandleMouseMove(TUIMouseEvent{mbLeft, ShiftFrom(latest.xmotion.state),
                                                TPoint{latest.xmotion.x, latest.xmotion.y}});
        break;
    }
    case LeaveNotify:
        if (event.xcrossing.mode == NotifyGrab && FCaptured)
        {
            // Another client took the pointer: the held buttons are over.
            CaptureLost();
        }
        else if (event.xcrossing.mode != NotifyGrab && event.xcrossing.detail != NotifyInferior &&
                 !FCaptured)
        {
            // While captured the pointer still belongs to the window; the release that ends
            // the capture settles where it is.
            FListener.HandleMouseLeave();
        }
        break;
    case UnmapNotify:
        if (FCaptured)
        {
            CaptureLost();
        }
        break;
    case DestroyNotify:
        if (event.xdestroywindow.window == FWindow)
        {
            // Destroyed with the host's window: from here on the object only waits for its end.
            const bool captured = FCaptured;
            FGone = true;
            FCaptured = false;
            FPlatform.Unregister(FWindow);
            if (captured)
            {
                CaptureLost();
            }
        }
        break;
    default:
        break;
    }
}

void TX11UIWindow::ButtonEvent(const XButtonEvent& event, bool press)
{
    TMouseButton button = mbLeft;
    if (!ButtonFrom(event.button, button))
    {
        return;
    }
    const auto flag = static_cast<std::uint8_t>(ButtonShift(button));
    // X reports the state before the event: a press does not yet hold its button, a release
    // still does. The listener sees the state after it, as on the other systems.
    TShiftState shift = ShiftFrom(event.state);
    const TPoint position{event.x, event.y};
    if (!press)
    {
        shift = shift & ~ButtonShift(button);
        FButtonsDown = static_cast<std::uint8_t>(FButtonsDown & ~flag);
        FListener.HandleMouseUp(TUIMouseEvent{button, shift, position});
        return;
    }
    shift = shift | ButtonShift(button);
    if (event.button == FLastButton && event.time - FLastPressTime <= DoubleClickTime &&
        std::abs(position.X - FLastPressPosition.X) <= DoubleClickDistance &&
        std::abs(position.Y - FLastPressPosition.Y) <= DoubleClickDistance)
    {
        shift = shift | ssDouble;
        FLastButton = 0; // a third press starts anew
    }
    else
    {
        FLastButton = event.button;
    }
    FLastPressTime = event.time;
    FLastPressPosition = position;
    FButtonsDown = static_cast<std::uint8_t>(FButtonsDown | flag);
    FListener.HandleMouseDown(TUIMouseEvent{button, shift, position});
}

// The grab ended without the buttons' release (another client grabbed, the window went
// away): the held buttons are reported released outside the window, so that a knob drag
// ends and shows the pointer again instead of staying hidden.
void TX11UIWindow::CaptureLost()
{
    FCaptured = false;
    for (const TMouseButton button : {mbLeft, mbRight, mbMiddle})
    {
        const auto flag = static_cast<std::uint8_t>(ButtonShift(button));
        if ((FButtonsDown & flag) == 0)
        {
            continue;
        }
        FButtonsDown = static_cast<std::uint8_t>(FButtonsDown & ~flag);
        const auto stillHeld = static_cast<TShiftState>(FButtonsDown);
        // The listener may destroy this window; it then has no buttons left to report.
        FListener.HandleMouseUp(TUIMouseEvent{button, stillHeld, OutsideClient});
        return;
    }
}

} // namespace orvo
