// The commands of orvo-dib:
//   orvo-dib pack IN.png OUT.dibcmp [--no-mask]   PNG to stored block ("DIB LZH" if smaller)
//   orvo-dib unpack IN.dibcmp OUT.png              stored block to PNG (alpha = mask)
//   orvo-dib info FILE                             what a stored block holds
//   orvo-dib --version
#pragma once

#include <ostream>
#include <span>
#include <string>

namespace orvo
{

/// Runs one command; `args` excludes the program name. Returns the process exit status:
/// 0 done, 1 failed (message on `err`), 2 bad usage. `out` carries only what was asked
/// for (the usage, the version, info's report), so that a file written to standard
/// output stays whole; what pack and unpack wrote is told on `err`.
int RunDIBTool(std::span<const std::string> args, std::ostream& out, std::ostream& err);

} // namespace orvo
