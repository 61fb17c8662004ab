// The plug-in module's own file on disk: the map file and the ".ini" name are found from it.
#pragma once

#include <string>

namespace orvo
{
class IModuleFile
{
  public:
    virtual ~IModuleFile() = default;

    /// The full path of the loaded module file ("/usr/lib/vst/Orvo.so"), or an empty text
    /// when the platform cannot tell. Any length: the caller keeps no fixed-size buffer.
    virtual std::string ModulePath() const = 0;
};
} // namespace orvo
