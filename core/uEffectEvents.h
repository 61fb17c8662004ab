// What the effect tells the plug-in format it runs in, and the MIDI message it passes on.
#pragma once

#include <array>
#include <cstdint>

namespace orvo
{
/// A MIDI channel message: status and two data bytes (a two-byte message leaves the last 0).
using TMidiBytes = std::array<std::uint8_t, 3>;

/// The bytes a channel message with this status takes: 2 for program change and channel
/// pressure, 3 for the other channel messages, 0 for anything that is no channel status.
constexpr std::uint32_t ChannelMessageLength(std::uint8_t status) noexcept
{
    if (status < 0x80 || status >= 0xF0)
    {
        return 0;
    }
    const auto kind = static_cast<std::uint8_t>(status & 0xF0);
    return kind == 0xC0 || kind == 0xD0 ? 2 : 3;
}

/// The effect's notifications to its format adapter, made on the processing thread while a
/// block is processed. Implementations must not block or allocate.
class IEffectOutput
{
  public:
    /// A mapped or just-learned controller has set parameter index to value (already
    /// stored): the host's own view of the parameter should follow.
    virtual void ParameterMovedByController(std::int32_t index, float value) noexcept = 0;
    /// MIDI thru: message leaves at frame of the block being processed.
    virtual void MidiThru(std::int32_t frame, const TMidiBytes& message) noexcept = 0;

  protected:
    ~IEffectOutput() = default;
};
} // namespace orvo
