// APluginProgram: one program (preset) of the effect, a name and 16 parameter values.
#pragma once

#include "plugin/uParameterTable.h"

#include <array>
#include <atomic>
#include <string>
#include <string_view>

namespace orvo
{
class APluginProgram
{
public:
    /// Longest program name kept; longer names are cut.
    static constexpr std::size_t MaxNameLength = 50;

    /// The parameter table's defaults (0.5 for the band knobs and Tube, Tuning, InGain,
    /// OutGain; 0.0 for the mutes, OverSample and the reserved parameter); the name
    /// "Quorvane".
    APluginProgram();

    float Value(std::int32_t index) const noexcept;
    /// Stores value as given (the effect clamps before it stores). Any thread.
    void SetValue(std::int32_t index, float value) noexcept;

    const std::string& Name() const noexcept
    {
        return FName;
    }
    /// Keeps the first 50 characters. Host and editor threads only, never processing.
    void SetName(std::string_view name);

private:
    // Written by whichever thread changes a parameter (the host's, the editor's, or the
    // processing thread for a mapped MIDI controller), read by the others: each value is
    // one 32-bit float, written and read whole.
    std::array<std::atomic<float>, ParameterCount> FValues;
    std::string FName;
};
} // namespace orvo
