#include "platform/headless/HeadlessTextRenderer.h"

#include "platform/headless/HeadlessFont.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace orvo
{

namespace
{

struct TCell
{
    char Character;
    bool Underlined;
};

using TLine = std::vector<TCell>;

constexpr std::int32_t TabCells = 8;

/// Splits text into lines of cells: accelerator marks resolved, tabs expanded, line breaks
/// at '\n' (a '\r' before it is dropped) and, with WordWrap, at blanks so that no line is
/// wider than maxCells unless one word is.
std::vector<TLine> LayOut(std::string_view text, const TTextFormat& format, std::int32_t maxCells)
{
    std::vector<TLine> lines(1);
    bool underlineNext = false;
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
        {
            continue;
        }
        if (c == '\n')
        {
            lines.emplace_back();
            continue;
        }
        if (format.ShowAccelChar && c == '&' && !underlineNext)
        {
            underlineNext = true;
            continue;
        }
        if (c == '\t' && format.ExpandTabs)
        {
            do
            {
                lines.back().push_back(TCell{' ', false});
            } while (lines.back().size() % TabCells != 0);
            underlineNext = false;
            continue;
        }
        lines.back().push_back(TCell{c, underlineNext && c != '&'});
        underlineNext = false;
    }
    if (!format.WordWrap || maxCells <= 0)
    {
        return lines;
    }
    std::vector<TLine> wrapped;
    for (TLine& line : lines)
    {
        while (static_cast<std::int32_t>(line.size()) > maxCells)
        {
            // Break at the last blank that keeps the line inside the box, else mid-word.
            std::size_t cut = static_cast<std::size_t>(maxCells);
            while (cut > 0 && line[cut].Character != ' ')
            {
                --cut;
            }
            const bool atBlank = cut > 0;
            if (!atBlank)
            {
                cut = static_cast<std::size_t>(maxCells);
            }
            wrapped.emplace_back(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(cut));
            line.erase(line.begin(),
                       line.begin() + static_cast<std::ptrdiff_t>(cut + (atBlank ? 1 : 0)));
        }
        wrapped.push_back(std::move(line));
    }
    return wrapped;
}

std::int32_t WidestLine(const std::vector<TLine>& lines)
{
    std::size_t widest = 0;
    for (const TLine& line : lines)
    {
        widest = std::max(widest, line.size());
    }
    return static_cast<std::int32_t>(widest);
}

} // namespace

std::int32_t THeadlessTextRenderer::ScaleFor(const TUIFont& font)
{
    const std::int32_t height = std::abs(font.Height);
    return std::max(1, (height + THeadlessFont::CellHeight / 2) / THeadlessFont::CellHeight);
}

TSize THeadlessTextRenderer::MeasureText(const TUIFont& font, std::string_view text,
                                         const TTextFormat& format, std::int32_t maxWidth)
{
    if (text.empty())
    {
        return TSize{};
    }
    const std::int32_t scale = ScaleFor(font);
    const std::int32_t cellWidth = THeadlessFont::CellWidth * scale;
    const auto lines = LayOut(text, format, maxWidth / cellWidth);
    return TSize{WidestLine(lines) * cellWidth,
                 static_cast<std::int32_t>(lines.size()) * THeadlessFont::CellHeight * scale};
}

void THeadlessTextRenderer::DrawText(const TPixelView& target, const TRect& clip, const TRect& box,
                                     std::string_view text, const TUIFont& font, TUIColor colour,
                                     const TTextFormat& format)
{
    const TRect area = clip.Intersection(TRect{0, 0, target.Width, target.Height});
    if (area.IsEmpty() || text.empty())
    {
        return;
    }
    const std::int32_t scale = ScaleFor(font);
    const std::int32_t cellWidth = THeadlessFont::CellWidth * scale;
    const std::int32_t lineHeight = THeadlessFont::CellHeight * scale;
    const std::uint8_t pixel[4] = {BlueOf(colour), GreenOf(colour), RedOf(colour), 255};
    auto plot = [&](std::int32_t x, std::int32_t y)
    {
        for (std::int32_t dy = 0; dy < scale; ++dy)
        {
            for (std::int32_t dx = 0; dx < scale; ++dx)
            {
                if (area.Contains(TPoint{x + dx, y + dy}))
                {
                    std::uint8_t* p = target.Pixel(x + dx, y + dy);
                    p[0] = pixel[0];
                    p[1] = pixel[1];
                    p[2] = pixel[2];
                    p[3] = pixel[3];
                }
            }
        }
    };

    const auto lines = LayOut(text, format, box.Width() / cellWidth);
    std::int32_t top = box.Top;
    for (const TLine& line : lines)
    {
        const std::int32_t width = static_cast<std::int32_t>(line.size()) * cellWidth;
        std::int32_t left = box.Left;
        if (format.Alignment == taRightJustify)
        {
            left = box.Right - width;
        }
        else if (format.Alignment == taCenter)
        {
            left = box.Left + (box.Width() - width) / 2;
        }
        for (const TCell& cell : line)
        {
            for (std::int32_t row = 0; row < THeadlessFont::GlyphRows; ++row)
            {
                const std::uint8_t bits = THeadlessFont::GlyphRow(cell.Character, row);
                for (std::int32_t column = 0; column < THeadlessFont::GlyphWidth; ++column)
                {
                    if ((bits >> (THeadlessFont::GlyphWidth - 1 - column)) & 1)
                    {
                        plot(left + column * scale, top + (THeadlessFont::GlyphTop + row) * scale);
                    }
                }
            }
            if (cell.Underlined)
            {
                for (std::int32_t column = 0; column < THeadlessFont::GlyphWidth; ++column)
                {
                    plot(left + column * scale, top + THeadlessFont::UnderlineRow * scale);
                }
            }
            left += cellWidth;
        }
        top += lineHeight;
        if (top >= area.Bottom)
        {
            break;
        }
    }
}

} // namespace orvo
