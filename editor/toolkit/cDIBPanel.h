// Containers: a window that composes its background and child controls into one
// off-screen image, only inside the invalid rectangle, and copies that rectangle to the
// screen in one operation. It routes mouse input to the topmost control under the
// pointer, tracks pointer enter and leave, shows a control's pop-up menu on a right click
// and offers the hint texts of the controls under the pointer.
#pragma once

#include "editor/toolkit/cDIB.h"
#include "editor/toolkit/cDIBComponent.h"
#include "editor/toolkit/cDIBControl.h"
#include "editor/toolkit/cDIBImageList.h"
#include "editor/toolkit/cDIBTimer.h"
#include "platform/ui/IUIPlatform.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orvo
{

enum TTileMethod : std::uint8_t
{
    tmCenter,
    tmTile
};

enum TBorderDrawPosition : std::uint8_t
{
    bdOverControls,
    bdUnderControls
};

/// Called with the hint text of the control the pointer rests on; the handler may change
/// or clear the text. The toolkit shows no tooltip window of its own.
using TShowHintEvent = std::function<void(std::string& hintText, TCustomDIBControl& control)>;

class TCustomDIBContainer : public TDIBComponent, private IUIWindowListener
{
  public:
    /// Creates the container's window as a child of the native window parent, at bounds
    /// (position in the parent, client size). Throws EDIBError when the window system
    /// cannot make the window.
    TCustomDIBContainer(IUIPlatform& platform, TDIBComponent* owner, std::uintptr_t parent,
                        const TRect& bounds);
    ~TCustomDIBContainer() override;

    IUIPlatform& Platform() const { return FPlatform; }
    IUIWindow& Window() const { return *FWindow; }
    std::int32_t Width() const { return FComposite.Width(); }
    std::int32_t Height() const { return FComposite.Height(); }
    TRect ClientRect() const { return TRect{0, 0, Width(), Height()}; }
    void SetBounds(const TRect& bounds);

    /// The colour behind a missing or off-size background.
    TColor Color = MakeColor(240, 240, 240);

    /// Marks rect (client pixels) for repainting on the next paint.
    void Invalidate(const TRect& rect);
    void Invalidate() { Invalidate(ClientRect()); }
    /// Paints the pending invalid rectangle now instead of waiting for the window system.
    void Update();
    /// Composes rect into the off-screen image and copies it to the window.
    void PaintRect(const TRect& rect);
    /// The composed image (client-sized).
    const TWinDIB& Composite() const { return FComposite; }

    /// Child controls in order of creation: later ones are painted on top and take the mouse.
    const std::vector<TCustomDIBControl*>& Controls() const { return FControls; }
    /// The topmost visible, enabled control at a client point, or null.
    TCustomDIBControl* ControlAt(TPoint client) const;
    TCustomDIBControl* HoveredControl() const { return FHovered; }

    // Hints: once the pointer has rested HintPause ms on a control (once per entry),
    // OnShowHint receives the control's Hint text when it is not empty.
    bool ShowHint = false;
    void SetHintPause(std::uint32_t milliseconds) { FHintPause = milliseconds; }
    std::uint32_t HintPause() const { return FHintPause; }
    TShowHintEvent OnShowHint;
    /// Offers control's hint at once (after a change made by the user).
    void ActivateHint(TCustomDIBControl& control);

    // Mouse input on the container itself (not on a control), client pixels.
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;

  protected:
    /// Draws what lies under the controls into the composite, whose clip rectangle is rect.
    virtual void PaintBackground(TWinDIB& composite, const TRect& rect);

  private:
    friend class TCustomDIBControl;
    void AddControl(TCustomDIBControl* control);
    void RemoveControl(TCustomDIBControl* control);
    void ControlHidden(TCustomDIBControl* control);
    void SetHovered(TCustomDIBControl* control);
    /// Starts the hint pause for FHintControl; without a free timer there is no hint.
    void StartHintTimer();
    void ShowHintFor(TCustomDIBControl& control);

    // IUIWindowListener
    void HandlePaint(const TRect& invalid) override;
    void HandleMouseDown(const TUIMouseEvent& event) override;
    void HandleMouseMove(const TUIMouseEvent& event) override;
    void HandleMouseUp(const TUIMouseEvent& event) override;
    void HandleMouseLeave() override;
    void HandleMouseWheel(const TUIWheelEvent& event) override;

    IUIPlatform& FPlatform;
    std::unique_ptr<IUIWindow> FWindow;
    TWinDIB FComposite;
    TWinDIB FScratch;
    TRect FInvalid;
    std::vector<TCustomDIBControl*> FControls;
    TCustomDIBControl* FHovered = nullptr;
    // The control holding the mouse between a press and the release of every button;
    // FCapturedSelf when the press landed on the container itself.
    TCustomDIBControl* FCaptured = nullptr;
    bool FCapturedSelf = false;
    TCustomDIBControl* FRightPressed = nullptr;
    TDIBTimer FHintTimer;
    TCustomDIBControl* FHintControl = nullptr;
    std::uint32_t FHintPause = 500;
};

/// The container of the editor: a background image from an image list, centred or tiled.
class TDIBImageContainer : public TCustomDIBContainer
{
  public:
    using TCustomDIBContainer::TCustomDIBContainer;

    TDIBImageLink IndexImage;
    TTileMethod TileMethod = tmCenter;
    TBorderDrawPosition BorderDrawPosition = bdOverControls; // no border image is drawn

  protected:
    void PaintBackground(TWinDIB& composite, const TRect& rect) override;
};

} // namespace orvo
