#include "platform/win32ui/TWin32TextRenderer.h"

#include "platform/win32/uWin32Text.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace orvo
{

namespace
{

UINT FormatFlags(const TTextFormat& format)
{
    UINT flags = DT_TOP | DT_NOCLIP;
    switch (format.Alignment)
    {
    case taLeftJustify:
        flags |= DT_LEFT;
        break;
    case taRightJustify:
        flags |= DT_RIGHT;
        break;
    case taCenter:
        flags |= DT_CENTER;
        break;
    }
    flags |= format.WordWrap ? DT_WORDBREAK : DT_SINGLELINE;
    if (format.ExpandTabs)
    {
        flags |= DT_EXPANDTABS;
    }
    if (!format.ShowAccelChar)
    {
        flags |= DT_NOPREFIX;
    }
    return flags;
}

} // namespace

TWin32TextRenderer::TWin32TextRenderer()
{
    FDC = CreateCompatibleDC(nullptr);
}

TWin32TextRenderer::~TWin32TextRenderer()
{
    if (FDC != nullptr)
    {
        if (FOriginalFont != nullptr)
        {
            SelectObject(FDC, FOriginalFont);
        }
        if (FOriginalBitmap != nullptr)
        {
            SelectObject(FDC, FOriginalBitmap);
        }
        DeleteDC(FDC);
    }
    if (FSurface != nullptr)
    {
        DeleteObject(FSurface);
    }
    for (const auto& [key, font] : FFonts)
    {
        DeleteObject(font);
    }
}

HFONT TWin32TextRenderer::FontFor(const TUIFont& font)
{
    const auto key = std::make_pair(font.Face, std::make_pair(std::abs(font.Height), font.Bold));
    const auto found = FFonts.find(key);
    if (found != FFonts.end())
    {
        return found->second;
    }
    LOGFONTW description{};
    // A negative height asks for the character height (the cell less its internal
    // leading): "MS Sans Serif" at -11 is the classic 8-point face at 96 pixels per inch.
    description.lfHeight = -std::abs(font.Height);
    description.lfWeight = font.Bold ? FW_BOLD : FW_NORMAL;
    description.lfCharSet = DEFAULT_CHARSET;
    description.lfOutPrecision = OUT_DEFAULT_PRECIS;
    description.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    description.lfQuality = NONANTIALIASED_QUALITY;
    description.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;
    const std::wstring face = win32::WideFromAnsi(font.Face);
    const std::size_t length = std::min<std::size_t>(face.size(), LF_FACESIZE - 1);
    std::memcpy(description.lfFaceName, face.data(), length * sizeof(wchar_t));
    HFONT handle = CreateFontIndirectW(&description);
    if (handle != nullptr)
    {
        FFonts.emplace(key, handle);
    }
    return handle;
}

bool TWin32TextRenderer::EnsureSurface(std::int32_t width, std::int32_t height)
{
    if (FDC == nullptr)
    {
        return false;
    }
    if (FSurface != nullptr && width <= FSurfaceWidth && height <= FSurfaceHeight)
    {
        return true;
    }
    const std::int32_t newWidth = std::max(width, FSurfaceWidth);
    const std::int32_t newHeight = std::max(height, FSurfaceHeight);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = newWidth;
    info.bmiHeader.biHeight = -newHeight; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP surface = CreateDIBSection(FDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (surface == nullptr || bits == nullptr)
    {
        return false;
    }
    HGDIOBJ previous = SelectObject(FDC, surface);
    if (FOriginalBitmap == nullptr)
    {
        FOriginalBitmap = previous;
    }
    if (FSurface != nullptr)
    {
        DeleteObject(FSurface);
    }
    FSurface = surface;
    FSurfaceBits = static_cast<std::uint8_t*>(bits);
    FSurfaceWidth = newWidth;
    FSurfaceHeight = newHeight;
    return true;
}

TSize TWin32TextRenderer::MeasureText(const TUIFont& font, std::string_view text,
                                      const TTextFormat& format, std::int32_t maxWidth)
{
    HFONT handle = FontFor(font);
    if (text.empty() || FDC == nullptr || handle == nullptr)
    {
        return TSize{};
    }
    HGDIOBJ previous = SelectObject(FDC, handle);
    if (FOriginalFont == nullptr)
    {
        FOriginalFont = previous;
    }
    std::wstring wide = win32::WideFromAnsi(text);
    RECT box{0, 0, format.WordWrap && maxWidth > 0 ? maxWidth : 0, 0};
    ::DrawTextW(FDC, wide.data(), static_cast<int>(wide.size()), &box,
                FormatFlags(format) | DT_CALCRECT);
    return TSize{box.right - box.left, box.bottom - box.top};
}

void TWin32TextRenderer::DrawText(const TPixelView& target, const TRect& clip, const TRect& box,
                                  std::string_view text, const TUIFont& font, TUIColor colour,
                                  const TTextFormat& format)
{
    const TRect area = clip.Intersection(TRect{0, 0, target.Width, target.Height});
    HFONT handle = FontFor(font);
    if (area.IsEmpty() || text.empty() || handle == nullptr ||
        !EnsureSurface(area.Width(), area.Height()))
    {
        return;
    }
    HGDIOBJ previous = SelectObject(FDC, handle);
    if (FOriginalFont == nullptr)
    {
        FOriginalFont = previous;
    }
    const auto surfaceRow = static_cast<std::ptrdiff_t>(FSurfaceWidth) * 4;
    for (std::int32_t y = 0; y < area.Height(); ++y)
    {
        std::memset(FSurfaceBits + y * surfaceRow, 0, static_cast<std::size_t>(area.Width()) * 4);
    }
    SetBkMode(FDC, TRANSPARENT);
    SetTextColor(FDC, RGB(255, 255, 255));
    // Surface pixel (0, 0) is target pixel (area.Left, area.Top).
    RECT layout{box.Left - area.Left, box.Top - area.Top, box.Right - area.Left,
                box.Bottom - area.Top};
    std::wstring wide = win32::WideFromAnsi(text);
    ::DrawTextW(FDC, wide.data(), static_cast<int>(wide.size()), &layout, FormatFlags(format));
    GdiFlush();

    const std::uint8_t red = RedOf(colour);
    const std::uint8_t green = GreenOf(colour);
    const std::uint8_t blue = BlueOf(colour);
    for (std::int32_t y = 0; y < area.Height(); ++y)
    {
        const std::uint8_t* source = FSurfaceBits + y * surfaceRow;
        for (std::int32_t x = 0; x < area.Width(); ++x, source += 4)
        {
            // Coverage is 0 or 255 without anti-aliasing; partial values (a face that
            // smooths anyway) blend as the toolkit's opacity routine does.
            const std::uint32_t w = std::max({source[0], source[1], source[2]});
            if (w == 0)
            {
                continue;
            }
            std::uint8_t* d = target.Pixel(area.Left + x, area.Top + y);
            if (w == 255)
            {
                d[0] = blue;
                d[1] = green;
                d[2] = red;
                d[3] = 255;
                continue;
            }
            d[0] = static_cast<std::uint8_t>((blue * w + d[0] * (255 - w) + 255) >> 8);
            d[1] = static_cast<std::uint8_t>((green * w + d[1] * (255 - w) + 255) >> 8);
            d[2] = static_cast<std::uint8_t>((red * w + d[2] * (255 - w) + 255) >> 8);
            d[3] = 255;
        }
    }
}

} // namespace orvo
