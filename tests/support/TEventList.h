// The VstEvents record a host hands to effProcessEvents, built over a list of MIDI events.
// The published record declares two event pointers; hosts allocate room for as many as
// they send, and so does this one.
#pragma once

#include "vst2/DAEffect.h"

#include <cstddef>
#include <vector>

namespace orvo::test
{
class TEventList
{
  public:
    /// Points at the events, which must outlive the list and stay where they are.
    explicit TEventList(std::vector<VstMidiEvent>& events)
        : FStorage(sizeof(VstEvents) + events.size() * sizeof(VstEvent*))
    {
        auto* list = Get();
        list->numEvents = static_cast<VstInt32>(events.size());
        VstEvent** slots = list->events;
        for (std::size_t i = 0; i < events.size(); ++i)
        {
            slots[i] = reinterpret_cast<VstEvent*>(&events[i]);
        }
    }

    VstEvents* Get() noexcept { return reinterpret_cast<VstEvents*>(FStorage.data()); }

  private:
    std::vector<char> FStorage;
};
} // namespace orvo::test
