// The module that holds this code: the plug-in DLL when linked into it (not the host's
// executable, which GetModuleHandle(nullptr) would give), the program itself otherwise.
#pragma once

#include <string>
#include <windows.h>

namespace orvo::win32
{
/// The handle of the module containing this library, found by an address inside it. The
/// reference count is left alone: the handle is valid while the code runs.
HMODULE OwnModule() noexcept;

/// The full path of a loaded module, of any length (long paths included); empty on failure.
std::wstring ModuleFileName(HMODULE module);
} // namespace orvo::win32
