#include "platform/posix/TPosixModuleFile.h"

#include <climits>

#include <cstdlib>
#include <dlfcn.h>

namespace orvo
{
namespace
{
// An address inside this library, for dladdr to look up.
void ModuleAnchor()
{
}
} // namespace

std::string TPosixModuleFile::ModulePath() const
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&ModuleAnchor), &info) == 0 || info.dli_fname == nullptr)
    {
        return {};
    }
    // dli_fname is the name the module was loaded under, possibly relative to the working
    // folder at load time; make it absolute where the file can still be found.
    if (char* resolved = realpath(info.dli_fname, nullptr))
    {
        std::string path(resolved);
        std::free(resolved);
        return path;
    }
    return info.dli_fname;
}
} // namespace orvo
