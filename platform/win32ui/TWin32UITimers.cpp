#include "platform/win32ui/TWin32UITimers.h"

namespace orvo
{

namespace
{

class TWin32UITimer final : public IUITimer
{
  public:
    TWin32UITimer(TWin32TimerHost& host, std::function<void()> onTick)
        : FHost(host), FOnTick(std::move(onTick))
    {
    }
    ~TWin32UITimer() override { Stop(); }

    bool Start(std::uint32_t interval) override
    {
        Stop();
        FId = FHost.Start(*this, interval);
        return FId != 0;
    }
    void Stop() override
    {
        if (FId != 0)
        {
            FHost.Stop(FId);
            FId = 0;
        }
    }
    void Tick()
    {
        // The handler may stop, restart or destroy this timer: the copy stays alive until
        // it returns.
        const std::function<void()> onTick = FOnTick;
        if (onTick)
        {
            onTick();
        }
    }

  private:
    TWin32TimerHost& FHost;
    std::function<void()> FOnTick;
    UINT_PTR FId = 0;
};

} // namespace

TWin32TimerHost::TWin32TimerHost()
{
    FWindow = win32::CreateTargetWindow(*this, 0, 0, 0, 0, 0, 0, HWND_MESSAGE);
}

TWin32TimerHost::~TWin32TimerHost()
{
    if (FWindow != nullptr)
    {
        win32::DetachTarget(FWindow);
        DestroyWindow(FWindow);
        win32::ReleaseClassIfUnused();
    }
}

std::unique_ptr<IUITimer> TWin32TimerHost::CreateTimer(std::function<void()> onTick)
{
    return std::make_unique<TWin32UITimer>(*this, std::move(onTick));
}

UINT_PTR TWin32TimerHost::Start(IUITimer& timer, std::uint32_t interval)
{
    if (FWindow == nullptr)
    {
        return 0;
    }
    const UINT_PTR id = FNextId;
    // Timer numbers are never 0; a 32-bit count of starts wraps only after more than a
    // year of restarts every 10 ms.
    FNextId = FNextId + 1 != 0 ? FNextId + 1 : 1;
    if (SetTimer(FWindow, id, interval == 0 ? 1 : interval, nullptr) == 0)
    {
        return 0;
    }
    FRunning[id] = &timer;
    return id;
}

void TWin32TimerHost::Stop(UINT_PTR id)
{
    if (FRunning.erase(id) != 0)
    {
        KillTimer(FWindow, id);
    }
}

LRESULT TWin32TimerHost::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER)
    {
        const auto found = FRunning.find(static_cast<UINT_PTR>(wParam));
        if (found != FRunning.end())
        {
            static_cast<TWin32UITimer*>(found->second)->Tick();
        }
        return 0;
    }
    if (message == WM_NCDESTROY)
    {
        FWindow = nullptr;
        FRunning.clear();
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace orvo
