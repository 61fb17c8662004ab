// Small text files on Windows, through the wide-character file functions.
#pragma once

#include "platform/IFileSystem.h"

namespace orvo
{
/// Paths are UTF-8 (as TWin32ModuleFile gives them); long paths work where the system
/// allows them.
class TWin32FileSystem final : public IFileSystem
{
  public:
    bool FileExists(const std::string& path) const override;
    bool DeleteFile(const std::string& path) const override;
    bool ReadLines(const std::string& path, std::vector<std::string>& lines) const override;
    bool WriteFileAtomically(const std::string& path, std::string_view text) const override;
};
} // namespace orvo
