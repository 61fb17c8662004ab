// A repeating millisecond timer that calls back on the user-interface thread.
#pragma once

#include <cstdint>

namespace orvo
{

class IUITimer
{
  public:
    virtual ~IUITimer() = default;

    /// Starts a fresh period of interval ms (interval > 0), stopping a running one first.
    /// Returns false when the window system has no timer left; the timer is then stopped.
    virtual bool Start(std::uint32_t interval) = 0;
    /// Stops the timer; no tick arrives after this returns. Stopping a stopped timer is fine.
    virtual void Stop() = 0;
};

} // namespace orvo
