// The editor's panel (700 x 300): header with the product name, the recessed control
// deck with its three sections (input, the five bands, output), the slots and scales the
// sliders and knobs sit on, the mute and oversampling key seats, the value display well
// and the vendor mark in the corner that opens the credits.
#include "tools/artwork/uImages.h"
#include "tools/artwork/uLayout.h"
#include "tools/artwork/uStyle.h"

#include <cmath>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvo::art
{

namespace
{

/// The control deck: a recessed area holding every control but the bottom row.
constexpr double DeckLeft = 44;
constexpr double DeckTop = 60;
constexpr double DeckRight = 656;
constexpr double DeckBottom = 254;
/// The band section inside the deck, between the input and the output sections.
constexpr double BandsLeft = 231;
constexpr double BandsRight = 474;
constexpr double TitleBaseline = 80;

// Every caption's digits and capitals stand at least 7 pixels tall: DejaVu Sans sets its
// capitals at 0.729 em, so no caption is set below a 9.7-pixel em.
const TTextStyle TitleStyle{9.8, 0.3, 1.0};
const TTextStyle BandStyle{10.0, 0.2, 1.0};
const TTextStyle ScaleStyle{9.8, 0.0, 0.88};
const TTextStyle LegendStyle{9.7, 0.8, 1.0};
/// The upright legends beside the band section fit between the scale's marks.
const TTextStyle UpwardsStyle{9.7, 0.2, 0.9};

struct TMark
{
    double Value;     // parameter value 0..1
    const char* Text; // legend, or nullptr for a plain tick
    bool Major;
};

/// Level curve marks (value -> dB): -96 dB at 0, -24 at 0.25, 0 at 0.5, +6 at 1.
const std::vector<TMark> GainMarks{
    {0.0, "-\u221e", true},   {1.0 / 6.0, nullptr, false}, {0.25, "-24", true},
    {0.3125, nullptr, false}, {0.375, "-12", false},       {0.4375, nullptr, false},
    {0.5, "0", true},         {0.75, "+3", false},         {1.0, "+6", true},
};
const std::vector<TMark> BandMarks{
    {0.0, "-\u221e", true},   {1.0 / 6.0, nullptr, false}, {0.25, "-24", true},
    {0.3125, nullptr, false}, {0.375, "-12", false},       {0.4375, nullptr, false},
    {0.5, "0dB", true},       {0.625, nullptr, false},     {0.75, "50%", true},
    {0.875, nullptr, false},  {1.0, "100%", true},
};

/// A scale number; the infinity sign is set larger, as it is small at the numbers' size.
void ScaleLabel(TLayer& layer, const TArtworkFonts& fonts, std::string_view text, double x,
                double baseline, TTextAlign align, const TColor& colour)
{
    const bool infinity = text.find("\u221e") != std::string_view::npos;
    const TTextStyle style = infinity ? TTextStyle{14.0, 0.0, 0.9} : ScaleStyle;
    PrintText(layer, *fonts.Regular, text, style, x, baseline + (infinity ? 1.0 : 0.0), align,
              colour);
}

double SliderCentre(const TControlRect& r)
{
    return r.Left + SliderCentreX;
}

/// The client y of a slider's thumb line for a value, snapped to a pixel row's centre.
double SliderMarkY(const TControlRect& r, double value)
{
    return std::floor(r.Top + SliderThumbY(SliderFrameForValue(value))) + 0.5;
}

void HorizontalLine(TLayer& layer, double x0, double x1, double y, double thickness,
                    const TColor& colour)
{
    TPath line;
    line.Rect(x0, y - thickness / 2, x1 - x0, thickness);
    layer.Fill(line, Solid(colour));
}

/// An engraved line: a dark groove with a lit edge below (horizontal) or right (vertical).
void EngravedLine(TLayer& layer, double x0, double y0, double x1, double y1)
{
    TPath dark;
    TPath lit;
    if (y0 == y1)
    {
        dark.Rect(x0, y0, x1 - x0, 1);
        lit.Rect(x0, y0 + 1, x1 - x0, 1);
    }
    else
    {
        dark.Rect(x0, y0, 1, y1 - y0);
        lit.Rect(x0 + 1, y0, 1, y1 - y0);
    }
    layer.Fill(dark, Solid(Hex(0x000000, 0.55f)));
    layer.Fill(lit, Solid(Hex(0xffffff, 0.07f)));
}

void DrawDeck(TLayer& layer)
{
    const double w = DeckRight - DeckLeft;
    const double h = DeckBottom - DeckTop;
    TPath lip;
    lip.RoundRect(DeckLeft - 1, DeckTop - 1, w + 2, h + 2, 8);
    layer.Fill(lip, LinearGradient({0, DeckTop - 1}, {0, DeckBottom + 1},
                                   {{0.0, Hex(0x000000, 0.5f)}, {1.0, Hex(0xffffff, 0.10f)}}));
    TPath deck;
    deck.RoundRect(DeckLeft, DeckTop, w, h, 7);
    layer.Fill(deck, LinearGradient({0, DeckTop}, {0, DeckBottom},
                                    {{0.0, Hex(0x16181b)}, {1.0, palette::Deck}}));
    // The band section is the centre of attention: a shade lighter than its neighbours.
    TPath hero;
    hero.Rect(BandsLeft + 1, DeckTop, BandsRight - BandsLeft - 1, h);
    layer.Fill(hero, LinearGradient({0, DeckTop}, {0, DeckBottom},
                                    {{0.0, Hex(0x1c1f23)}, {1.0, palette::DeckHero}}));
    layer.InnerShadow(deck, 0, 3, 6.0, Hex(0x000000, 0.7f));
    EngravedLine(layer, BandsLeft, DeckTop + 8, BandsLeft, DeckBottom - 8);
    EngravedLine(layer, BandsRight, DeckTop + 8, BandsRight, DeckBottom - 8);
}

void DrawHeader(TLayer& layer, const TArtworkFonts& fonts)
{
    const TTextStyle word{31.0, 0.6, 1.0};
    const TPath name = fonts.Bold->Text("Orvo", word, DeckLeft - 2, 44);
    layer.DropShadow(name, 0, 1.5, 2.0, Hex(0x000000, 0.7f));
    layer.FillMask(layer.Mask(name),
                   LinearGradient({0, 20}, {0, 44}, {{0.0, Hex(0xfbf7ee)}, {1.0, Hex(0xcfc8b8)}}));
    const double ruleX = DeckLeft - 2 + fonts.Bold->Width("Orvo", word) + 14;
    EngravedLine(layer, ruleX, 22, ruleX, 46);
    PrintText(layer, *fonts.Bold, "FIVE-BAND", LegendStyle, ruleX + 12, 31, taLeft,
              palette::Legend);
    PrintText(layer, *fonts.Regular, "TRANSIENT SHAPER", LegendStyle, ruleX + 12, 42, taLeft,
              palette::LegendDim);
    // The five band colours, as a quiet signature on the right of the header.
    for (std::size_t band = 0; band < palette::Bands.size(); ++band)
    {
        TPath dot;
        dot.RoundRect(DeckRight - 76 + 16.0 * static_cast<double>(band), 33, 12, 3, 1.5);
        layer.Fill(dot, Solid(WithAlpha(palette::Bands[band], 0.85f)));
    }
    PrintText(layer, *fonts.Regular, "LEVEL \u00b7 PUNCH \u00b7 TUBE", LegendStyle, DeckRight, 26,
              taRight, palette::LegendDim);
    DrawScrew(layer, 9, 9);
    DrawScrew(layer, 691, 9);
    DrawScrew(layer, 9, 291);
}

/// A slot for a slider's thumb: a narrow groove over the whole travel.
void DrawSlot(TLayer& layer, const TControlRect& r)
{
    const double cx = SliderCentre(r);
    const double top = r.Top + SliderThumbHighY - 7;
    const double bottom = r.Top + SliderThumbLowY + 7;
    DrawWell(layer, cx - 2.5, top, 5, bottom - top, 2.5, palette::Well);
}

void DrawSliderTicks(TLayer& layer, const TControlRect& r, const std::vector<TMark>& marks)
{
    const double cx = SliderCentre(r);
    for (const TMark& mark : marks)
    {
        const double y = SliderMarkY(r, mark.Value);
        const bool zero = mark.Value == 0.5;
        const double reach = mark.Major ? 14 : 11;
        const TColor colour = zero ? WithAlpha(palette::Accent, 0.9f) : palette::TickColour;
        HorizontalLine(layer, cx - reach, cx - 6, y, 1, colour);
        HorizontalLine(layer, cx + 6, cx + reach, y, 1, colour);
    }
}

void DrawBandSection(TLayer& layer, const TArtworkFonts& fonts)
{
    const TControlRect& first = BandSliders.front();
    const double zeroY = SliderMarkY(first, 0.5);
    const double topY = SliderMarkY(first, 1.0);
    const double bottomY = SliderMarkY(first, 0.0);
    // The upper half of every band slider emphasises transients: a warm glow marks it.
    TPath punch;
    punch.Rect(BandsLeft + 2, topY - 8, BandsRight - BandsLeft - 3, zeroY - topY + 8);
    layer.Fill(punch, LinearGradient({0, topY - 8}, {0, zeroY},
                                     {{0.0, WithAlpha(palette::Accent, 0.0f)},
                                      {0.35, WithAlpha(palette::Accent, 0.035f)},
                                      {1.0, WithAlpha(palette::Accent, 0.085f)}}));
    for (std::size_t band = 0; band < BandSliders.size(); ++band)
    {
        const TControlRect& r = BandSliders[band];
        DrawSliderTicks(layer, r, BandMarks);
        DrawSlot(layer, r);
        const double cx = SliderCentre(r);
        PrintText(layer, *fonts.Bold, BandNames[band], BandStyle, cx, TitleBaseline, taCentre,
                  palette::Bands[band]);
        TPath underline;
        underline.RoundRect(cx - 9, TitleBaseline + 4, 18, 2, 1);
        layer.Fill(underline, Solid(WithAlpha(palette::Bands[band], 0.55f)));
    }
    // The 0 dB line runs through the whole band section.
    HorizontalLine(layer, BandsLeft + 8, BandsRight - 30, zeroY, 1,
                   WithAlpha(palette::Accent, 0.28f));
    // The scale's legend: numbers on the right, the two halves' meaning on the left.
    for (const TMark& mark : BandMarks)
    {
        if (mark.Text != nullptr)
        {
            const double y = SliderMarkY(first, mark.Value);
            const TColor colour = mark.Value == 0.5 ? palette::Accent : palette::LegendDim;
            ScaleLabel(layer, fonts, mark.Text, 463, y + 2.5, taLeft, colour);
        }
    }
    PrintTextUpwards(layer, *fonts.Bold, "PUNCH", UpwardsStyle, 235.5, (topY + zeroY) / 2,
                     palette::Accent);
    PrintTextUpwards(layer, *fonts.Bold, "LEVEL", UpwardsStyle, 235.5, (zeroY + bottomY) / 2,
                     palette::Legend);
    // Nominal crossover ranges under each band (Tuning shifts them together).
    const char* ranges[] = {"< 120", "120\u2013480", "480\u20132k", "2k\u20138k", "> 8k"};
    for (std::size_t band = 0; band < BandSliders.size(); ++band)
    {
        PrintText(layer, *fonts.Regular, ranges[band], ScaleStyle, SliderCentre(BandSliders[band]),
                  217, taCentre, palette::LegendDim);
    }
    PrintText(layer, *fonts.Regular, "Hz", ScaleStyle, 463, 217, taLeft, palette::LegendDim);
}

void DrawGainSection(TLayer& layer, const TArtworkFonts& fonts, const TControlRect& r,
                     const char* title, bool legendLeft)
{
    DrawSliderTicks(layer, r, GainMarks);
    DrawSlot(layer, r);
    const double cx = SliderCentre(r);
    PrintText(layer, *fonts.Bold, title, TitleStyle, cx, TitleBaseline, taCentre, palette::Legend);
    for (const TMark& mark : GainMarks)
    {
        if (mark.Text == nullptr)
        {
            continue;
        }
        const double y = SliderMarkY(r, mark.Value);
        const TColor colour = mark.Value == 0.5 ? palette::Accent : palette::LegendDim;
        if (legendLeft)
        {
            ScaleLabel(layer, fonts, mark.Text, cx - 17, y + 2.5, taRight, colour);
        }
        else
        {
            ScaleLabel(layer, fonts, mark.Text, cx + 17, y + 2.5, taLeft, colour);
        }
    }
    PrintText(layer, *fonts.Regular, "dB", ScaleStyle, cx, 217, taCentre, palette::LegendDim);
}

struct TKnobMark
{
    double Value;
    const char* Text;
    bool Major;
};

/// The scale around a knob: the seat its recess sits in, ticks and legends.
void DrawKnobScale(TLayer& layer, const TArtworkFonts& fonts, const TControlRect& r, int max,
                   const std::vector<TKnobMark>& marks, std::string_view title)
{
    const double cx = r.Left + KnobCentre;
    const double cy = r.Top + KnobCentre;
    TPath seat;
    seat.Circle(cx, cy, 31.5);
    layer.Fill(seat, LinearGradient({0, cy - 31.5}, {0, cy + 31.5},
                                    {{0.0, Hex(0x000000, 0.6f)}, {1.0, Hex(0xffffff, 0.13f)}}));
    for (const TKnobMark& mark : marks)
    {
        const double angle = KnobAngleForValue(mark.Value, max);
        const double r0 = 33.5;
        const double r1 = mark.Major ? 38.5 : 36.0;
        const double s = std::sin(angle);
        const double c = std::cos(angle);
        TPath tick;
        tick.Capsule(cx + r0 * s, cy - r0 * c, cx + r1 * s, cy - r1 * c, mark.Major ? 1.3 : 1.0);
        const bool centre = mark.Value == 0.5;
        layer.Fill(tick, Solid(centre ? palette::Accent
                                      : (mark.Major ? palette::Legend : palette::TickColour)));
        if (mark.Text != nullptr)
        {
            const double rl = 46.0;
            const double lx = cx + rl * s;
            const double ly = cy - rl * c;
            const double capHeight = fonts.Regular->CapHeight(ScaleStyle);
            PrintText(layer, *fonts.Regular, mark.Text, ScaleStyle, lx, ly + capHeight / 2,
                      taCentre, centre ? palette::Accent : palette::LegendDim);
        }
    }
    PrintText(layer, *fonts.Bold, title, TitleStyle, cx, TitleBaseline, taCentre, palette::Legend);
}

void DrawKnobSections(TLayer& layer, const TArtworkFonts& fonts)
{
    // Semitone ticks, longer every six; only the ends and the middle are numbered (a
    // number at +6 would run into the band section's legend).
    std::vector<TKnobMark> tuning;
    for (int semitone = -12; semitone <= 12; ++semitone)
    {
        const char* text = nullptr;
        switch (semitone)
        {
        case -12:
            text = "-12";
            break;
        case 0:
            text = "0";
            break;
        case 12:
            text = "+12";
            break;
        default:
            break;
        }
        tuning.push_back({(semitone + 12) / 24.0, text, semitone % 6 == 0});
    }
    DrawKnobScale(layer, fonts, TuningKnob, TuningMax, tuning, InfoOf(prTuning).Name);
    PrintText(layer, *fonts.Regular, "semitones", ScaleStyle, TuningKnob.Left + KnobCentre, 217,
              taCentre, palette::LegendDim);

    std::vector<TKnobMark> tube;
    for (int step = 0; step <= 10; ++step)
    {
        const char* text = nullptr;
        if (step == 0)
        {
            text = "EXP";
        }
        else if (step == 5)
        {
            text = "0";
        }
        else if (step == 10)
        {
            text = "COMP";
        }
        tube.push_back({step / 10.0, text, step % 5 == 0});
    }
    DrawKnobScale(layer, fonts, TubeKnob, TubeMax, tube, InfoOf(prTube).Name);
    PrintText(layer, *fonts.Regular, "expand \u2022 compress", TTextStyle{9.8, 0.0, 0.8},
              TubeKnob.Left + KnobCentre, 217, taCentre, palette::LegendDim);
}

/// A seat for a key: a shallow recess a pixel larger than the key all round.
void DrawKeySeat(TLayer& layer, const TControlRect& r)
{
    DrawWell(layer, r.Left - 1, r.Top - 1, r.Width + 2, r.Height + 2, 4, Hex(0x0e0f11));
}

void DrawBottomRow(TLayer& layer, const TArtworkFonts& fonts)
{
    for (const TControlRect& r : MuteButtons)
    {
        DrawKeySeat(layer, r);
    }
    DrawKeySeat(layer, OverSampleButton);
    PrintText(layer, *fonts.Bold, "2\u00d7", TitleStyle, OverSampleButton.Left - 8,
              OverSampleButton.Top + 14, taRight, palette::Legend);

    // The value display: a dark glass well behind the fading value labels.
    const double wellX = HintLabel.Left - 5;
    const double wellY = HintLabel.Top - 5;
    const double wellW = HintLabel.Width + 10;
    const double wellH = 24;
    DrawWell(layer, wellX, wellY, wellW, wellH, 4, Hex(0x0b0c0b));
    TPath glass;
    glass.RoundRect(wellX + 2, wellY + 2, wellW - 4, wellH / 2 - 2, 3);
    layer.Fill(glass, LinearGradient({0, wellY + 2}, {0, wellY + wellH / 2},
                                     {{0.0, Hex(0xffffff, 0.05f)}, {1.0, Hex(0xffffff, 0.0f)}}));

    // The vendor mark in the lower right corner: pressing there shows the credits.
    const double plateX = CreditsCornerX + 16;
    const double plateY = CreditsCornerY + 6;
    TPath plate;
    plate.RoundRect(plateX, plateY, DeckRight - plateX, 26, 5);
    layer.Fill(plate, Solid(Hex(0x000000, 0.16f)));
    layer.InnerShadow(plate, 0, 1, 2.0, Hex(0x000000, 0.5f));
    const TTextStyle vendor{11.0, 1.4, 1.0};
    PrintText(layer, *fonts.Bold, "QUORVANE", vendor, DeckRight - 12, plateY + 17, taRight,
              palette::Legend);
    const double badgeX = DeckRight - 12 - fonts.Bold->Width("QUORVANE", vendor) - 11;
    const double badgeY = plateY + 13;
    TPath ring;
    ring.Circle(badgeX, badgeY, 5.5).CircleHole(badgeX, badgeY, 4.5);
    layer.Fill(ring, Solid(palette::LegendDim));
    PrintText(layer, *fonts.Bold, "i", TTextStyle{7.5, 0.0, 1.0}, badgeX, badgeY + 2.8, taCentre,
              palette::Legend);
}

} // namespace

TLayer DrawBackground(const TArtworkFonts& fonts, double scale)
{
    TLayer layer = TLayer::ForUnits(EditorWidth, EditorHeight, scale);
    DrawPanelBase(layer);
    DrawHeader(layer, fonts);
    DrawDeck(layer);
    DrawBandSection(layer, fonts);
    DrawGainSection(layer, fonts, InGainSlider, "Input", true);
    DrawGainSection(layer, fonts, OutGainSlider, "Output", false);
    DrawKnobSections(layer, fonts);
    DrawBottomRow(layer, fonts);
    return layer;
}

} // namespace orvo::art
