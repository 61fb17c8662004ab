// The controls' images: knob and slider frames and the two-state keys. Everything a frame
// shows lies inside its image; the masks make the rest transparent so that the panel's
// scales and slots show around them.
#include "tools/artwork/uImages.h"
#include "tools/artwork/uLayout.h"
#include "tools/artwork/uStyle.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace orvo::art
{

namespace
{

constexpr double Pi = std::numbers::pi;

/// Radius of the knob's recess; the frame is opaque inside it and transparent outside,
/// the same in every frame, so that blending two frames never uncovers a hidden pixel.
constexpr double KnobRecessRadius = 30.0;
constexpr double KnobCapRadius = 20.0;

constexpr double ThumbWidth = 30.0;
constexpr double ThumbHeight = 20.0;

constexpr double KeyHeight = 20.0;

/// A key of width `w`: raised when up, sunk by a pixel when down. `face` paints its top.
TPath KeyShape(double w, bool down)
{
    TPath shape;
    shape.RoundRect(1, 1 + (down ? 1 : 0), w - 2, KeyHeight - 3, 3.5);
    return shape;
}

void DrawKeyBody(TLayer& layer, double w, bool down, const TPaint& face)
{
    const TPath shape = KeyShape(w, down);
    layer.DropShadow(shape, 0, down ? 0.5 : 1.5, down ? 1.0 : 2.0, Hex(0x000000, 0.8f));
    layer.Fill(shape, face);
    // Lit top edge, dark lower edge.
    TPath topEdge;
    topEdge.RoundRect(2, 1.0 + (down ? 1 : 0), w - 4, 1.2, 0.6);
    layer.Fill(topEdge, Solid(Hex(0xffffff, down ? 0.10f : 0.22f)));
    layer.InnerShadow(shape, 0, -1, 1.5, Hex(0x000000, 0.45f));
}

TLayer KeyFrame(double w, double scale)
{
    return TLayer::ForUnits(w, KeyHeight, scale);
}

/// Two frames side by side: the first left, the second right.
TLayer SideBySide(const TLayer& first, const TLayer& second)
{
    TLayer strip(first.Width() + second.Width(), first.Height(), first.Scale());
    strip.Draw(first, 0, 0);
    strip.Draw(second, first.Width(), 0);
    return strip;
}

TPaint KeyFace(double top, const TColor& light, const TColor& dark)
{
    return LinearGradient({0, top}, {0, top + KeyHeight - 3}, {{0.0, light}, {1.0, dark}});
}

} // namespace

TLayer DrawKnobFrame(double angle, double scale)
{
    const double c = KnobCentre;
    TLayer layer = TLayer::ForUnits(KnobFrameSize, KnobFrameSize, scale);
    TPath recess;
    recess.Circle(c, c, KnobRecessRadius);
    layer.Fill(recess, RadialGradient({c, c + 6}, KnobRecessRadius + 6,
                                      {{0.0, Hex(0x17191c)}, {1.0, Hex(0x08090a)}}));
    layer.InnerShadow(recess, 0, 2, 3.0, Hex(0x000000, 0.8f));

    // The sweep's track, and the value arc lit from the centre (12 o'clock) to the pointer.
    TPath track;
    track.RingSector(c, c, 24.5, 27.5, KnobSweepStart, KnobSweepStart + KnobSweep);
    layer.Fill(track, Solid(Hex(0x25282d)));
    if (std::abs(angle) > 1e-6)
    {
        TPath arc;
        arc.RingSector(c, c, 24.5, 27.5, std::min(0.0, angle), std::max(0.0, angle));
        layer.DropShadow(arc, 0, 0, 3.0, WithAlpha(palette::Accent, 0.65f));
        layer.Fill(arc, Solid(palette::Accent));
    }
    TPath centreNotch;
    centreNotch.RingSector(c, c, 24.0, 28.0, -0.02, 0.02);
    layer.Fill(centreNotch, Solid(Hex(0xffffff, 0.35f)));

    // The cap: shadow below, a lit skirt and a darker face.
    TPath cap;
    cap.Circle(c, c, KnobCapRadius);
    layer.DropShadow(cap, 0, 2.5, 4.0, Hex(0x000000, 0.85f));
    layer.Fill(cap,
               LinearGradient({0, c - KnobCapRadius}, {0, c + KnobCapRadius},
                              {{0.0, Hex(0x6a717b)}, {0.5, Hex(0x3b3f46)}, {1.0, Hex(0x1c1e22)}}));
    // Grip ridges around the skirt turn with the knob.
    for (int i = 0; i < 36; ++i)
    {
        const double a = angle + 2 * Pi * i / 36;
        TPath ridge;
        ridge.Capsule(c + 17.6 * std::sin(a), c - 17.6 * std::cos(a), c + 19.6 * std::sin(a),
                      c - 19.6 * std::cos(a), 0.9);
        layer.Fill(ridge, Solid(Hex(0x000000, 0.35f)));
    }
    TPath face;
    face.Circle(c, c, 16.5);
    layer.DropShadow(face, 0, 0.5, 1.2, Hex(0x000000, 0.6f));
    layer.Fill(face, LinearGradient({0, c - 16.5}, {0, c + 16.5},
                                    {{0.0, Hex(0x464b53)}, {1.0, Hex(0x26292e)}}));
    // Spun-metal sheen: fixed highlights, as the light does not turn with the knob.
    layer.Fill(face, ConicGradient({c, c}, {{0.0, Hex(0xffffff, 0.0f)},
                                            {0.11, Hex(0xffffff, 0.10f)},
                                            {0.22, Hex(0xffffff, 0.0f)},
                                            {0.55, Hex(0xffffff, 0.0f)},
                                            {0.64, Hex(0xffffff, 0.07f)},
                                            {0.75, Hex(0xffffff, 0.0f)},
                                            {1.0, Hex(0xffffff, 0.0f)}}));
    TPath faceEdge;
    faceEdge.Circle(c, c, 16.5).CircleHole(c, c, 15.7);
    layer.Fill(faceEdge,
               LinearGradient({0, c - 16.5}, {0, c + 16.5},
                              {{0.0, Hex(0xffffff, 0.25f)}, {1.0, Hex(0xffffff, 0.02f)}}));

    // The pointer: a cream line from near the centre to the face's rim.
    const double s = std::sin(angle);
    const double co = std::cos(angle);
    TPath pointer;
    pointer.Capsule(c + 5.5 * s, c - 5.5 * co, c + 14.0 * s, c - 14.0 * co, 2.6);
    layer.DropShadow(pointer, 0, 0.8, 1.0, Hex(0x000000, 0.7f));
    layer.Fill(pointer, Solid(palette::Cream));

    // The mask is the recess disc, identical in every frame.
    layer.SetAlpha(layer.Mask(recess));
    return layer;
}

TLayer DrawSliderFrame(double thumbY, double scale)
{
    TLayer layer = TLayer::ForUnits(SliderFrameWidth, SliderFrameHeight, scale);
    const double left = SliderCentreX - ThumbWidth / 2;
    const double top = thumbY - ThumbHeight / 2;
    TPath body;
    body.RoundRect(left, top, ThumbWidth, ThumbHeight, 3.0);
    layer.DropShadow(body, 0, 3.0, 4.5, Hex(0x000000, 0.75f));
    layer.Fill(body, LinearGradient({0, top}, {0, top + ThumbHeight},
                                    {{0.0, Hex(0x646a74)},
                                     {0.12, Hex(0x4a4f57)},
                                     {0.5, Hex(0x363a40)},
                                     {0.88, Hex(0x2a2d32)},
                                     {1.0, Hex(0x1b1d20)}}));
    TPath topEdge;
    topEdge.RoundRect(left + 1.5, top + 0.6, ThumbWidth - 3, 1.0, 0.5);
    layer.Fill(topEdge, Solid(Hex(0xffffff, 0.3f)));
    // Finger grooves above and below the centre line.
    for (double offset : {-6.5, -4.0, 4.0, 6.5})
    {
        TPath groove;
        groove.Rect(left + 4, thumbY + offset - 0.5, ThumbWidth - 8, 0.8);
        layer.Fill(groove, Solid(Hex(0x000000, 0.45f)));
        TPath shine;
        shine.Rect(left + 4, thumbY + offset + 0.3, ThumbWidth - 8, 0.7);
        layer.Fill(shine, Solid(Hex(0xffffff, 0.10f)));
    }
    // The value line across the cap, level with the scale's ticks.
    TPath line;
    line.Rect(left + 1.5, thumbY - 0.8, ThumbWidth - 3, 1.6);
    layer.Fill(line, Solid(palette::Cream));
    return layer;
}

TLayer DrawMuteButton(const TArtworkFonts& fonts, int band, double scale)
{
    const double w = MuteButtons.front().Width;
    const TTextStyle text{9.7, 0.0, 0.86};
    const TColor& bandColour = palette::Bands[static_cast<std::size_t>(band)];
    // Up: the band is heard; its LED glows in the band's colour.
    TLayer up = KeyFrame(w, scale);
    DrawKeyBody(up, w, false, KeyFace(1, Hex(0x4a4f57), Hex(0x2c2f35)));
    DrawLed(up, 8, 10, 2.2, bandColour, true);
    PrintText(up, *fonts.Bold, "MUTE", text, 26.5, 13.2, taCentre, Hex(0xe0e4e8));
    // Down: muted; the whole key glows red and the band's LED goes dark.
    TLayer down = KeyFrame(w, scale);
    DrawKeyBody(down, w, true, KeyFace(2, Hex(0xc8362a), Hex(0x8f170f)));
    TPath glow;
    glow.RoundRect(4, 4, w - 8, 10, 4);
    down.Fill(glow, RadialGradient({w / 2, 9}, w / 2,
                                   {{0.0, Hex(0xffb8a0, 0.2f)}, {1.0, Hex(0xff8060, 0.0f)}}));
    DrawLed(down, 8, 11, 2.2, bandColour, false);
    PrintText(down, *fonts.Bold, "MUTE", text, 26.5, 14.2, taCentre, Hex(0xffffff));
    return SideBySide(up, down);
}

TLayer DrawOverSampleButton(const TArtworkFonts& fonts, double scale)
{
    const double w = OverSampleButton.Width;
    const TTextStyle text{9.7, 0.0, 0.7};
    TLayer off = KeyFrame(w, scale);
    DrawKeyBody(off, w, false, KeyFace(1, Hex(0x4a4f57), Hex(0x2c2f35)));
    DrawLed(off, 8, 10, 2.2, palette::OnGreen, false);
    PrintText(off, *fonts.Bold, "OVERSAMPLE", text, 42, 13.2, taCentre, Hex(0xd8dde2));
    TLayer on = KeyFrame(w, scale);
    DrawKeyBody(on, w, true, KeyFace(2, Hex(0x3c4047), Hex(0x25282d)));
    DrawLed(on, 8, 11, 2.2, palette::OnGreen, true);
    PrintText(on, *fonts.Bold, "OVERSAMPLE", text, 42, 14.2, taCentre, Hex(0xf2f4f0));
    return SideBySide(off, on);
}

} // namespace orvo::art
