// The headless backend's built-in bitmap font: 5 x 9 glyphs for ASCII 32..126 in cells of
// 6 x 11 pixels (2 blank rows above the capitals, baseline on row 8, descenders on rows 9
// and 10). Characters outside that range show as '?'.
#pragma once

#include <array>
#include <cstdint>

namespace orvo
{

struct THeadlessFont
{
    static constexpr std::int32_t CellWidth = 6;
    static constexpr std::int32_t CellHeight = 11;
    static constexpr std::int32_t GlyphWidth = 5;
    static constexpr std::int32_t GlyphRows = 9;
    static constexpr std::int32_t GlyphTop = 2;     // first glyph row inside the cell
    static constexpr std::int32_t UnderlineRow = 9; // cell row of the accelerator underline

    /// Row r (0 = top) of the glyph of c: bit 4 is the leftmost pixel.
    static std::uint8_t GlyphRow(char c, std::int32_t row);
};

} // namespace orvo
