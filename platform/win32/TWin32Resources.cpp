#include "platform/win32/TWin32Resources.h"

#include "platform/win32/uWin32Module.h"

namespace orvo
{
std::string_view TWin32Resources::FactoryBank() const
{
    const HMODULE module = win32::OwnModule();
    if (module == nullptr)
    {
        return {};
    }
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(FactoryBankResourceId), RT_RCDATA);
    if (found == nullptr)
    {
        return {};
    }
    const DWORD size = SizeofResource(module, found);
    HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr || size == 0)
    {
        return {};
    }
    // Resources are part of the mapped image: no copy, no release.
    return {static_cast<const char*>(bytes), size};
}
} // namespace orvo
