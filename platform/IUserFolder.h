// The user's own configuration folder, where the effect keeps what it learns when the
// module's folder cannot be written (a system-wide install).
#pragma once

#include <string>

namespace orvo
{
class IUserFolder
{
  public:
    virtual ~IUserFolder() = default;

    /// The folder for Orvo's files in the user's configuration ("/home/ann/.config/Orvo/"),
    /// ending with the path separator; an empty text when the platform cannot tell.
    virtual std::string ConfigFolder() const = 0;

    /// Makes ConfigFolder() and any missing parent; true when it exists afterwards.
    virtual bool MakeConfigFolder() const = 0;
};

/// No user folder: the effect keeps its files beside the module only. The default for
/// binaries and tests that have no user to keep anything for.
class TNoUserFolder final : public IUserFolder
{
  public:
    std::string ConfigFolder() const override { return {}; }
    bool MakeConfigFolder() const override { return false; }
};

inline const IUserFolder& NoUserFolder()
{
    static const TNoUserFolder none;
    return none;
}
} // namespace orvo
