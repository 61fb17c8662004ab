#include "tools/artwork/uFont.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <stdexcept>

namespace orvo::art
{

struct TFont::TFreeType
{
    FT_Library Library = nullptr;
    FT_Face Face = nullptr;

    ~TFreeType()
    {
        if (Face != nullptr)
        {
            FT_Done_Face(Face);
        }
        if (Library != nullptr)
        {
            FT_Done_FreeType(Library);
        }
    }
};

namespace
{

// Outline callbacks: FreeType's y axis points up, the artwork's down.
int OnMoveTo(const FT_Vector* to, void* user)
{
    static_cast<TPath*>(user)->MoveTo(static_cast<double>(to->x), -static_cast<double>(to->y));
    return 0;
}

int OnLineTo(const FT_Vector* to, void* user)
{
    static_cast<TPath*>(user)->LineTo(static_cast<double>(to->x), -static_cast<double>(to->y));
    return 0;
}

int OnConicTo(const FT_Vector* control, const FT_Vector* to, void* user)
{
    static_cast<TPath*>(user)->QuadTo(static_cast<double>(control->x),
                                      -static_cast<double>(control->y), static_cast<double>(to->x),
                                      -static_cast<double>(to->y));
    return 0;
}

int OnCubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user)
{
    static_cast<TPath*>(user)->CubicTo(static_cast<double>(c1->x), -static_cast<double>(c1->y),
                                       static_cast<double>(c2->x), -static_cast<double>(c2->y),
                                       static_cast<double>(to->x), -static_cast<double>(to->y));
    return 0;
}

} // namespace

std::u32string DecodeUtf8(std::string_view text)
{
    std::u32string out;
    for (std::size_t i = 0; i < text.size();)
    {
        const auto b = static_cast<unsigned char>(text[i]);
        int extra = 0;
        char32_t code = 0;
        if (b < 0x80)
        {
            code = b;
        }
        else if ((b & 0xE0) == 0xC0)
        {
            code = b & 0x1F;
            extra = 1;
        }
        else if ((b & 0xF0) == 0xE0)
        {
            code = b & 0x0F;
            extra = 2;
        }
        else if ((b & 0xF8) == 0xF0)
        {
            code = b & 0x07;
            extra = 3;
        }
        else
        {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        if (i + extra >= text.size())
        {
            out.push_back(0xFFFD);
            break;
        }
        bool valid = true;
        for (int k = 1; k <= extra; ++k)
        {
            const auto c = static_cast<unsigned char>(text[i + k]);
            valid = valid && (c & 0xC0) == 0x80;
            code = (code << 6) | (c & 0x3F);
        }
        out.push_back(valid ? code : 0xFFFD);
        i += valid ? extra + 1 : 1;
    }
    return out;
}

TFont::TFont(const std::string& path) : FFreeType(std::make_unique<TFreeType>())
{
    if (FT_Init_FreeType(&FFreeType->Library) != 0 ||
        FT_New_Face(FFreeType->Library, path.c_str(), 0, &FFreeType->Face) != 0)
    {
        throw std::runtime_error("cannot read the font " + path);
    }
    FUnitsPerEm = FFreeType->Face->units_per_EM;
}

TFont::~TFont() = default;

const TFont::TGlyph& TFont::Glyph(char32_t code) const
{
    auto found = FGlyphs.find(code);
    if (found != FGlyphs.end())
    {
        return found->second;
    }
    TGlyph glyph;
    FT_Face face = FFreeType->Face;
    const FT_UInt index = FT_Get_Char_Index(face, code);
    // Unscaled outlines in font units: no hinting and no FreeType rasterising.
    if (FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) ==
            0 &&
        face->glyph->format == FT_GLYPH_FORMAT_OUTLINE)
    {
        FT_Outline_Funcs funcs{};
        funcs.move_to = OnMoveTo;
        funcs.line_to = OnLineTo;
        funcs.conic_to = OnConicTo;
        funcs.cubic_to = OnCubicTo;
        FT_Outline_Decompose(&face->glyph->outline, &funcs, &glyph.Outline);
        glyph.Advance = static_cast<double>(face->glyph->metrics.horiAdvance);
    }
    return FGlyphs.emplace(code, std::move(glyph)).first->second;
}

double TFont::Kerning(char32_t left, char32_t right) const
{
    FT_Face face = FFreeType->Face;
    if (!FT_HAS_KERNING(face))
    {
        return 0.0;
    }
    FT_Vector delta{};
    FT_Get_Kerning(face, FT_Get_Char_Index(face, left), FT_Get_Char_Index(face, right),
                   FT_KERNING_UNSCALED, &delta);
    return static_cast<double>(delta.x);
}

double TFont::Width(std::string_view text, const TTextStyle& style) const
{
    const std::u32string codes = DecodeUtf8(text);
    const double scale = style.Size / FUnitsPerEm;
    double width = 0.0;
    for (std::size_t i = 0; i < codes.size(); ++i)
    {
        width += Glyph(codes[i]).Advance * scale * style.Condense;
        if (i + 1 < codes.size())
        {
            width += Kerning(codes[i], codes[i + 1]) * scale * style.Condense + style.Tracking;
        }
    }
    return width;
}

double TFont::CapHeight(const TTextStyle& style) const
{
    const TGlyph& h = Glyph(U'H');
    double top = 0.0;
    for (const auto& contour : h.Outline.Contours())
    {
        for (const TPoint& p : contour)
        {
            top = std::min(top, p.Y);
        }
    }
    return -top * style.Size / FUnitsPerEm;
}

TPath TFont::Text(std::string_view text, const TTextStyle& style, double x, double baseline,
                  TTextAlign align) const
{
    const std::u32string codes = DecodeUtf8(text);
    const double scale = style.Size / FUnitsPerEm;
    const double width = Width(text, style);
    double pen = x;
    if (align == taCentre)
    {
        pen = x - width / 2;
    }
    else if (align == taRight)
    {
        pen = x - width;
    }
    TPath path;
    for (std::size_t i = 0; i < codes.size(); ++i)
    {
        const TGlyph& glyph = Glyph(codes[i]);
        const TAffine place = TAffine::Translation(pen, baseline)
                                  .After(TAffine::Scaling(scale * style.Condense, scale));
        path.Append(glyph.Outline.Transformed(place));
        pen += glyph.Advance * scale * style.Condense;
        if (i + 1 < codes.size())
        {
            pen += Kerning(codes[i], codes[i + 1]) * scale * style.Condense + style.Tracking;
        }
    }
    return path;
}

} // namespace orvo::art
