// The glyph button: a strip of NumGlyphs frames of the button's width, one per visual state.
#pragma once

#include "editor/toolkit/cDIBButton.h"
#include "editor/toolkit/cDIBImageList.h"

#include <cstdint>

namespace orvo
{

class TCustomDIBGlyphButton : public TAbstractDIBButton
{
  public:
    using TAbstractDIBButton::TAbstractDIBButton;

    const TDIBImageLink& Glyph() const { return FGlyph; }
    void SetGlyph(const TDIBImageLink& glyph);
    std::int32_t NumGlyphs() const { return FNumGlyphs; }
    /// Takes 2 to 5; any other count is ignored.
    void SetNumGlyphs(std::int32_t count);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool autoSize);

    /// The strip frame shown for a visual state: the state itself when the strip has that
    /// many frames, else frame 0 for disabled and hot and frame 1 for down.
    std::int32_t FrameFor(TButtonState state) const;

    void Paint(TWinDIB& canvas) override;

  private:
    void ApplyAutoSize();

    TDIBImageLink FGlyph;
    std::int32_t FNumGlyphs = 2;
    bool FAutoSize = true;
};

class TDIBGlyphButton : public TCustomDIBGlyphButton
{
  public:
    using TCustomDIBGlyphButton::TCustomDIBGlyphButton;
};

} // namespace orvo
