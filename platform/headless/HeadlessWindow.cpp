#include "platform/headless/HeadlessWindow.h"

#include "platform/headless/HeadlessPlatform.h"

#include <algorithm>
#include <cstring>

namespace orvo
{

THeadlessWindow::THeadlessWindow(THeadlessPlatform& platform, std::uintptr_t parent,
                                 std::uintptr_t handle, const TRect& bounds,
                                 IUIWindowListener& listener)
    : FPlatform(platform), FListener(listener), FParent(parent), FHandle(handle)
{
    FPlatform.Windows().push_back(this);
    SetBounds(bounds);
}

THeadlessWindow::~THeadlessWindow()
{
    std::erase(FPlatform.Windows(), this);
}

void THeadlessWindow::SetBounds(const TRect& bounds)
{
    FBounds = bounds;
    FScreen.assign(static_cast<std::size_t>(std::max(bounds.Width(), 0)) *
                       static_cast<std::size_t>(std::max(bounds.Height(), 0)) * 4,
                   0);
    Invalidate(TRect{0, 0, bounds.Width(), bounds.Height()});
}

void THeadlessWindow::Invalidate(const TRect& rect)
{
    const TRect client{0, 0, FBounds.Width(), FBounds.Height()};
    FInvalid = FInvalid.Union(rect.Intersection(client));
}

void THeadlessWindow::DeliverPaint()
{
    if (FInvalid.IsEmpty() || !FVisible)
    {
        return;
    }
    const TRect invalid = FInvalid;
    FInvalid = TRect{};
    FListener.HandlePaint(invalid);
}

void THeadlessWindow::Present(const TPixelView& image, const TRect& rect)
{
    const TRect area = rect.Intersection(TRect{0, 0, FBounds.Width(), FBounds.Height()})
                           .Intersection(TRect{0, 0, image.Width, image.Height});
    ++FPresentCount;
    FLastPresented = rect;
    if (area.IsEmpty())
    {
        return;
    }
    const auto rowBytes = static_cast<std::size_t>(FBounds.Width()) * 4;
    for (std::int32_t y = area.Top; y < area.Bottom; ++y)
    {
        std::memcpy(FScreen.data() + static_cast<std::size_t>(y) * rowBytes +
                        static_cast<std::size_t>(area.Left) * 4,
                    image.Pixel(area.Left, y), static_cast<std::size_t>(area.Width()) * 4);
    }
}

std::vector<std::uint8_t> THeadlessWindow::ScreenRGBA() const
{
    std::vector<std::uint8_t> rgba(FScreen.size());
    for (std::size_t i = 0; i + 3 < FScreen.size(); i += 4)
    {
        rgba[i] = FScreen[i + 2];
        rgba[i + 1] = FScreen[i + 1];
        rgba[i + 2] = FScreen[i];
        rgba[i + 3] = 255;
    }
    return rgba;
}

TPoint THeadlessWindow::ClientToScreen(TPoint client) const
{
    return TPoint{FPlatform.ParentScreenOrigin.X + FBounds.Left + client.X,
                  FPlatform.ParentScreenOrigin.Y + FBounds.Top + client.Y};
}

TPoint THeadlessWindow::ScreenToClient(TPoint screen) const
{
    return TPoint{screen.X - FPlatform.ParentScreenOrigin.X - FBounds.Left,
                  screen.Y - FPlatform.ParentScreenOrigin.Y - FBounds.Top};
}

TUIMouseEvent THeadlessWindow::MakeEvent(TMouseButton button, std::int32_t x, std::int32_t y) const
{
    return TUIMouseEvent{button, FPlatform.Modifiers() | FPlatform.HeldButtons(), TPoint{x, y}};
}

void THeadlessWindow::MouseMove(std::int32_t x, std::int32_t y)
{
    FPlatform.SetPointerFromInput(ClientToScreen(TPoint{x, y}));
    const bool inside = TRect{0, 0, FBounds.Width(), FBounds.Height()}.Contains(TPoint{x, y});
    if (!inside && !FCaptured)
    {
        MouseLeave();
        return;
    }
    FPointerInside = inside;
    THeadlessPlatform& platform = FPlatform;
    FListener.HandleMouseMove(MakeEvent(mbLeft, x, y));
    platform.DeliverPaints();
}

void THeadlessWindow::MouseWheel(std::int32_t x, std::int32_t y, std::int32_t notches)
{
    FPlatform.SetPointerFromInput(ClientToScreen(TPoint{x, y}));
    const TUIWheelEvent event{notches, FPlatform.Modifiers() | FPlatform.HeldButtons(),
                              TPoint{x, y}};
    THeadlessPlatform& platform = FPlatform;
    FListener.HandleMouseWheel(event);
    platform.DeliverPaints();
}

void THeadlessWindow::MouseDown(TMouseButton button, std::int32_t x, std::int32_t y,
                                bool doubleClick)
{
    FPlatform.SetPointerFromInput(ClientToScreen(TPoint{x, y}));
    FPointerInside = true;
    FPlatform.SetHeldButtons(FPlatform.HeldButtons() | ButtonShift(button));
    TUIMouseEvent event = MakeEvent(button, x, y);
    if (doubleClick)
    {
        event.Shift = event.Shift | ssDouble;
    }
    THeadlessPlatform& platform = FPlatform;
    FListener.HandleMouseDown(event);
    platform.DeliverPaints();
}

void THeadlessWindow::MouseUp(TMouseButton button, std::int32_t x, std::int32_t y)
{
    FPlatform.SetPointerFromInput(ClientToScreen(TPoint{x, y}));
    FPlatform.SetHeldButtons(FPlatform.HeldButtons() & ~ButtonShift(button));
    THeadlessPlatform& platform = FPlatform;
    FListener.HandleMouseUp(MakeEvent(button, x, y));
    platform.DeliverPaints();
}

void THeadlessWindow::Click(TMouseButton button, std::int32_t x, std::int32_t y)
{
    MouseDown(button, x, y);
    MouseUp(button, x, y);
}

void THeadlessWindow::MouseLeave()
{
    if (FPointerInside)
    {
        FPointerInside = false;
        THeadlessPlatform& platform = FPlatform;
        FListener.HandleMouseLeave();
        platform.DeliverPaints();
    }
}

} // namespace orvo
