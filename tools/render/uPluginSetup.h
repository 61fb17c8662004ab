// Finding the plug-in the user meant and putting it into the state the command line
// asks for (program, then parameters, then oversampling).
#pragma once

#include "tools/render/uOptions.h"
#include "tools/render/uVstHost.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orvo
{

/// The Orvo module the tool uses when no --plugin is given: beside the executable, or
/// where the build put it. Empty when none is found.
[[nodiscard]] std::filesystem::path DefaultPluginPath();

/// Loads path, or the default module when path is empty.
[[nodiscard]] std::unique_ptr<TVstPlugin> LoadPlugin(const std::string& path);

/// Selects the program, then sets each parameter in order, then OverSample (an effect
/// without that parameter is an error only when oversample is given).
void ApplySettings(TVstPlugin& plugin, const std::optional<std::string>& program,
                   const std::vector<TParameterAssignment>& parameters,
                   std::optional<bool> oversample = std::nullopt);

} // namespace orvo
