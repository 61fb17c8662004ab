#include "editor/toolkit/cDIBButton.h"

namespace orvo
{

void TAbstractDIBButton::SetDown(bool down)
{
    FDown = down;
    UpdateState();
}

void TAbstractDIBButton::UpdateState()
{
    TButtonState state = bsUp;
    if (!Enabled())
    {
        state = bsDisabled;
    }
    else if (FDown)
    {
        state = bsDown;
    }
    else if (MouseOver())
    {
        state = LeftPressed() ? bsPressed : bsHot;
    }
    if (state != FState)
    {
        FState = state;
        Invalidate();
    }
}

void TAbstractDIBButton::MouseDown(TMouseButton button, TShiftState shift, std::int32_t x,
                                   std::int32_t y)
{
    TCustomDIBControl::MouseDown(button, shift, x, y);
    if (button == mbLeft)
    {
        UpdateState();
    }
}

void TAbstractDIBButton::MouseUp(TMouseButton button, TShiftState shift, std::int32_t x,
                                 std::int32_t y)
{
    TCustomDIBControl::MouseUp(button, shift, x, y);
    if (button == mbLeft)
    {
        UpdateState();
    }
}

void TAbstractDIBButton::MouseEnter()
{
    TCustomDIBControl::MouseEnter();
    UpdateState();
}

void TAbstractDIBButton::MouseLeave()
{
    TCustomDIBControl::MouseLeave();
    UpdateState();
}

void TAbstractDIBButton::Click()
{
    TCustomDIBControl::Click();
    if (ToggleDown)
    {
        SetDown(!FDown);
    }
}

void TAbstractDIBButton::CaptureLost()
{
    TCustomDIBControl::CaptureLost();
    UpdateState();
}

} // namespace orvo
