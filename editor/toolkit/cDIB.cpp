#include "editor/toolkit/cDIB.h"

#include "editor/toolkit/cDIBStoredImage.h"

#include <algorithm>
#include <cstring>

namespace orvo
{

namespace
{

// d = (s x w + d x (255 - w) + 255) >> 8 for blue, green and red; M = max(d.M, s.M).
inline void BlendPixel(std::uint8_t* d, const std::uint8_t* s, std::uint32_t w)
{
    const std::uint32_t inverse = 255 - w;
    d[0] = static_cast<std::uint8_t>((s[0] * w + d[0] * inverse + 255) >> 8);
    d[1] = static_cast<std::uint8_t>((s[1] * w + d[1] * inverse + 255) >> 8);
    d[2] = static_cast<std::uint8_t>((s[2] * w + d[2] * inverse + 255) >> 8);
    d[3] = std::max(d[3], s[3]);
}

void BlendCopy(std::uint8_t* destination, const std::uint8_t* source, std::int32_t count,
               std::uint8_t)
{
    std::memmove(destination, source, static_cast<std::size_t>(count) * 4);
}

void BlendOpacity(std::uint8_t* destination, const std::uint8_t* source, std::int32_t count,
                  std::uint8_t opacity)
{
    for (std::int32_t i = 0; i < count; ++i, destination += 4, source += 4)
    {
        BlendPixel(destination, source, opacity);
    }
}

void BlendMasked(std::uint8_t* destination, const std::uint8_t* source, std::int32_t count,
                 std::uint8_t)
{
    for (std::int32_t i = 0; i < count; ++i, destination += 4, source += 4)
    {
        BlendPixel(destination, source, source[3]);
    }
}

void BlendMaskedOpacity(std::uint8_t* destination, const std::uint8_t* source, std::int32_t count,
                        std::uint8_t opacity)
{
    for (std::int32_t i = 0; i < count; ++i, destination += 4, source += 4)
    {
        BlendPixel(destination, source, (static_cast<std::uint32_t>(source[3]) * opacity) >> 8);
    }
}

} // namespace

TAbstractSuperDIB::TAbstractSuperDIB()
{
    ChooseBlendRoutine();
}

void TAbstractSuperDIB::SetSize(std::int32_t width, std::int32_t height)
{
    const auto newWidth = static_cast<std::uint16_t>(std::clamp(width, 0, MaxSide));
    const auto newHeight = static_cast<std::uint16_t>(std::clamp(height, 0, MaxSide));
    const std::size_t bytes = static_cast<std::size_t>(newWidth) * newHeight * 4;
    if (FOwnsPixels && FBuffer && FBuffer.use_count() == 1)
    {
        if (newWidth != FWidth || newHeight != FHeight)
        {
            // Reuses the capacity: the composing container resizes its scratch image for
            // every control it paints.
            FBuffer->assign(bytes, 0);
        }
    }
    else
    {
        // A shared buffer is never resized in place: the images sharing it keep it whole.
        FBuffer = std::make_shared<std::vector<std::uint8_t>>(bytes, 0);
    }
    FOwnsPixels = true;
    FWidth = newWidth;
    FHeight = newHeight;
    FBits = FBuffer->empty() ? nullptr : FBuffer->data();
    ResetClipRect();
}

void TAbstractSuperDIB::Assign(std::int32_t width, std::int32_t height,
                               std::span<const std::uint8_t> pixels)
{
    if (width < 0 || height < 0 || width > MaxSide || height > MaxSide ||
        pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4)
    {
        SetSize(0, 0);
        return;
    }
    SetSize(width, height);
    if (!pixels.empty())
    {
        std::memcpy(FBits, pixels.data(), pixels.size());
    }
    ChooseBlendRoutine();
}

void TAbstractSuperDIB::Assign(std::int32_t width, std::int32_t height,
                               std::vector<std::uint8_t>&& pixels)
{
    if (width < 0 || height < 0 || width > MaxSide || height > MaxSide ||
        pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4)
    {
        SetSize(0, 0);
        return;
    }
    FBuffer = std::make_shared<std::vector<std::uint8_t>>(std::move(pixels));
    FOwnsPixels = true;
    FWidth = static_cast<std::uint16_t>(width);
    FHeight = static_cast<std::uint16_t>(height);
    FBits = FBuffer->empty() ? nullptr : FBuffer->data();
    ResetClipRect();
    ChooseBlendRoutine();
}

void TAbstractSuperDIB::LoadFromStoredData(std::span<const std::uint8_t> block)
{
    TStoredImage image = ReadStoredImage(block);
    Assign(image.Width, image.Height, std::move(image.Pixels));
}

void TAbstractSuperDIB::ShareFrom(const TAbstractSuperDIB& other)
{
    if (&other == this)
    {
        return;
    }
    if (!other.FBuffer)
    {
        SetSize(0, 0);
    }
    else
    {
        FBuffer = other.FBuffer;
        FBits = other.FBits;
        FWidth = other.FWidth;
        FHeight = other.FHeight;
        FOwnsPixels = false;
        ResetClipRect();
    }
    AssignAttributes(other);
}

void TAbstractSuperDIB::AssignAttributes(const TAbstractSuperDIB& other)
{
    FMasked = other.FMasked;
    FOpacity = other.FOpacity;
    FTransparent = other.FTransparent;
    FTransparentColor = other.FTransparentColor;
    FTransparentMode = other.FTransparentMode;
    ChooseBlendRoutine();
}

void TAbstractSuperDIB::SetMasked(bool masked)
{
    FMasked = masked;
    ChooseBlendRoutine();
}

void TAbstractSuperDIB::SetOpacity(std::uint8_t opacity)
{
    FOpacity = opacity;
    ChooseBlendRoutine();
}

void TAbstractSuperDIB::SetTransparent(bool transparent)
{
    FTransparent = transparent;
    ChooseBlendRoutine();
}

// The colour-key routines that Transparent would select are not part of this toolkit: a
// transparent image draws with the routine its opacity and mask select.
void TAbstractSuperDIB::ChooseBlendRoutine()
{
    if (FOpacity == 255)
    {
        FBlend = FMasked ? BlendMasked : BlendCopy;
    }
    else
    {
        FBlend = FMasked ? BlendMaskedOpacity : BlendOpacity;
    }
}

void TAbstractSuperDIB::SetClipRect(const TRect& clip)
{
    FClipRect = clip.Intersection(BoundsRect());
    if (FClipRect.IsEmpty())
    {
        FClipRect = TRect{};
    }
}

void TAbstractSuperDIB::Draw(TAbstractSuperDIB& destination, std::int32_t x, std::int32_t y,
                             std::int32_t sourceX, std::int32_t sourceY, std::int32_t width,
                             std::int32_t height) const
{
    if (Empty() || destination.Empty())
    {
        return;
    }
    // 64-bit arithmetic: no caller-supplied coordinate can overflow the clipping.
    std::int64_t dx = x, dy = y, sx = sourceX, sy = sourceY, w = width, h = height;
    const TRect clip = destination.FClipRect;
    // A part outside the source image is cut off and the destination moves with it.
    if (sx < 0)
    {
        dx -= sx;
        w += sx;
        sx = 0;
    }
    if (sy < 0)
    {
        dy -= sy;
        h += sy;
        sy = 0;
    }
    // A part left of or above the clip rectangle (which lies inside the destination).
    if (dx < clip.Left)
    {
        sx += clip.Left - dx;
        w -= clip.Left - dx;
        dx = clip.Left;
    }
    if (dy < clip.Top)
    {
        sy += clip.Top - dy;
        h -= clip.Top - dy;
        dy = clip.Top;
    }
    w = std::min({w, clip.Right - dx, static_cast<std::int64_t>(FWidth) - sx});
    h = std::min({h, clip.Bottom - dy, static_cast<std::int64_t>(FHeight) - sy});
    if (w <= 0 || h <= 0)
    {
        return;
    }
    const auto count = static_cast<std::int32_t>(w);
    for (std::int64_t row = 0; row < h; ++row)
    {
        FBlend(destination.ScanLine(static_cast<std::int32_t>(dy + row)) + dx * 4,
               ScanLine(static_cast<std::int32_t>(sy + row)) + sx * 4, count, FOpacity);
    }
    destination.Changed();
}

void TAbstractSuperDIB::Fill(const TRect& rect, TColor colour)
{
    const TRect area = rect.Intersection(FClipRect);
    if (area.IsEmpty())
    {
        return;
    }
    const std::uint8_t pixel[4] = {BlueOf(colour), GreenOf(colour), RedOf(colour), 255};
    for (std::int32_t y = area.Top; y < area.Bottom; ++y)
    {
        std::uint8_t* p = ScanLine(y) + static_cast<std::ptrdiff_t>(area.Left) * 4;
        for (std::int32_t x = area.Left; x < area.Right; ++x, p += 4)
        {
            std::memcpy(p, pixel, 4);
        }
    }
    Changed();
}

std::uint8_t* TAbstractSuperDIB::ScanLine(std::int32_t y)
{
    return FBits + static_cast<std::size_t>(FHeight - 1 - y) * RowBytes();
}

const std::uint8_t* TAbstractSuperDIB::ScanLine(std::int32_t y) const
{
    return FBits + static_cast<std::size_t>(FHeight - 1 - y) * RowBytes();
}

std::span<std::uint8_t> TAbstractSuperDIB::Pixels()
{
    return {FBits, static_cast<std::size_t>(FHeight) * RowBytes()};
}

std::span<const std::uint8_t> TAbstractSuperDIB::Pixels() const
{
    return {FBits, static_cast<std::size_t>(FHeight) * RowBytes()};
}

TPixelView TAbstractSuperDIB::View()
{
    if (Empty())
    {
        return TPixelView{};
    }
    return TPixelView{ScanLine(0), -static_cast<std::ptrdiff_t>(RowBytes()), FWidth, FHeight};
}

void TWinDIB::DrawText(const TRect& box, std::string_view text, const TUIFont& font, TColor colour,
                       const TTextFormat& format)
{
    if (FTextRenderer == nullptr || Empty() || ClipRect().IsEmpty())
    {
        return;
    }
    FTextRenderer->DrawText(View(), ClipRect(), box, text, font, colour, format);
    Changed();
}

TSize TWinDIB::MeasureText(std::string_view text, const TUIFont& font, const TTextFormat& format,
                           std::int32_t maxWidth) const
{
    if (FTextRenderer == nullptr)
    {
        return TSize{};
    }
    return FTextRenderer->MeasureText(font, text, format, maxWidth);
}

} // namespace orvo
