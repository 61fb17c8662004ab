// The CLAP binary interface, core part: the version record, the module's entry record, the
// plug-in factory and descriptor, the host record and the plug-in record, with the published
// names and layouts. Written from the public CLAP documentation; used by the plug-in and by
// our own test host. Sizes and offsets are pinned below for the three ABIs the project builds
// for: x86_64 (Linux and Windows), i686 Linux (64-bit integers and doubles 4-aligned in
// records) and i686 Windows (8-aligned).
#pragma once

#include <cstddef>
#include <cstdint>

// Every function exchanged with the host uses the platform's C calling convention.
#if defined(_WIN32) && !defined(_WIN64)
#define CLAPCALL __cdecl
#else
#define CLAPCALL
#endif

/// Record layouts differ by pointer width and, on 32-bit x86, by the alignment of 8-byte
/// members: the static asserts pick the expected offset with these.
namespace clap_abi
{
struct TEightByteAlignProbe
{
    char lead;
    double value;
};
inline constexpr bool Lp64 = sizeof(void*) == 8;
inline constexpr bool Aligned8 = offsetof(TEightByteAlignProbe, value) == 8;
/// The expected value on x86_64, on i686 Windows (8-aligned) and on i686 Linux (4-aligned).
constexpr std::size_t Pick(std::size_t lp64, std::size_t ilp32Aligned8, std::size_t ilp32Aligned4)
{
    return Lp64 ? lp64 : (Aligned8 ? ilp32Aligned8 : ilp32Aligned4);
}
} // namespace clap_abi

/// Parameter, port, timer and note identifiers.
using clap_id = std::uint32_t;
inline constexpr clap_id CLAP_INVALID_ID = UINT32_MAX;

/// Fixed text sizes, terminating zero included.
inline constexpr std::size_t CLAP_NAME_SIZE = 256;
inline constexpr std::size_t CLAP_PATH_SIZE = 1024;

struct clap_version
{
    std::uint32_t major;    // 0
    std::uint32_t minor;    // 4
    std::uint32_t revision; // 8
};
using clap_version_t = clap_version;
static_assert(sizeof(clap_version) == 12);

/// The interface version this side implements: 1.2.0, which has the preset-discovery factory
/// under its final identifier. A host of any 1.x version can load a 1.x plug-in.
inline constexpr clap_version CLAP_VERSION = {1, 2, 0};
constexpr bool clap_version_is_compatible(const clap_version& v)
{
    return v.major >= 1;
}

/// The module's one exported symbol, "clap_entry". init and deinit run on the main thread,
/// once each; get_factory is thread-safe and answers null for a factory it does not have.
struct clap_plugin_entry
{
    clap_version_t clap_version;                                // 0  / 0
    bool(CLAPCALL* init)(const char* plugin_path);              // 12 / 16
    void(CLAPCALL* deinit)();                                   // 16 / 24
    const void*(CLAPCALL* get_factory)(const char* factory_id); // 20 / 32
};
using clap_plugin_entry_t = clap_plugin_entry;
static_assert(sizeof(clap_plugin_entry) == clap_abi::Pick(40, 24, 24));
static_assert(offsetof(clap_plugin_entry, init) == clap_abi::Pick(16, 12, 12));
static_assert(offsetof(clap_plugin_entry, get_factory) == clap_abi::Pick(32, 20, 20));

/// What the module tells about one plug-in before it is created. Every text is a
/// zero-terminated UTF-8 string; features ends with a null pointer.
struct clap_plugin_descriptor
{
    clap_version_t clap_version; // 0  / 0
    const char* id;              // 16 / 12   reverse-domain, stable across versions
    const char* name;            // 24 / 16
    const char* vendor;          // 32 / 20
    const char* url;             // 40 / 24
    const char* manual_url;      // 48 / 28
    const char* support_url;     // 56 / 32
    const char* version;         // 64 / 36
    const char* description;     // 72 / 40
    const char* const* features; // 80 / 44
};
using clap_plugin_descriptor_t = clap_plugin_descriptor;
static_assert(sizeof(clap_plugin_descriptor) == clap_abi::Pick(88, 48, 48));
static_assert(offsetof(clap_plugin_descriptor, id) == clap_abi::Pick(16, 12, 12));
static_assert(offsetof(clap_plugin_descriptor, features) == clap_abi::Pick(80, 44, 44));

