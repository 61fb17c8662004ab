// The CLAP binary interface, extensions Orvo offers or asks for: audio ports, note ports,
// parameters, state (with the stream records), latency, editor (gui), timers, file
// descriptors, thread check and preset load, with the published identifiers, names and
// layouts. A plug-in extension is answered by clap_plugin::get_extension, a host extension by
// clap_host::get_extension; both are records of functions.
#pragma once

#include "clap/abi/DClapProcess.h"

// ---- audio ports: the plug-in's audio inputs and outputs (main thread)
inline constexpr char CLAP_EXT_AUDIO_PORTS[] = "clap.audio-ports";
inline constexpr char CLAP_PORT_MONO[] = "mono";
inline constexpr char CLAP_PORT_STEREO[] = "stereo";
inline constexpr std::uint32_t CLAP_AUDIO_PORT_IS_MAIN = 1U << 0;
inline constexpr std::uint32_t CLAP_AUDIO_PORT_SUPPORTS_64BITS = 1U << 1;
inline constexpr std::uint32_t CLAP_AUDIO_PORT_PREFERS_64BITS = 1U << 2;
inline constexpr std::uint32_t CLAP_AUDIO_PORT_REQUIRES_COMMON_SAMPLE_SIZE = 1U << 3;

struct clap_audio_port_info
{
    clap_id id;                  // 0
    char name[CLAP_NAME_SIZE];   // 4
    std::uint32_t flags;         // 260
    std::uint32_t channel_count; // 264
    const char* port_type;       // 272 / 268   CLAP_PORT_STEREO, or null
    clap_id in_place_pair;       // 280 / 272   the port that may share buffers, or CLAP_INVALID_ID
};
using clap_audio_port_info_t = clap_audio_port_info;
static_assert(sizeof(clap_audio_port_info) == clap_abi::Pick(288, 276, 276));
static_assert(offsetof(clap_audio_port_info, flags) == 260);
static_assert(offsetof(clap_audio_port_info, port_type) == clap_abi::Pick(272, 268, 268));
static_assert(offsetof(clap_audio_port_info, in_place_pair) == clap_abi::Pick(280, 272, 272));

struct clap_plugin_audio_ports
{
    std::uint32_t(CLAPCALL* count)(const clap_plugin_t* plugin, bool is_input);
    bool(CLAPCALL* get)(const clap_plugin_t* plugin, std::uint32_t index, bool is_input,
                        clap_audio_port_info_t* info);
};
using clap_plugin_audio_ports_t = clap_plugin_audio_ports;

// ---- note ports: the plug-in's event inputs and outputs and their dialects (main thread)
inline constexpr char CLAP_EXT_NOTE_PORTS[] = "clap.note-ports";
inline constexpr std::uint32_t CLAP_NOTE_DIALECT_CLAP = 1U << 0;
inline constexpr std::uint32_t CLAP_NOTE_DIALECT_MIDI = 1U << 1;
inline constexpr std::uint32_t CLAP_NOTE_DIALECT_MIDI_MPE = 1U << 2;
inline constexpr std::uint32_t CLAP_NOTE_DIALECT_MIDI2 = 1U << 3;

struct clap_note_port_info
{
    clap_id id;                       // 0
    std::uint32_t supported_dialects; // 4
    std::uint32_t preferred_dialect;  // 8
    char name[CLAP_NAME_SIZE];        // 12
};
using clap_note_port_info_t = clap_note_port_info;
static_assert(sizeof(clap_note_port_info) == 268);

struct clap_plugin_note_ports
{
    std::uint32_t(CLAPCALL* count)(const clap_plugin_t* plugin, bool is_input);
    bool(CLAPCALL* get)(const clap_plugin_t* plugin, std::uint32_t index, bool is_input,
                        clap_note_port_info_t* info);
};
using clap_plugin_note_ports_t = clap_plugin_note_ports;

