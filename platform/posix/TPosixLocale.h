// The user's decimal separator on POSIX systems.
#pragma once

#include "platform/ILocale.h"

namespace orvo
{
class TPosixLocale final : public ILocale
{
  public:
    /// Reads LC_ALL, LC_NUMERIC and LANG from the environment (the first one set and not
    /// empty wins, as for setlocale) and asks that locale for its radix character through
    /// a private locale object, so the process's global locale is neither read nor changed.
    /// A locale that is not installed is judged by its language from a small table.
    char DecimalSeparator() const override;

    /// The separator for a locale name such as "de_DE.UTF-8"; '.' for "C", "POSIX" and
    /// names that cannot be judged.
    static char SeparatorForLocaleName(const char* name);
};
} // namespace orvo
