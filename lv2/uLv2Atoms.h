// Reading atoms that a host wrote, trusting no size it gives: every event and every property
// is checked against the size of the atom that encloses it before a byte of it is read.
#pragma once

#include <lv2/atom/atom.h>

#include <cstdint>

namespace orvo::lv2
{
/// Atoms are padded to 64 bits; in 64-bit arithmetic, so a size near 2^32 cannot wrap.
constexpr std::uint64_t PaddedAtomSize(std::uint64_t size) noexcept
{
    return (size + 7) & ~std::uint64_t{7};
}

/// The events of a sequence, from byte offset on (offsets count from the start of the
/// sequence's body): each event whose header and body lie wholly within the sequence is
/// handed to visit(event, offsetOfTheNext), which answers false to stop. A torn event ends
/// the walk. Returns the offset where the walk stopped.
template <typename TVisit>
std::uint64_t VisitSequence(const LV2_Atom_Sequence& sequence, std::uint64_t offset,
                            TVisit&& visit) noexcept
{
    const std::uint64_t size = sequence.atom.size;
    const auto* body = reinterpret_cast<const std::uint8_t*>(&sequence.body);
    if (offset < sizeof(LV2_Atom_Sequence_Body))
    {
        offset = sizeof(LV2_Atom_Sequence_Body);
    }
    while (offset + sizeof(LV2_Atom_Event) <= size)
    {
        const auto* event = reinterpret_cast<const LV2_Atom_Event*>(body + offset);
        const std::uint64_t available = size - offset - sizeof(LV2_Atom_Event);
        if (event->body.size > available)
        {
            return size;
        }
        const std::uint64_t next =
            offset + sizeof(LV2_Atom_Event) + PaddedAtomSize(event->body.size);
        if (!visit(*event, next))
        {
            return offset;
        }
        offset = next;
    }
    return offset;
}

/// The value of the object's first property key, or null when the object has none. Unlike
/// lv2_atom_object_get, which trusts each property's size, a property that does not lie
/// wholly within the object ends the search: a broken object reads nothing past its end.
inline const LV2_Atom* ObjectProperty(const LV2_Atom_Object& object, std::uint32_t key) noexcept
{
    const std::uint64_t size = object.atom.size;
    const auto* body = reinterpret_cast<const std::uint8_t*>(&object.body);
    for (std::uint64_t offset = sizeof(LV2_Atom_Object_Body);
         offset + sizeof(LV2_Atom_Property_Body) <= size;)
    {
        const auto* property = reinterpret_cast<const LV2_Atom_Property_Body*>(body + offset);
        if (property->value.size > size - offset - sizeof(LV2_Atom_Property_Body))
        {
            return nullptr;
        }
        if (property->key == key)
        {
            return &property->value;
        }
        offset += sizeof(LV2_Atom_Property_Body) + PaddedAtomSize(property->value.size);
    }
    return nullptr;
}
} // namespace orvo::lv2