// ---- params: the plug-in's parameters as plain values between min_value and max_value
inline constexpr char CLAP_EXT_PARAMS[] = "clap.params";
using clap_param_info_flags = std::uint32_t;
inline constexpr clap_param_info_flags CLAP_PARAM_IS_STEPPED = 1U << 0;
inline constexpr clap_param_info_flags CLAP_PARAM_IS_PERIODIC = 1U << 1;
inline constexpr clap_param_info_flags CLAP_PARAM_IS_HIDDEN = 1U << 2;
inline constexpr clap_param_info_flags CLAP_PARAM_IS_READONLY = 1U << 3;
inline constexpr clap_param_info_flags CLAP_PARAM_IS_BYPASS = 1U << 4;
inline constexpr clap_param_info_flags CLAP_PARAM_IS_AUTOMATABLE = 1U << 5;
inline constexpr clap_param_info_flags CLAP_PARAM_IS_MODULATABLE = 1U << 10;
inline constexpr clap_param_info_flags CLAP_PARAM_REQUIRES_PROCESS = 1U << 15;
inline constexpr clap_param_info_flags CLAP_PARAM_IS_ENUM = 1U << 16;

struct clap_param_info
{
    clap_id id;                  // 0
    clap_param_info_flags flags; // 4
    void* cookie;                // 8
    char name[CLAP_NAME_SIZE];   // 16 / 12
    char module[CLAP_PATH_SIZE]; // 272 / 268   "" or a '/'-separated group path
    double min_value;            // 1296 / 1296 / 1292
    double max_value;            // 1304 / 1304 / 1300
    double default_value;        // 1312 / 1312 / 1308
};
using clap_param_info_t = clap_param_info;
static_assert(sizeof(clap_param_info) == clap_abi::Pick(1320, 1320, 1316));
static_assert(offsetof(clap_param_info, name) == clap_abi::Pick(16, 12, 12));
static_assert(offsetof(clap_param_info, module) == clap_abi::Pick(272, 268, 268));
static_assert(offsetof(clap_param_info, min_value) == clap_abi::Pick(1296, 1296, 1292));
static_assert(offsetof(clap_param_info, default_value) == clap_abi::Pick(1312, 1312, 1308));

/// count, get_info, get_value and the texts run on the main thread; flush on the audio thread
/// while processing, otherwise on the main thread.
struct clap_plugin_params
{
    std::uint32_t(CLAPCALL* count)(const clap_plugin_t* plugin);
    bool(CLAPCALL* get_info)(const clap_plugin_t* plugin, std::uint32_t param_index,
                             clap_param_info_t* param_info);
    bool(CLAPCALL* get_value)(const clap_plugin_t* plugin, clap_id param_id, double* out_value);
    bool(CLAPCALL* value_to_text)(const clap_plugin_t* plugin, clap_id param_id, double value,
                                  char* out_buffer, std::uint32_t out_buffer_capacity);
    bool(CLAPCALL* text_to_value)(const clap_plugin_t* plugin, clap_id param_id,
                                  const char* param_value_text, double* out_value);
    void(CLAPCALL* flush)(const clap_plugin_t* plugin, const clap_input_events_t* in,
                          const clap_output_events_t* out);
};
using clap_plugin_params_t = clap_plugin_params;

using clap_param_rescan_flags = std::uint32_t;
inline constexpr clap_param_rescan_flags CLAP_PARAM_RESCAN_VALUES = 1U << 0;
inline constexpr clap_param_rescan_flags CLAP_PARAM_RESCAN_TEXT = 1U << 1;
inline constexpr clap_param_rescan_flags CLAP_PARAM_RESCAN_INFO = 1U << 2;
inline constexpr clap_param_rescan_flags CLAP_PARAM_RESCAN_ALL = 1U << 3;
using clap_param_clear_flags = std::uint32_t;
inline constexpr clap_param_clear_flags CLAP_PARAM_CLEAR_ALL = 1U << 0;
inline constexpr clap_param_clear_flags CLAP_PARAM_CLEAR_AUTOMATIONS = 1U << 1;
inline constexpr clap_param_clear_flags CLAP_PARAM_CLEAR_MODULATIONS = 1U << 2;

/// rescan and clear on the main thread; request_flush from any thread but the audio thread.
struct clap_host_params
{
    void(CLAPCALL* rescan)(const clap_host_t* host, clap_param_rescan_flags flags);
    void(CLAPCALL* clear)(const clap_host_t* host, clap_id param_id, clap_param_clear_flags flags);
    void(CLAPCALL* request_flush)(const clap_host_t* host);
};
using clap_host_params_t = clap_host_params;

// ---- state: the plug-in's settings as bytes the host keeps (main thread)
inline constexpr char CLAP_EXT_STATE[] = "clap.state";

