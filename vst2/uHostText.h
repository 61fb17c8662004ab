// The one bounded copy of a text into a host's buffer, used by every text opcode.
#pragma once

#include <cstddef>
#include <string_view>

namespace orvo
{

/// Copies text into destination, cut to capacity - 1 characters, and zero-terminates it.
/// capacity is the buffer's size in bytes, terminator included. Never writes past it;
/// writes nothing when destination is null or capacity is 0. Returns the characters copied.
std::size_t copyHostText(char* destination, std::string_view text, std::size_t capacity) noexcept;

} // namespace orvo
