#include "platform/win32/uWin32Module.h"

namespace orvo::win32
{
namespace
{
// An address inside this library, for the loader to look up.
const char ModuleAnchor = 0;

/// GetModuleFileNameW's limit for paths in the \\?\ long form.
constexpr DWORD LongestPath = 32768;
} // namespace

HMODULE OwnModule() noexcept
{
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&ModuleAnchor), &module))
    {
        return nullptr;
    }
    return module;
}

std::wstring ModuleFileName(HMODULE module)
{
    // The answer is cut without notice when the buffer is too small: grow until it fits.
    std::wstring path(MAX_PATH, L'\0');
    for (;;)
    {
        const DWORD size = static_cast<DWORD>(path.size());
        const DWORD length = GetModuleFileNameW(module, path.data(), size);
        if (length == 0)
        {
            return {};
        }
        if (length < size)
        {
            path.resize(length);
            return path;
        }
        if (size >= LongestPath)
        {
            return {};
        }
        path.resize(static_cast<std::size_t>(size) * 2);
    }
}
} // namespace orvo::win32
