// The factory bank text (FactoryBank.ini), embedded into the module at build time.
#pragma once

#include <cstddef>
#include <string_view>

namespace orvo::resources
{
extern const unsigned char FactoryBankBytes[];
extern const std::size_t FactoryBankSize;

/// The bank exactly as FactoryBank.ini holds it: CR LF lines, sections "[Prog0]" to
/// "[Prog15]" with the keys "Name" and "Param0" to "Param15".
inline std::string_view FactoryBankText()
{
    return {reinterpret_cast<const char*>(FactoryBankBytes), FactoryBankSize};
}
} // namespace orvo::resources
