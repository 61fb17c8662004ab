#include "clap/uClapPresets.h"

#include "clap/uClapIdentity.h"
#include "core/uPresetLabels.h"

#include <charconv>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <vector>

namespace orvo::clap
{
namespace
{
constexpr char ProviderId[] = "com.quorvane.orvo.factory-programs";

const clap_preset_discovery_provider_descriptor_t ProviderDescriptor = {
    CLAP_VERSION, ProviderId, "Orvo factory programs", VendorName};

TProgramNames (*ProgramNamesSource)() = nullptr;

/// One provider: the indexer it reports to and the names it lists.
struct TProvider
{
    clap_preset_discovery_provider_t Record;
    const clap_preset_discovery_indexer_t* Indexer;
    std::vector<std::string> Labels; // one per program
};

TProvider& ProviderOf(const clap_preset_discovery_provider_t* provider)
{
    return *static_cast<TProvider*>(provider->provider_data);
}

bool InitProvider(const clap_preset_discovery_provider_t* provider) noexcept
{
    TProvider& self = ProviderOf(provider);
    try
    {
        const TProgramNames names = ProgramNamesSource();
        self.Labels = UniquePresetLabels({names.begin(), names.end()});
    }
    catch (...)
    {
        return false;
    }
    const clap_preset_discovery_location_t location = {
        CLAP_PRESET_DISCOVERY_IS_FACTORY_CONTENT, "Factory programs",
        CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN, nullptr};
    return self.Indexer->declare_location(self.Indexer, &location);
}

bool ListPresets(const clap_preset_discovery_provider_t* provider, std::uint32_t kind,
                 const char* /*location*/,
                 const clap_preset_discovery_metadata_receiver_t* receiver) noexcept
{
    if (kind != CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN || receiver == nullptr)
    {
        return false;
    }
    const TProvider& self = ProviderOf(provider);
    const clap_universal_plugin_id_t plugin = {"clap", PluginId};
    for (std::size_t program = 0; program < self.Labels.size(); ++program)
    {
        const std::string key = std::to_string(program);
        if (!receiver->begin_preset(receiver, self.Labels[program].c_str(), key.c_str()))
        {
            break;
        }
        receiver->add_plugin_id(receiver, &plugin);
        receiver->set_flags(receiver, CLAP_PRESET_DISCOVERY_IS_FACTORY_CONTENT);
        receiver->add_creator(receiver, VendorName);
    }
    return true;
}

const clap_preset_discovery_factory_t Factory = {
    [](const clap_preset_discovery_factory_t*) -> std::uint32_t { return 1; },
    [](const clap_preset_discovery_factory_t*, std::uint32_t index)
    { return index == 0 ? &ProviderDescriptor : nullptr; },
    [](const clap_preset_discovery_factory_t*, const clap_preset_discovery_indexer_t* indexer,
       const char* id) -> const clap_preset_discovery_provider_t*
    {
        if (indexer == nullptr || id == nullptr || std::strcmp(id, ProviderId) != 0 ||
            ProgramNamesSource == nullptr)
        {
            return nullptr;
        }
        auto* provider = new (std::nothrow) TProvider{};
        if (provider == nullptr)
        {
            return nullptr;
        }
        provider->Indexer = indexer;
        provider->Record = {
            &ProviderDescriptor,
            provider,
            &InitProvider,
            [](const clap_preset_discovery_provider_t* self) { delete &ProviderOf(self); },
            &ListPresets,
            [](const clap_preset_discovery_provider_t*, const char*) -> const void*
            { return nullptr; },
        };
        return &provider->Record;
    }};
} // namespace

std::optional<std::int32_t> ProgramOfLoadKey(const char* loadKey) noexcept
{
    if (loadKey == nullptr)
    {
        return std::nullopt;
    }
    const std::string_view key(loadKey);
    std::int32_t program = -1;
    const auto [end, error] = std::from_chars(key.data(), key.data() + key.size(), program);
    // Only the numbers as the provider writes them: no sign, no leading zero.
    const bool plainDigits =
        !key.empty() && key[0] >= '0' && key[0] <= '9' && (key.size() == 1 || key[0] != '0');
    if (!plainDigits || error != std::errc{} || end != key.data() + key.size() ||
        !IsProgramIndex(program))
    {
        return std::nullopt;
    }
    return program;
}

const clap_preset_discovery_factory_t* PresetDiscoveryFactory(TProgramNames (*programNames)())
{
    ProgramNamesSource = programNames;
    return &Factory;
}
} // namespace orvo::clap
