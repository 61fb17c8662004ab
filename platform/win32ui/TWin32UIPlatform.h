// The editor's window system on Win32. Made and used on the user-interface thread (the
// thread that calls effEditOpen); it must outlive the windows and timers it makes.
#pragma once

#include "platform/ui/IUIPlatform.h"
#include "platform/win32ui/TWin32TextRenderer.h"
#include "platform/win32ui/TWin32UITimers.h"
#include "platform/win32ui/uWindowsHeader.h"

namespace orvo
{

class TWin32UIPlatform final : public IUIPlatform
{
  public:
    TWin32UIPlatform() = default;

    /// A borderless child window of parent (an HWND); a borderless pop-up window for 0.
    /// Null when parent is not a window or the system refuses.
    std::unique_ptr<IUIWindow> CreateChildWindow(std::uintptr_t parent, const TRect& bounds,
                                                 IUIWindowListener& listener) override;
    std::unique_ptr<IUITimer> CreateTimer(std::function<void()> onTick) override;

    TPoint PointerPosition() const override;
    void MovePointer(TPoint screen) override;
    void HidePointer() override;
    void ShowPointer() override;

    /// TrackPopupMenu with TPM_RETURNCMD, owned by the owner's window; 0 without an owner.
    std::int32_t PopupMenu(IUIWindow* owner, const TUIMenu& menu, TPoint screen) override;
    /// MessageBox with MB_OK and no icon, modal to the owner's top-level window.
    void ShowMessage(IUIWindow* owner, std::string_view caption, std::string_view text) override;

    IUITextRenderer& TextRenderer() override { return FText; }
    /// LOGPIXELSX of the parent's device context over 96 (the desktop's for 0).
    double DisplayScale(std::uintptr_t parent) const override;
    /// %APPDATA%\Orvo\Editor.ini.
    std::filesystem::path UserSettingsFile() const override;

  private:
    TWin32TimerHost FTimers;
    TWin32TextRenderer FText;
};

} // namespace orvo
