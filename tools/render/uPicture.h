// A small RGBA drawing surface for the demo's pictures: filled rectangles, vertical
// spans, thick lines, and labels in a built-in 5 x 7 pixel font (digits, signs and the
// letters of units: k H z d B s t).
#pragma once

#include "tools/png/PNGFile.h"

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

namespace orvo
{

struct TColour
{
    std::uint8_t R = 0;
    std::uint8_t G = 0;
    std::uint8_t B = 0;
    std::uint8_t A = 255; // 255 covers, lower values blend over what is there
};

class TCanvas
{
  public:
    TCanvas(int width, int height, TColour background);

    [[nodiscard]] int Width() const noexcept { return FWidth; }
    [[nodiscard]] int Height() const noexcept { return FHeight; }

    void Blend(int x, int y, TColour colour) noexcept;
    void FillRect(int x, int y, int width, int height, TColour colour) noexcept;
    /// Pixels from y0 to y1 (either order, both included) in column x.
    void VerticalSpan(int x, int y0, int y1, TColour colour) noexcept;
    void Line(double x0, double y0, double x1, double y1, TColour colour,
              int thickness = 1) noexcept;
    /// Text with its top-left corner at x, y; characters outside the font stay blank.
    void Text(int x, int y, std::string_view text, TColour colour, int scale = 1) noexcept;
    [[nodiscard]] static int TextWidth(std::string_view text, int scale = 1) noexcept;

    [[nodiscard]] TColour At(int x, int y) const noexcept;
    [[nodiscard]] TRGBAImage Image() const;
    void Save(const std::filesystem::path& path) const;

  private:
    int FWidth;
    int FHeight;
    std::vector<std::uint8_t> FPixels;
};

} // namespace orvo
