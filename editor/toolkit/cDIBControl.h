// The base of the toolkit's controls: a non-windowed rectangle on a container that paints
// into the container's scratch image and receives the mouse input the container routes to
// it (in control coordinates).
#pragma once

#include "editor/toolkit/cDIB.h"
#include "editor/toolkit/cDIBComponent.h"
#include "platform/ui/IUIPlatform.h"
#include "platform/ui/UIInput.h"

#include <cstdint>
#include <functional>
#include <string>

namespace orvo
{

class TCustomDIBContainer;
class TDIBImageList;
class TDIBPopupMenu;

using TMouseEvent = std::function<void(TDIBComponent& sender, TMouseButton button,
                                       TShiftState shift, std::int32_t x, std::int32_t y)>;
using TMouseMoveEvent =
    std::function<void(TDIBComponent& sender, TShiftState shift, std::int32_t x, std::int32_t y)>;

class TCustomDIBControl : public TDIBComponent
{
  public:
    static constexpr std::int32_t DefaultSize = 32;

    /// The control lives on parent, or, when parent is null, on owner itself if it is a
    /// container, else on the first container among owner's components. Throws EDIBError
    /// "Owner cannot be nil" without an owner and "Parent must be a TDIBContainer" when no
    /// container is found.
    explicit TCustomDIBControl(TDIBComponent* owner, TCustomDIBContainer* parent = nullptr);
    ~TCustomDIBControl() override;

    TCustomDIBContainer* Container() const { return FContainer; }
    /// The window system of the container. Only valid while the container exists.
    IUIPlatform& Platform() const;

    TRect BoundsRect() const { return FBounds; }
    std::int32_t Left() const { return FBounds.Left; }
    std::int32_t Top() const { return FBounds.Top; }
    std::int32_t Width() const { return FBounds.Width(); }
    std::int32_t Height() const { return FBounds.Height(); }
    void SetBounds(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height);
    void SetSize(std::int32_t width, std::int32_t height);

    bool Visible() const { return FVisible; }
    void SetVisible(bool visible);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool enabled);
    std::uint8_t Opacity() const { return FOpacity; }
    /// A different value repaints the control; the same value does nothing.
    void SetOpacity(std::uint8_t opacity);

    /// Repaints the control's rectangle of the container.
    void Invalidate();

    /// Paints the control's content into canvas, sized to the control and clipped to the
    /// part being repainted; canvas already holds what lies under the control.
    virtual void Paint(TWinDIB& canvas) = 0;

    bool MouseOver() const { return FMouseOver; }
    /// True when the left button went down on the control and has not come up yet.
    bool LeftPressed() const { return HasShift(FPressed, ssLeft); }

    std::string Hint;
    TDIBPopupMenu* PopupMenu = nullptr;
    TDIBImageList* DIBImageList = nullptr;
    std::int16_t DIBTabOrder = -1; // negative: never takes keyboard focus

    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnClick;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    // Input as routed by the container, in control coordinates. Overrides call the base
    // first, so the events run before the control's own reaction.
    virtual void MouseDown(TMouseButton button, TShiftState shift, std::int32_t x, std::int32_t y);
    virtual void MouseMove(TShiftState shift, std::int32_t x, std::int32_t y);
    /// Raises OnMouseUp, then Click when the left button comes up inside the control
    /// after going down on it.
    virtual void MouseUp(TMouseButton button, TShiftState shift, std::int32_t x, std::int32_t y);
    /// The wheel turned over the control (notches positive up); nothing by default.
    virtual void MouseWheel(std::int32_t /*notches*/, TShiftState /*shift*/) {}
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void Click();

    /// The container took the mouse away (the control was hidden, disabled or the window
    /// lost it) while buttons were held: no release will arrive.
    virtual void CaptureLost() { FPressed = ssNone; }

  protected:
    virtual void EnabledChanged() {}

  private:
    friend class TCustomDIBContainer;

    TCustomDIBContainer* FContainer = nullptr;
    TRect FBounds = TRect{0, 0, DefaultSize, DefaultSize};
    bool FVisible = true;
    bool FEnabled = true;
    std::uint8_t FOpacity = 255;
    bool FMouseOver = false;
    TShiftState FPressed = ssNone;
};

} // namespace orvo
