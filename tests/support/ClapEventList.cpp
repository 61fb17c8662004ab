#include "tests/support/ClapEventList.h"

#include <cstring>

namespace orvo::test
{
TClapEventList::TClapEventList() : FInput{this, &InputSize, &InputGet}, FOutput{this, &OutputPush}
{
    // Room for every event a test sends, so that the plug-in's pushes never move the list
    // while the audio path runs.
    FBytes.reserve(64 * 1024);
}

void TClapEventList::Add(const clap_event_header_t& event)
{
    const std::size_t words = (event.size + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t);
    FOffsets.push_back(FBytes.size());
    FBytes.resize(FBytes.size() + words, 0);
    std::memcpy(&FBytes[FOffsets.back()], &event, event.size);
}

void TClapEventList::AddParamValue(std::uint32_t frame, clap_id id, double value)
{
    clap_event_param_value_t event{};
    event.header = {sizeof(event), frame, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0};
    event.param_id = id;
    event.note_id = -1;
    event.port_index = -1;
    event.channel = -1;
    event.key = -1;
    event.value = value;
    Add(event.header);
}

void TClapEventList::AddMidi(std::uint32_t frame, std::uint8_t status, std::uint8_t data1,
                             std::uint8_t data2)
{
    clap_event_midi_t event{};
    event.header = {sizeof(event), frame, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_MIDI, 0};
    event.port_index = 0;
    event.data[0] = status;
    event.data[1] = data1;
    event.data[2] = data2;
    Add(event.header);
}

void TClapEventList::Clear()
{
    FBytes.clear();
    FOffsets.clear();
}

void TClapEventList::ShiftTimes(std::size_t from, std::uint32_t offset)
{
    for (std::size_t i = from; i < Size(); ++i)
    {
        reinterpret_cast<clap_event_header_t*>(&FBytes[FOffsets[i]])->time += offset;
    }
}

void TClapEventList::SetCapacity(std::size_t capacity)
{
    FCapacity = capacity;
}

std::size_t TClapEventList::Size() const
{
    return FOffsets.size();
}

const clap_event_header_t& TClapEventList::At(std::size_t index) const
{
    return *reinterpret_cast<const clap_event_header_t*>(&FBytes[FOffsets[index]]);
}

const clap_event_midi_t* TClapEventList::MidiAt(std::size_t index) const
{
    const clap_event_header_t& header = At(index);
    if (header.type != CLAP_EVENT_MIDI || header.size != sizeof(clap_event_midi_t))
    {
        return nullptr;
    }
    return reinterpret_cast<const clap_event_midi_t*>(&header);
}

const clap_event_param_value_t* TClapEventList::ParamValueAt(std::size_t index) const
{
    const clap_event_header_t& header = At(index);
    if (header.type != CLAP_EVENT_PARAM_VALUE || header.size != sizeof(clap_event_param_value_t))
    {
        return nullptr;
    }
    return reinterpret_cast<const clap_event_param_value_t*>(&header);
}

const clap_input_events_t* TClapEventList::Input() const
{
    return &FInput;
}

const clap_output_events_t* TClapEventList::Output() const
{
    return &FOutput;
}

std::uint32_t CLAPCALL TClapEventList::InputSize(const clap_input_events_t* list)
{
    return static_cast<std::uint32_t>(static_cast<TClapEventList*>(list->ctx)->Size());
}

const clap_event_header_t* CLAPCALL TClapEventList::InputGet(const clap_input_events_t* list,
                                                             std::uint32_t index)
{
    const auto* self = static_cast<TClapEventList*>(list->ctx);
    return index < self->Size() ? &self->At(index) : nullptr;
}

bool CLAPCALL TClapEventList::OutputPush(const clap_output_events_t* list,
                                         const clap_event_header_t* event)
{
    auto* self = static_cast<TClapEventList*>(list->ctx);
    if (event == nullptr || event->size < sizeof(clap_event_header_t) ||
        self->Size() >= self->FCapacity)
    {
        return false;
    }
    self->Add(*event);
    return true;
}
} // namespace orvo::test
