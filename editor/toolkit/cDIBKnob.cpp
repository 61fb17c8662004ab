#include "editor/toolkit/cDIBKnob.h"

#include "editor/toolkit/EDIBError.h"
#include "editor/toolkit/cDIBPanel.h"

#include <cmath>
#include <limits>

namespace orvo
{

namespace
{

constexpr std::int32_t Lowest = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t Highest = std::numeric_limits<std::int32_t>::max();

std::int32_t ClampToInt32(std::int64_t value)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, Lowest, Highest));
}

/// Rounds to the nearest integer, halves to the even neighbour, whatever the rounding mode
/// of the process (the host owns it).
long double RoundHalfEven(long double x)
{
    const long double down = std::floor(x);
    const long double rest = x - down;
    if (rest > 0.5L)
    {
        return down + 1;
    }
    if (rest < 0.5L)
    {
        return down;
    }
    return std::fmod(down, 2.0L) == 0 ? down : down + 1;
}

std::int32_t CorrectFrame(std::int64_t index, std::int32_t count, bool loop)
{
    if (index >= count)
    {
        return loop ? 0 : count - 1;
    }
    if (index < 0)
    {
        return loop ? count - 1 : 0;
    }
    return static_cast<std::int32_t>(index);
}

} // namespace

TCustomDIBKnob::TCustomDIBKnob(TDIBComponent* owner, TCustomDIBContainer* parent)
    : TCustomDIBControl(owner, parent)
{
}

TCustomDIBKnob::~TCustomDIBKnob()
{
    // A knob destroyed in the middle of a drag must not leave the pointer hidden.
    if (FDragging && Container() != nullptr)
    {
        Platform().ShowPointer();
    }
}

void TCustomDIBKnob::SetPosition(std::int32_t position)
{
    const std::int32_t clamped = std::clamp(position, FMin, FMax);
    if (clamped != FPosition)
    {
        FPosition = clamped;
        FFraction =
            static_cast<float>(static_cast<double>(FPosition - static_cast<std::int64_t>(FMin)) /
                               static_cast<double>(Range()));
        if (OnChange)
        {
            OnChange(*this);
        }
    }
    Invalidate();
}

// Min and Max stay one apart at least, so that the range is never 0; a value at the edge of
// the 32-bit range moves the bound that cannot follow it.
void TCustomDIBKnob::SetMax(std::int32_t value)
{
    FMax = std::max(value, Lowest + 1);
    if (FMin >= FMax)
    {
        FMin = FMax - 1;
    }
    FFraction =
        static_cast<float>(static_cast<double>(FPosition - static_cast<std::int64_t>(FMin)) /
                           static_cast<double>(Range()));
    if (FPosition > FMax)
    {
        SetPosition(FMax);
    }
    else if (FPosition < FMin)
    {
        SetPosition(FMin);
    }
    Invalidate();
}

void TCustomDIBKnob::SetMin(std::int32_t value)
{
    FMin = std::min(value, Highest - 1);
    if (FMin >= FMax)
    {
        FMax = FMin + 1;
    }
    FFraction =
        static_cast<float>(static_cast<double>(FPosition - static_cast<std::int64_t>(FMin)) /
                           static_cast<double>(Range()));
    if (FPosition < FMin)
    {
        SetPosition(FMin);
    }
    else if (FPosition > FMax)
    {
        SetPosition(FMax);
    }
    Invalidate();
}

void TCustomDIBKnob::SetNumGlyphs(std::int32_t count)
{
    if (count <= 0)
    {
        throw EDIBError("NumGlyphs must be greater than 0.");
    }
    if (count != FNumGlyphs)
    {
        FNumGlyphs = count;
        ApplyAutoSize();
        Invalidate();
    }
}

void TCustomDIBKnob::SetDrawTweens(bool drawTweens)
{
    if (drawTweens != FDrawTweens)
    {
        FDrawTweens = drawTweens;
        Invalidate();
    }
}

void TCustomDIBKnob::SetLoopLastFrame(bool loop)
{
    if (loop != FLoopLastFrame)
    {
        FLoopLastFrame = loop;
        Invalidate();
    }
}

void TCustomDIBKnob::SetIndexMain(const TDIBImageLink& link)
{
    FIndexMain = link;
    ApplyAutoSize();
    Invalidate();
}

void TCustomDIBKnob::SetAutoSize(bool autoSize)
{
    FAutoSize = autoSize;
    ApplyAutoSize();
}

void TCustomDIBKnob::ApplyAutoSize()
{
    TMemoryDIB strip;
    if (FAutoSize && FIndexMain.GetImage(strip))
    {
        SetSize(strip.Width() / FNumGlyphs, strip.Height());
    }
}

std::int32_t TCustomDIBKnob::FrameIndex() const
{
    const std::int64_t offset = static_cast<std::int64_t>(FPosition) - FMin;
    return static_cast<std::int32_t>(offset * FNumGlyphs / (Range() + 1));
}

