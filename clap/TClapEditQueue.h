// The user's edits in the editor on their way to the host: the editor (main thread) appends,
// and whoever next talks to the host with an output event list drains them there, in order
// (process on the audio thread, or the parameters' flush). One producer and one consumer, no
// lock, no allocation; an edit that finds the queue full is dropped (the value itself is
// already in the effect).
#pragma once

#include "clap/abi/DClapProcess.h"

#include <array>
#include <atomic>
#include <cstdint>

namespace orvo::clap
{
enum TEditKind : std::uint8_t
{
    ekBegin,
    ekValue,
    ekEnd,
};

struct TEdit
{
    TEditKind Kind = ekValue;
    clap_id Parameter = 0;
    double Value = 0.0; // the plain value, for ekValue
};

class TClapEditQueue
{
  public:
    static constexpr std::uint32_t Capacity = 256;

    /// Producer side. False when the queue is full.
    bool Push(const TEdit& edit) noexcept
    {
        const std::uint32_t tail = FTail.load(std::memory_order_relaxed);
        if (tail - FHead.load(std::memory_order_acquire) >= Capacity)
        {
            return false;
        }
        FEdits[tail % Capacity] = edit;
        FTail.store(tail + 1, std::memory_order_release);
        return true;
    }

    /// Consumer side: the edits as CLAP events at frame 0 of the list. An edit the list
    /// refuses stays for the next drain.
    void DrainTo(const clap_output_events_t& out) noexcept
    {
        std::uint32_t head = FHead.load(std::memory_order_relaxed);
        const std::uint32_t tail = FTail.load(std::memory_order_acquire);
        for (; head != tail; ++head)
        {
            if (!Send(FEdits[head % Capacity], out))
            {
                break;
            }
        }
        FHead.store(head, std::memory_order_release);
    }

  private:
    static bool Send(const TEdit& edit, const clap_output_events_t& out) noexcept
    {
        if (edit.Kind == ekValue)
        {
            clap_event_param_value_t event{};
            event.header = {sizeof(event), 0, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0};
            event.param_id = edit.Parameter;
            event.note_id = -1;
            event.port_index = -1;
            event.channel = -1;
            event.key = -1;
            event.value = edit.Value;
            return out.try_push(&out, &event.header);
        }
        clap_event_param_gesture_t event{};
        event.header = {sizeof(event), 0, CLAP_CORE_EVENT_SPACE_ID,
                        edit.Kind == ekBegin ? CLAP_EVENT_PARAM_GESTURE_BEGIN
                                             : CLAP_EVENT_PARAM_GESTURE_END,
                        0};
        event.param_id = edit.Parameter;
        return out.try_push(&out, &event.header);
    }

    std::array<TEdit, Capacity> FEdits{};
    std::atomic<std::uint32_t> FHead{0};
    std::atomic<std::uint32_t> FTail{0};
};
} // namespace orvo::clap
