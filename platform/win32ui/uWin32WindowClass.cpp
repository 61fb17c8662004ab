#include "platform/win32ui/uWin32WindowClass.h"

#include "platform/win32/uWin32Module.h"
#include "platform/win32/uWin32Text.h"

#include <exception>
#include <mutex>
#include <string>

namespace orvo::win32
{
namespace
{
constexpr wchar_t ClassName[] = L"OrvoEditorWindow";

// Whether the class is registered and how many of its windows exist or are being created
// (from CreateTargetWindow to WM_NCDESTROY), under a lock: a host may open editors on more
// than one thread, and one thread's last window must not unregister the class while
// another thread is creating a window of it.
std::mutex ClassLock;
bool Registered = false;
int LiveWindows = 0;
// Set by WM_NCCREATE, which arrives on the creating thread inside CreateWindowExW: a window
// that fails after it has had its WM_NCDESTROY, one that fails before it has not.
thread_local bool CreationReachedWindow = false;

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

/// Registers the class when needed and counts the window about to be created.
bool AcquireClass()
{
    const std::lock_guard lock(ClassLock);
    if (!Registered)
    {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        // Double clicks arrive as WM_xBUTTONDBLCLK and are reported as presses marked
        // ssDouble; no background brush: the editor paints every pixel itself.
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = &WindowProcedure;
        windowClass.hInstance = OwnModule();
        windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
        windowClass.lpszClassName = ClassName;
        // A class left registered by an earlier load of the module at the same address has
        // the same window procedure.
        Registered =
            RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }
    if (Registered)
    {
        ++LiveWindows;
    }
    return Registered;
}

void CountWindow(int change)
{
    const std::lock_guard lock(ClassLock);
    LiveWindows += change;
}

// A C++ exception must not unwind through the system's frames. The editor catches its own
// errors; anything that still gets here is shown to the user like them, and the host goes on.
void ReportEscapedError(HWND window, const std::exception& error) noexcept
{
    try
    {
        const std::wstring text = WideFromAnsi(error.what());
        MessageBoxW(GetAncestor(window, GA_ROOT), text.c_str(), L"Orvo", MB_OK);
    }
    catch (...)
    {
    }
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
    {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        CreationReachedWindow = true;
    }
    auto* target = reinterpret_cast<TMessageTarget*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    LRESULT result = 0;
    try
    {
        result = target != nullptr ? target->HandleMessage(window, message, wParam, lParam)
                                   : DefWindowProcW(window, message, wParam, lParam);
    }
    catch (const std::exception& error)
    {
        ReportEscapedError(window, error);
    }
    catch (...)
    {
    }
    if (message == WM_NCDESTROY)
    {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        CountWindow(-1);
    }
    return result;
}
} // namespace

HWND CreateTargetWindow(TMessageTarget& target, DWORD style, DWORD exStyle, int x, int y, int width,
                        int height, HWND parent)
{
    if (!AcquireClass())
    {
        return nullptr;
    }
    CreationReachedWindow = false;
    HWND window = CreateWindowExW(exStyle, ClassName, L"", style, x, y, width, height, parent,
                                  nullptr, OwnModule(), &target);
    if (window == nullptr)
    {
        if (!CreationReachedWindow)
        {
            CountWindow(-1);
        }
        ReleaseClassIfUnused();
    }
    return window;
}

void DetachTarget(HWND window)
{
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
}

void ReleaseClassIfUnused()
{
    const std::lock_guard lock(ClassLock);
    // The system refuses while a window of the class exists anywhere in the process.
    if (Registered && LiveWindows == 0 && UnregisterClassW(ClassName, OwnModule()) != 0)
    {
        Registered = false;
    }
}
} // namespace orvo::win32
