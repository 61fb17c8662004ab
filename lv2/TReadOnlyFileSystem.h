// A file system that reads through another and never writes: the LV2 instance reads the
// map file beside its binary as the bindings it starts from, but a bundle often lies in a
// read-only folder, and the host's session (the state extension) keeps learned bindings.
#pragma once

#include "platform/IFileSystem.h"

namespace orvo::lv2
{
class TReadOnlyFileSystem final : public IFileSystem
{
  public:
    explicit TReadOnlyFileSystem(const IFileSystem& inner) : FInner(inner) {}

    bool FileExists(const std::string& path) const override { return FInner.FileExists(path); }
    bool DeleteFile(const std::string& /*path*/) const override { return false; }
    bool ReadLines(const std::string& path, std::vector<std::string>& lines) const override
    {
        return FInner.ReadLines(path, lines);
    }
    bool WriteFileAtomically(const std::string& /*path*/, std::string_view /*text*/) const override
    {
        return false;
    }

  private:
    const IFileSystem& FInner;
};
} // namespace orvo::lv2
