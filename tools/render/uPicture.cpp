#include "tools/render/uPicture.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace orvo
{

namespace
{

constexpr int GlyphWidth = 5;
constexpr int GlyphHeight = 7;
constexpr int GlyphAdvance = GlyphWidth + 1;

struct TGlyph
{
    char Character;
    std::array<std::uint8_t, GlyphHeight> Rows; // bit 4 is the leftmost pixel
};

constexpr std::array<TGlyph, 21> Font{{
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}},
    {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}},
    {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}},
    {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}},
    {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}},
    {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}},
    {'+', {0x00, 0x04, 0x04, 0x1F, 0x04, 0x04, 0x00}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}},
    {'k', {0x10, 0x10, 0x12, 0x14, 0x18, 0x14, 0x12}},
    {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'z', {0x00, 0x00, 0x1F, 0x02, 0x04, 0x08, 0x1F}},
    {'d', {0x01, 0x01, 0x0D, 0x13, 0x11, 0x11, 0x0F}},
    {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
    {'s', {0x00, 0x00, 0x0E, 0x10, 0x0E, 0x01, 0x1E}},
    {'t', {0x08, 0x08, 0x1C, 0x08, 0x08, 0x09, 0x06}},
    {' ', {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
}};

} // namespace

TCanvas::TCanvas(int width, int height, TColour background)
    : FWidth(std::max(width, 1)), FHeight(std::max(height, 1)),
      FPixels(static_cast<std::size_t>(FWidth) * static_cast<std::size_t>(FHeight) * 4)
{
    for (std::size_t i = 0; i < FPixels.size(); i += 4)
    {
        FPixels[i] = background.R;
        FPixels[i + 1] = background.G;
        FPixels[i + 2] = background.B;
        FPixels[i + 3] = background.A;
    }
}

void TCanvas::Blend(int x, int y, TColour colour) noexcept
{
    if (x < 0 || y < 0 || x >= FWidth || y >= FHeight)
    {
        return;
    }
    auto* pixel = &FPixels[(static_cast<std::size_t>(y) * static_cast<std::size_t>(FWidth) +
                            static_cast<std::size_t>(x)) *
                           4];
    const unsigned a = colour.A;
    const auto mix = [a](std::uint8_t under, std::uint8_t over)
    { return static_cast<std::uint8_t>((over * a + under * (255u - a) + 127u) / 255u); };
    pixel[0] = mix(pixel[0], colour.R);
    pixel[1] = mix(pixel[1], colour.G);
    pixel[2] = mix(pixel[2], colour.B);
    pixel[3] = std::max<std::uint8_t>(pixel[3], colour.A);
}

void TCanvas::FillRect(int x, int y, int width, int height, TColour colour) noexcept
{
    for (int row = std::max(y, 0); row < std::min(y + height, FHeight); ++row)
    {
        for (int column = std::max(x, 0); column < std::min(x + width, FWidth); ++column)
        {
            Blend(column, row, colour);
        }
    }
}

void TCanvas::VerticalSpan(int x, int y0, int y1, TColour colour) noexcept
{
    FillRect(x, std::min(y0, y1), 1, std::abs(y1 - y0) + 1, colour);
}

void TCanvas::Line(double x0, double y0, double x1, double y1, TColour colour,
                   int thickness) noexcept
{
    const double length = std::max(std::fabs(x1 - x0), std::fabs(y1 - y0));
    const int steps = std::max(1, static_cast<int>(std::ceil(length * 2.0)));
    const int half = thickness / 2;
    int lastX = std::numeric_limits<int>::min();
    int lastY = std::numeric_limits<int>::min();
    for (int i = 0; i <= steps; ++i)
    {
        const double t = static_cast<double>(i) / steps;
        const int x = static_cast<int>(std::lround(x0 + t * (x1 - x0)));
        const int y = static_cast<int>(std::lround(y0 + t * (y1 - y0)));
        if (x != lastX || y != lastY)
        {
            FillRect(x - half, y - half, thickness, thickness, colour);
            lastX = x;
            lastY = y;
        }
    }
}

void TCanvas::Text(int x, int y, std::string_view text, TColour colour, int scale) noexcept
{
    for (const char c : text)
    {
        const auto* glyph = std::find_if(Font.begin(), Font.end(),
                                         [c](const TGlyph& g) { return g.Character == c; });
        if (glyph != Font.end())
        {
            for (int row = 0; row < GlyphHeight; ++row)
            {
                for (int column = 0; column < GlyphWidth; ++column)
                {
                    if ((glyph->Rows[static_cast<std::size_t>(row)] >> (GlyphWidth - 1 - column)) &
                        1)
                    {
                        FillRect(x + column * scale, y + row * scale, scale, scale, colour);
                    }
                }
            }
        }
        x += GlyphAdvance * scale;
    }
}

int TCanvas::TextWidth(std::string_view text, int scale) noexcept
{
    return text.empty() ? 0 : (static_cast<int>(text.size()) * GlyphAdvance - 1) * scale;
}

TColour TCanvas::At(int x, int y) const noexcept
{
    if (x < 0 || y < 0 || x >= FWidth || y >= FHeight)
    {
        return {};
    }
    const auto* pixel = &FPixels[(static_cast<std::size_t>(y) * static_cast<std::size_t>(FWidth) +
                                  static_cast<std::size_t>(x)) *
                                 4];
    return {pixel[0], pixel[1], pixel[2], pixel[3]};
}

TRGBAImage TCanvas::Image() const
{
    return {static_cast<std::uint32_t>(FWidth), static_cast<std::uint32_t>(FHeight), FPixels};
}

void TCanvas::Save(const std::filesystem::path& path) const
{
    WritePNGFile(path, Image());
}

} // namespace orvo
