// A view of 32-bit pixels that the window system reads (to show a composed image) or
// writes (text output). Four bytes per pixel in the order blue, green, red, M, where M is
// the toolkit's mask byte (255 opaque). Rows are addressed top-down through a signed
// stride, so a bottom-up buffer is viewed with its last row as TopRow and a negative stride.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orvo
{

struct TPixelView
{
    std::uint8_t* TopRow = nullptr;
    std::ptrdiff_t Stride = 0; // bytes from one row to the row below it
    std::int32_t Width = 0;
    std::int32_t Height = 0;

    std::uint8_t* Pixel(std::int32_t x, std::int32_t y) const
    {
        return TopRow + static_cast<std::ptrdiff_t>(y) * Stride +
               static_cast<std::ptrdiff_t>(x) * 4;
    }
};

/// A colour as 0x00BBGGRR: red in the low byte.
using TUIColor = std::uint32_t;

constexpr TUIColor MakeColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    return static_cast<TUIColor>(red) | (static_cast<TUIColor>(green) << 8) |
           (static_cast<TUIColor>(blue) << 16);
}
constexpr std::uint8_t RedOf(TUIColor c)
{
    return static_cast<std::uint8_t>(c & 0xFF);
}
constexpr std::uint8_t GreenOf(TUIColor c)
{
    return static_cast<std::uint8_t>((c >> 8) & 0xFF);
}
constexpr std::uint8_t BlueOf(TUIColor c)
{
    return static_cast<std::uint8_t>((c >> 16) & 0xFF);
}

} // namespace orvo
