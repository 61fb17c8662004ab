// The CLAP module's entry: clap_entry, the plug-in factory with Orvo's descriptor and the
// preset-discovery factory over the factory programs. Each instance gets the platform that
// the composition root gives (uClapPlatform.h).
#include "clap/TClapOrvo.h"
#include "clap/uClapIdentity.h"
#include "clap/uClapPlatform.h"
#include "clap/uClapPresets.h"

#include <cstring>
#include <new>

#include "uOrvoVersion.h"

namespace orvo::clap
{
namespace
{
const char* const Features[] = {CLAP_PLUGIN_FEATURE_AUDIO_EFFECT, CLAP_PLUGIN_FEATURE_STEREO,
                                CLAP_PLUGIN_FEATURE_MASTERING, nullptr};

const clap_plugin_descriptor_t Descriptor = {
    CLAP_VERSION,
    PluginId,
    PluginName,
    VendorName,
    "",
    "",
    "",
    OrvoVersion.data(),
    "Five bands of level or transient emphasis, a Tube curve and a soft clipper",
    Features};

/// The programs' names as a fresh effect holds them from the factory bank.
TProgramNames FactoryProgramNames()
{
    const TOrvoEffect effect(ClapPlatform().Services, nullptr);
    TProgramNames names;
    for (std::int32_t program = 0; program < ProgramCount; ++program)
    {
        names[static_cast<std::size_t>(program)] = effect.ProgramName(program);
    }
    return names;
}

const clap_plugin_factory_t PluginFactory = {
    [](const clap_plugin_factory_t*) -> std::uint32_t { return 1; },
    [](const clap_plugin_factory_t*, std::uint32_t index)
    { return index == 0 ? &Descriptor : nullptr; },
    [](const clap_plugin_factory_t*, const clap_host_t* host,
       const char* id) -> const clap_plugin_t*
    {
        if (host == nullptr || id == nullptr || std::strcmp(id, PluginId) != 0 ||
            !clap_version_is_compatible(host->clap_version))
        {
            return nullptr;
        }
        try
        {
            return (new TClapOrvo(Descriptor, *host, ClapPlatform()))->Record();
        }
        catch (...)
        {
            return nullptr;
        }
    }};

bool Init(const char* /*path*/)
{
    return true;
}

void Deinit()
{
}

const void* Factory(const char* id)
{
    if (id == nullptr)
    {
        return nullptr;
    }
    if (std::strcmp(id, CLAP_PLUGIN_FACTORY_ID) == 0)
    {
        return &PluginFactory;
    }
    if (std::strcmp(id, CLAP_PRESET_DISCOVERY_FACTORY_ID) == 0 ||
        std::strcmp(id, CLAP_PRESET_DISCOVERY_FACTORY_ID_COMPAT) == 0)
    {
        return PresetDiscoveryFactory(&FactoryProgramNames);
    }
    return nullptr;
}
} // namespace
} // namespace orvo::clap

extern "C" __attribute__((visibility("default"))) const clap_plugin_entry_t clap_entry = {
    CLAP_VERSION, &orvo::clap::Init, &orvo::clap::Deinit, &orvo::clap::Factory};
