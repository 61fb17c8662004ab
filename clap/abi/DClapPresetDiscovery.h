// The CLAP binary interface, preset discovery: the factory through which a host indexes the
// presets of a module without creating a plug-in. The host (the indexer) creates a provider;
// the provider declares its locations in init, and get_metadata reports the presets of one
// location to the host's receiver. Published names and layouts.
#pragma once

#include "clap/abi/DClapCore.h"

inline constexpr char CLAP_PRESET_DISCOVERY_FACTORY_ID[] = "clap.preset-discovery-factory/2";
/// The identifier of the last draft, with the same records; hosts of CLAP 1.1 ask for it.
inline constexpr char CLAP_PRESET_DISCOVERY_FACTORY_ID_COMPAT[] =
    "clap.preset-discovery-factory/draft-2";

/// Where presets live: in files, or inside the plug-in itself (then the location is null).
enum : std::uint32_t
{
    CLAP_PRESET_DISCOVERY_LOCATION_FILE = 0,
    CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN = 1,
};

/// Flags of a location or a preset.
enum : std::uint32_t
{
    CLAP_PRESET_DISCOVERY_IS_FACTORY_CONTENT = 1U << 0,
    CLAP_PRESET_DISCOVERY_IS_USER_CONTENT = 1U << 1,
    CLAP_PRESET_DISCOVERY_IS_DEMO_CONTENT = 1U << 2,
    CLAP_PRESET_DISCOVERY_IS_FAVORITE = 1U << 3,
};

/// Seconds since 1970; 0 for unknown.
using clap_timestamp = std::uint64_t;

/// A plug-in named across formats: abi "clap" and the descriptor's id.
struct clap_universal_plugin_id
{
    const char* abi;
    const char* id;
};
using clap_universal_plugin_id_t = clap_universal_plugin_id;

struct clap_preset_discovery_metadata_receiver
{
    void* receiver_data; // 0
    void(CLAPCALL* on_error)(const clap_preset_discovery_metadata_receiver* receiver,
                             std::int32_t os_error, const char* error_message);
    /// Starts a preset; load_key tells it apart within its location. false: stop listing.
    bool(CLAPCALL* begin_preset)(const clap_preset_discovery_metadata_receiver* receiver,
                                 const char* name, const char* load_key);
    void(CLAPCALL* add_plugin_id)(const clap_preset_discovery_metadata_receiver* receiver,
                                  const clap_universal_plugin_id_t* plugin_id);
    void(CLAPCALL* set_soundpack_id)(const clap_preset_discovery_metadata_receiver* receiver,
                                     const char* soundpack_id);
    void(CLAPCALL* set_flags)(const clap_preset_discovery_metadata_receiver* receiver,
                              std::uint32_t flags);
    void(CLAPCALL* add_creator)(const clap_preset_discovery_metadata_receiver* receiver,
                                const char* creator);
    void(CLAPCALL* set_description)(const clap_preset_discovery_metadata_receiver* receiver,
                                    const char* description);
    void(CLAPCALL* set_timestamps)(const clap_preset_discovery_metadata_receiver* receiver,
                                   clap_timestamp creation_time, clap_timestamp modification_time);
    void(CLAPCALL* add_feature)(const clap_preset_discovery_metadata_receiver* receiver,
                                const char* feature);
    void(CLAPCALL* add_extra_info)(const clap_preset_discovery_metadata_receiver* receiver,
                                   const char* key, const char* value);
};
using clap_preset_discovery_metadata_receiver_t = clap_preset_discovery_metadata_receiver;
static_assert(sizeof(clap_preset_discovery_metadata_receiver) == 11 * sizeof(void*));

struct clap_preset_discovery_filetype
{
    const char* name;
    const char* description;
    const char* file_extension;
};
using clap_preset_discovery_filetype_t = clap_preset_discovery_filetype;

