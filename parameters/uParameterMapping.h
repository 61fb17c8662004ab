// What a parameter makes of a normalised value (0..1) through the scale its record names:
// the display text the effect reports and the value it stands for when typed back, and the
// value of its LV2 control port, in the unit users read where one unit fits (dB, semitones,
// %, a toggle) and normalised where the display changes unit (the bands: level below the
// middle, transient emphasis above).
#pragma once

#include "parameters/uParameterTable.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace orvo
{
/// The display text of parameter index at value (already clamped to 0..1), with separator
/// as the decimal sign; "undefined" for an index outside 0..15 and no text for the
/// reserved parameter (whose display leaves the host's buffer as it was).
std::optional<std::string> DisplayText(std::int32_t index, float value, char separator);

/// The normalised value that text stands for: a text the display shows (in either decimal
/// sign, letter case and blanks ignored, with or without the unit or the label: "-0,50 dB",
/// "50%", "-oo", "muted") gives a value with that very display; another number gives the
/// value whose display is nearest it, as long as the display rounds it to a number it can
/// show. Nothing for any other text, and for an index outside 0..15.
std::optional<float> ValueOfText(std::int32_t index, std::string_view text);

/// The LV2 port range and unit of the parameters of a kind.
TPortScale PortScaleOf(TParameterKind kind);

/// The port value that shows normalised value x of parameter index.
float PortValue(std::int32_t index, float x);

/// The normalised value (0..1) for a port value, clamped to the port's range. For every
/// float x in 0..1, NormalisedValue(i, PortValue(i, x)) == x (toggles: 0 or 1, which
/// switch as x does).
float NormalisedValue(std::int32_t index, float portValue);

/// The normalised values at which the ports of a kind have marked positions (LV2 scale
/// points).
std::span<const float> MarkedValues(TParameterKind kind);

/// The text of a marked position: the display text with the unit ("0.00 dB", "Muted").
std::string MarkText(std::int32_t index, float x);
} // namespace orvo
