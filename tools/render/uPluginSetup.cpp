#include "tools/render/uPluginSetup.h"

#include "parameters/uParameterTable.h"
#include "tools/render/uParameterValue.h"
#include "tools/render/uSystem.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

namespace orvo
{

std::filesystem::path DefaultPluginPath()
{
    std::vector<std::filesystem::path> candidates;
    const std::filesystem::path executable = ExecutablePath();
    const std::string file = ModuleFileName("Orvo");
    if (!executable.empty())
    {
        // The module beside the tool; in a build tree the module is in <build>/module
        // while the tool is in <build>/tools/render; an installed tool finds the module
        // installed with it (bin/../lib/vst for a system-wide install).
        const std::filesystem::path folder = executable.parent_path();
        candidates.push_back(folder / file);
        candidates.push_back(folder.parent_path().parent_path() / "module" / file);
        candidates.push_back((folder / ORVO_INSTALLED_PLUGIN_FOLDER / file).lexically_normal());
    }
    // Then the plug-in folders, where an install for the user puts it (~/.vst).
    for (const auto& pluginFolder : PluginFolders())
    {
        candidates.push_back(pluginFolder / file);
    }
    for (const auto& candidate : candidates)
    {
        std::error_code ec;
        if (std::filesystem::is_regular_file(candidate, ec))
        {
            return candidate;
        }
    }
    return {};
}

std::vector<std::filesystem::path> PluginFolders()
{
    std::vector<std::filesystem::path> folders;
    if (const char* list = std::getenv("VST_PATH"); list != nullptr)
    {
        std::string_view rest(list);
        while (!rest.empty())
        {
            const std::size_t colon = std::min(rest.find(':'), rest.size());
            if (colon > 0)
            {
                folders.emplace_back(rest.substr(0, colon));
            }
            rest.remove_prefix(std::min(colon + 1, rest.size()));
        }
    }
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != 0)
    {
        folders.push_back(std::filesystem::path(home) / ".vst");
        folders.push_back(std::filesystem::path(home) / ".lxvst");
    }
    for (const char* folder :
         {"/usr/lib/vst", "/usr/lib/lxvst", "/usr/local/lib/vst", "/usr/local/lib/lxvst"})
    {
        folders.emplace_back(folder);
    }
    return folders;
}

std::filesystem::path FindPlugin(const std::string& nameOrPath)
{
    const std::filesystem::path given(nameOrPath);
    std::error_code ec;
    if (nameOrPath.find('/') != std::string::npos || std::filesystem::exists(given, ec))
    {
        return given;
    }
    // A bare name: NAME as it is, then with the module extension, in every plug-in folder.
    std::vector<std::string> files{nameOrPath};
    const std::string withExtension = ModuleFileName(nameOrPath);
    if (!given.has_extension() ||
        given.extension() != std::filesystem::path(withExtension).extension())
    {
        files.push_back(withExtension);
    }
    std::string searched;
    for (const auto& folder : PluginFolders())
    {
        for (const std::string& file : files)
        {
            if (std::filesystem::is_regular_file(folder / file, ec))
            {
                return folder / file;
            }
        }
        searched += (searched.empty() ? "" : ", ") + folder.string();
    }
    throw EVstHost("no plug-in \"" + nameOrPath + "\" in the current folder nor in " + searched +
                   " (VST_PATH, then the usual plug-in folders)");
}

std::filesystem::path PluginPath(const std::string& path)
{
    if (!path.empty())
    {
        return FindPlugin(path);
    }
    const std::filesystem::path fallback = DefaultPluginPath();
    if (fallback.empty())
    {
        throw EVstHost("the Orvo plug-in (" + ModuleFileName("Orvo") +
                       ") was found neither beside orvo-render nor in the plug-in folders; "
                       "install it or give --plugin PATH");
    }
    return fallback;
}

std::unique_ptr<TVstPlugin> LoadPlugin(const std::string& path)
{
    return TVstPlugin::Load(PluginPath(path));
}

void ApplySettings(TVstPlugin& plugin, const std::optional<std::string>& program,
                   const std::vector<TParameterAssignment>& parameters,
                   std::optional<bool> oversample)
{
    if (program)
    {
        plugin.SetProgram(ResolveProgram(plugin, *program));
    }
    for (const auto& assignment : parameters)
    {
        const std::int32_t index = ResolveParameter(plugin, assignment.Parameter);
        plugin.SetParameter(index, ResolveParameterValue(plugin, index, assignment.Value));
    }
    if (oversample)
    {
        const std::string_view name = InfoOf(prOverSample).Name;
        const std::int32_t index = plugin.FindParameter(name);
        if (index < 0)
        {
            throw EParameterValue("--oversample: " + plugin.EffectName() + " has no " +
                                  std::string(name) + " parameter");
        }
        plugin.SetParameter(index, *oversample ? 1.0f : 0.0f);
    }
}

} // namespace orvo
