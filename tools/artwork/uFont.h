// Text for the artwork: glyph outlines read through FreeType in font units (no hinting, no
// FreeType rasteriser), scaled and laid out here and filled by the artwork's own
// rasteriser. So the pixels depend only on the font file, not on the FreeType version.
#pragma once

#include "tools/artwork/uRaster.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace orvo::art
{

/// How a run of text is set.
struct TTextStyle
{
    double Size = 10.0;    // em size in pixels
    double Tracking = 0.0; // extra space after each character, in pixels
    double Condense = 1.0; // horizontal scale of the glyphs (below 1: narrower)
};

enum TTextAlign : std::uint8_t
{
    taLeft,
    taCentre,
    taRight,
};

/// One font file. Throws std::runtime_error when the file cannot be read as a font.
class TFont
{
  public:
    explicit TFont(const std::string& path);
    ~TFont();
    TFont(const TFont&) = delete;
    TFont& operator=(const TFont&) = delete;

    /// Outline of UTF-8 `text` with its baseline starting at (x, baseline), aligned
    /// around x as `align` says.
    TPath Text(std::string_view text, const TTextStyle& style, double x, double baseline,
               TTextAlign align = taLeft) const;
    /// Advance width of `text` in pixels.
    double Width(std::string_view text, const TTextStyle& style) const;
    /// Height of capital letters above the baseline, in pixels.
    double CapHeight(const TTextStyle& style) const;

  private:
    struct TGlyph
    {
        TPath Outline;        // font units, y down, origin on the baseline
        double Advance = 0.0; // font units
    };
    const TGlyph& Glyph(char32_t code) const;
    double Kerning(char32_t left, char32_t right) const;

    struct TFreeType;
    std::unique_ptr<TFreeType> FFreeType;
    double FUnitsPerEm = 2048.0;
    mutable std::map<char32_t, TGlyph> FGlyphs;
};

/// Decodes UTF-8 into code points (invalid bytes become U+FFFD).
std::u32string DecodeUtf8(std::string_view text);

} // namespace orvo::art
