// Who the CLAP plug-in is: the names a host files it under. The id stays the same across
// versions, so that sessions and presets find the plug-in again.
#pragma once

namespace orvo::clap
{
inline constexpr char PluginId[] = "com.quorvane.orvo";
inline constexpr char PluginName[] = "Orvo";
inline constexpr char VendorName[] = "Quorvane";
} // namespace orvo::clap
