// The CLAP binary interface, processing part: the audio buffers, the event records (header,
// note, MIDI, parameter value and gesture) and the event lists that process() and the
// parameters' flush() receive, with the published names and layouts.
#pragma once

#include "clap/abi/DClapCore.h"

/// One port's buffers: data32 (or data64) holds channel_count channel pointers. Bit n of
/// constant_mask says channel n holds one value throughout the block.
struct clap_audio_buffer
{
    float** data32;              // 0  / 0
    double** data64;             // 8  / 4
    std::uint32_t channel_count; // 16 / 8
    std::uint32_t latency;       // 20 / 12
    std::uint64_t constant_mask; // 24 / 16
};
using clap_audio_buffer_t = clap_audio_buffer;
static_assert(sizeof(clap_audio_buffer) == clap_abi::Pick(32, 24, 24));
static_assert(offsetof(clap_audio_buffer, constant_mask) == clap_abi::Pick(24, 16, 16));

/// Every event begins with this header. time is the frame within the block; events in a list
/// are in time order. size covers the whole event, header included.
struct clap_event_header
{
    std::uint32_t size;     // 0
    std::uint32_t time;     // 4
    std::uint16_t space_id; // 8   CLAP_CORE_EVENT_SPACE_ID for the events below
    std::uint16_t type;     // 10  CLAP_EVENT_*
    std::uint32_t flags;    // 12  CLAP_EVENT_IS_LIVE, CLAP_EVENT_DONT_RECORD
};
using clap_event_header_t = clap_event_header;
static_assert(sizeof(clap_event_header) == 16);

inline constexpr std::uint16_t CLAP_CORE_EVENT_SPACE_ID = 0;
inline constexpr std::uint32_t CLAP_EVENT_IS_LIVE = 1U << 0;
inline constexpr std::uint32_t CLAP_EVENT_DONT_RECORD = 1U << 1;

/// Event types of the core space.
enum : std::uint16_t
{
    CLAP_EVENT_NOTE_ON = 0,
    CLAP_EVENT_NOTE_OFF = 1,
    CLAP_EVENT_NOTE_CHOKE = 2,
    CLAP_EVENT_NOTE_END = 3,
    CLAP_EVENT_NOTE_EXPRESSION = 4,
    CLAP_EVENT_PARAM_VALUE = 5,
    CLAP_EVENT_PARAM_MOD = 6,
    CLAP_EVENT_PARAM_GESTURE_BEGIN = 7,
    CLAP_EVENT_PARAM_GESTURE_END = 8,
    CLAP_EVENT_TRANSPORT = 9,
    CLAP_EVENT_MIDI = 10,
    CLAP_EVENT_MIDI_SYSEX = 11,
    CLAP_EVENT_MIDI2 = 12,
};

/// A note in CLAP's own dialect (Orvo reads none; declared for the test host).
struct clap_event_note
{
    clap_event_header_t header; // 0
    std::int32_t note_id;       // 16  -1 if unspecified
    std::int16_t port_index;    // 20
    std::int16_t channel;       // 22  0..15, -1 for all
    std::int16_t key;           // 24  0..127, -1 for all
    double velocity;            // 32 / 32 / 28   0..1
};
using clap_event_note_t = clap_event_note;
static_assert(sizeof(clap_event_note) == clap_abi::Pick(40, 40, 36));
static_assert(offsetof(clap_event_note, velocity) == clap_abi::Pick(32, 32, 28));

/// A MIDI 1.0 message of up to three bytes on a note port.
struct clap_event_midi
{
    clap_event_header_t header; // 0
    std::uint16_t port_index;   // 16
    std::uint8_t data[3];       // 18
};
using clap_event_midi_t = clap_event_midi;
static_assert(sizeof(clap_event_midi) == 24);
static_assert(offsetof(clap_event_midi, data) == 18);

/// A parameter's new plain value. The note fields narrow it to a note; -1 means every one.
struct clap_event_param_value
{
    clap_event_header_t header; // 0
    clap_id param_id;           // 16
    void* cookie;               // 24 / 20 / 20   the param_info's cookie, or null
    std::int32_t note_id;       // 32 / 24 / 24
    std::int16_t port_index;    // 36 / 28 / 28
    std::int16_t channel;       // 38 / 30 / 30
    std::int16_t key;           // 40 / 32 / 32
    double value;               // 48 / 40 / 36
};
using clap_event_param_value_t = clap_event_param_value;
static_assert(sizeof(clap_event_param_value) == clap_abi::Pick(56, 48, 44));
static_assert(offsetof(clap_event_param_value, cookie) == clap_abi::Pick(24, 20, 20));
static_assert(offsetof(clap_event_param_value, key) == clap_abi::Pick(40, 32, 32));
static_assert(offsetof(clap_event_param_value, value) == clap_abi::Pick(48, 40, 36));

/// The start or end of a user's gesture on a parameter (one drag of a knob).
struct clap_event_param_gesture
{
    clap_event_header_t header; // 0
    clap_id param_id;           // 16
};
using clap_event_param_gesture_t = clap_event_param_gesture;
static_assert(sizeof(clap_event_param_gesture) == 20);

/// The events coming in, read through size and get, owned by the host.
struct clap_input_events
{
    void* ctx;                                                    // 0  / 0
    std::uint32_t(CLAPCALL* size)(const clap_input_events* list); // 8  / 4
    const clap_event_header_t*(CLAPCALL* get)(const clap_input_events* list,
                                              std::uint32_t index); // 16 / 8
};
using clap_input_events_t = clap_input_events;
static_assert(sizeof(clap_input_events) == clap_abi::Pick(24, 12, 12));

/// The events going out: try_push copies the event and answers false when the host's list
/// is full.
struct clap_output_events
{
    void* ctx; // 0 / 0
    bool(CLAPCALL* try_push)(const clap_output_events* list,
                             const clap_event_header_t* event); // 8 / 4
};
using clap_output_events_t = clap_output_events;
static_assert(sizeof(clap_output_events) == clap_abi::Pick(16, 8, 8));

/// The transport event; Orvo reads nothing of it, so it stays opaque here.
struct clap_event_transport;

/// One call of process(): frames_count frames on every port, the events that fall in them.
struct clap_process
{
    std::int64_t steady_time;                // 0  / 0   -1 if not available
    std::uint32_t frames_count;              // 8  / 8
    const clap_event_transport* transport;   // 16 / 12  null when free-running
    const clap_audio_buffer_t* audio_inputs; // 24 / 16
    clap_audio_buffer_t* audio_outputs;      // 32 / 20
    std::uint32_t audio_inputs_count;        // 40 / 24
    std::uint32_t audio_outputs_count;       // 44 / 28
    const clap_input_events_t* in_events;    // 48 / 32
    const clap_output_events_t* out_events;  // 56 / 36
};
using clap_process_t = clap_process;
static_assert(sizeof(clap_process) == clap_abi::Pick(64, 40, 40));
static_assert(offsetof(clap_process, transport) == clap_abi::Pick(16, 12, 12));
static_assert(offsetof(clap_process, audio_inputs_count) == clap_abi::Pick(40, 24, 24));
static_assert(offsetof(clap_process, out_events) == clap_abi::Pick(56, 36, 36));
