// Turning what a user types on the command line into parameter indices and normalised
// values of any VST 2 effect, by its parameter names and the display texts it shows.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string_view>

namespace orvo
{

class TVstPlugin;

/// A parameter or program the effect does not have, or a value it cannot take.
class EParameterValue : public std::runtime_error
{
  public:
    using std::runtime_error::runtime_error;
};

/// A parameter by name (letter case ignored) or by index.
[[nodiscard]] std::int32_t ResolveParameter(TVstPlugin& plugin, std::string_view nameOrIndex);

/// The normalised value (0..1) for a text, in this order:
/// - "norm:X" with X from 0 to 1: the normalised position itself;
/// - for Orvo's parameters, the value the parameter table reads from the text: every text
///   the display shows, in either decimal sign, with or without its unit ("0.5%",
///   "0,50%TD", "-oo"), and other numbers as the nearest value shown ("-95.503");
/// - a text the parameter displays ("Muted", "-oo"), letter case and blanks ignored, with
///   or without the unit shown beside its numbers or as its label ("-oo dB");
/// - for a parameter that shows no numbers (a switch): "on"/"off" (also "yes"/"no",
///   "true"/"false") and a plain 0 or 1 for its two ends;
/// - a number, with an optional unit ("0", "+3dB", "-2", "50%", "50.00%TD"): the value
///   whose display shows that number, when exactly one setting does. Otherwise the error
///   names what the parameter can show.
/// The search moves the parameter and puts it back afterwards.
[[nodiscard]] float ResolveParameterValue(TVstPlugin& plugin, std::int32_t index,
                                          std::string_view text);

/// A program by number or by name (letter case ignored; the first of equal names).
[[nodiscard]] std::int32_t ResolveProgram(TVstPlugin& plugin, std::string_view numberOrName);

} // namespace orvo
