#include "tests/support/ClapPresetList.h"

namespace orvo::test
{
namespace
{
struct TIndex
{
    std::vector<clap_preset_discovery_location> Locations;
    std::vector<std::string> LocationTexts; // owned copies; Locations point into them
    std::vector<TClapPreset> Presets;
    std::vector<std::string>* Errors;
    std::uint32_t Kind = 0;
    std::string Location;
};

TIndex& IndexOf(const clap_preset_discovery_metadata_receiver_t* receiver)
{
    return *static_cast<TIndex*>(receiver->receiver_data);
}

TClapPreset* Current(const clap_preset_discovery_metadata_receiver_t* receiver)
{
    TIndex& index = IndexOf(receiver);
    return index.Presets.empty() ? nullptr : &index.Presets.back();
}
} // namespace

std::vector<TClapPreset> ListClapPresets(const TClapModule& module,
                                         std::vector<std::string>* errors)
{
    const clap_preset_discovery_factory_t* factory = module.PresetFactory();
    if (factory == nullptr)
    {
        return {};
    }
    TIndex index;
    index.Errors = errors;
    index.Locations.reserve(64);
    const clap_preset_discovery_indexer_t indexer = {
        CLAP_VERSION,
        "Orvo Test Host",
        "Orvo",
        "",
        "1.0",
        &index,
        [](const clap_preset_discovery_indexer_t*, const clap_preset_discovery_filetype_t*)
        { return true; },
        [](const clap_preset_discovery_indexer_t* self,
           const clap_preset_discovery_location_t* location)
        {
            auto& data = *static_cast<TIndex*>(self->indexer_data);
            data.Locations.push_back(*location);
            data.LocationTexts.emplace_back(location->location != nullptr ? location->location
                                                                          : "");
            return true;
        },
        [](const clap_preset_discovery_indexer_t*, const clap_preset_discovery_soundpack*)
        { return true; },
        [](const clap_preset_discovery_indexer_t*, const char*) -> const void* { return nullptr; }};
    const clap_preset_discovery_metadata_receiver_t receiver = {
        &index,
        [](const clap_preset_discovery_metadata_receiver_t* self, std::int32_t, const char* text)
        {
            if (IndexOf(self).Errors != nullptr)
            {
                IndexOf(self).Errors->emplace_back(text != nullptr ? text : "");
            }
        },
        [](const clap_preset_discovery_metadata_receiver_t* self, const char* name,
           const char* loadKey)
        {
            TIndex& data = IndexOf(self);
            data.Presets.push_back({name != nullptr ? name : "",
                                    loadKey != nullptr ? loadKey : "",
                                    data.Kind,
                                    data.Location,
                                    0,
                                    {}});
            return true;
        },
        [](const clap_preset_discovery_metadata_receiver_t* self,
           const clap_universal_plugin_id_t* id)
        {
            if (TClapPreset* preset = Current(self))
            {
                preset->PluginIds.push_back(std::string(id->abi) + ":" + id->id);
            }
        },
        [](const clap_preset_discovery_metadata_receiver_t*, const char*) {},
        [](const clap_preset_discovery_metadata_receiver_t* self, std::uint32_t flags)
        {
            if (TClapPreset* preset = Current(self))
            {
                preset->Flags = flags;
            }
        },
        [](const clap_preset_discovery_metadata_receiver_t*, const char*) {},
        [](const clap_preset_discovery_metadata_receiver_t*, const char*) {},
        [](const clap_preset_discovery_metadata_receiver_t*, clap_timestamp, clap_timestamp) {},
        [](const clap_preset_discovery_metadata_receiver_t*, const char*) {},
        [](const clap_preset_discovery_metadata_receiver_t*, const char*, const char*) {}};

    for (std::uint32_t p = 0; p < factory->count(factory); ++p)
    {
        const auto* descriptor = factory->get_descriptor(factory, p);
        const auto* provider = factory->create(factory, &indexer, descriptor->id);
        if (provider == nullptr)
        {
            continue;
        }
        index.Locations.clear();
        index.LocationTexts.clear();
        if (provider->init(provider))
        {
            for (std::size_t l = 0; l < index.Locations.size(); ++l)
            {
                index.Kind = index.Locations[l].kind;
                index.Location = index.LocationTexts[l];
                provider->get_metadata(provider, index.Kind,
                                       index.Locations[l].location == nullptr
                                           ? nullptr
                                           : index.LocationTexts[l].c_str(),
                                       &receiver);
            }
        }
        provider->destroy(provider);
    }
    return index.Presets;
}
} // namespace orvo::test
