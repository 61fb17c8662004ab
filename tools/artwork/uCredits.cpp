// The credits picture (700 x 300), shown over the whole editor when the vendor mark in
// the lower right corner is pressed: product name, version, what it does, the default
// MIDI controller numbers of every parameter, and the vendor. The oversampling key stays
// above it, so its seat is drawn where the panel has it.
#include "parameters/uParameterTable.h"
#include "tools/artwork/uImages.h"
#include "tools/artwork/uLayout.h"
#include "tools/artwork/uStyle.h"

#include <array>
#include <charconv>
#include <string>

namespace orvo::art
{

namespace
{

/// A parameter's name in the table; the reserved parameter's long name is cut to a word,
/// which fits the column.
std::string TableName(std::int32_t index)
{
    return InfoOf(index).Kind == pkReserved ? "Reserved" : std::string(InfoOf(index).Name);
}

/// "CC 20": the controller that drives a parameter in the default map, "CC --" for none.
std::string ControllerText(std::int32_t index)
{
    const std::int32_t controller = InfoOf(index).DefaultController;
    if (controller == NoController)
    {
        return "CC --";
    }
    char text[16];
    const auto result = std::to_chars(text, text + sizeof text, controller);
    return "CC " + std::string(text, result.ptr);
}

} // namespace

TLayer DrawCredits(const TArtworkFonts& fonts, double scale)
{
    TLayer layer = TLayer::ForUnits(EditorWidth, EditorHeight, scale);
    DrawPanelBase(layer);
    TPath card;
    card.RoundRect(12, 12, 676, 242, 8);
    layer.Fill(card,
               LinearGradient({0, 12}, {0, 254}, {{0.0, Hex(0x15171a)}, {1.0, Hex(0x1b1d21)}}));
    layer.InnerShadow(card, 0, 3, 6.0, Hex(0x000000, 0.7f));
    // A warm light falls across the card from the name.
    layer.Fill(card, RadialGradient({150, 110}, 330,
                                    {{0.0, WithAlpha(palette::Accent, 0.07f)},
                                     {1.0, WithAlpha(palette::Accent, 0.0f)}}));

    const TTextStyle word{58.0, 1.0, 1.0};
    const TPath name = fonts.Bold->Text("Orvo", word, 40, 102);
    layer.DropShadow(name, 0, 2, 3.0, Hex(0x000000, 0.7f));
    layer.FillMask(layer.Mask(name),
                   LinearGradient({0, 56}, {0, 102}, {{0.0, Hex(0xfdf9f0)}, {1.0, Hex(0xcbc3b2)}}));
    const TTextStyle body{10.5, 0.2, 1.0};
    PrintText(layer, *fonts.Bold, "Version 1.0", body, 43, 126, taLeft, palette::Accent);
    PrintText(layer, *fonts.Regular, "Five-band level and transient shaper", body, 43, 156, taLeft,
              palette::Legend);
    PrintText(layer, *fonts.Regular, "with tube stage and 2\u00d7 oversampling.", body, 43, 171,
              taLeft, palette::Legend);
    PrintText(layer, *fonts.Regular, "Right-click any control for MIDI Learn.", body, 43, 201,
              taLeft, palette::LegendDim);
    for (std::size_t band = 0; band < palette::Bands.size(); ++band)
    {
        TPath dot;
        dot.RoundRect(43 + 22.0 * static_cast<double>(band), 222, 18, 3, 1.5);
        layer.Fill(dot, Solid(WithAlpha(palette::Bands[band], 0.85f)));
    }

    // The default controller table: two columns of eight.
    const double tableX = 376;
    TPath rule;
    rule.Rect(tableX - 24, 40, 1, 190);
    layer.Fill(rule, Solid(Hex(0x000000, 0.5f)));
    TPath ruleLit;
    ruleLit.Rect(tableX - 23, 40, 1, 190);
    layer.Fill(ruleLit, Solid(Hex(0xffffff, 0.06f)));
    const TTextStyle heading{9.8, 1.2, 1.0};
    PrintText(layer, *fonts.Bold, "MIDI CC DEFAULTS", heading, tableX, 50, taLeft, palette::Legend);
    const TTextStyle row{9.8, 0.1, 1.0};
    for (std::int32_t i = 0; i < ParameterCount; ++i)
    {
        const double x = tableX + (i / 8) * 150.0;
        const double y = 76 + (i % 8) * 20.0;
        PrintText(layer, *fonts.Bold, ControllerText(i), row, x, y, taLeft, palette::Accent);
        PrintText(layer, *fonts.Regular, TableName(i), row, x + 44, y, taLeft, palette::Legend);
    }

    // The bottom row: the oversampling key's seat (the key stays above this picture) and
    // the vendor.
    DrawWell(layer, OverSampleButton.Left - 1, OverSampleButton.Top - 1, OverSampleButton.Width + 2,
             OverSampleButton.Height + 2, 4, Hex(0x0e0f11));
    PrintText(layer, *fonts.Bold, "2\u00d7", TTextStyle{9.8, 0.3, 1.0}, OverSampleButton.Left - 8,
              OverSampleButton.Top + 14, taRight, palette::Legend);
    const TTextStyle vendor{13.0, 2.0, 1.0};
    PrintText(layer, *fonts.Bold, "QUORVANE", vendor, 676, 284, taRight, palette::Wordmark);
    PrintText(layer, *fonts.Regular, "Made by", TTextStyle{9.7, 0.3, 1.0},
              676 - fonts.Bold->Width("QUORVANE", vendor) - 8, 284, taRight, palette::LegendDim);
    DrawScrew(layer, 9, 9);
    DrawScrew(layer, 691, 9);
    DrawScrew(layer, 9, 291);
    return layer;
}

} // namespace orvo::art
