// An event list for driving a CLAP plug-in: the host's input list (events copied in, in time
// order, read through clap_input_events) and output list (events the plug-in pushes, copied,
// refused beyond a capacity so that a full host list can be tested).
#pragma once

#include "clap/abi/DClapProcess.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace orvo::test
{
class TClapEventList
{
  public:
    TClapEventList();
    TClapEventList(const TClapEventList&) = delete;
    TClapEventList& operator=(const TClapEventList&) = delete;

    /// Appends a copy of an event (header.size bytes); the caller keeps the time order.
    void Add(const clap_event_header_t& event);
    /// A parameter's plain value at a frame.
    void AddParamValue(std::uint32_t frame, clap_id id, double value);
    /// A MIDI message at a frame on note port 0.
    void AddMidi(std::uint32_t frame, std::uint8_t status, std::uint8_t data1, std::uint8_t data2);
    void Clear();
    /// Adds offset to the time of every event from index from on (block to signal frames).
    void ShiftTimes(std::size_t from, std::uint32_t offset);

    /// How many events the output side takes before try_push refuses (default: no limit).
    void SetCapacity(std::size_t capacity);

    std::size_t Size() const;
    const clap_event_header_t& At(std::size_t index) const;
    /// The event at index as a record of its type, or null if its type or size does not match.
    const clap_event_midi_t* MidiAt(std::size_t index) const;
    const clap_event_param_value_t* ParamValueAt(std::size_t index) const;

    const clap_input_events_t* Input() const;
    const clap_output_events_t* Output() const;

  private:
    static std::uint32_t CLAPCALL InputSize(const clap_input_events_t* list);
    static const clap_event_header_t* CLAPCALL InputGet(const clap_input_events_t* list,
                                                        std::uint32_t index);
    static bool CLAPCALL OutputPush(const clap_output_events_t* list,
                                    const clap_event_header_t* event);

    /// Events are 8-aligned copies, one after another; FOffsets says where each starts.
    std::vector<std::uint64_t> FBytes;
    std::vector<std::size_t> FOffsets;
    std::size_t FCapacity = std::numeric_limits<std::size_t>::max();
    clap_input_events_t FInput;
    clap_output_events_t FOutput;
};
} // namespace orvo::test
