// Text output with GDI into the editor's off-screen image. GDI cannot draw into the
// toolkit's pixels directly (it knows nothing of the mask byte), so each text is drawn
// white on black into a DIB section the size of the clipped area, and every pixel it
// covers then takes the text colour with mask 255 in the image. Glyphs are drawn without
// anti-aliasing, as the classic 11-pixel "MS Sans Serif" bitmap face looks.
#pragma once

#include "platform/ui/IUITextRenderer.h"
#include "platform/win32ui/uWindowsHeader.h"

#include <map>
#include <string>

namespace orvo
{

class TWin32TextRenderer final : public IUITextRenderer
{
  public:
    TWin32TextRenderer();
    ~TWin32TextRenderer() override;
    TWin32TextRenderer(const TWin32TextRenderer&) = delete;
    TWin32TextRenderer& operator=(const TWin32TextRenderer&) = delete;

    TSize MeasureText(const TUIFont& font, std::string_view text, const TTextFormat& format,
                      std::int32_t maxWidth) override;
    void DrawText(const TPixelView& target, const TRect& clip, const TRect& box,
                  std::string_view text, const TUIFont& font, TUIColor colour,
                  const TTextFormat& format) override;

  private:
    HFONT FontFor(const TUIFont& font);
    /// A DIB section of at least width x height pixels selected into FDC; false when GDI
    /// has no memory for it.
    bool EnsureSurface(std::int32_t width, std::int32_t height);

    HDC FDC = nullptr;
    HBITMAP FSurface = nullptr;
    HGDIOBJ FOriginalBitmap = nullptr;
    HGDIOBJ FOriginalFont = nullptr;
    std::uint8_t* FSurfaceBits = nullptr; // top-down, FSurfaceWidth x 4 bytes per row
    std::int32_t FSurfaceWidth = 0;
    std::int32_t FSurfaceHeight = 0;
    std::map<std::pair<std::string, std::pair<std::int32_t, bool>>, HFONT> FFonts;
};

} // namespace orvo
