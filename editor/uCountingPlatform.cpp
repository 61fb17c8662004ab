#include "editor/uCountingPlatform.h"

namespace orvo
{

/// Passes a window's events on to its listener, each counted while it runs.
class TCountingPlatform::TCountingListener final : public IUIWindowListener
{
  public:
    TCountingListener(TCountingPlatform& counter, IUIWindowListener& listener)
        : FCounter(counter), FListener(listener)
    {
    }

    // The scope's end may destroy this object: each call ends with it.
    void HandlePaint(const TRect& invalid) override
    {
        const TScope scope(FCounter);
        FListener.HandlePaint(invalid);
    }
    void HandleMouseDown(const TUIMouseEvent& event) override
    {
        const TScope scope(FCounter);
        FListener.HandleMouseDown(event);
    }
    void HandleMouseMove(const TUIMouseEvent& event) override
    {
        const TScope scope(FCounter);
        FListener.HandleMouseMove(event);
    }
    void HandleMouseUp(const TUIMouseEvent& event) override
    {
        const TScope scope(FCounter);
        FListener.HandleMouseUp(event);
    }
    void HandleMouseLeave() override
    {
        const TScope scope(FCounter);
        FListener.HandleMouseLeave();
    }
    void HandleMouseWheel(const TUIWheelEvent& event) override
    {
        const TScope scope(FCounter);
        FListener.HandleMouseWheel(event);
    }

  private:
    TCountingPlatform& FCounter;
    IUIWindowListener& FListener;
};

TCountingPlatform::TCountingPlatform(IUIPlatform& platform, std::function<void()> onIdle)
    : FPlatform(platform), FOnIdle(std::move(onIdle))
{
}

TCountingPlatform::~TCountingPlatform() = default;

std::unique_ptr<IUIWindow> TCountingPlatform::CreateChildWindow(std::uintptr_t parent,
                                                                const TRect& bounds,
                                                                IUIWindowListener& listener)
{
    FListeners.push_back(std::make_unique<TCountingListener>(*this, listener));
    return FPlatform.CreateChildWindow(parent, bounds, *FListeners.back());
}

std::unique_ptr<IUITimer> TCountingPlatform::CreateTimer(std::function<void()> onTick)
{
    return FPlatform.CreateTimer(
        [this, onTick = std::move(onTick)]
        {
            const TScope scope(*this);
            onTick();
        });
}

void TCountingPlatform::ShowPopupMenu(IUIWindow* owner, const TUIMenu& menu, TPoint screen,
                                      std::function<void(std::int32_t command)> onChosen)
{
    FPlatform.ShowPopupMenu(owner, menu, screen,
                            [this, onChosen = std::move(onChosen)](std::int32_t command)
                            {
                                const TScope scope(*this);
                                onChosen(command);
                            });
}

void TCountingPlatform::Leave()
{
    if (--FDepth == 0 && FOnIdle)
    {
        // Run from a copy: the handler may destroy this object, FOnIdle with it.
        const std::function<void()> onIdle = FOnIdle;
        onIdle();
    }
}

} // namespace orvo