TKnobFrames TCustomDIBKnob::TweenFrames() const
{
    const long double f = static_cast<long double>(static_cast<std::int64_t>(FPosition) - FMin) /
                          static_cast<long double>(Range()) * FNumGlyphs;
    const long double t = f - std::trunc(f);
    TKnobFrames frames;
    frames.Hi = CorrectFrame(static_cast<std::int64_t>(std::ceil(f)), FNumGlyphs, FLoopLastFrame);
    frames.Lo = CorrectFrame(static_cast<std::int64_t>(std::floor(f)), FNumGlyphs, FLoopLastFrame);
    frames.LoWeight =
        static_cast<std::uint8_t>(255 - static_cast<std::int32_t>(RoundHalfEven(t * 255)));
    return frames;
}

void TCustomDIBKnob::Paint(TWinDIB& canvas)
{
    TMemoryDIB strip;
    if (!FIndexMain.GetImage(strip))
    {
        return;
    }
    const std::int32_t frameWidth = strip.Width() / FNumGlyphs;
    const std::int32_t frameHeight = strip.Height();
    if (!FDrawTweens)
    {
        strip.Draw(canvas, 0, 0, FrameIndex() * frameWidth, 0, frameWidth, frameHeight);
        return;
    }
    const TKnobFrames frames = TweenFrames();
    TMemoryDIB plain; // the strip's pixels with the copy routine
    plain.ShareFrom(strip);
    plain.SetMasked(false);
    plain.SetOpacity(255);
    TMemoryDIB hi;
    hi.SetSize(frameWidth, frameHeight);
    plain.Draw(hi, 0, 0, frames.Hi * frameWidth, 0, frameWidth, frameHeight);
    TMemoryDIB lo;
    lo.SetSize(frameWidth, frameHeight);
    plain.Draw(lo, 0, 0, frames.Lo * frameWidth, 0, frameWidth, frameHeight);
    lo.SetOpacity(frames.LoWeight);
    lo.Draw(hi, 0, 0);
    hi.AssignAttributes(strip);
    hi.Draw(canvas, 0, 0);
}

void TCustomDIBKnob::KeyDown(TKnobKey key)
{
    std::int64_t delta = 0;
    switch (key)
    {
    case kkPageUp:
        delta = PageSize;
        break;
    case kkPageDown:
        delta = -static_cast<std::int64_t>(PageSize);
        break;
    case kkUp:
    case kkRight:
        delta = SmallChange;
        break;
    case kkDown:
    case kkLeft:
        delta = -static_cast<std::int64_t>(SmallChange);
        break;
    }
    SetPosition(ClampToInt32(FPosition + delta));
}

void TCustomDIBKnob::MouseDown(TMouseButton button, TShiftState shift, std::int32_t x,
                               std::int32_t y)
{
    TCustomDIBControl::MouseDown(button, shift, x, y);
    if (button == mbLeft && !FDragging && Container() != nullptr)
    {
        FDragging = true;
        FDragRemainder = 0.0;
        FDragOrigin = Platform().PointerPosition();
        Platform().HidePointer();
        if (OnDragStart)
        {
            OnDragStart(*this);
        }
    }
}

void TCustomDIBKnob::MouseMove(TShiftState shift, std::int32_t x, std::int32_t y)
{
    TCustomDIBControl::MouseMove(shift, x, y);
    if (!FDragging || Container() == nullptr)
    {
        return;
    }
    const TPoint p = Platform().PointerPosition();
    const std::int64_t d = Orientation == koVertical
                               ? static_cast<std::int64_t>(FDragOrigin.Y) - p.Y
                               : static_cast<std::int64_t>(p.X) - FDragOrigin.X;
    if (d == 0)
    {
        return;
    }
    // The pointer goes back to the origin after every move, so the part of a step left
    // over carries to the next move.
    FDragRemainder += static_cast<double>(d) / DragScale;
    const auto steps = static_cast<std::int64_t>(FDragRemainder);
    FDragRemainder -= static_cast<double>(steps);
    const std::int64_t step = (UseFineTune && !HasShift(shift, ssShift)) ? PageSize : SmallChange;
    if (steps != 0)
    {
        SetPosition(ClampToInt32(FPosition + steps * step));
    }
    Platform().MovePointer(FDragOrigin);
}

void TCustomDIBKnob::MouseWheel(std::int32_t notches, TShiftState shift)
{
    if (FDragging || notches == 0)
    {
        return;
    }
    const std::int64_t step = HasShift(shift, ssShift) ? WheelFineStep : WheelStep;
    if (OnDragStart)
    {
        OnDragStart(*this);
    }
    SetPosition(ClampToInt32(FPosition + notches * step));
    if (OnDragEnd)
    {
        OnDragEnd(*this);
    }
}

void TCustomDIBKnob::MouseUp(TMouseButton button, TShiftState shift, std::int32_t x, std::int32_t y)
{
    TCustomDIBControl::MouseUp(button, shift, x, y);
    if (button == mbLeft && FDragging)
    {
        EndDrag();
    }
}

void TCustomDIBKnob::CaptureLost()
{
    TCustomDIBControl::CaptureLost();
    if (FDragging)
    {
        EndDrag();
    }
}

void TCustomDIBKnob::CancelDrag()
{
    if (FDragging)
    {
        EndDrag();
    }
}

void TCustomDIBKnob::EndDrag()
{
    FDragging = false;
    if (Container() != nullptr)
    {
        Platform().MovePointer(FDragOrigin);
        Platform().ShowPointer();
    }
    if (OnDragEnd)
    {
        OnDragEnd(*this);
    }
}

} // namespace orvo
