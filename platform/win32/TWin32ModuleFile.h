// The module's own path on Windows, asked of the loader through the module's own handle.
#pragma once

#include "platform/IModuleFile.h"

namespace orvo
{
class TWin32ModuleFile final : public IModuleFile
{
  public:
    /// The full path of the DLL that holds this code (not the host's executable), in
    /// UTF-8 with backslashes ("C:\Program Files\VSTPlugins\Orvo.dll"); of the program
    /// itself when the library is linked into one. Empty when the loader cannot tell.
    std::string ModulePath() const override;
};
} // namespace orvo
