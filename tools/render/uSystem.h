// The few operating-system services the render tool needs besides loading modules:
// where its own executable lives, the plug-in file name, thread CPU time, and whether
// a stream is a terminal. One source file per system, chosen by CMake.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

namespace orvo
{

/// The running executable's full path (empty when the system does not say).
[[nodiscard]] std::filesystem::path ExecutablePath();
/// The file name of a plug-in module called name: "name.so" or "name.dll".
[[nodiscard]] std::string ModuleFileName(const std::string& name);
/// CPU time used by the calling thread, in seconds.
[[nodiscard]] double ThreadCpuSeconds() noexcept;
/// Whether the stream writes to a terminal (for the progress bar).
[[nodiscard]] bool IsTerminal(std::FILE* stream) noexcept;
/// Sets the environment variable name to value in this process; an empty value removes it.
void SetEnvironment(const std::string& name, const std::string& value);

} // namespace orvo
