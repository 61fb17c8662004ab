#include "platform/x11/uX11Errors.h"

#include <algorithm>
#include <vector>

namespace orvo::x11
{
namespace
{
struct TAdopted
{
    Display* Connection;
    unsigned long LastFailedRequest; // serial of the last request that failed, 0 for none
    bool Lost;                       // Xlib reported the connection lost
};

// Displays of several editors may be opened and closed on different host threads.
std::mutex Lock;
std::vector<TAdopted> Adopted;
XErrorHandler Previous = nullptr;
XIOErrorHandler PreviousIO = nullptr;

TAdopted* Find(Display* display)
{
    const auto found =
        std::find_if(Adopted.begin(), Adopted.end(),
                     [display](const TAdopted& a) { return a.Connection == display; });
    return found != Adopted.end() ? &*found : nullptr;
}

int RecordError(Display* display, XErrorEvent* error)
{
    XErrorHandler previous = nullptr;
    {
        const std::lock_guard guard(Lock);
        if (TAdopted* adopted = Find(display))
        {
            adopted->LastFailedRequest = error->serial;
            return 0;
        }
        previous = Previous;
    }
    return previous != nullptr ? previous(display, error) : 0;
}

// Xlib calls this when a connection breaks. For the editor's connections it only marks the
// loss and returns; Xlib then calls the connection's exit handler (KeepProcess), which
// returns too, and the call that found the loss returns with nothing read. For any other
// connection the previous handler decides (Xlib's own ends the process).
int RecordConnectionLoss(Display* display)
{
    XIOErrorHandler previous = nullptr;
    {
        const std::lock_guard guard(Lock);
        if (TAdopted* adopted = Find(display))
        {
            adopted->Lost = true;
            return 0;
        }
        previous = PreviousIO;
    }
    return previous != nullptr ? previous(display) : 0;
}

#ifdef ORVO_HAVE_IO_ERROR_EXIT_HANDLER
void KeepProcess(Display*, void*)
{
}
#endif
} // namespace

void AdoptDisplay(Display* display)
{
    const std::lock_guard guard(Lock);
    if (Adopted.empty())
    {
        Previous = XSetErrorHandler(&RecordError);
        PreviousIO = XSetIOErrorHandler(&RecordConnectionLoss);
    }
    Adopted.push_back(TAdopted{display, 0, false});
#ifdef ORVO_HAVE_IO_ERROR_EXIT_HANDLER
    // Without it (libX11 before 1.8) Xlib ends the process after any IO error handler.
    XSetIOErrorExitHandler(display, &KeepProcess, nullptr);
#endif
}

void ReleaseDisplay(Display* display)
{
    const std::lock_guard guard(Lock);
    std::erase_if(Adopted, [display](const TAdopted& a) { return a.Connection == display; });
    if (Adopted.empty())
    {
        // A handler that someone installed over ours stays; ours gives way to the one before.
        const XErrorHandler current = XSetErrorHandler(Previous);
        if (current != &RecordError)
        {
            XSetErrorHandler(current);
        }
        Previous = nullptr;
        const XIOErrorHandler currentIO = XSetIOErrorHandler(PreviousIO);
        if (currentIO != &RecordConnectionLoss)
        {
            XSetIOErrorHandler(currentIO);
        }
        PreviousIO = nullptr;
    }
}

bool ConnectionLost(Display* display)
{
    const std::lock_guard guard(Lock);
    const TAdopted* adopted = Find(display);
    return adopted != nullptr && adopted->Lost;
}

std::mutex& ExtensionListLock()
{
    static std::mutex lock;
    return lock;
}

TErrorTrap::TErrorTrap(Display* display) : FDisplay(display), FFirstRequest(NextRequest(display))
{
}

bool TErrorTrap::Failed()
{
    XSync(FDisplay, False);
    const std::lock_guard guard(Lock);
    const TAdopted* adopted = Find(FDisplay);
    return adopted != nullptr && (adopted->Lost || adopted->LastFailedRequest >= FFirstRequest);
}
} // namespace orvo::x11
