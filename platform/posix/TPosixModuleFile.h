// The module's own path on POSIX systems, asked of the dynamic loader.
#pragma once

#include "platform/IModuleFile.h"

namespace orvo
{
class TPosixModuleFile final : public IModuleFile
{
  public:
    /// Through dladdr on a function of this library: the path of the shared object that
    /// holds it (the plug-in module), or of the program when the library is linked in.
    std::string ModulePath() const override;
};
} // namespace orvo
