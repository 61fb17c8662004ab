#include "editor/toolkit/cDIBFadeLabel.h"

#include "editor/toolkit/cDIBPanel.h"

#include <cmath>

namespace orvo
{

TCustomDIBFadeLabel::TCustomDIBFadeLabel(TDIBComponent* owner, TCustomDIBContainer* parent)
    : TCustomDIBControl(owner, parent), FFadeTimer(Platform(), this)
{
    FFadeTimer.SetInterval(FFrameDelay);
    FFadeTimer.SetOnTimer([this](TDIBComponent&) { FadeTick(); });
    RebuildFadeColors();
}

void TCustomDIBFadeLabel::SetCaption(std::string caption)
{
    if (caption != FCaption)
    {
        FCaption = std::move(caption);
        ApplyAutoSize();
        Invalidate();
    }
}

void TCustomDIBFadeLabel::SetFont(const TUIFont& font, TColor colour)
{
    const bool colourChanged = colour != FFontColor;
    FFont = font;
    FFontColor = colour;
    if (!MouseOver())
    {
        FCurrentColor = FFontColor;
    }
    if (colourChanged)
    {
        RebuildFadeColors();
    }
    ApplyAutoSize();
    Invalidate();
}

void TCustomDIBFadeLabel::SetColorHighlighted(TColor colour)
{
    if (colour != FColorHighlighted)
    {
        FColorHighlighted = colour;
        if (MouseOver())
        {
            FCurrentColor = colour;
            Invalidate();
        }
        RebuildFadeColors();
    }
}

void TCustomDIBFadeLabel::SetFrameCount(std::uint8_t count)
{
    if (count != FFrameCount)
    {
        FFrameCount = count;
        RebuildFadeColors();
    }
}

void TCustomDIBFadeLabel::SetAlignment(TTextAlignment alignment)
{
    FAlignment = alignment;
    Invalidate();
}

void TCustomDIBFadeLabel::SetLayout(TTextLayout layout)
{
    FLayout = layout;
    Invalidate();
}

void TCustomDIBFadeLabel::SetAutoSize(bool autoSize)
{
    FAutoSize = autoSize;
    ApplyAutoSize();
}

void TCustomDIBFadeLabel::ApplyAutoSize()
{
    if (FAutoSize && Container() != nullptr)
    {
        const TSize size = Platform().TextRenderer().MeasureText(FFont, FCaption, Format(),
                                                                 WordWrap ? Width() : 0);
        SetSize(size.Width, size.Height);
    }
}

// Entry k has, per channel, Trunc(a + (k + 1) x (b - a) / FrameCount), the steps summed one
// by one in double precision. The sum can fall short of b by a rounding error, which would
// truncate to b - 1: the last entry is set to the highlight colour itself.
void TCustomDIBFadeLabel::RebuildFadeColors()
{
    FFadeColors.clear();
    if (FFrameCount < 2)
    {
        return;
    }
    const double count = FFrameCount;
    const double stepRed =
        (RedOf(FColorHighlighted) - static_cast<double>(RedOf(FFontColor))) / count;
    const double stepGreen =
        (GreenOf(FColorHighlighted) - static_cast<double>(GreenOf(FFontColor))) / count;
    const double stepBlue =
        (BlueOf(FColorHighlighted) - static_cast<double>(BlueOf(FFontColor))) / count;
    double red = RedOf(FFontColor);
    double green = GreenOf(FFontColor);
    double blue = BlueOf(FFontColor);
    for (std::int32_t k = 0; k < FFrameCount; ++k)
    {
        red += stepRed;
        green += stepGreen;
        blue += stepBlue;
        FFadeColors.push_back(MakeColor(static_cast<std::uint8_t>(std::trunc(red)),
                                        static_cast<std::uint8_t>(std::trunc(green)),
                                        static_cast<std::uint8_t>(std::trunc(blue))));
    }
    FFadeColors.back() = FColorHighlighted;
}

void TCustomDIBFadeLabel::MouseEnter()
{
    const bool wasOver = MouseOver();
    TCustomDIBControl::MouseEnter();
    if (!wasOver)
    {
        FFadeTimer.SetEnabled(false);
        FCurrentColor = FColorHighlighted;
        Invalidate();
    }
}

void TCustomDIBFadeLabel::MouseLeave()
{
    TCustomDIBControl::MouseLeave();
    if (FFrameCount > 1 && FFrameDelay > 0)
    {
        FFadeTimer.SetEnabled(false);
        FFadeTimer.SetInterval(FFrameDelay);
        FFadeIndex = FFrameCount - 1;
        FFadeTimer.SetEnabled(true);
    }
    else
    {
        FCurrentColor = FFontColor;
        Invalidate();
    }
}

void TCustomDIBFadeLabel::FadeTick()
{
    if (FFadeIndex > 0 && FFadeIndex < static_cast<std::int32_t>(FFadeColors.size()))
    {
        FCurrentColor = FFadeColors[static_cast<std::size_t>(FFadeIndex)];
        --FFadeIndex;
    }
    else
    {
        FFadeTimer.SetEnabled(false);
        FCurrentColor = FFontColor;
    }
    Invalidate();
}

TTextFormat TCustomDIBFadeLabel::Format() const
{
    TTextFormat format;
    format.Alignment = FAlignment;
    format.WordWrap = WordWrap;
    format.ExpandTabs = true;
    format.ShowAccelChar = ShowAccelChar;
    return format;
}

void TCustomDIBFadeLabel::Paint(TWinDIB& canvas)
{
    const TRect client{0, 0, Width(), Height()};
    if (!Transparent)
    {
        canvas.Fill(client, Color);
    }
    if (FCaption.empty())
    {
        return;
    }
    const TTextFormat format = Format();
    TRect box = client;
    if (FLayout != tlTop)
    {
        const std::int32_t textHeight =
            canvas.MeasureText(FCaption, FFont, format, WordWrap ? Width() : 0).Height;
        box = box.Offset(0,
                         FLayout == tlCenter ? (Height() - textHeight) / 2 : Height() - textHeight);
    }
    if (!Enabled())
    {
        canvas.DrawText(box.Offset(1, 1), FCaption, FFont, FColorHighlighted, format);
        canvas.DrawText(box, FCaption, FFont, FFontColor, format);
        return;
    }
    canvas.DrawText(box, FCaption, FFont, FCurrentColor, format);
}

} // namespace orvo
