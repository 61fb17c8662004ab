#include "platform/win32/TWin32UserFolder.h"

#include "platform/win32/uWin32Text.h"

#include <windows.h>

namespace orvo
{
std::string TWin32UserFolder::ConfigFolder() const
{
    // The variable the user's profile sets (its folder is FOLDERID_RoamingAppData); read
    // through the system, wide, so that any user name survives.
    std::wstring value(MAX_PATH, L'\0');
    DWORD length =
        GetEnvironmentVariableW(L"APPDATA", value.data(), static_cast<DWORD>(value.size()));
    if (length >= value.size())
    {
        value.resize(length);
        length =
            GetEnvironmentVariableW(L"APPDATA", value.data(), static_cast<DWORD>(value.size()));
    }
    if (length == 0 || length >= value.size())
    {
        return {};
    }
    value.resize(length);
    return win32::Utf8FromWide(value) + "\\Orvo\\";
}

bool TWin32UserFolder::MakeConfigFolder() const
{
    const std::string folder = ConfigFolder();
    if (folder.empty())
    {
        return false;
    }
    // The roaming folder itself exists with the profile; only Orvo's folder is made.
    const std::wstring wide = win32::WideFromUtf8(folder);
    if (CreateDirectoryW(wide.c_str(), nullptr) == 0 && GetLastError() != ERROR_ALREADY_EXISTS)
    {
        return false;
    }
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}
} // namespace orvo
