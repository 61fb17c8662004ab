#include "editor/toolkit/cDIBGlyphButton.h"

namespace orvo
{

void TCustomDIBGlyphButton::SetGlyph(const TDIBImageLink& glyph)
{
    FGlyph = glyph;
    ApplyAutoSize();
    Invalidate();
}

void TCustomDIBGlyphButton::SetNumGlyphs(std::int32_t count)
{
    if (count < 2 || count > 5 || count == FNumGlyphs)
    {
        return;
    }
    FNumGlyphs = count;
    ApplyAutoSize();
    Invalidate();
}

void TCustomDIBGlyphButton::SetAutoSize(bool autoSize)
{
    FAutoSize = autoSize;
    ApplyAutoSize();
}

void TCustomDIBGlyphButton::ApplyAutoSize()
{
    TMemoryDIB strip;
    if (FAutoSize && FGlyph.GetImage(strip))
    {
        SetSize(strip.Width() / FNumGlyphs, strip.Height());
    }
}

std::int32_t TCustomDIBGlyphButton::FrameFor(TButtonState state) const
{
    if (state < FNumGlyphs)
    {
        return state;
    }
    return state == bsDown ? 1 : 0;
}

void TCustomDIBGlyphButton::Paint(TWinDIB& canvas)
{
    TMemoryDIB strip;
    if (FGlyph.GetImage(strip))
    {
        strip.Draw(canvas, 0, 0, FrameFor(State()) * Width(), 0, Width(), Height());
    }
}

} // namespace orvo
