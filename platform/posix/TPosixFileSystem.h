// Small text files on POSIX systems.
#pragma once

#include "platform/IFileSystem.h"

namespace orvo
{
class TPosixFileSystem final : public IFileSystem
{
  public:
    bool FileExists(const std::string& path) const override;
    bool DeleteFile(const std::string& path) const override;
    bool ReadLines(const std::string& path, std::vector<std::string>& lines) const override;
    bool WriteFileAtomically(const std::string& path, std::string_view text) const override;
};
} // namespace orvo
