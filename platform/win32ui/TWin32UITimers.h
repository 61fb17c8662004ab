// Millisecond timers through SetTimer on one hidden message-only window, so that every tick
// arrives as WM_TIMER through the user-interface thread's own message loop (the host's).
// Each start takes a fresh timer number: a WM_TIMER of an old period that was already
// queued when the timer was stopped or restarted is recognised and dropped, so no tick
// arrives after Stop returns. The system rounds periods below 10 ms up to 10 ms.
#pragma once

#include "platform/ui/IUITimer.h"
#include "platform/win32ui/uWin32WindowClass.h"
#include "platform/win32ui/uWindowsHeader.h"

#include <functional>
#include <map>
#include <memory>

namespace orvo
{

class TWin32TimerHost final : private win32::TMessageTarget
{
  public:
    /// Creates the hidden window on the calling thread, which must be the user-interface
    /// thread. Without it (Valid false) every timer fails to start.
    TWin32TimerHost();
    ~TWin32TimerHost();
    TWin32TimerHost(const TWin32TimerHost&) = delete;
    TWin32TimerHost& operator=(const TWin32TimerHost&) = delete;

    bool Valid() const { return FWindow != nullptr; }
    /// A stopped timer; the host must outlive it.
    std::unique_ptr<IUITimer> CreateTimer(std::function<void()> onTick);

    /// Used by the timers: start a period (false when the system has no timer left) and stop.
    UINT_PTR Start(IUITimer& timer, std::uint32_t interval);
    void Stop(UINT_PTR id);

  private:
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    HWND FWindow = nullptr;
    UINT_PTR FNextId = 1;
    std::map<UINT_PTR, IUITimer*> FRunning;
};

} // namespace orvo
