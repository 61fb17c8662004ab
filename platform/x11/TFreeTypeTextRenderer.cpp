#include "platform/x11/TFreeTypeTextRenderer.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_MODULE_H

#include "resources/uEmbeddedFont.h"

#include <algorithm>
#include <cstdlib>
#include <string>

// FreeType's Windows FNT driver; registered alone instead of FreeType's default set.
extern "C" const FT_Module_Class winfnt_driver_class;

namespace orvo
{

namespace
{

constexpr std::int32_t TabCells = 8; // a tab advances to the next multiple of 8 average widths

void* Allocate(FT_Memory, long size)
{
    return std::malloc(static_cast<std::size_t>(size));
}
void Free(FT_Memory, void* block)
{
    std::free(block);
}
void* Reallocate(FT_Memory, long, long newSize, void* block)
{
    return std::realloc(block, static_cast<std::size_t>(newSize));
}

struct TCell
{
    unsigned char Character;
    bool Underlined;
};

using TLine = std::vector<TCell>;

} // namespace

struct TFreeTypeTextRenderer::TLibrary
{
    FT_MemoryRec_ Memory{nullptr, &Allocate, &Free, &Reallocate};
    FT_Library Handle = nullptr;
};

struct TFreeTypeTextRenderer::TFace
{
    FT_Face Handle = nullptr;
    std::int32_t Size = 0;   // character height (pixels per em)
    std::int32_t Ascent = 0; // baseline below the line's top
    std::int32_t LineHeight = 0;
    std::int32_t AverageWidth = 0;
    std::array<TGlyph, 256> Glyphs;

