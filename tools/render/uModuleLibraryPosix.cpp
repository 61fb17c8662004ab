#include "tools/render/uModuleLibrary.h"

#include <dlfcn.h>

namespace orvo
{

std::unique_ptr<TModuleLibrary> TModuleLibrary::Open(const std::filesystem::path& path,
                                                     std::string& error)
{
    // RTLD_LOCAL keeps the module's symbols out of the global namespace, so two modules
    // with clashing internal names (or the same module loaded twice) cannot interfere.
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr)
    {
        const char* reason = ::dlerror();
        error = reason != nullptr ? reason : "unknown reason";
        return nullptr;
    }
    return std::unique_ptr<TModuleLibrary>(new TModuleLibrary(handle));
}

TModuleLibrary::TModuleLibrary(void* handle) : FHandle(handle)
{
}

TModuleLibrary::~TModuleLibrary()
{
    ::dlclose(FHandle);
}

void* TModuleLibrary::Symbol(const char* name) const
{
    return ::dlsym(FHandle, name);
}

} // namespace orvo
