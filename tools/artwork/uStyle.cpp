#include "tools/artwork/uStyle.h"

#include <cmath>
#include <numbers>

namespace orvo::art
{

namespace
{

/// Exponent for text coverage: small unhinted text reads too light without it.
constexpr double TextGamma = 0.8;

} // namespace

TMask TextMask(const TLayer& layer, const TPath& path)
{
    TMask mask = layer.Mask(path);
    mask.Gamma(TextGamma);
    return mask;
}

void PrintText(TLayer& layer, const TFont& font, std::string_view text, const TTextStyle& style,
               double x, double baseline, TTextAlign align, const TColor& colour)
{
    const TPath path = font.Text(text, style, x, baseline, align);
    TMask shadow = layer.Mask(path.Transformed(TAffine::Translation(0.0, 1.0)));
    layer.FillMask(shadow, Solid(Hex(0x000000, 0.45f)));
    layer.FillMask(TextMask(layer, path), Solid(colour));
}

void PrintTextUpwards(TLayer& layer, const TFont& font, std::string_view text,
                      const TTextStyle& style, double cx, double cy, const TColor& colour)
{
    // Set horizontally around the origin, then turned a quarter anticlockwise.
    const double capHeight = font.CapHeight(style);
    const TPath flat = font.Text(text, style, 0.0, capHeight / 2, taCentre);
    const TAffine turn =
        TAffine::Translation(cx, cy).After(TAffine::Rotation(-std::numbers::pi / 2, 0.0, 0.0));
    const TPath path = flat.Transformed(turn);
    TMask shadow = layer.Mask(path.Transformed(TAffine::Translation(1.0, 0.0)));
    layer.FillMask(shadow, Solid(Hex(0x000000, 0.45f)));
    layer.FillMask(TextMask(layer, path), Solid(colour));
}

void DrawWell(TLayer& layer, double x, double y, double w, double h, double radius,
              const TColor& floor)
{
    TPath lip;
    lip.RoundRect(x - 1, y - 1, w + 2, h + 2, radius + 1);
    // Light catches the lower lip, the upper lip is in shade.
    layer.Fill(lip, LinearGradient({0, y - 1}, {0, y + h + 1},
                                   {{0.0, Hex(0x000000, 0.55f)},
                                    {0.6, Hex(0x000000, 0.25f)},
                                    {1.0, Hex(0xffffff, 0.14f)}}));
    TPath inside;
    inside.RoundRect(x, y, w, h, radius);
    layer.Fill(inside, LinearGradient({0, y}, {0, y + h},
                                      {{0.0, Mix(floor, Hex(0x000000), 0.35)}, {1.0, floor}}));
    layer.InnerShadow(inside, 0, 2, 3.0, Hex(0x000000, 0.75f));
}

void DrawLed(TLayer& layer, double cx, double cy, double r, const TColor& colour, bool lit)
{
    TPath bezel;
    bezel.Circle(cx, cy, r + 1.0);
    layer.Fill(bezel, LinearGradient({0, cy - r - 1}, {0, cy + r + 1},
                                     {{0.0, Hex(0x000000, 0.7f)}, {1.0, Hex(0xffffff, 0.12f)}}));
    TPath lens;
    lens.Circle(cx, cy, r);
    if (lit)
    {
        TPath halo;
        halo.Circle(cx, cy, r + 1.5);
        layer.DropShadow(halo, 0, 0, 5.0, WithAlpha(colour, 0.55f));
        layer.Fill(lens, RadialGradient({cx - r * 0.3, cy - r * 0.35}, r * 1.4,
                                        {{0.0, Mix(colour, Hex(0xffffff), 0.75)},
                                         {0.45, colour},
                                         {1.0, Mix(colour, Hex(0x000000), 0.25)}}));
    }
    else
    {
        layer.Fill(lens, RadialGradient({cx - r * 0.3, cy - r * 0.35}, r * 1.4,
                                        {{0.0, Mix(colour, Hex(0x202020), 0.6)},
                                         {1.0, Mix(colour, Hex(0x050505), 0.85)}}));
    }
}

void DrawScrew(TLayer& layer, double cx, double cy)
{
    TPath shadow;
    shadow.Circle(cx, cy + 0.8, 4.6);
    layer.DropShadow(shadow, 0, 0, 1.5, Hex(0x000000, 0.6f));
    TPath head;
    head.Circle(cx, cy, 4.5);
    layer.Fill(head,
               LinearGradient({cx - 3, cy - 4}, {cx + 3, cy + 4},
                              {{0.0, Hex(0x6d737c)}, {0.5, Hex(0x474c53)}, {1.0, Hex(0x2b2e33)}}));
    TPath socket;
    for (int i = 0; i < 6; ++i)
    {
        const double a = std::numbers::pi / 3 * i + std::numbers::pi / 6;
        const double px = cx + 1.9 * std::sin(a);
        const double py = cy - 1.9 * std::cos(a);
        if (i == 0)
        {
            socket.MoveTo(px, py);
        }
        else
        {
            socket.LineTo(px, py);
        }
    }
    layer.Fill(socket, Solid(Hex(0x15171a)));
}

void DrawPanelBase(TLayer& layer)
{
    const double w = layer.Width() / layer.Scale();
    const double h = layer.Height() / layer.Scale();
    TPath all;
    all.Rect(0, 0, w, h);
    layer.Fill(all, Grain(LinearGradient({0, 0}, {0, h},
                                         {{0.0, palette::PanelTop}, {1.0, palette::PanelBottom}}),
                          0.004, 7));
    // A soft sheen from the upper left, as from a studio light.
    layer.Fill(all, RadialGradient({w * 0.25, -h * 0.6}, w * 0.9,
                                   {{0.0, Hex(0xffffff, 0.07f)}, {1.0, Hex(0xffffff, 0.0f)}}));
    // Bevel: a bright top edge and a dark bottom edge around the whole panel.
    TPath top;
    top.Rect(0, 0, w, 1);
    layer.Fill(top, Solid(Hex(0xffffff, 0.12f)));
    TPath bottom;
    bottom.Rect(0, h - 1, w, 1);
    layer.Fill(bottom, Solid(Hex(0x000000, 0.5f)));
    TPath left;
    left.Rect(0, 0, 1, h);
    layer.Fill(left, Solid(Hex(0xffffff, 0.06f)));
    TPath right;
    right.Rect(w - 1, 0, 1, h);
    layer.Fill(right, Solid(Hex(0x000000, 0.4f)));
}

} // namespace orvo::art
