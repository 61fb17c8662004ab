// Text output into an off-screen image: a font face and pixel height, a colour, alignment
// inside a box, and measurement. Runs on the user-interface thread.
#pragma once

#include "platform/ui/UIGeometry.h"
#include "platform/ui/UIPixels.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace orvo
{

struct TUIFont
{
    std::string Face = "MS Sans Serif";
    std::int32_t Height = 11; // character height in pixels
    bool Bold = false;

    friend bool operator==(const TUIFont&, const TUIFont&) = default;
};

enum TTextAlignment : std::uint8_t
{
    taLeftJustify,
    taRightJustify,
    taCenter
};

struct TTextFormat
{
    TTextAlignment Alignment = taLeftJustify;
    bool WordWrap = false;     // break lines at blanks to fit the box width
    bool ExpandTabs = true;    // a tab advances to the next multiple of eight character cells
    bool ShowAccelChar = true; // "&x" underlines x, "&&" shows one ampersand
};

class IUITextRenderer
{
  public:
    virtual ~IUITextRenderer() = default;

    /// Size of the text's lines; with WordWrap the lines are broken to fit maxWidth.
    virtual TSize MeasureText(const TUIFont& font, std::string_view text, const TTextFormat& format,
                              std::int32_t maxWidth) = 0;

    /// Draws the text's glyphs in colour with no background, its first line at the top of
    /// box, each line aligned inside box horizontally. Only pixels inside clip (in target
    /// coordinates) change; a drawn pixel gets mask byte 255.
    virtual void DrawText(const TPixelView& target, const TRect& clip, const TRect& box,
                          std::string_view text, const TUIFont& font, TUIColor colour,
                          const TTextFormat& format) = 0;
};

} // namespace orvo
