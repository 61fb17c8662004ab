// A loaded shared library (a plug-in module) and the symbols it exports. The only part of
// the render host that differs between operating systems: dlopen on POSIX, LoadLibrary on
// Windows, one source file each, chosen by CMake.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

namespace orvo
{

class TModuleLibrary
{
  public:
    /// Loads the library at path; on failure returns null and puts the system's reason
    /// into error.
    static std::unique_ptr<TModuleLibrary> Open(const std::filesystem::path& path,
                                                std::string& error);
    ~TModuleLibrary();

    TModuleLibrary(const TModuleLibrary&) = delete;
    TModuleLibrary& operator=(const TModuleLibrary&) = delete;

    /// The address of an exported function, or null.
    [[nodiscard]] void* Symbol(const char* name) const;

  private:
    explicit TModuleLibrary(void* handle);
    void* FHandle;
};

} // namespace orvo
