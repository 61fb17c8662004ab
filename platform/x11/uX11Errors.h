// Xlib reports protocol errors (a window that the host destroyed first, a parent id that is
// not a window) and the loss of a connection (the X server gone) through process-wide
// handlers whose defaults end the process. The editor's display connections are registered
// here: their errors are recorded, never fatal, and a lost connection is marked so that
// the window system stops using it; errors of every other connection (the host's) go on to
// the handlers that were installed before.
#pragma once

#include <X11/Xlib.h>

#include <mutex>

namespace orvo::x11
{
/// Routes display's errors to the recording handlers (installed with the first display).
void AdoptDisplay(Display* display);
/// Stops recording display's errors; the previous handlers come back with the last one.
/// Call after XCloseDisplay, which may still report errors.
void ReleaseDisplay(Display* display);
/// True once Xlib has reported display's connection lost (the X server went away or
/// closed it): nothing may be sent on it any more, except XCloseDisplay.
bool ConnectionLost(Display* display);

/// libXext keeps one process-wide list of the displays its extensions have seen, which it
/// changes without a lock of its own: two threads querying MIT-SHM, or one querying while
/// another closes its display, corrupt it. Every XShm* call and every XCloseDisplay of the
/// editor's connections holds this lock (a host may run editors on several threads).
std::mutex& ExtensionListLock();

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