/// read answers the number of bytes read (fewer than asked is allowed), 0 at the end, -1 on
/// an error.
struct clap_istream
{
    void* ctx;
    std::int64_t(CLAPCALL* read)(const clap_istream* stream, void* buffer, std::uint64_t size);
};
using clap_istream_t = clap_istream;
static_assert(sizeof(clap_istream) == clap_abi::Pick(16, 8, 8));

/// write answers the number of bytes written (fewer than given is allowed), -1 on an error.
struct clap_ostream
{
    void* ctx;
    std::int64_t(CLAPCALL* write)(const clap_ostream* stream, const void* buffer,
                                  std::uint64_t size);
};
using clap_ostream_t = clap_ostream;
static_assert(sizeof(clap_ostream) == clap_abi::Pick(16, 8, 8));

struct clap_plugin_state
{
    bool(CLAPCALL* save)(const clap_plugin_t* plugin, const clap_ostream_t* stream);
    bool(CLAPCALL* load)(const clap_plugin_t* plugin, const clap_istream_t* stream);
};
using clap_plugin_state_t = clap_plugin_state;

struct clap_host_state
{
    /// The plug-in's state changed on its own (main thread).
    void(CLAPCALL* mark_dirty)(const clap_host_t* host);
};
using clap_host_state_t = clap_host_state;

// ---- latency: frames of delay the plug-in adds (main thread)
inline constexpr char CLAP_EXT_LATENCY[] = "clap.latency";
struct clap_plugin_latency
{
    std::uint32_t(CLAPCALL* get)(const clap_plugin_t* plugin);
};
using clap_plugin_latency_t = clap_plugin_latency;
struct clap_host_latency
{
    void(CLAPCALL* changed)(const clap_host_t* host);
};
using clap_host_latency_t = clap_host_latency;

// ---- gui: the plug-in's editor, embedded in a window of the host's or floating (main thread)
inline constexpr char CLAP_EXT_GUI[] = "clap.gui";
inline constexpr char CLAP_WINDOW_API_X11[] = "x11";
inline constexpr char CLAP_WINDOW_API_WIN32[] = "win32";

/// A window of the host's: api names which member of the union holds it.
struct clap_window
{
    const char* api; // 0
    union
    {
        void* cocoa;
        unsigned long x11; // an X11 Window
        void* win32;       // an HWND
        void* ptr;
    }; // 8 / 4
};
using clap_window_t = clap_window;
static_assert(sizeof(clap_window) == clap_abi::Pick(16, 8, 8));

struct clap_gui_resize_hints
{
    bool can_resize_horizontally;      // 0
    bool can_resize_vertically;        // 1
    bool preserve_aspect_ratio;        // 2
    std::uint32_t aspect_ratio_width;  // 4
    std::uint32_t aspect_ratio_height; // 8
};
using clap_gui_resize_hints_t = clap_gui_resize_hints;
static_assert(sizeof(clap_gui_resize_hints) == 12);

struct clap_plugin_gui
{
    bool(CLAPCALL* is_api_supported)(const clap_plugin_t* plugin, const char* api,
                                     bool is_floating);
    bool(CLAPCALL* get_preferred_api)(const clap_plugin_t* plugin, const char** api,
                                      bool* is_floating);
    bool(CLAPCALL* create)(const clap_plugin_t* plugin, const char* api, bool is_floating);
    void(CLAPCALL* destroy)(const clap_plugin_t* plugin);
    bool(CLAPCALL* set_scale)(const clap_plugin_t* plugin, double scale);
    bool(CLAPCALL* get_size)(const clap_plugin_t* plugin, std::uint32_t* width,
                             std::uint32_t* height);
    bool(CLAPCALL* can_resize)(const clap_plugin_t* plugin);
    bool(CLAPCALL* get_resize_hints)(const clap_plugin_t* plugin, clap_gui_resize_hints_t* hints);
    bool(CLAPCALL* adjust_size)(const clap_plugin_t* plugin, std::uint32_t* width,
                                std::uint32_t* height);
    bool(CLAPCALL* set_size)(const clap_plugin_t* plugin, std::uint32_t width,
                             std::uint32_t height);
    bool(CLAPCALL* set_parent)(const clap_plugin_t* plugin, const clap_window_t* window);
    bool(CLAPCALL* set_transient)(const clap_plugin_t* plugin, const clap_window_t* window);
    void(CLAPCALL* suggest_title)(const clap_plugin_t* plugin, const char* title);
    bool(CLAPCALL* show)(const clap_plugin_t* plugin);
    bool(CLAPCALL* hide)(const clap_plugin_t* plugin);
};
using clap_plugin_gui_t = clap_plugin_gui;
static_assert(sizeof(clap_plugin_gui) == 15 * sizeof(void*));

