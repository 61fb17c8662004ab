#include "tools/render/uModuleLibrary.h"

#include <windows.h>

namespace orvo
{

std::unique_ptr<TModuleLibrary> TModuleLibrary::Open(const std::filesystem::path& path,
                                                     std::string& error)
{
    HMODULE handle = ::LoadLibraryW(path.wstring().c_str());
    if (handle == nullptr)
    {
        error = "LoadLibrary failed with error " + std::to_string(::GetLastError());
        return nullptr;
    }
    return std::unique_ptr<TModuleLibrary>(new TModuleLibrary(reinterpret_cast<void*>(handle)));
}

TModuleLibrary::TModuleLibrary(void* handle) : FHandle(handle)
{
}

TModuleLibrary::~TModuleLibrary()
{
    ::FreeLibrary(reinterpret_cast<HMODULE>(FHandle));
}

void* TModuleLibrary::Symbol(const char* name) const
{
    return reinterpret_cast<void*>(::GetProcAddress(reinterpret_cast<HMODULE>(FHandle), name));
}

} // namespace orvo
