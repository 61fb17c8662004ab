// The sizes the editor is drawn at (100, 150 and 200 %), and which one a window opens at.
// The images exist at each of them, so a factor between them is taken to the nearest.
#pragma once

#include <cstdint>
#include <optional>

namespace orvo
{

enum TEditorScale : std::uint8_t
{
    es100,
    es150,
    es200,
};

/// 1.0, 1.5 or 2.0.
double ScaleFactor(TEditorScale scale);

/// The drawn size nearest to a factor: below 1.25 100 %, below 1.75 150 %, else 200 %
/// (a factor that is not a number, or below 1, counts as 100 %).
TEditorScale NearestScale(double factor);

/// The size a window opens at: the user's choice from the menu when one was made, else the
/// host's where it tells one (LV2 ui:scaleFactor, CLAP gui.set_scale), else the display's.
TEditorScale ChooseScale(std::optional<TEditorScale> user, std::optional<double> host,
                         double display);

/// A length of the 100 % form at a scale: 700 at 150 % is 1050.
std::int32_t Scaled(std::int32_t length, TEditorScale scale);

} // namespace orvo
