// The user's configuration folder on Windows: Orvo's folder in the roaming application data.
#pragma once

#include "platform/IUserFolder.h"

namespace orvo
{
class TWin32UserFolder final : public IUserFolder
{
  public:
    /// "%APPDATA%\Orvo\", or an empty text when APPDATA is not set.
    std::string ConfigFolder() const override;
    bool MakeConfigFolder() const override;
};
} // namespace orvo
