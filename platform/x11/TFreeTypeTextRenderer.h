// Text output with FreeType from the one embedded font, so that the editor's text looks the
// same on every distribution and needs no font at run time. The font is a bitmap face with
// the metrics of the 8-point "MS Sans Serif" that the editor names (11-pixel characters in
// 13-pixel lines) and two larger sizes; every requested face is drawn with it, at the largest
// of its sizes that is not taller than the requested character height. Glyphs are drawn
// without anti-aliasing, as on Windows. Only FreeType's Windows FNT driver is registered, so
// the module carries none of FreeType's other formats nor the libraries they need.
#pragma once

#include "platform/ui/IUITextRenderer.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace orvo
{

class TFreeTypeTextRenderer final : public IUITextRenderer
{
  public:
    TFreeTypeTextRenderer();
    ~TFreeTypeTextRenderer() override;
    TFreeTypeTextRenderer(const TFreeTypeTextRenderer&) = delete;
    TFreeTypeTextRenderer& operator=(const TFreeTypeTextRenderer&) = delete;

    TSize MeasureText(const TUIFont& font, std::string_view text, const TTextFormat& format,
                      std::int32_t maxWidth) override;
    void DrawText(const TPixelView& target, const TRect& clip, const TRect& box,
                  std::string_view text, const TUIFont& font, TUIColor colour,
                  const TTextFormat& format) override;

    /// The character heights of the embedded font's sizes, smallest first (empty when
    /// FreeType could not read it).
    std::vector<std::int32_t> Sizes() const;

    struct TGlyph
    {
        bool Loaded = false;
        std::int32_t Left = 0; // from the pen position to the bitmap's first column
        std::int32_t Top = 0;  // from the baseline up to the bitmap's first row
        std::int32_t Width = 0;
        std::int32_t Rows = 0;
        std::int32_t Advance = 0;
        std::vector<std::uint8_t> Bits; // Width x Rows, 1 where the glyph covers the pixel
    };

    struct TFace;

  private:
    TFace* FaceFor(const TUIFont& font);

    struct TLibrary;
    std::unique_ptr<TLibrary> FLibrary;
    std::vector<std::unique_ptr<TFace>> FFaces; // by size, smallest first
};

} // namespace orvo
