#include "tools/render/uTextNumbers.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace orvo
{

namespace
{

bool IsBlank(char c) noexcept
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

char Lower(char c) noexcept
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

std::string_view Trim(std::string_view text) noexcept
{
    while (!text.empty() && IsBlank(text.front()))
    {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back()))
    {
        text.remove_suffix(1);
    }
    return text;
}

bool SameText(std::string_view a, std::string_view b) noexcept
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return Lower(x) == Lower(y); });
}

std::optional<TLeadingNumber> LeadingNumber(std::string_view text) noexcept
{
    while (!text.empty() && IsBlank(text.front()))
    {
        text.remove_prefix(1);
    }
    if (!text.empty() && text.front() == '+')
    {
        text.remove_prefix(1);
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || !std::isfinite(value))
    {
        return std::nullopt;
    }
    return TLeadingNumber{value, text.substr(static_cast<std::size_t>(end - text.data()))};
}

std::optional<double> WholeNumber(std::string_view text) noexcept
{
    const auto number = LeadingNumber(text);
    if (!number || !Trim(number->Rest).empty())
    {
        return std::nullopt;
    }
    return number->Value;
}

std::optional<std::int64_t> WholeInteger(std::string_view text) noexcept
{
    text = Trim(text);
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
    {
        return std::nullopt;
    }
    return value;
}

std::string FormatFixed(double value, int decimals)
{
    std::array<char, 64> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                            std::chars_format::fixed, decimals);
    if (error != std::errc())
    {
        return std::isnan(value) ? "nan" : (value < 0 ? "-inf" : "inf");
    }
    return std::string(buffer.data(), end);
}

std::string FormatNumber(double value, int decimals)
{
    std::string text = FormatFixed(value, decimals);
    if (text.find('.') != std::string::npos)
    {
        while (text.back() == '0')
        {
            text.pop_back();
        }
        if (text.back() == '.')
        {
            text.pop_back();
        }
    }
    return text == "-0" ? "0" : text;
}

} // namespace orvo
