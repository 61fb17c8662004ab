// XOpenDisplay waits as long as it takes for the server's answer to the connection setup,
// and a socket that accepts a connection but never answers (a hung server) holds the host
// inside effEditOpen or instantiate for good. Before it opens a local display the editor
// asks the server itself, with a deadline.
#pragma once

#include <string_view>

namespace orvo::x11
{
/// How long a local X server may take to answer a connection setup.
constexpr int ServerAnswerTimeoutMs = 3000;

/// False when display (as DISPLAY names it) is a local display (":0", "unix:0.1") whose
/// socket takes a connection but sends no answer to a connection setup within timeoutMs.
/// True for every other display, local or not, that XOpenDisplay should try as it does
/// (remote displays are not probed: their wait stays Xlib's).
bool LocalServerAnswers(std::string_view display, int timeoutMs = ServerAnswerTimeoutMs);
} // namespace orvo::x11
