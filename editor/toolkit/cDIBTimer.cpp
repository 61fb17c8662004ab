#include "editor/toolkit/cDIBTimer.h"

#include "editor/toolkit/EDIBError.h"

namespace orvo
{

TDIBTimer::TDIBTimer(IUIPlatform& platform, TDIBComponent* owner)
    : TDIBComponent(owner), FPlatform(platform)
{
}

TDIBTimer::~TDIBTimer()
{
    if (FTimer)
    {
        FTimer->Stop();
    }
}

void TDIBTimer::SetInterval(std::uint32_t interval)
{
    if (interval != FInterval)
    {
        FInterval = interval;
        UpdateTimer();
    }
}

void TDIBTimer::SetEnabled(bool enabled)
{
    if (enabled != FEnabled)
    {
        FEnabled = enabled;
        UpdateTimer();
    }
}

void TDIBTimer::SetOnTimer(TNotifyEvent onTimer)
{
    FOnTimer = std::move(onTimer);
    UpdateTimer();
}

void TDIBTimer::UpdateTimer()
{
    if (FTimer)
    {
        FTimer->Stop();
    }
    if (FInterval == 0 || !FEnabled || !FOnTimer)
    {
        return;
    }
    if (!FTimer)
    {
        FTimer = FPlatform.CreateTimer([this] { Tick(); });
    }
    if (!FTimer || !FTimer->Start(FInterval))
    {
        FEnabled = false;
        throw EDIBError("Not enough timers available");
    }
}

void TDIBTimer::Tick()
{
    // A handler may replace OnTimer (a hold timer that switches to its fade handler): the
    // copy keeps the running handler alive until it returns.
    const TNotifyEvent handler = FOnTimer;
    if (handler)
    {
        handler(*this);
    }
}

} // namespace orvo
