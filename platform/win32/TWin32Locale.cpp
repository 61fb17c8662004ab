#include "platform/win32/TWin32Locale.h"

#include <iterator>
#include <windows.h>

namespace orvo
{
char TWin32Locale::DecimalSeparator() const
{
    wchar_t symbol[8] = {};
    const int length = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, symbol,
                                       static_cast<int>(std::size(symbol)));
    // length counts the terminating zero: 2 means one character.
    if (length != 2 || symbol[0] <= L' ' || symbol[0] >= 0x7F)
    {
        return '.';
    }
    return static_cast<char>(symbol[0]);
}
} // namespace orvo
