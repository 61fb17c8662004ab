// The X resources the editor reads from the server's resource database (the
// RESOURCE_MANAGER property that desktops and xrdb set), parsed without Xrm so that the
// answer does not depend on the process's locale.
#pragma once

#include <optional>
#include <string_view>

namespace orvo::x11
{

/// The dots per inch of "Xft.dpi: 192" among the resource lines; none when the resource is
/// missing or not a positive number.
std::optional<double> XftDpi(std::string_view resources);

} // namespace orvo::x11
