// Data carried inside the module (a Windows resource, or bytes embedded at build time).
#pragma once

#include <string_view>

namespace orvo
{
class IResources
{
  public:
    virtual ~IResources() = default;

    /// The factory bank text, byte for byte as it was embedded (8-bit text, CR LF lines,
    /// possibly followed by NUL bytes). Stays valid while the module is loaded; empty when
    /// the module carries no bank.
    virtual std::string_view FactoryBank() const = 0;
};
} // namespace orvo
