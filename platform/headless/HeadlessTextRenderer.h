// Text output with the built-in bitmap font: one 11-pixel face whatever the requested
// face, scaled by whole pixels for heights of 17 and more; no anti-aliasing.
#pragma once

#include "platform/ui/IUITextRenderer.h"

namespace orvo
{

class THeadlessTextRenderer : public IUITextRenderer
{
  public:
    TSize MeasureText(const TUIFont& font, std::string_view text, const TTextFormat& format,
                      std::int32_t maxWidth) override;
    void DrawText(const TPixelView& target, const TRect& clip, const TRect& box,
                  std::string_view text, const TUIFont& font, TUIColor colour,
                  const TTextFormat& format) override;

    /// Whole-pixel magnification of the 11-pixel font for a requested character height.
    static std::int32_t ScaleFor(const TUIFont& font);
};

} // namespace orvo