struct clap_preset_discovery_location
{
    std::uint32_t flags;  // 0
    const char* name;     // 8  / 4
    std::uint32_t kind;   // 16 / 8
    const char* location; // 24 / 12   null for CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN
};
using clap_preset_discovery_location_t = clap_preset_discovery_location;
static_assert(sizeof(clap_preset_discovery_location) == clap_abi::Pick(32, 16, 16));
static_assert(offsetof(clap_preset_discovery_location, location) == clap_abi::Pick(24, 12, 12));

struct clap_preset_discovery_soundpack;

/// The host's side, handed to create.
struct clap_preset_discovery_indexer
{
    clap_version_t clap_version; // 0  / 0
    const char* name;            // 16 / 12
    const char* vendor;          // 24 / 16
    const char* url;             // 32 / 20
    const char* version;         // 40 / 24
    void* indexer_data;          // 48 / 28
    bool(CLAPCALL* declare_filetype)(const clap_preset_discovery_indexer* indexer,
                                     const clap_preset_discovery_filetype_t* filetype);
    bool(CLAPCALL* declare_location)(const clap_preset_discovery_indexer* indexer,
                                     const clap_preset_discovery_location_t* location);
    bool(CLAPCALL* declare_soundpack)(const clap_preset_discovery_indexer* indexer,
                                      const clap_preset_discovery_soundpack* soundpack);
    const void*(CLAPCALL* get_extension)(const clap_preset_discovery_indexer* indexer,
                                         const char* extension_id); // 80 / 44
};
using clap_preset_discovery_indexer_t = clap_preset_discovery_indexer;
static_assert(sizeof(clap_preset_discovery_indexer) == clap_abi::Pick(88, 48, 48));
static_assert(offsetof(clap_preset_discovery_indexer, indexer_data) == clap_abi::Pick(48, 28, 28));
static_assert(offsetof(clap_preset_discovery_indexer, get_extension) == clap_abi::Pick(80, 44, 44));

struct clap_preset_discovery_provider_descriptor
{
    clap_version_t clap_version; // 0  / 0
    const char* id;              // 16 / 12
    const char* name;            // 24 / 16
    const char* vendor;          // 32 / 20
};
using clap_preset_discovery_provider_descriptor_t = clap_preset_discovery_provider_descriptor;
static_assert(sizeof(clap_preset_discovery_provider_descriptor) == clap_abi::Pick(40, 24, 24));

struct clap_preset_discovery_provider
{
    const clap_preset_discovery_provider_descriptor_t* desc; // 0
    void* provider_data;                                     // 8 / 4
    /// Declares the provider's file types and locations to the indexer.
    bool(CLAPCALL* init)(const clap_preset_discovery_provider* provider);
    void(CLAPCALL* destroy)(const clap_preset_discovery_provider* provider);
    bool(CLAPCALL* get_metadata)(const clap_preset_discovery_provider* provider,
                                 std::uint32_t location_kind, const char* location,
                                 const clap_preset_discovery_metadata_receiver_t* receiver);
    const void*(CLAPCALL* get_extension)(const clap_preset_discovery_provider* provider,
                                         const char* extension_id);
};
using clap_preset_discovery_provider_t = clap_preset_discovery_provider;
static_assert(sizeof(clap_preset_discovery_provider) == 6 * sizeof(void*));

struct clap_preset_discovery_factory
{
    std::uint32_t(CLAPCALL* count)(const clap_preset_discovery_factory* factory);
    const clap_preset_discovery_provider_descriptor_t*(CLAPCALL* get_descriptor)(
        const clap_preset_discovery_factory* factory, std::uint32_t index);
    /// The provider with this id, not yet initialised, or null.
    const clap_preset_discovery_provider_t*(CLAPCALL* create)(
        const clap_preset_discovery_factory* factory,
        const clap_preset_discovery_indexer_t* indexer, const char* provider_id);
};
using clap_preset_discovery_factory_t = clap_preset_discovery_factory;
