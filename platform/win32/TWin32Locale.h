// The user's decimal separator on Windows.
#pragma once

#include "platform/ILocale.h"

namespace orvo
{
class TWin32Locale final : public ILocale
{
  public:
    /// The decimal symbol of the user's regional settings (LOCALE_SDECIMAL of the user's
    /// default locale), read on every call so that a change in the control panel shows at
    /// once. The C runtime's locale, which belongs to the host, is not consulted. A symbol
    /// that is not one printable ASCII character (it may be up to three) gives '.'.
    char DecimalSeparator() const override;
};
} // namespace orvo
