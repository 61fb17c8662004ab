#include "platform/posix/TPosixLocale.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <langinfo.h>
#include <locale.h>
#include <string_view>

namespace orvo
{
namespace
{
// Languages whose usual decimal separator is a comma (ISO 639-1 codes). Used only when
// the named locale is not installed and so cannot be asked.
constexpr std::array<std::string_view, 45> CommaLanguages = {
    "af", "az", "be", "bg", "bs", "ca", "cs", "da", "de", "el", "es", "et", "eu", "fi", "fo",
    "fr", "gl", "hr", "hu", "hy", "id", "is", "it", "ka", "kk", "ky", "lt", "lv", "mk", "mn",
    "nb", "nl", "nn", "no", "pl", "pt", "ro", "ru", "sk", "sl", "sq", "sr", "sv", "tr", "uk"};

const char* LocaleNameFromEnvironment()
{
    for (const char* variable : {"LC_ALL", "LC_NUMERIC", "LANG"})
    {
        const char* value = std::getenv(variable);
        if (value != nullptr && value[0] != '\0')
        {
            return value;
        }
    }
    return nullptr;
}

char SeparatorFromTable(std::string_view name)
{
    const std::string_view language = name.substr(0, name.find_first_of("_.@"));
    const bool comma =
        std::find(CommaLanguages.begin(), CommaLanguages.end(), language) != CommaLanguages.end();
    return comma ? ',' : '.';
}
} // namespace

char TPosixLocale::SeparatorForLocaleName(const char* name)
{
    if (name == nullptr || name[0] == '\0')
    {
        return '.';
    }
    if (locale_t numeric = newlocale(LC_NUMERIC_MASK, name, static_cast<locale_t>(nullptr)))
    {
        const char* radix = nl_langinfo_l(RADIXCHAR, numeric);
        // A separator of more than one byte (a UTF-8 sign) cannot stand in 8-bit text.
        const bool single = radix != nullptr && radix[0] != '\0' && radix[1] == '\0' &&
                            static_cast<unsigned char>(radix[0]) > 0x20 &&
                            static_cast<unsigned char>(radix[0]) < 0x80;
        const char separator = single ? radix[0] : '.';
        freelocale(numeric);
        return separator;
    }
    return SeparatorFromTable(name);
}

char TPosixLocale::DecimalSeparator() const
{
    return SeparatorForLocaleName(LocaleNameFromEnvironment());
}
} // namespace orvo
