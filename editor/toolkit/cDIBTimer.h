// A repeating millisecond timer component on the user-interface thread.
#pragma once

#include "editor/toolkit/cDIBComponent.h"
#include "platform/ui/IUIPlatform.h"

#include <cstdint>
#include <memory>

namespace orvo
{

class TDIBTimer : public TDIBComponent
{
  public:
    explicit TDIBTimer(IUIPlatform& platform, TDIBComponent* owner = nullptr);
    ~TDIBTimer() override;

    std::uint32_t Interval() const { return FInterval; }
    bool Enabled() const { return FEnabled; }
    const TNotifyEvent& OnTimer() const { return FOnTimer; }

    /// Setting the value already held does nothing. A new value, and any SetOnTimer, stops
    /// the timer and starts a fresh period when Interval > 0, Enabled and OnTimer is set.
    /// Throws EDIBError "Not enough timers available" (and stays disabled) when the window
    /// system has no timer left.
    void SetInterval(std::uint32_t interval);
    void SetEnabled(bool enabled);
    void SetOnTimer(TNotifyEvent onTimer);

  private:
    void UpdateTimer();
    void Tick();

    IUIPlatform& FPlatform;
    std::unique_ptr<IUITimer> FTimer;
    std::uint32_t FInterval = 1000;
    bool FEnabled = false;
    TNotifyEvent FOnTimer;
};

} // namespace orvo
