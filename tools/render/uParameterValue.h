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
/// - a plain number from 0 to 1 without sign or unit: the normalised value itself;
/// - a text the parameter displays ("Muted"), letter case ignored;
/// - "on"/"off" (also "yes"/"no", "true"/"false"): 1 and 0;
/// - any other number, with an optional unit ("+3dB", "-2", "50%TD"): the value whose
///   display shows that number, when exactly one setting does.
/// The search moves the parameter and puts it back afterwards.
[[nodiscard]] float ResolveParameterValue(TVstPlugin& plugin, std::int32_t index,
                                          std::string_view text);

/// A program by number or by name (letter case ignored; the first of equal names).
[[nodiscard]] std::int32_t ResolveProgram(TVstPlugin& plugin, std::string_view numberOrName);

} // namespace orvo
