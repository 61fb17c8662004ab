// Points, sizes and rectangles in pixels, shared by the window-system interface and the
// control toolkit. Rectangles are half-open: Left and Top belong to the rectangle, Right
// and Bottom lie one pixel past it. Coordinates are top-down (y = 0 is the top row).
#pragma once

#include <algorithm>
#include <cstdint>

namespace orvo
{

struct TPoint
{
    std::int32_t X = 0;
    std::int32_t Y = 0;

    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize
{
    std::int32_t Width = 0;
    std::int32_t Height = 0;

    friend bool operator==(const TSize&, const TSize&) = default;
};

struct TRect
{
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;

    static constexpr TRect FromBounds(std::int32_t left, std::int32_t top, std::int32_t width,
                                      std::int32_t height)
    {
        return TRect{left, top, left + width, top + height};
    }

    constexpr std::int32_t Width() const { return Right - Left; }
    constexpr std::int32_t Height() const { return Bottom - Top; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    constexpr bool Contains(TPoint p) const
    {
        return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom;
    }
    constexpr bool Intersects(const TRect& other) const { return !Intersection(other).IsEmpty(); }
    /// The common part; empty (possibly with Right < Left) when the two do not meet.
    constexpr TRect Intersection(const TRect& other) const
    {
        return TRect{std::max(Left, other.Left), std::max(Top, other.Top),
                     std::min(Right, other.Right), std::min(Bottom, other.Bottom)};
    }
    /// The smallest rectangle holding both; an empty rectangle adds nothing.
    constexpr TRect Union(const TRect& other) const
    {
        if (other.IsEmpty())
        {
            return *this;
        }
        if (IsEmpty())
        {
            return other;
        }
        return TRect{std::min(Left, other.Left), std::min(Top, other.Top),
                     std::max(Right, other.Right), std::max(Bottom, other.Bottom)};
    }
    constexpr TRect Offset(std::int32_t dx, std::int32_t dy) const
    {
        return TRect{Left + dx, Top + dy, Right + dx, Bottom + dy};
    }

    friend bool operator==(const TRect&, const TRect&) = default;
};

} // namespace orvo