/// The host's record, handed to create_plugin. get_extension answers null for an extension
/// the host lacks; request_callback asks for on_main_thread on the main thread (thread-safe).
struct clap_host
{
    clap_version_t clap_version; // 0  / 0
    void* host_data;             // 16 / 12
    const char* name;            // 24 / 16
    const char* vendor;          // 32 / 20
    const char* url;             // 40 / 24
    const char* version;         // 48 / 28
    const void*(CLAPCALL* get_extension)(const clap_host* host,
                                         const char* extension_id); // 56 / 32
    void(CLAPCALL* request_restart)(const clap_host* host);         // 64 / 36
    void(CLAPCALL* request_process)(const clap_host* host);         // 72 / 40
    void(CLAPCALL* request_callback)(const clap_host* host);        // 80 / 44
};
using clap_host_t = clap_host;
static_assert(sizeof(clap_host) == clap_abi::Pick(88, 48, 48));
static_assert(offsetof(clap_host, get_extension) == clap_abi::Pick(56, 32, 32));
static_assert(offsetof(clap_host, request_callback) == clap_abi::Pick(80, 44, 44));

struct clap_process;

/// process's answer.
using clap_process_status = std::int32_t;
inline constexpr clap_process_status CLAP_PROCESS_ERROR = 0;
inline constexpr clap_process_status CLAP_PROCESS_CONTINUE = 1;
inline constexpr clap_process_status CLAP_PROCESS_CONTINUE_IF_NOT_QUIET = 2;
inline constexpr clap_process_status CLAP_PROCESS_TAIL = 3;
inline constexpr clap_process_status CLAP_PROCESS_SLEEP = 4;

/// The plug-in's record. init, destroy, activate, deactivate, get_extension (may also be
/// called elsewhere) and on_main_thread run on the main thread; start_processing,
/// stop_processing, reset and process on the audio thread, between activate and deactivate.
struct clap_plugin
{
    const clap_plugin_descriptor_t* desc;               // 0  / 0
    void* plugin_data;                                  // 8  / 4
    bool(CLAPCALL* init)(const clap_plugin* plugin);    // 16 / 8
    void(CLAPCALL* destroy)(const clap_plugin* plugin); // 24 / 12
    bool(CLAPCALL* activate)(const clap_plugin* plugin, double sample_rate,
                             std::uint32_t min_frames_count,
                             std::uint32_t max_frames_count);    // 32 / 16
    void(CLAPCALL* deactivate)(const clap_plugin* plugin);       // 40 / 20
    bool(CLAPCALL* start_processing)(const clap_plugin* plugin); // 48 / 24
    void(CLAPCALL* stop_processing)(const clap_plugin* plugin);  // 56 / 28
    void(CLAPCALL* reset)(const clap_plugin* plugin);            // 64 / 32
    clap_process_status(CLAPCALL* process)(const clap_plugin* plugin,
                                           const clap_process* process);             // 72 / 36
    const void*(CLAPCALL* get_extension)(const clap_plugin* plugin, const char* id); // 80 / 40
    void(CLAPCALL* on_main_thread)(const clap_plugin* plugin);                       // 88 / 44
};
using clap_plugin_t = clap_plugin;
static_assert(sizeof(clap_plugin) == clap_abi::Pick(96, 48, 48));
static_assert(offsetof(clap_plugin, activate) == clap_abi::Pick(32, 16, 16));
static_assert(offsetof(clap_plugin, process) == clap_abi::Pick(72, 36, 36));
static_assert(offsetof(clap_plugin, on_main_thread) == clap_abi::Pick(88, 44, 44));

/// The factory that lists and creates the module's plug-ins (get_factory's answer for
/// CLAP_PLUGIN_FACTORY_ID). Thread-safe.
inline constexpr char CLAP_PLUGIN_FACTORY_ID[] = "clap.plugin-factory";
struct clap_plugin_factory
{
    std::uint32_t(CLAPCALL* get_plugin_count)(const clap_plugin_factory* factory);
    const clap_plugin_descriptor_t*(CLAPCALL* get_plugin_descriptor)(
        const clap_plugin_factory* factory, std::uint32_t index);
    /// The plug-in with this id, not yet initialised, or null.
    const clap_plugin_t*(CLAPCALL* create_plugin)(const clap_plugin_factory* factory,
                                                  const clap_host_t* host, const char* plugin_id);
};
using clap_plugin_factory_t = clap_plugin_factory;
static_assert(sizeof(clap_plugin_factory) == clap_abi::Pick(24, 12, 12));

/// The plug-in's features in its descriptor (a few of the published ones).
inline constexpr char CLAP_PLUGIN_FEATURE_AUDIO_EFFECT[] = "audio-effect";
inline constexpr char CLAP_PLUGIN_FEATURE_STEREO[] = "stereo";
inline constexpr char CLAP_PLUGIN_FEATURE_DISTORTION[] = "distortion";
inline constexpr char CLAP_PLUGIN_FEATURE_MASTERING[] = "mastering";
inline constexpr char CLAP_PLUGIN_FEATURE_EQUALIZER[] = "equalizer";
