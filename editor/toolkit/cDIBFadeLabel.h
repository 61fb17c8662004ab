// The fade label: a line of text that lights up in ColorHighlighted while the pointer is
// over it and fades back to its font colour through FrameCount precomputed colours, one
// every FrameDelay ms, when the pointer leaves.
#pragma once

#include "editor/toolkit/cDIBControl.h"
#include "editor/toolkit/cDIBTimer.h"
#include "platform/ui/IUITextRenderer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace orvo
{

enum TTextLayout : std::uint8_t
{
    tlTop,
    tlCenter,
    tlBottom
};

constexpr TColor clBlack = MakeColor(0, 0, 0);
constexpr TColor clWhite = MakeColor(255, 255, 255);

class TCustomDIBFadeLabel : public TCustomDIBControl
{
  public:
    explicit TCustomDIBFadeLabel(TDIBComponent* owner, TCustomDIBContainer* parent = nullptr);

    const std::string& Caption() const { return FCaption; }
    void SetCaption(std::string caption);
    const TUIFont& Font() const { return FFont; }
    void SetFont(const TUIFont& font, TColor colour);
    TColor ColorHighlighted() const { return FColorHighlighted; }
    void SetColorHighlighted(TColor colour);
    std::uint8_t FrameCount() const { return FFrameCount; }
    void SetFrameCount(std::uint8_t count);
    std::uint32_t FrameDelay() const { return FFrameDelay; }
    void SetFrameDelay(std::uint32_t milliseconds) { FFrameDelay = milliseconds; }
    void SetAlignment(TTextAlignment alignment);
    TTextAlignment Alignment() const { return FAlignment; }
    void SetLayout(TTextLayout layout);
    void SetAutoSize(bool autoSize);

    /// Drawing options; change them before the label is shown (or Invalidate after).
    bool Transparent = true; // clear: the label's rectangle is filled with Color first
    TColor Color = MakeColor(240, 240, 240);
    bool WordWrap = false;
    bool ShowAccelChar = true;

    /// The colour the text is drawn in now.
    TColor CurrentColor() const { return FCurrentColor; }
    /// The fade colours, FrameCount entries (none below 2); the last is ColorHighlighted.
    const std::vector<TColor>& FadeColors() const { return FFadeColors; }

    void Paint(TWinDIB& canvas) override;
    void MouseEnter() override;
    void MouseLeave() override;

  private:
    void RebuildFadeColors();
    void ApplyAutoSize();
    void FadeTick();
    TTextFormat Format() const;

    std::string FCaption;
    TUIFont FFont;
    TColor FFontColor = clBlack;
    TColor FColorHighlighted = clWhite;
    std::uint8_t FFrameCount = 10;
    std::uint32_t FFrameDelay = 50;
    TTextAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = tlTop;
    bool FAutoSize = false;
    TColor FCurrentColor = clBlack;
    std::vector<TColor> FFadeColors;
    std::int32_t FFadeIndex = 0;
    TDIBTimer FFadeTimer;
};

class TDIBFadeLabel : public TCustomDIBFadeLabel
{
  public:
    using TCustomDIBFadeLabel::TCustomDIBFadeLabel;
};

} // namespace orvo
