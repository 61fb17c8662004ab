// The editor's stored images (resources/images/*.dibcmp), embedded into the module at
// build time. Each is one "DIBCMP" block as the toolkit reads it.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace orvo::resources
{
/// The stored block of the image with this name ("BackGround", "Knob", ...; "Knob@150" and
/// "Knob@200" at the larger sizes), or an empty span when the module carries no such image.
std::span<const std::uint8_t> EditorImageData(std::string_view name) noexcept;
} // namespace orvo::resources
