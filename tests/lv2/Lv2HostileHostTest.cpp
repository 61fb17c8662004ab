// The LV2 instance under a host that gives too little room or lies about sizes: the output
// stays a well-formed sequence whatever its size, and no input atom is read past the size
// that encloses it (the sanitizer builds see any read past an exact-size buffer).
#include "tests/lv2/TLv2HostFixture.h"

#include <cstring>

namespace orvo::test
{
namespace
{
using Lv2HostileHost = TLv2HostFixture;

/// True when every event of the output sequence lies wholly within its size and the
/// sequence within capacity bytes of buffer.
bool WellFormed(const std::vector<std::uint64_t>& buffer, std::uint32_t capacity)
{
    const auto* sequence = reinterpret_cast<const LV2_Atom_Sequence*>(buffer.data());
    if (sizeof(LV2_Atom) + sequence->atom.size > capacity)
    {
        return false;
    }
    const bool whole = lv2::VisitSequence(*sequence, 0,
                                          [](const LV2_Atom_Event&, std::uint64_t)
                                          { return true; }) == sequence->atom.size;
    return whole;
}

TEST_F(Lv2HostileHost, WritesOnlyWholeThruEventsIntoSmallOutputs)
{
    auto instance = Instantiate();
    const std::vector<TMidiAt> events{{1, {0x90, 60, 100}}, {2, {0xC0, 5}}, {3, {0xB0, 7, 1}}};
    for (std::uint32_t capacity = 16; capacity <= 96; capacity += 8)
    {
        PrepareRun(events);
        auto* out = reinterpret_cast<LV2_Atom_Sequence*>(OutBuffer.data());
        out->atom.size = capacity - static_cast<std::uint32_t>(sizeof(LV2_Atom));
        instance->Run(64);
        EXPECT_TRUE(WellFormed(OutBuffer, capacity)) << capacity << " bytes";
    }
}

TEST_F(Lv2HostileHost, ReadsNoInputEventPastItsSequence)
{
    auto instance = Instantiate();
    struct TTorn
    {
        const char* What;
        std::uint32_t BodySize;     // what the event claims
        std::uint32_t SequenceSize; // what the sequence claims (its body)
    };
    const TTorn cases[] = {
        {"a body size that wraps the padding", 0xFFFFFFFFu, 8 + 16 + 8},
        {"a body past the sequence", 64, 8 + 16 + 8},
        {"a header cut by the sequence", 3, 8 + 8},
    };
    for (const TTorn& torn : cases)
    {
        // Exactly the bytes the sequence claims, so any read beyond is out of bounds.
        std::vector<std::uint8_t> input(sizeof(LV2_Atom) + torn.SequenceSize);
        auto* sequence = reinterpret_cast<LV2_Atom_Sequence*>(input.data());
        sequence->atom.type = UridMap.map(UridMap.handle, LV2_ATOM__Sequence);
        sequence->atom.size = torn.SequenceSize;
        if (torn.SequenceSize >= sizeof(LV2_Atom_Sequence_Body) + sizeof(LV2_Atom_Event))
        {
            auto* event = reinterpret_cast<LV2_Atom_Event*>(sequence + 1);
            event->time.frames = 0;
            event->body.size = torn.BodySize;
            event->body.type = MidiEvent();
        }
        instance->Connect(lv2::MidiIn, input.data());
        PrepareRun({});
        instance->Run(64);
        EXPECT_TRUE(ReceivedMidi().empty()) << torn.What;
    }
}
} // namespace
} // namespace orvo::test
