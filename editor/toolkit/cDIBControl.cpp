#include "editor/toolkit/cDIBControl.h"

#include "editor/toolkit/EDIBError.h"
#include "editor/toolkit/cDIBPanel.h"

namespace orvo
{

namespace
{

TCustomDIBContainer* FindContainer(TDIBComponent* owner, TCustomDIBContainer* parent)
{
    if (owner == nullptr)
    {
        throw EDIBError("Owner cannot be nil");
    }
    if (parent != nullptr)
    {
        return parent;
    }
    if (auto* container = dynamic_cast<TCustomDIBContainer*>(owner))
    {
        return container;
    }
    for (TDIBComponent* component : owner->Components())
    {
        if (auto* container = dynamic_cast<TCustomDIBContainer*>(component))
        {
            return container;
        }
    }
    throw EDIBError("Parent must be a TDIBContainer");
}

} // namespace

TCustomDIBControl::TCustomDIBControl(TDIBComponent* owner, TCustomDIBContainer* parent)
    : TDIBComponent(owner), FContainer(FindContainer(owner, parent))
{
    FContainer->AddControl(this);
}

TCustomDIBControl::~TCustomDIBControl()
{
    if (FContainer != nullptr)
    {
        FContainer->Invalidate(FBounds);
        FContainer->RemoveControl(this);
    }
}

IUIPlatform& TCustomDIBControl::Platform() const
{
    return FContainer->Platform();
}

void TCustomDIBControl::SetBounds(std::int32_t left, std::int32_t top, std::int32_t width,
                                  std::int32_t height)
{
    const TRect bounds = TRect::FromBounds(left, top, std::max(width, 0), std::max(height, 0));
    if (bounds == FBounds)
    {
        return;
    }
    Invalidate();
    FBounds = bounds;
    Invalidate();
}

void TCustomDIBControl::SetSize(std::int32_t width, std::int32_t height)
{
    SetBounds(FBounds.Left, FBounds.Top, width, height);
}

void TCustomDIBControl::SetVisible(bool visible)
{
    if (visible == FVisible)
    {
        return;
    }
    FVisible = visible;
    if (FContainer != nullptr)
    {
        FContainer->Invalidate(FBounds);
        if (!visible)
        {
            FContainer->ControlHidden(this);
        }
    }
}

void TCustomDIBControl::SetEnabled(bool enabled)
{
    if (enabled == FEnabled)
    {
        return;
    }
    FEnabled = enabled;
    if (!enabled && FContainer != nullptr)
    {
        FContainer->ControlHidden(this);
    }
    EnabledChanged();
    Invalidate();
}

void TCustomDIBControl::SetOpacity(std::uint8_t opacity)
{
    if (opacity != FOpacity)
    {
        FOpacity = opacity;
        Invalidate();
    }
}

void TCustomDIBControl::Invalidate()
{
    if (FContainer != nullptr && FVisible)
    {
        FContainer->Invalidate(FBounds);
    }
}

void TCustomDIBControl::MouseDown(TMouseButton button, TShiftState shift, std::int32_t x,
                                  std::int32_t y)
{
    FPressed = FPressed | ButtonShift(button);
    if (OnMouseDown)
    {
        OnMouseDown(*this, button, shift, x, y);
    }
}

void TCustomDIBControl::MouseMove(TShiftState shift, std::int32_t x, std::int32_t y)
{
    if (OnMouseMove)
    {
        OnMouseMove(*this, shift, x, y);
    }
}

void TCustomDIBControl::MouseUp(TMouseButton button, TShiftState shift, std::int32_t x,
                                std::int32_t y)
{
    const bool wasPressed = HasShift(FPressed, ButtonShift(button));
    FPressed = FPressed & ~ButtonShift(button);
    if (OnMouseUp)
    {
        OnMouseUp(*this, button, shift, x, y);
    }
    if (button == mbLeft && wasPressed && TRect{0, 0, Width(), Height()}.Contains(TPoint{x, y}))
    {
        Click();
    }
}

void TCustomDIBControl::MouseEnter()
{
    FMouseOver = true;
    if (OnMouseEnter)
    {
        OnMouseEnter(*this);
    }
}

void TCustomDIBControl::MouseLeave()
{
    FMouseOver = false;
    if (OnMouseLeave)
    {
        OnMouseLeave(*this);
    }
}

void TCustomDIBControl::Click()
{
    if (OnClick)
    {
        OnClick(*this);
    }
}

} // namespace orvo
