#include "platform/x11/uX11Errors.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace orvo::x11
{
namespace
{
struct TAdopted
{
    Display* Connection;
    unsigned long LastFailedRequest; // serial of the last request that failed, 0 for none
};

// Displays of several editors may be opened and closed on different host threads.
std::mutex Lock;
std::vector<TAdopted> Adopted;
XErrorHandler Previous = nullptr;

int RecordError(Display* display, XErrorEvent* error)
{
    XErrorHandler previous = nullptr;
    {
        const std::lock_guard guard(Lock);
        for (TAdopted& adopted : Adopted)
        {
            if (adopted.Connection == display)
            {
                adopted.LastFailedRequest = error->serial;
                return 0;
            }
        }
        previous = Previous;
    }
    return previous != nullptr ? previous(display, error) : 0;
}
} // namespace

void AdoptDisplay(Display* display)
{
    const std::lock_guard guard(Lock);
    if (Adopted.empty())
    {
        Previous = XSetErrorHandler(&RecordError);
    }
    Adopted.push_back(TAdopted{display, 0});
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
    }
}

TErrorTrap::TErrorTrap(Display* display) : FDisplay(display), FFirstRequest(NextRequest(display))
{
}

bool TErrorTrap::Failed()
{
    XSync(FDisplay, False);
    const std::lock_guard guard(Lock);
    for (const TAdopted& adopted : Adopted)
    {
        if (adopted.Connection == FDisplay)
        {
            return adopted.LastFailedRequest >= FFirstRequest;
        }
    }
    return false;
}
} // namespace orvo::x11