struct clap_host_gui
{
    void(CLAPCALL* resize_hints_changed)(const clap_host_t* host);
    bool(CLAPCALL* request_resize)(const clap_host_t* host, std::uint32_t width,
                                   std::uint32_t height);
    bool(CLAPCALL* request_show)(const clap_host_t* host);
    bool(CLAPCALL* request_hide)(const clap_host_t* host);
    /// The floating window was closed, or the connection to the editor was lost.
    void(CLAPCALL* closed)(const clap_host_t* host, bool was_destroyed);
};
using clap_host_gui_t = clap_host_gui;

// ---- timer support: periodic calls on the main thread, pumped by the host
inline constexpr char CLAP_EXT_TIMER_SUPPORT[] = "clap.timer-support";
struct clap_plugin_timer_support
{
    void(CLAPCALL* on_timer)(const clap_plugin_t* plugin, clap_id timer_id);
};
using clap_plugin_timer_support_t = clap_plugin_timer_support;
struct clap_host_timer_support
{
    bool(CLAPCALL* register_timer)(const clap_host_t* host, std::uint32_t period_ms,
                                   clap_id* timer_id);
    bool(CLAPCALL* unregister_timer)(const clap_host_t* host, clap_id timer_id);
};
using clap_host_timer_support_t = clap_host_timer_support;

// ---- posix fd support: the host watches the plug-in's file descriptors (main thread)
inline constexpr char CLAP_EXT_POSIX_FD_SUPPORT[] = "clap.posix-fd-support";
using clap_posix_fd_flags_t = std::uint32_t;
inline constexpr clap_posix_fd_flags_t CLAP_POSIX_FD_READ = 1U << 0;
inline constexpr clap_posix_fd_flags_t CLAP_POSIX_FD_WRITE = 1U << 1;
inline constexpr clap_posix_fd_flags_t CLAP_POSIX_FD_ERROR = 1U << 2;
struct clap_plugin_posix_fd_support
{
    void(CLAPCALL* on_fd)(const clap_plugin_t* plugin, int fd, clap_posix_fd_flags_t flags);
};
using clap_plugin_posix_fd_support_t = clap_plugin_posix_fd_support;
struct clap_host_posix_fd_support
{
    bool(CLAPCALL* register_fd)(const clap_host_t* host, int fd, clap_posix_fd_flags_t flags);
    bool(CLAPCALL* modify_fd)(const clap_host_t* host, int fd, clap_posix_fd_flags_t flags);
    bool(CLAPCALL* unregister_fd)(const clap_host_t* host, int fd);
};
using clap_host_posix_fd_support_t = clap_host_posix_fd_support;

// ---- thread check: which of the host's threads the caller is on (any thread)
inline constexpr char CLAP_EXT_THREAD_CHECK[] = "clap.thread-check";
struct clap_host_thread_check
{
    bool(CLAPCALL* is_main_thread)(const clap_host_t* host);
    bool(CLAPCALL* is_audio_thread)(const clap_host_t* host);
};
using clap_host_thread_check_t = clap_host_thread_check;

// ---- preset load: the host loads a preset found by the preset-discovery factory
inline constexpr char CLAP_EXT_PRESET_LOAD[] = "clap.preset-load";
struct clap_plugin_preset_load
{
    /// location_kind and location as the provider declared them; load_key names the preset
    /// within a location. Main thread.
    bool(CLAPCALL* from_location)(const clap_plugin_t* plugin, std::uint32_t location_kind,
                                  const char* location, const char* load_key);
};
using clap_plugin_preset_load_t = clap_plugin_preset_load;
struct clap_host_preset_load
{
    void(CLAPCALL* on_error)(const clap_host_t* host, std::uint32_t location_kind,
                             const char* location, const char* load_key, std::int32_t os_error,
                             const char* msg);
    void(CLAPCALL* loaded)(const clap_host_t* host, std::uint32_t location_kind,
                           const char* location, const char* load_key);
};
using clap_host_preset_load_t = clap_host_preset_load;
