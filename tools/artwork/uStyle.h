// The artwork's shared look: palette, type styles and the drawing helpers every image
// uses (printed legends, recessed wells, lit LEDs, panel screws).
#pragma once

#include "tools/artwork/uFont.h"
#include "tools/artwork/uRaster.h"

#include <array>
#include <string_view>

namespace orvo::art
{

namespace palette
{
inline const TColor PanelTop = Hex(0x30343a);
inline const TColor PanelBottom = Hex(0x202328);
inline const TColor Deck = Hex(0x1a1c20);
inline const TColor DeckHero = Hex(0x1e2126);
inline const TColor Well = Hex(0x0c0d0f);
// Captions keep at least 4.5:1 contrast (WCAG) against the panel and the deck as drawn,
// where thin anti-aliased strokes never reach their full colour.
inline const TColor Legend = Hex(0xc9cfd6);    // printed section titles
inline const TColor LegendDim = Hex(0xaab1ba); // scale numbers, units, hints
inline const TColor TickColour = Hex(0x5d646d);
inline const TColor Accent = Hex(0xf2a444); // values: knob arcs, the 0 dB line, punch
inline const TColor Cream = Hex(0xf1ede2);  // pointers and the fader line
inline const TColor Wordmark = Hex(0xece6d8);
inline const TColor MuteRed = Hex(0xd8342a);
inline const TColor OnGreen = Hex(0x63e08e);
/// One colour per band, low to high: identifies the band name, its mute LED.
inline const std::array<TColor, 5> Bands{Hex(0xe8704e), Hex(0xe9a640), Hex(0xc8d25c), Hex(0x5cc6b2),
                                         Hex(0x64a2ea)};
} // namespace palette

/// A path's coverage with thin anti-aliased strokes thickened a little (small text).
TMask TextMask(const TLayer& layer, const TPath& path);

/// Printed text with a faint dark shadow below it, as on a panel.
void PrintText(TLayer& layer, const TFont& font, std::string_view text, const TTextStyle& style,
               double x, double baseline, TTextAlign align, const TColor& colour);
/// The same, rotated a quarter turn anticlockwise (reads bottom to top), centred on (cx, cy).
void PrintTextUpwards(TLayer& layer, const TFont& font, std::string_view text,
                      const TTextStyle& style, double cx, double cy, const TColor& colour);

/// A recessed rounded well: dark floor, inner shadow from the top, a lit lower lip.
void DrawWell(TLayer& layer, double x, double y, double w, double h, double radius,
              const TColor& floor);
/// A round LED: dark when off, a lit lens with a soft halo when on.
void DrawLed(TLayer& layer, double cx, double cy, double r, const TColor& colour, bool lit);
/// A panel screw with a hex socket.
void DrawScrew(TLayer& layer, double cx, double cy);

/// The panel: base gradient with a faint grain, header rule and bottom rule.
void DrawPanelBase(TLayer& layer);

} // namespace orvo::art
