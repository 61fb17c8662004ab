#include "parameters/uNumberText.h"

#include <charconv>
#include <cstdint>

namespace orvo
{
std::string FormatFixed2(double value, char separator)
{
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 2);
    std::string formatted(text, result.ptr);
    for (char& c : formatted)
    {
        if (c == '.')
        {
            c = separator;
        }
    }
    return formatted;
}

std::optional<float> ParseDecimal(std::string_view text)
{
    // from_chars takes neither a leading '+' nor the words "inf" and "nan" that are no
    // decimal numbers; it also reads hexadecimal only when asked, so check the form first.
    if (!text.empty() && text.front() == '+')
    {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-')
        {
            return std::nullopt;
        }
    }
    const std::string_view digits = text.substr(!text.empty() && text.front() == '-' ? 1 : 0);
    if (digits.empty() ||
        !(digits.front() == '.' || (digits.front() >= '0' && digits.front() <= '9')))
    {
        return std::nullopt;
    }
    float value = 0.0f;
    const auto result =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size())
    {
        return std::nullopt;
    }
    return value;
}

std::optional<std::int32_t> ParseInteger(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
    {
        text.remove_prefix(1);
    }
    if (!text.empty() && text.front() == '+')
    {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-')
        {
            return std::nullopt;
        }
    }
    std::int32_t value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value, 10);
    if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size())
    {
        return std::nullopt;
    }
    return value;
}
} // namespace orvo
