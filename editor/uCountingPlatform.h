// TCountingPlatform: the window system as one editor window uses it. Everything is passed on
// to the real window system; on the way, the calls of the window system into the window
// (window events, timer ticks) are counted while they run. A handler of the window can run a
// modal loop (a pop-up menu, a message box) in which the host closes the editor or even the
// effect; the window must then outlive that handler, and it learns here when the last
// running call has returned.
#pragma once

#include "platform/ui/IUIPlatform.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace orvo
{

class TCountingPlatform final : public IUIPlatform
{
  public:
    /// onIdle runs each time the last running call returns. It may destroy this object (and
    /// the window holding it): nothing of either is touched after it.
    TCountingPlatform(IUIPlatform& platform, std::function<void()> onIdle);
    ~TCountingPlatform() override;
    TCountingPlatform(const TCountingPlatform&) = delete;
    TCountingPlatform& operator=(const TCountingPlatform&) = delete;

    /// True while a call into the window runs (the user-interface thread's stack holds it).
    bool Busy() const { return FDepth > 0; }

    /// Counts a call into the window that does not come through the window system (the
    /// glue's open) for the scope's life. Its end may destroy the window.
    class TScope
    {
      public:
        explicit TScope(TCountingPlatform& platform) : FPlatform(platform) { ++FPlatform.FDepth; }
        ~TScope() { FPlatform.Leave(); }
        TScope(const TScope&) = delete;
        TScope& operator=(const TScope&) = delete;

      private:
        TCountingPlatform& FPlatform;
    };

    /// Keeps the real window system alive as long as this object: a window that outlives
    /// its glue (the effect closed from one of its modal loops) still needs it to go.
    void KeepAlive(std::shared_ptr<IUIPlatform> platform) { FOwned = std::move(platform); }

    // IUIPlatform
    std::unique_ptr<IUIWindow> CreateChildWindow(std::uintptr_t parent, const TRect& bounds,
                                                 IUIWindowListener& listener) override;
    std::unique_ptr<IUITimer> CreateTimer(std::function<void()> onTick) override;
    TPoint PointerPosition() const override { return FPlatform.PointerPosition(); }
    void MovePointer(TPoint screen) override { FPlatform.MovePointer(screen); }
    void HidePointer() override { FPlatform.HidePointer(); }
    void ShowPointer() override { FPlatform.ShowPointer(); }
    std::int32_t PopupMenu(IUIWindow* owner, const TUIMenu& menu, TPoint screen) override
    {
        return FPlatform.PopupMenu(owner, menu, screen);
    }
    /// The answer is a call into the window, counted like a window event.
    void ShowPopupMenu(IUIWindow* owner, const TUIMenu& menu, TPoint screen,
                       std::function<void(std::int32_t command)> onChosen) override;
    void ShowMessage(IUIWindow* owner, std::string_view caption, std::string_view text) override
    {
        FPlatform.ShowMessage(owner, caption, text);
    }
    IUITextRenderer& TextRenderer() override { return FPlatform.TextRenderer(); }
    double DisplayScale(std::uintptr_t parent) const override
    {
        return FPlatform.DisplayScale(parent);
    }
    std::filesystem::path UserSettingsFile() const override { return FPlatform.UserSettingsFile(); }
    void Idle() override { FPlatform.Idle(); }
    bool Lost() const override { return FPlatform.Lost(); }

    /// The window system every call is passed on to, and the shared owner of it (null when
    /// KeepAlive was never called).
    IUIPlatform& Underlying() const { return FPlatform; }
    std::shared_ptr<IUIPlatform> Owner() const { return FOwned; }

  private:
    class TCountingListener;
    void Leave();

    std::shared_ptr<IUIPlatform> FOwned;
    IUIPlatform& FPlatform;
    std::function<void()> FOnIdle;
    // One per window made; they outlive the windows, which their owners destroy first.
    std::vector<std::unique_ptr<TCountingListener>> FListeners;
    std::int32_t FDepth = 0;
};

} // namespace orvo
