// The user's configuration folder on POSIX systems, by the XDG Base Directory rules.
#pragma once

#include "platform/IUserFolder.h"

namespace orvo
{
class TPosixUserFolder final : public IUserFolder
{
  public:
    /// "$XDG_CONFIG_HOME/Orvo/" when that variable holds an absolute path, else
    /// "$HOME/.config/Orvo/" (the home folder from the password database when HOME is unset).
    std::string ConfigFolder() const override;
    /// Missing folders are made with mode 0700, as the XDG rules ask.
    bool MakeConfigFolder() const override;
};
} // namespace orvo
