// The headless window system, for tests and for rendering pictures. Time stands still
// until a test advances the virtual clock; timers then fire in order of their due time
// (ties in the order they were started), each followed by the paints it caused.
// The platform must outlive the windows and timers it creates.
#pragma once

#include "platform/headless/HeadlessTextRenderer.h"
#include "platform/headless/HeadlessWindow.h"
#include "platform/ui/IUIPlatform.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace orvo
{

struct THeadlessMenuRecord
{
    TUIMenu Menu;
    TPoint Screen;
};

struct THeadlessMessageRecord
{
    std::string Caption;
    std::string Text;
};

class THeadlessPlatform : public IUIPlatform
{
  public:
    using TMenuAnswerer = std::function<std::int32_t(const TUIMenu& menu, TPoint screen)>;
    using TMessageAnswerer = std::function<void(const THeadlessMessageRecord& message)>;

    THeadlessPlatform();
    ~THeadlessPlatform() override;

    // IUIPlatform
    std::unique_ptr<IUIWindow> CreateChildWindow(std::uintptr_t parent, const TRect& bounds,
                                                 IUIWindowListener& listener) override;
    std::unique_ptr<IUITimer> CreateTimer(std::function<void()> onTick) override;
    TPoint PointerPosition() const override { return FPointer; }
    void MovePointer(TPoint screen) override;
    void HidePointer() override { --FPointerShowCount; }
    void ShowPointer() override { ++FPointerShowCount; }
    std::int32_t PopupMenu(IUIWindow* owner, const TUIMenu& menu, TPoint screen) override;
    void ShowMessage(IUIWindow* owner, std::string_view caption, std::string_view text) override;
    IUITextRenderer& TextRenderer() override { return FText; }
    double DisplayScale(std::uintptr_t) const override { return FDisplayScale; }
    /// None unless a test names one.
    std::filesystem::path UserSettingsFile() const override { return SettingsFile; }
    std::filesystem::path SettingsFile;

    /// What DisplayScale answers (default 1.0), as a display's dots per inch would say.
    void SetDisplayScale(double scale) { FDisplayScale = scale; }

    // The virtual clock, in milliseconds since the platform was made.
    std::uint64_t Now() const { return FNow; }
    /// Moves the clock forward, firing every timer that falls due on the way.
    void Advance(std::uint64_t milliseconds);
    /// Delivers the pending paints of every window.
    void DeliverPaints();
    /// At most this many timers may run at once (default: no limit).
    void SetTimerLimit(std::size_t limit) { FTimerLimit = limit; }
    std::size_t RunningTimers() const;

    // Input state: modifier keys (ssShift, ssCtrl, ssAlt) reported with every event.
    void SetModifiers(TShiftState modifiers) { FModifiers = modifiers; }
    TShiftState Modifiers() const { return FModifiers; }
    TShiftState HeldButtons() const { return FButtons; }
    void SetHeldButtons(TShiftState buttons) { FButtons = buttons; }

    // The pointer model.
    bool PointerVisible() const { return FPointerShowCount >= 0; }
    void SetPointerFromInput(TPoint screen) { FPointer = screen; }

    // Menus: an answerer decides, else the next queued caption path ({"MIDI", "MIDI Learn"})
    // is looked up, else the menu is dismissed (0). Every shown menu is recorded.
    void SetMenuAnswerer(TMenuAnswerer answerer) { FMenuAnswerer = std::move(answerer); }
    void QueueMenuAnswer(std::vector<std::string> captionPath);
    const std::vector<THeadlessMenuRecord>& ShownMenus() const { return FShownMenus; }

    /// Every message box is recorded, then the answerer (if any) runs inside the call, as
    /// the user's OK would come from inside the box's modal loop.
    void SetMessageAnswerer(TMessageAnswerer answerer) { FMessageAnswerer = std::move(answerer); }
    const std::vector<THeadlessMessageRecord>& Messages() const { return FMessages; }

    /// Where client point 0, 0 of a window whose bounds start at 0, 0 lies on the screen.
    TPoint ParentScreenOrigin = TPoint{100, 100};

    // Used by the headless windows and timers.
    std::vector<THeadlessWindow*>& Windows() { return FWindows; }
    THeadlessWindow* LastWindow() const { return FWindows.empty() ? nullptr : FWindows.back(); }
    bool StartTimer(std::uint64_t id, std::uint32_t interval);
    void StopTimer(std::uint64_t id);
    void ForgetTimer(std::uint64_t id);

  private:
    struct TTimerEntry
    {
        std::function<void()> OnTick;
        std::uint32_t Interval = 0;
        bool Running = false;
        std::uint64_t Due = 0;
        std::uint64_t Order = 0; // start order among timers with the same due time
    };

    THeadlessTextRenderer FText;
    double FDisplayScale = 1.0;
    std::uint64_t FNow = 0;
    std::map<std::uint64_t, TTimerEntry> FTimers;
    std::uint64_t FNextTimerId = 1;
    std::uint64_t FNextOrder = 0;
    std::size_t FTimerLimit = static_cast<std::size_t>(-1);
    std::vector<THeadlessWindow*> FWindows;
    std::uintptr_t FNextHandle = 0x1000;
    TShiftState FModifiers = ssNone;
    TShiftState FButtons = ssNone;
    TPoint FPointer;
    std::int32_t FPointerShowCount = 0;
    TMenuAnswerer FMenuAnswerer;
    std::deque<std::vector<std::string>> FMenuAnswers;
    std::vector<THeadlessMenuRecord> FShownMenus;
    TMessageAnswerer FMessageAnswerer;
    std::vector<THeadlessMessageRecord> FMessages;

    friend class THeadlessWindow;
};

} // namespace orvo
