// Preset labels for hosts that key presets by name: the factory bank names two programs
// "Spare", and such a host would list only one of them.
#pragma once

#include <string>
#include <vector>

namespace orvo
{
/// The names with every name that occurs more than once numbered in order of occurrence
/// ("Spare", "Spare" -> "Spare 1", "Spare 2"); names that occur once stay as they are.
std::vector<std::string> UniquePresetLabels(const std::vector<std::string>& names);
} // namespace orvo
