#include "editor/toolkit/cDIBPanel.h"

#include "editor/toolkit/EDIBError.h"
#include "editor/toolkit/cDIBMenu.h"

#include <algorithm>

namespace orvo
{

TCustomDIBContainer::TCustomDIBContainer(IUIPlatform& platform, TDIBComponent* owner,
                                         std::uintptr_t parent, const TRect& bounds)
    : TDIBComponent(owner), FPlatform(platform), FHintTimer(platform)
{
    FWindow = FPlatform.CreateChildWindow(parent, bounds, *this);
    if (!FWindow)
    {
        throw EDIBError("Could not create the window");
    }
    FComposite.SetTextRenderer(&FPlatform.TextRenderer());
    FScratch.SetTextRenderer(&FPlatform.TextRenderer());
    FComposite.SetSize(bounds.Width(), bounds.Height());
    FInvalid = ClientRect();
    FHintTimer.SetOnTimer(
        [this](TDIBComponent&)
        {
            FHintTimer.SetEnabled(false);
            if (FHintControl != nullptr && FHintControl == FHovered)
            {
                ShowHintFor(*FHintControl);
            }
        });
}

TCustomDIBContainer::~TCustomDIBContainer()
{
    for (TCustomDIBControl* control : FControls)
    {
        control->FContainer = nullptr;
    }
    FControls.clear();
}

void TCustomDIBContainer::SetBounds(const TRect& bounds)
{
    FWindow->SetBounds(bounds);
    if (bounds.Width() != Width() || bounds.Height() != Height())
    {
        FComposite.SetSize(bounds.Width(), bounds.Height());
    }
    Invalidate();
}

void TCustomDIBContainer::AddControl(TCustomDIBControl* control)
{
    FControls.push_back(control);
    Invalidate(control->BoundsRect());
}

void TCustomDIBContainer::RemoveControl(TCustomDIBControl* control)
{
    ControlHidden(control);
    if (FRightPressed == control)
    {
        FRightPressed = nullptr;
    }
    std::erase(FControls, control);
}

void TCustomDIBContainer::ControlHidden(TCustomDIBControl* control)
{
    if (FHintControl == control)
    {
        FHintControl = nullptr;
        FHintTimer.SetEnabled(false);
    }
    if (FHovered == control)
    {
        FHovered = nullptr;
        control->MouseLeave();
    }
    if (FCaptured == control)
    {
        FCaptured = nullptr;
        FWindow->SetMouseCapture(false);
        control->CaptureLost();
    }
}

void TCustomDIBContainer::Invalidate(const TRect& rect)
{
    const TRect area = rect.Intersection(ClientRect());
    if (area.IsEmpty())
    {
        return;
    }
    FInvalid = FInvalid.Union(area);
    FWindow->Invalidate(area);
}

void TCustomDIBContainer::Update()
{
    if (!FInvalid.IsEmpty())
    {
        PaintRect(FInvalid);
    }
}

void TCustomDIBContainer::HandlePaint(const TRect& invalid)
{
    PaintRect(invalid.Union(FInvalid));
}

void TCustomDIBContainer::PaintRect(const TRect& rect)
{
    const TRect area = rect.Intersection(ClientRect());
    FInvalid = TRect{};
    if (area.IsEmpty())
    {
        return;
    }
    FComposite.SetClipRect(area);
    PaintBackground(FComposite, area);
    for (TCustomDIBControl* control : FControls)
    {
        const TRect bounds = control->BoundsRect();
        if (!control->Visible() || !bounds.Intersects(area))
        {
            continue;
        }
        FScratch.SetSize(bounds.Width(), bounds.Height());
        FScratch.SetOpacity(255);
        FScratch.SetClipRect(area.Offset(-bounds.Left, -bounds.Top));
        FComposite.Draw(FScratch, 0, 0, bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
        control->Paint(FScratch);
        // Unmasked: at 255 the control's rectangle replaces what was there; below, the
        // whole control, content and all, is blended with it.
        FScratch.SetOpacity(control->Opacity());
        FScratch.Draw(FComposite, bounds.Left, bounds.Top);
    }
    FComposite.ResetClipRect();
    FWindow->Present(FComposite.View(), area);
}

void TCustomDIBContainer::PaintBackground(TWinDIB& composite, const TRect& rect)
{
    composite.Fill(rect, Color);
}

TCustomDIBControl* TCustomDIBContainer::ControlAt(TPoint client) const
{
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it)
    {
        TCustomDIBControl* control = *it;
        if (control->Visible() && control->Enabled() && control->BoundsRect().Contains(client))
        {
            return control;
        }
    }
    return nullptr;
}

void TCustomDIBContainer::SetHovered(TCustomDIBControl* control)
{
    if (control == FHovered)
    {
        return;
    }
    TCustomDIBControl* previous = FHovered;
    FHovered = control;
    if (previous != nullptr)
    {
        previous->MouseLeave();
    }
    FHintTimer.SetEnabled(false);
    FHintControl = nullptr;
    if (FHovered != nullptr)
    {
        FHovered->MouseEnter();
        if (ShowHint && FHovered == control)
        {
            FHintControl = control;
            if (FHintPause == 0)
            {
                ShowHintFor(*control);
            }
            else
            {
                StartHintTimer();
            }
        }
    }
}

void TCustomDIBContainer::StartHintTimer()
{
    // Runs inside mouse handling, which the window system calls: when it has no timer
    // left, this entry shows no hint and the mouse event goes on as usual.
    try
    {
        FHintTimer.SetInterval(FHintPause);
        FHintTimer.SetEnabled(true);
    }
    catch (const EDIBError&)
    {
        FHintTimer.SetEnabled(false);
        FHintControl = nullptr;
    }
}

void TCustomDIBContainer::ShowHintFor(TCustomDIBControl& control)
{
    std::string text = control.Hint;
    if (!text.empty() && OnShowHint)
    {
        const TShowHintEvent onShowHint = OnShowHint;
        onShowHint(text, control);
    }
}

void TCustomDIBContainer::ActivateHint(TCustomDIBControl& control)
{
    if (ShowHint)
    {
        ShowHintFor(control);
    }
}

void TCustomDIBContainer::HandleMouseDown(const TUIMouseEvent& event)
{
    const TPoint p = event.Position;
    if (FCaptured == nullptr && !FCapturedSelf)
    {
        FCaptured = ControlAt(p);
        FCapturedSelf = FCaptured == nullptr;
        FWindow->SetMouseCapture(true);
        SetHovered(FCaptured);
    }
    if (FCaptured != nullptr)
    {
        TCustomDIBControl* control = FCaptured;
        if (event.Button == mbRight)
        {
            FRightPressed = control;
        }
        control->MouseDown(event.Button, event.Shift, p.X - control->Left(), p.Y - control->Top());
    }
    else if (OnMouseDown)
    {
        OnMouseDown(*this, event.Button, event.Shift, p.X, p.Y);
    }
}

void TCustomDIBContainer::HandleMouseWheel(const TUIWheelEvent& event)
{
    // A turn during a drag would fight the drag for the value: the holder alone acts.
    if (FCaptured != nullptr || FCapturedSelf)
    {
        return;
    }
    if (TCustomDIBControl* control = ControlAt(event.Position))
    {
        control->MouseWheel(event.Notches, event.Shift);
    }
}

void TCustomDIBContainer::HandleMouseMove(const TUIMouseEvent& event)
{
    const TPoint p = event.Position;
    if (FCaptured != nullptr)
    {
        // While a control holds the mouse it alone counts as hovered, and only while the
        // pointer is over it.
        SetHovered(FCaptured->BoundsRect().Contains(p) ? FCaptured : nullptr);
        if (FCaptured != nullptr)
        {
            FCaptured->MouseMove(event.Shift, p.X - FCaptured->Left(), p.Y - FCaptured->Top());
        }
        return;
    }
    if (FCapturedSelf)
    {
        SetHovered(nullptr);
    }
    else
    {
        SetHovered(ControlAt(p));
    }
    if (FHovered != nullptr)
    {
        FHovered->MouseMove(event.Shift, p.X - FHovered->Left(), p.Y - FHovered->Top());
    }
    else if (OnMouseMove)
    {
        OnMouseMove(*this, event.Shift, p.X, p.Y);
    }
}

void TCustomDIBContainer::HandleMouseUp(const TUIMouseEvent& event)
{
    const TPoint p = event.Position;
    const bool buttonsLeft = (event.Shift & (ssLeft | ssRight | ssMiddle)) != ssNone;
    TCustomDIBControl* control = FCaptured;
    const bool self = FCapturedSelf;
    if (!buttonsLeft)
    {
        FCaptured = nullptr;
        FCapturedSelf = false;
        FWindow->SetMouseCapture(false);
    }
    if (control != nullptr)
    {
        control->MouseUp(event.Button, event.Shift, p.X - control->Left(), p.Y - control->Top());
    }
    else if ((self || !buttonsLeft) && OnMouseUp)
    {
        OnMouseUp(*this, event.Button, event.Shift, p.X, p.Y);
    }
    // Context menus open after the right button comes up over the control it went down on.
    if (event.Button == mbRight && control != nullptr && control == FRightPressed)
    {
        FRightPressed = nullptr;
        if (control->PopupMenu != nullptr && control->Visible() &&
            control->BoundsRect().Contains(p))
        {
            control->PopupMenu->Popup(FPlatform, FWindow.get(), FWindow->ClientToScreen(p));
        }
    }
    if (!buttonsLeft)
    {
        SetHovered(ControlAt(p));
    }
}

void TCustomDIBContainer::HandleMouseLeave()
{
    if (FCaptured == nullptr)
    {
        SetHovered(nullptr);
    }
}

void TDIBImageContainer::PaintBackground(TWinDIB& composite, const TRect& rect)
{
    TMemoryDIB background;
    const bool hasBackground = IndexImage.GetImage(background);
    if (!hasBackground || (TileMethod == tmCenter &&
                           (background.Width() != Width() || background.Height() != Height())))
    {
        composite.Fill(rect, Color);
    }
    if (!hasBackground)
    {
        return;
    }
    const std::int32_t imageWidth = background.Width();
    const std::int32_t imageHeight = background.Height();
    if (TileMethod == tmCenter)
    {
        background.Draw(composite, Width() / 2 - imageWidth / 2, Height() / 2 - imageHeight / 2);
        return;
    }
    for (std::int32_t y = (rect.Top / imageHeight) * imageHeight; y < rect.Bottom; y += imageHeight)
    {
        for (std::int32_t x = (rect.Left / imageWidth) * imageWidth; x < rect.Right;
             x += imageWidth)
        {
            background.Draw(composite, x, y);
        }
    }
}

} // namespace orvo
