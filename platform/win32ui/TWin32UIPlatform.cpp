#include "platform/win32ui/TWin32UIPlatform.h"

#include "platform/win32/uWin32Text.h"
#include "platform/win32ui/TWin32UIWindow.h"

#include <vector>

namespace orvo
{

namespace
{

HWND HandleOf(const IUIWindow* window)
{
    return window != nullptr ? reinterpret_cast<HWND>(window->NativeHandle()) : nullptr;
}

// Fills menu with entries; the system's item numbers are 1, 2, ... in the order of
// commands, whatever numbers the caller chose (which may be 0 or negative), and
// commands[n - 1] is the caller's number of item n.
bool AppendEntries(HMENU menu, const std::vector<TUIMenuEntry>& entries,
                   std::vector<std::int32_t>& commands)
{
    for (const TUIMenuEntry& entry : entries)
    {
        if (entry.Caption == "-")
        {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        const std::wstring caption = win32::WideFromAnsi(entry.Caption);
        UINT flags = MF_STRING | (entry.Enabled ? MF_ENABLED : MF_GRAYED) |
                     (entry.Checked ? MF_CHECKED : MF_UNCHECKED);
        if (!entry.Items.empty())
        {
            HMENU submenu = CreatePopupMenu();
            if (submenu == nullptr || !AppendEntries(submenu, entry.Items, commands))
            {
                if (submenu != nullptr)
                {
                    DestroyMenu(submenu);
                }
                return false;
            }
            // The submenu now belongs to menu and is destroyed with it.
            if (!AppendMenuW(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(submenu),
                             caption.c_str()))
            {
                DestroyMenu(submenu);
                return false;
            }
            continue;
        }
        commands.push_back(entry.Command);
        AppendMenuW(menu, flags, static_cast<UINT_PTR>(commands.size()), caption.c_str());
    }
    return true;
}

} // namespace

std::unique_ptr<IUIWindow> TWin32UIPlatform::CreateChildWindow(std::uintptr_t parent,
                                                               const TRect& bounds,
                                                               IUIWindowListener& listener)
{
    HWND parentWindow = reinterpret_cast<HWND>(parent);
    if (parentWindow != nullptr && !IsWindow(parentWindow))
    {
        return nullptr;
    }
    auto window = std::make_unique<TWin32UIWindow>(parentWindow, bounds, listener);
    if (window->Handle() == nullptr)
    {
        return nullptr;
    }
    return window;
}

std::unique_ptr<IUITimer> TWin32UIPlatform::CreateTimer(std::function<void()> onTick)
{
    return FTimers.CreateTimer(std::move(onTick));
}

double TWin32UIPlatform::DisplayScale(std::uintptr_t parent) const
{
    // The dots per inch that count as 100 %. A process that has not declared itself
    // aware of DPI is told 96 whatever the monitor, and Windows scales its windows instead.
    constexpr double BaseDpi = 96.0;
    const HWND window = reinterpret_cast<HWND>(parent);
    const HDC context = GetDC(window);
    if (context == nullptr)
    {
        return 1.0;
    }
    const int dpi = GetDeviceCaps(context, LOGPIXELSX);
    ReleaseDC(window, context);
    return dpi > 0 ? dpi / BaseDpi : 1.0;
}

std::filesystem::path TWin32UIPlatform::UserSettingsFile() const
{
    const wchar_t* appData = _wgetenv(L"APPDATA");
    if (appData == nullptr || *appData == L'\0')
    {
        return {};
    }
    return std::filesystem::path(appData) / L"Orvo" / L"Editor.ini";
}

TPoint TWin32UIPlatform::PointerPosition() const
{
    POINT p{};
    GetCursorPos(&p);
    return TPoint{p.x, p.y};
}

void TWin32UIPlatform::MovePointer(TPoint screen)
{
    SetCursorPos(screen.X, screen.Y);
}

void TWin32UIPlatform::HidePointer()
{
    ShowCursor(FALSE);
}

void TWin32UIPlatform::ShowPointer()
{
    ShowCursor(TRUE);
}

std::int32_t TWin32UIPlatform::PopupMenu(IUIWindow* owner, const TUIMenu& menu, TPoint screen)
{
    HWND ownerWindow = HandleOf(owner);
    if (ownerWindow == nullptr || !IsWindow(ownerWindow))
    {
        return 0;
    }
    HMENU popup = CreatePopupMenu();
    if (popup == nullptr)
    {
        return 0;
    }
    std::vector<std::int32_t> commands;
    std::int32_t chosen = 0;
    if (AppendEntries(popup, menu.Items, commands))
    {
        // TPM_RETURNCMD: the chosen item comes back here instead of as WM_COMMAND;
        // TPM_NONOTIFY: no menu messages reach the owner while the menu runs.
        const BOOL item = TrackPopupMenu(
            popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY,
            screen.X, screen.Y, 0, ownerWindow, nullptr);
        if (item > 0 && static_cast<std::size_t>(item) <= commands.size())
        {
            chosen = commands[static_cast<std::size_t>(item) - 1];
        }
    }
    DestroyMenu(popup);
    return chosen;
}

void TWin32UIPlatform::ShowMessage(IUIWindow* owner, std::string_view caption,
                                   std::string_view text)
{
    HWND ownerWindow = HandleOf(owner);
    HWND root = ownerWindow != nullptr && IsWindow(ownerWindow) ? GetAncestor(ownerWindow, GA_ROOT)
                                                                : nullptr;
    const std::wstring wideText = win32::WideFromAnsi(text);
    const std::wstring wideCaption = win32::WideFromAnsi(caption);
    MessageBoxW(root, wideText.c_str(), wideCaption.c_str(),
                MB_OK | (root == nullptr ? MB_TASKMODAL : 0));
}

} // namespace orvo
