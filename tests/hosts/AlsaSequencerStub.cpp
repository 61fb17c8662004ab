// A stand-in for the ALSA sequencer, preloaded (LD_PRELOAD) into Qtractor by the Qtractor
// host test only: Qtractor starts its audio engine only with its MIDI engine, which opens the
// sequencer device /dev/snd/seq, and the test machines have none. Every sequencer call that
// needs the device is answered here as by a sequencer with no other clients: opening works,
// ports and queues are made, events go nowhere and none ever arrive (the poll descriptor is a
// pipe that no one writes). The record accessors (sizeof, get, set) stay ALSA's own.
//
// The ALSA headers are not needed: the records are opaque pointers here, and C linkage
// matches the library's symbols by name.
#include <cerrno>
#include <dlfcn.h>
#include <poll.h>
#include <unistd.h>

namespace
{
/// The handle Qtractor holds; nothing reads it but this stub.
int FakeSequencer = 0;
constexpr int ClientNumber = 128;
int NextPort = 0;

int QuietDescriptor()
{
    static int ends[2] = {-1, -1};
    if (ends[0] < 0 && pipe(ends) != 0)
    {
        return -1;
    }
    return ends[0];
}

/// Calls one of ALSA's own record setters, if the library has it.
template <class... TArgs> void CallSetter(const char* name, void* record, TArgs... args)
{
    using TSetter = void (*)(void*, TArgs...);
    if (auto* setter = reinterpret_cast<TSetter>(dlsym(RTLD_NEXT, name)))
    {
        setter(record, args...);
    }
}
} // namespace

extern "C"
{
    __attribute__((visibility("default"))) int snd_seq_open(void** handle, const char*, int, int)
    {
        *handle = &FakeSequencer;
        return 0;
    }

#define ORVO_SEQ_ANSWER(name, answer, ...)                                                         \
    __attribute__((visibility("default"))) int name(__VA_ARGS__)                                   \
    {                                                                                              \
        return answer;                                                                             \
    }

    ORVO_SEQ_ANSWER(snd_seq_close, 0, void*)
    ORVO_SEQ_ANSWER(snd_seq_client_id, ClientNumber, void*)
    ORVO_SEQ_ANSWER(snd_seq_set_client_name, 0, void*, const char*)
    ORVO_SEQ_ANSWER(snd_seq_create_simple_port, NextPort++, void*, const char*, unsigned, unsigned)
    ORVO_SEQ_ANSWER(snd_seq_delete_simple_port, 0, void*, int)
    ORVO_SEQ_ANSWER(snd_seq_alloc_queue, 0, void*)
    ORVO_SEQ_ANSWER(snd_seq_free_queue, 0, void*, int)
    ORVO_SEQ_ANSWER(snd_seq_control_queue, 0, void*, int, int, int, void*)
    ORVO_SEQ_ANSWER(snd_seq_drain_output, 0, void*)
    ORVO_SEQ_ANSWER(snd_seq_drop_input, 0, void*)
    ORVO_SEQ_ANSWER(snd_seq_drop_output, 0, void*)
    ORVO_SEQ_ANSWER(snd_seq_event_input, -EAGAIN, void*, void**)
    ORVO_SEQ_ANSWER(snd_seq_event_input_pending, 0, void*, int)
    ORVO_SEQ_ANSWER(snd_seq_event_output, 0, void*, void*)
    ORVO_SEQ_ANSWER(snd_seq_event_output_direct, 0, void*, void*)
    ORVO_SEQ_ANSWER(snd_seq_free_event, 0, void*)
    ORVO_SEQ_ANSWER(snd_seq_poll_descriptors_count, 1, void*, short)
    ORVO_SEQ_ANSWER(snd_seq_get_any_port_info, -ENOENT, void*, int, int, void*)
    ORVO_SEQ_ANSWER(snd_seq_get_port_info, 0, void*, int, void*)
    ORVO_SEQ_ANSWER(snd_seq_set_port_info, 0, void*, int, void*)
    ORVO_SEQ_ANSWER(snd_seq_get_queue_status, 0, void*, int, void*)
    ORVO_SEQ_ANSWER(snd_seq_set_queue_tempo, 0, void*, int, void*)
    ORVO_SEQ_ANSWER(snd_seq_set_queue_timer, 0, void*, int, void*)
    ORVO_SEQ_ANSWER(snd_seq_query_next_client, -ENOENT, void*, void*)
    ORVO_SEQ_ANSWER(snd_seq_query_next_port, -ENOENT, void*, void*)
    ORVO_SEQ_ANSWER(snd_seq_query_port_subscribers, -ENOENT, void*, void*)
    ORVO_SEQ_ANSWER(snd_seq_remove_events, 0, void*, void*)
    ORVO_SEQ_ANSWER(snd_seq_subscribe_port, 0, void*, void*)
    ORVO_SEQ_ANSWER(snd_seq_unsubscribe_port, 0, void*, void*)

    __attribute__((visibility("default"))) int
    snd_seq_poll_descriptors(void*, pollfd* descriptors, unsigned space, short events)
    {
        if (space < 1)
        {
            return 0;
        }
        descriptors[0] = {QuietDescriptor(), events, 0};
        return 1;
    }

    /// Only the client's own number: it has no name and no other client exists.
    __attribute__((visibility("default"))) int snd_seq_get_any_client_info(void*, int client,
                                                                           void* info)
    {
        CallSetter("snd_seq_client_info_set_client", info, client);
        return 0;
    }

    /// A tempo record as a real queue holds one: unskewed (skew = base = 0x10000).
    __attribute__((visibility("default"))) int snd_seq_get_queue_tempo(void*, int, void* tempo)
    {
        constexpr unsigned NoSkew = 0x10000;
        CallSetter("snd_seq_queue_tempo_set_skew", tempo, NoSkew);
        CallSetter("snd_seq_queue_tempo_set_skew_base", tempo, NoSkew);
        return 0;
    }
}
