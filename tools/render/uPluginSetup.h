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

/// Where a bare plug-in name is looked for: each folder of VST_PATH (colon-separated),
/// ~/.vst, ~/.lxvst, /usr/lib/vst, /usr/lib/lxvst, /usr/local/lib/vst, /usr/local/lib/lxvst.
[[nodiscard]] std::vector<std::filesystem::path> PluginFolders();

/// A --plugin argument as a file: a path (or a file in the current folder) as it is; a
/// bare name, with or without the module extension, in PluginFolders(). Throws EVstHost
/// naming the folders searched when none holds it.
[[nodiscard]] std::filesystem::path FindPlugin(const std::string& nameOrPath);

/// The module file for a --plugin argument: found as FindPlugin finds it, or the default
/// module when path is empty (EVstHost when there is none).
[[nodiscard]] std::filesystem::path PluginPath(const std::string& path);
/// Loads PluginPath(path).
[[nodiscard]] std::unique_ptr<TVstPlugin> LoadPlugin(const std::string& path);

/// Selects the program, then sets each parameter in order, then OverSample (an effect
/// without that parameter is an error only when oversample is given).
void ApplySettings(TVstPlugin& plugin, const std::optional<std::string>& program,
                   const std::vector<TParameterAssignment>& parameters,
                   std::optional<bool> oversample = std::nullopt);

} // namespace orvo
