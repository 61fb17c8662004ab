// APluginProgram: one program (preset) of the effect, a name and 16 parameter values.
#pragma once

#include "parameters/uParameterTable.h"

#include <array>
#include <atomic>
#include <string_view>

namespace orvo
{
class APluginProgram
{
  public:
    /// Longest program name kept; longer names are cut.
    static constexpr std::size_t MaxNameLength = 50;
    /// A name as read: zero-terminated, at most MaxNameLength characters.
    using TName = std::array<char, MaxNameLength + 1>;

    /// The parameter table's defaults; the name "Quorvane".
    APluginProgram() noexcept;

    float Value(std::int32_t index) const noexcept;
    /// Stores value as given (the effect clamps before it stores). Any thread.
    void SetValue(std::int32_t index, float value) noexcept;

    /// Any thread. A read that meets a rename of this program on another thread may give a
    /// mix of both names, but always a terminated text of at most 50 characters.
    TName Name() const noexcept;
    /// Keeps the first 50 characters. Any thread.
    void SetName(std::string_view name) noexcept;

  private:
    // Each value is one 32-bit float and each name character one byte, written and read
    // whole, so that any thread may read a program while another changes it.
    std::array<std::atomic<float>, ParameterCount> FValues;
    std::array<std::atomic<char>, MaxNameLength + 1> FName;
};
} // namespace orvo
