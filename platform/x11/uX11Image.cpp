#include "platform/x11/uX11Image.h"

#include <X11/Xutil.h>

#include <cstring>

namespace orvo::x11
{
namespace
{
int ShiftOfMask(unsigned long mask)
{
    int shift = 0;
    while (mask != 0 && (mask & 1) == 0)
    {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

} // namespace

void ConvertPixels(Visual* visual, int depth, const TPixelView& image, const TRect& area,
                   std::uint32_t* pixels, std::size_t stride)
{
    const auto width = static_cast<std::size_t>(area.Width());
    const unsigned long redMask = visual->red_mask;
    const unsigned long greenMask = visual->green_mask;
    const unsigned long blueMask = visual->blue_mask;
    // A 32-bit visual with room for alpha (a compositing host) gets opaque pixels.
    const std::uint32_t alpha =
        depth == 32 ? ~static_cast<std::uint32_t>(redMask | greenMask | blueMask) : 0;
    const bool native = redMask == 0xFF0000 && greenMask == 0x00FF00 && blueMask == 0x0000FF;
    const int redShift = ShiftOfMask(redMask);
    const int greenShift = ShiftOfMask(greenMask);
    const int blueShift = ShiftOfMask(blueMask);
    const auto scale = [](std::uint8_t value, unsigned long mask, int shift)
    {
        const unsigned long top = mask >> shift;
        return ((static_cast<unsigned long>(value) * top + 127) / 255) << shift;
    };
    for (std::int32_t y = 0; y < area.Height(); ++y)
    {
        const std::uint8_t* source = image.Pixel(area.Left, area.Top + y);
        std::uint32_t* target = pixels + static_cast<std::size_t>(y) * stride;
        for (std::size_t x = 0; x < width; ++x, source += 4)
        {
            // Blue, green, red, mask in memory is 0xMMRRGGBB read little-endian.
            target[x] = native
                            ? ((static_cast<std::uint32_t>(source[2]) << 16) |
                               (static_cast<std::uint32_t>(source[1]) << 8) | source[0] | alpha)
                            : (static_cast<std::uint32_t>(scale(source[2], redMask, redShift) |
                                                          scale(source[1], greenMask, greenShift) |
                                                          scale(source[0], blueMask, blueShift)) |
                               alpha);
        }
    }
}

void PutImage(Display* display, Window window, Visual* visual, int depth, const TPixelView& image,
              const TRect& rect, std::vector<std::uint32_t>& scratch)
{
    const TRect area = rect.Intersection(TRect{0, 0, image.Width, image.Height});
    if (area.IsEmpty() || image.TopRow == nullptr)
    {
        return;
    }
    scratch.resize(static_cast<std::size_t>(area.Width()) *
                   static_cast<std::size_t>(area.Height()));
    ConvertPixels(visual, depth, image, area, scratch.data(),
                  static_cast<std::size_t>(area.Width()));
    XImage* picture = XCreateImage(display, visual, static_cast<unsigned int>(depth), ZPixmap, 0,
                                   reinterpret_cast<char*>(scratch.data()),
                                   static_cast<unsigned int>(area.Width()),
                                   static_cast<unsigned int>(area.Height()), 32, area.Width() * 4);
    if (picture == nullptr)
    {
        return;
    }
    // The pixels were written as host-order 32-bit values; Xlib swaps them for a server of
    // the other byte order.
    const std::uint32_t probe = 1;
    unsigned char first = 0;
    std::memcpy(&first, &probe, 1);
    picture->byte_order = first == 1 ? LSBFirst : MSBFirst;
    if (picture->bits_per_pixel == 32)
    {
        XPutImage(display, window, DefaultGC(display, DefaultScreen(display)), picture, 0, 0,
                  area.Left, area.Top, static_cast<unsigned int>(area.Width()),
                  static_cast<unsigned int>(area.Height()));
    }
    picture->data = nullptr; // scratch owns the pixels
    XDestroyImage(picture);
}
} // namespace orvo::x11
