// The behaviour shared by the toolkit's buttons: the Down state, toggling on a click and
// the visual state that follows Enabled, Down, hover and the left button.
#pragma once

#include "editor/toolkit/cDIBControl.h"

#include <cstdint>

namespace orvo
{

enum TButtonState : std::uint8_t
{
    bsUp = 0,
    bsPressed = 1,
    bsDisabled = 2,
    bsHot = 3,
    bsDown = 4
};

class TAbstractDIBButton : public TCustomDIBControl
{
  public:
    using TCustomDIBControl::TCustomDIBControl;

    bool Down() const { return FDown; }
    /// Stores the state and repaints if the visual state changes; raises no event.
    void SetDown(bool down);
    TButtonState State() const { return FState; }

    /// Set: every click flips Down after OnClick has run.
    bool ToggleDown = false;

    void MouseDown(TMouseButton button, TShiftState shift, std::int32_t x, std::int32_t y) override;
    void MouseUp(TMouseButton button, TShiftState shift, std::int32_t x, std::int32_t y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void Click() override;
    void CaptureLost() override;

  protected:
    void EnabledChanged() override { UpdateState(); }
    void UpdateState();

  private:
    bool FDown = false;
    TButtonState FState = bsUp;
};

} // namespace orvo
