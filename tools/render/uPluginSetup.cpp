#include "tools/render/uPluginSetup.h"

#include "tools/render/uParameterValue.h"
#include "tools/render/uSystem.h"

namespace orvo
{

std::filesystem::path DefaultPluginPath()
{
    std::vector<std::filesystem::path> candidates;
    const std::filesystem::path executable = ExecutablePath();
    const std::string file = ModuleFileName("Orvo");
    if (!executable.empty())
    {
        // An installed tool keeps the module beside it; in a build tree the module is
        // in <build>/module while the tool is in <build>/tools/render.
        candidates.push_back(executable.parent_path() / file);
        candidates.push_back(executable.parent_path().parent_path().parent_path() / "module" / file);
    }
#ifdef ORVO_DEFAULT_PLUGIN
    candidates.emplace_back(ORVO_DEFAULT_PLUGIN);
#endif
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

std::unique_ptr<TVstPlugin> LoadPlugin(const std::string& path)
{
    if (!path.empty())
    {
        return TVstPlugin::Load(path);
    }
    const std::filesystem::path fallback = DefaultPluginPath();
    if (fallback.empty())
    {
        throw EVstHost("the Orvo plug-in (" + ModuleFileName("Orvo") +
                       ") was not found beside orvo-render; build it or give --plugin PATH");
    }
    return TVstPlugin::Load(fallback);
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
        const std::int32_t index = plugin.FindParameter("OverSample");
        if (index < 0)
        {
            throw EParameterValue("--oversample: " + plugin.EffectName() +
                                  " has no OverSample parameter");
        }
        plugin.SetParameter(index, *oversample ? 1.0f : 0.0f);
    }
}

} // namespace orvo
