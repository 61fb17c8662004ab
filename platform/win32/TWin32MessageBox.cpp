#include "platform/win32/TWin32MessageBox.h"

#include "platform/win32/uWin32Text.h"

#include <windows.h>

namespace orvo
{
void TWin32MessageBox::ShowMessage(std::string_view text) const noexcept
{
    try
    {
        const std::wstring wide = win32::WideFromAnsi(text);
        MessageBoxW(nullptr, wide.c_str(), L"Orvo", MB_OK | MB_TASKMODAL | MB_SETFOREGROUND);
    }
    catch (...)
    {
        // Out of memory: the message is lost, the effect goes on.
    }
}
} // namespace orvo
