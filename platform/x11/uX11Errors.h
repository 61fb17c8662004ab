// Xlib reports protocol errors (a window that the host destroyed first, a parent id that is
// not a window) through one process-wide handler whose default ends the process. The
// editor's display connections are registered here: their errors are recorded, never
// fatal; errors of every other connection (the host's) go on to the handler that was
// installed before.
#pragma once

#include <X11/Xlib.h>

namespace orvo::x11
{
/// Routes display's errors to the recording handler (installed with the first display).
void AdoptDisplay(Display* display);
/// Stops recording display's errors; the previous handler comes back with the last one.
/// Call after XCloseDisplay, which may still report errors.
void ReleaseDisplay(Display* display);

/// Watches for errors of the requests made during its life: Failed() waits for the server
/// to answer everything sent so far and tells whether any of it failed.
class TErrorTrap
{
public:
    explicit TErrorTrap(Display* display);
    bool Failed();

private:
    Display* FDisplay;
    unsigned long FFirstRequest;
};
} // namespace orvo::x11
