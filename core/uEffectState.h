// The effect's state as a host keeps it in its session: the current program, every
// parameter value and the MIDI bindings, in a versioned little-endian blob.
//
//   offset  size  field
//   0       4     magic "OrvS"
//   4       2     version (1)
//   6       2     parameter count N
//   8       4     current program (0..15)
//   12      4N    parameter values, IEEE 754 single precision, each 0..1
//   12+4N   128   the parameter each CC 0..127 drives, -1 for none (signed bytes)
//   140+4N  N     the CC last bound to each parameter, -1 for none (signed bytes)
//
// A state from a build with fewer parameters loads, the parameters it lacks taking the
// table's defaults; one with more, or with any field out of its range, is refused whole.
#pragma once

#include "core/uMidiMap.h"
#include "parameters/uParameterTable.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace orvo
{
struct TEffectState
{
    std::int32_t Program = 0;
    std::array<float, ParameterCount> Values{};
    TMidiMap Map = TMidiMap::Default();
};

std::vector<std::uint8_t> EncodeEffectState(const TEffectState& state);

/// The state the bytes hold, or none when they are no state this build can load.
std::optional<TEffectState> DecodeEffectState(std::span<const std::uint8_t> bytes) noexcept;
} // namespace orvo
