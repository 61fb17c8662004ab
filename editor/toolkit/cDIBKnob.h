// The filmstrip knob: a strip of NumGlyphs equal frames side by side, one shown per
// position (or two neighbours cross-faded), moved by a relative drag that keeps the
// pointer hidden at the place where the drag began.
#pragma once

#include "editor/toolkit/cDIBControl.h"
#include "editor/toolkit/cDIBImageList.h"

#include <cstdint>

namespace orvo
{

enum TKnobOrientation : std::uint8_t
{
    koVertical,
    koHorizontal
};

/// Keys a knob reacts to while it has keyboard focus.
enum TKnobKey : std::uint8_t
{
    kkPageUp,
    kkPageDown,
    kkUp,
    kkDown,
    kkLeft,
    kkRight
};

/// The frames to show for a position, and the weight of the lower one.
struct TKnobFrames
{
    std::int32_t Hi = 0;
    std::int32_t Lo = 0;
    std::uint8_t LoWeight = 255; // opacity of frame Lo drawn over frame Hi
};

class TCustomDIBKnob : public TCustomDIBControl
{
  public:
    explicit TCustomDIBKnob(TDIBComponent* owner, TCustomDIBContainer* parent = nullptr);
    ~TCustomDIBKnob() override;

    std::int32_t Min() const { return FMin; }
    std::int32_t Max() const { return FMax; }
    std::int32_t Position() const { return FPosition; }
    float Fraction() const { return FFraction; }
    std::int32_t NumGlyphs() const { return FNumGlyphs; }
    bool DrawTweens() const { return FDrawTweens; }
    bool Dragging() const { return FDragging; }

    /// Clamps into Min..Max; a new value is stored and raises OnChange before returning.
    /// Repaints in every case.
    void SetPosition(std::int32_t position);
    /// Min stays below Max: setting one past the other moves the other along.
    void SetMin(std::int32_t value);
    void SetMax(std::int32_t value);
    /// Throws EDIBError "NumGlyphs must be greater than 0." for 0 or less.
    void SetNumGlyphs(std::int32_t count);
    void SetDrawTweens(bool drawTweens);
    void SetLoopLastFrame(bool loop);
    void SetIndexMain(const TDIBImageLink& link);
    const TDIBImageLink& IndexMain() const { return FIndexMain; }
    void SetAutoSize(bool autoSize);
    bool AutoSize() const { return FAutoSize; }

    std::uint16_t SmallChange = 1;
    std::uint16_t PageSize = 5;
    /// Positions one notch of the wheel moves, plain and with Shift held.
    std::uint16_t WheelStep = 1;
    std::uint16_t WheelFineStep = 1;
    TKnobOrientation Orientation = koVertical;
    /// Set: a drag moves PageSize per pixel, SmallChange with Shift held. Clear: SmallChange.
    bool UseFineTune = false;
    /// Pixels of drag that count as one (the form's scale): at 2, two pixels move a step.
    double DragScale = 1.0;
    TNotifyEvent OnChange;
    /// A drag begins (left press, after OnMouseDown) and ends (release, capture lost, or
    /// CancelDrag): the gesture hosts record automation in. A turn of the wheel is a
    /// gesture of its own: both are raised around its change.
    TNotifyEvent OnDragStart;
    TNotifyEvent OnDragEnd;

    /// Ends a running drag as a release would (the window closes under it).
    void CancelDrag();

    /// The frame shown without tweens.
    std::int32_t FrameIndex() const;
    /// The two frames and the weight shown with tweens.
    TKnobFrames TweenFrames() const;

    /// Page Up/Down add/subtract PageSize, Up and Right add SmallChange, Left and Down
    /// subtract it. Only called while the knob has keyboard focus.
    void KeyDown(TKnobKey key);

    void Paint(TWinDIB& canvas) override;
    void MouseDown(TMouseButton button, TShiftState shift, std::int32_t x, std::int32_t y) override;
    void MouseMove(TShiftState shift, std::int32_t x, std::int32_t y) override;
    void MouseUp(TMouseButton button, TShiftState shift, std::int32_t x, std::int32_t y) override;
    void CaptureLost() override;
    /// Moves WheelStep per notch (WheelFineStep with Shift held), up for positive notches.
    void MouseWheel(std::int32_t notches, TShiftState shift) override;

  private:
    void ApplyAutoSize();
    void EndDrag();
    std::int64_t Range() const { return static_cast<std::int64_t>(FMax) - FMin; }

    TDIBImageLink FIndexMain;
    std::int32_t FMin = 0;
    std::int32_t FMax = 100;
    std::int32_t FPosition = 0;
    float FFraction = 0.0f;
    std::int32_t FNumGlyphs = 1;
    bool FDrawTweens = false;
    bool FLoopLastFrame = false;
    bool FAutoSize = true;
    bool FDragging = false;
    TPoint FDragOrigin;
    double FDragRemainder = 0.0; // drag short of a whole step, in pixels over DragScale
};

class TDIBKnob : public TCustomDIBKnob
{
  public:
    using TCustomDIBKnob::TCustomDIBKnob;
};

} // namespace orvo
