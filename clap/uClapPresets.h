// The 16 factory programs as CLAP presets (CLAP has no programs): a preset-discovery factory
// with one provider, whose one location is inside the plug-in; each program is a preset whose
// load key is its number ("0" .. "15"), loaded through the plug-in's preset-load extension.
// Preset lists keyed by name need unique names: the presets take the core's unique labels
// ("Spare 1", "Spare 2").
#pragma once

#include "clap/abi/DClapPresetDiscovery.h"
#include "parameters/uParameterTable.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace orvo::clap
{
using TProgramNames = std::array<std::string, ProgramCount>;

/// The program a load key names; none for anything but "0" .. "15".
std::optional<std::int32_t> ProgramOfLoadKey(const char* loadKey) noexcept;

/// The factory, listing the names programNames gives (called on the indexer's thread when a
/// provider starts; it may throw, and the provider then fails to start).
const clap_preset_discovery_factory_t* PresetDiscoveryFactory(TProgramNames (*programNames)());
} // namespace orvo::clap
