// The presets a CLAP module offers through its preset-discovery factory, as a host's indexer
// sees them: every provider is created with a recording indexer, and every location it
// declares is listed through a recording metadata receiver.
#pragma once

#include "tests/support/ClapTestHost.h"

#include <cstdint>
#include <string>
#include <vector>

namespace orvo::test
{
struct TClapPreset
{
    std::string Name;
    std::string LoadKey;
    std::uint32_t LocationKind = 0;
    std::string Location; // empty for a location inside the plug-in
    std::uint32_t Flags = 0;
    std::vector<std::string> PluginIds; // "abi:id"
};

/// Every preset of every provider, in the order reported; empty if the module has no
/// preset-discovery factory. Errors the provider reports are appended to errors if given.
std::vector<TClapPreset> ListClapPresets(const TClapModule& module,
                                         std::vector<std::string>* errors = nullptr);
} // namespace orvo::test