    const TGlyph& Glyph(unsigned char c)
    {
        TGlyph& glyph = Glyphs[c];
        if (glyph.Loaded)
        {
            return glyph;
        }
        glyph.Loaded = true;
        // The font's own code page is the editor's 8-bit text; a missing character shows
        // the font's default glyph.
        if (FT_Load_Char(Handle, c, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0)
        {
            return glyph;
        }
        const FT_GlyphSlot slot = Handle->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        glyph.Left = slot->bitmap_left;
        glyph.Top = slot->bitmap_top;
        glyph.Width = static_cast<std::int32_t>(bitmap.width);
        glyph.Rows = static_cast<std::int32_t>(bitmap.rows);
        glyph.Advance = static_cast<std::int32_t>(slot->advance.x >> 6);
        glyph.Bits.assign(static_cast<std::size_t>(glyph.Width * glyph.Rows), 0);
        for (std::int32_t y = 0; y < glyph.Rows; ++y)
        {
            const unsigned char* row =
                bitmap.buffer + static_cast<std::ptrdiff_t>(y) * bitmap.pitch;
            for (std::int32_t x = 0; x < glyph.Width; ++x)
            {
                const bool on = bitmap.pixel_mode == FT_PIXEL_MODE_MONO
                                    ? ((row[x / 8] >> (7 - x % 8)) & 1) != 0
                                    : row[x] >= 128;
                glyph.Bits[static_cast<std::size_t>(y * glyph.Width + x)] = on ? 1 : 0;
            }
        }
        return glyph;
    }
};

TFreeTypeTextRenderer::TFreeTypeTextRenderer() : FLibrary(std::make_unique<TLibrary>())
{
    if (FT_New_Library(&FLibrary->Memory, &FLibrary->Handle) != 0)
    {
        FLibrary->Handle = nullptr;
        return;
    }
    if (FT_Add_Module(FLibrary->Handle, &winfnt_driver_class) != 0)
    {
        return;
    }
    const auto* bytes = reinterpret_cast<const FT_Byte*>(resources::EmbeddedFontBytes);
    const auto size = static_cast<FT_Long>(resources::EmbeddedFontSize);
    FT_Long faceCount = 1;
    for (FT_Long index = 0; index < faceCount; ++index)
    {
        FT_Face handle = nullptr;
        if (FT_New_Memory_Face(FLibrary->Handle, bytes, size, index, &handle) != 0)
        {
            break;
        }
        faceCount = handle->num_faces;
        if (handle->num_fixed_sizes < 1 || handle->num_charmaps < 1 ||
            FT_Set_Charmap(handle, handle->charmaps[0]) != 0 || FT_Select_Size(handle, 0) != 0)
        {
            FT_Done_Face(handle);
            continue;
        }
        auto face = std::make_unique<TFace>();
        face->Handle = handle;
        face->Size = static_cast<std::int32_t>(handle->available_sizes[0].y_ppem >> 6);
        face->Ascent = static_cast<std::int32_t>(handle->size->metrics.ascender >> 6);
        face->LineHeight = static_cast<std::int32_t>(handle->size->metrics.height >> 6);
        face->AverageWidth = std::max<std::int32_t>(handle->available_sizes[0].width, 1);
        FFaces.push_back(std::move(face));
    }
    std::sort(FFaces.begin(), FFaces.end(),
              [](const auto& a, const auto& b) { return a->Size < b->Size; });
}

TFreeTypeTextRenderer::~TFreeTypeTextRenderer()
{
    for (const auto& face : FFaces)
    {
        FT_Done_Face(face->Handle);
    }
    FFaces.clear();
    if (FLibrary->Handle != nullptr)
    {
        FT_Done_Library(FLibrary->Handle);
    }
}

std::vector<std::int32_t> TFreeTypeTextRenderer::Sizes() const
{
    std::vector<std::int32_t> sizes;
    for (const auto& face : FFaces)
    {
        sizes.push_back(face->Size);
    }
    return sizes;
}

TFreeTypeTextRenderer::TFace* TFreeTypeTextRenderer::FaceFor(const TUIFont& font)
{
    if (FFaces.empty())
    {
        return nullptr;
    }
    const std::int32_t height = std::abs(font.Height);
    TFace* chosen = FFaces.front().get();
    for (const auto& face : FFaces)
    {
        if (face->Size <= height)
        {
            chosen = face.get();
        }
    }
    return chosen;
}

namespace
{

/// Splits text into lines: accelerator marks resolved, tabs expanded to blanks up to the
/// next tab stop, breaks at '\n' (a '\r' before it dropped) and, with WordWrap, at blanks
/// so that no line is wider than maxWidth unless one word is.
template <typename TWidthOf>
std::vector<TLine> LayOut(std::string_view text, const TTextFormat& format, std::int32_t maxWidth,
                          std::int32_t tabWidth, TWidthOf widthOf)
{
    std::vector<TLine> lines(1);
    std::int32_t lineWidth = 0;
    bool underlineNext = false;
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
        {
            continue;
        }
        if (c == '\n')
        {
            lines.emplace_back();
            lineWidth = 0;
            continue;
        }
        if (format.ShowAccelChar && c == '&' && !underlineNext)
        {
            underlineNext = true;
            continue;
        }
        if (c == '\t' && format.ExpandTabs)
        {
            const std::int32_t stop = (lineWidth / tabWidth + 1) * tabWidth;
            while (lineWidth < stop)
            {
                lines.back().push_back(TCell{' ', false});
                lineWidth += std::max(widthOf(' '), 1);
            }
            underlineNext = false;
            continue;
        }
        lines.back().push_back(TCell{c, underlineNext && c != '&'});
        lineWidth += widthOf(c);
        underlineNext = false;
    }
    if (!format.WordWrap || maxWidth <= 0)
    {
        return lines;
    }
    std::vector<TLine> wrapped;
    for (TLine& line : lines)
    {
        for (;;)
        {
            std::int32_t width = 0;
            std::size_t fits = 0;
            while (fits < line.size() && width + widthOf(line[fits].Character) <= maxWidth)
            {
                width += widthOf(line[fits].Character);
                ++fits;
            }
            if (fits == line.size())
            {
                break;
            }
            // Break at the last blank that keeps the line inside the box, else mid-word.
            std::size_t cut = fits;
            while (cut > 0 && line[cut].Character != ' ')
            {
                --cut;
            }
            const bool atBlank = cut > 0 || line[0].Character == ' ';
            if (!atBlank)
            {
                cut = std::max<std::size_t>(fits, 1);
            }
            wrapped.emplace_back(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(cut));
            line.erase(line.begin(),
                       line.begin() + static_cast<std::ptrdiff_t>(cut + (atBlank ? 1 : 0)));
        }
        wrapped.push_back(std::move(line));
    }
    return wrapped;
}

} // namespace

TSize TFreeTypeTextRenderer::MeasureText(const TUIFont& font, std::string_view text,
                                         const TTextFormat& format, std::int32_t maxWidth)
{
    TFace* face = FaceFor(font);
    if (text.empty() || face == nullptr)
    {
        return TSize{};
    }
    const std::int32_t bold = font.Bold ? 1 : 0;
    const auto widthOf = [&](unsigned char c) { return face->Glyph(c).Advance + bold; };
    const auto lines = LayOut(text, format, maxWidth, face->AverageWidth * TabCells, widthOf);
    std::int32_t widest = 0;
    for (const TLine& line : lines)
    {
        std::int32_t width = 0;
        for (const TCell& cell : line)
        {
            width += widthOf(cell.Character);
        }
        widest = std::max(widest, width);
    }
    return TSize{widest, static_cast<std::int32_t>(lines.size()) * face->LineHeight};
}

void TFreeTypeTextRenderer::DrawText(const TPixelView& target, const TRect& clip, const TRect& box,
                                     std::string_view text, const TUIFont& font, TUIColor colour,
                                     const TTextFormat& format)
{
    const TRect area = clip.Intersection(TRect{0, 0, target.Width, target.Height});
    TFace* face = FaceFor(font);
    if (area.IsEmpty() || text.empty() || face == nullptr)
    {
        return;
    }
    const std::uint8_t pixel[4] = {BlueOf(colour), GreenOf(colour), RedOf(colour), 255};
    const auto plot = [&](std::int32_t x, std::int32_t y)
    {
        if (area.Contains(TPoint{x, y}))
        {
            std::uint8_t* p = target.Pixel(x, y);
            p[0] = pixel[0];
            p[1] = pixel[1];
            p[2] = pixel[2];
            p[3] = pixel[3];
        }
    };
    // Windows draws a bold face that the font lacks twice, one pixel apart.
    const std::int32_t bold = font.Bold ? 1 : 0;
    const auto widthOf = [&](unsigned char c) { return face->Glyph(c).Advance + bold; };
    const auto lines = LayOut(text, format, box.Width(), face->AverageWidth * TabCells, widthOf);
    std::int32_t top = box.Top;
    for (const TLine& line : lines)
    {
        std::int32_t width = 0;
        for (const TCell& cell : line)
        {
            width += widthOf(cell.Character);
        }
        std::int32_t pen = box.Left;
        if (format.Alignment == taRightJustify)
        {
            pen = box.Right - width;
        }
        else if (format.Alignment == taCenter)
        {
            pen = box.Left + (box.Width() - width) / 2;
        }
        const std::int32_t baseline = top + face->Ascent;
        for (const TCell& cell : line)
        {
            const TGlyph& glyph = face->Glyph(cell.Character);
            for (std::int32_t y = 0; y < glyph.Rows; ++y)
            {
                for (std::int32_t x = 0; x < glyph.Width; ++x)
                {
                    if (glyph.Bits[static_cast<std::size_t>(y * glyph.Width + x)] != 0)
                    {
                        for (std::int32_t extra = 0; extra <= bold; ++extra)
                        {
                            plot(pen + glyph.Left + x + extra, baseline - glyph.Top + y);
                        }
                    }
                }
            }
            if (cell.Underlined)
            {
                for (std::int32_t x = 0; x < glyph.Advance + bold; ++x)
                {
                    plot(pen + x, baseline + 1);
                }
            }
            pen += glyph.Advance + bold;
        }
        top += face->LineHeight;
        if (top >= area.Bottom)
        {
            break;
        }
    }
}

} // namespace orvo
