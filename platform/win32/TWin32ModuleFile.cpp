#include "platform/win32/TWin32ModuleFile.h"

#include "platform/win32/uWin32Module.h"
#include "platform/win32/uWin32Text.h"

namespace orvo
{
std::string TWin32ModuleFile::ModulePath() const
{
    const HMODULE module = win32::OwnModule();
    if (module == nullptr)
    {
        return {};
    }
    return win32::Utf8FromWide(win32::ModuleFileName(module));
}
} // namespace orvo
