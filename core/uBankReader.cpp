#include "core/uBankReader.h"

#include <algorithm>

namespace orvo
{
namespace
{
bool IsBlankOrControl(char c)
{
    return static_cast<unsigned char>(c) <= 0x20;
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsBlankOrControl(text.front()))
    {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlankOrControl(text.back()))
    {
        text.remove_suffix(1);
    }
    return text;
}

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}
} // namespace

TBankReader::TBankReader(std::string_view text)
{
    while (!text.empty())
    {
        const std::size_t end = text.find_first_of("\r\n");
        const std::string_view line = Trim(text.substr(0, end));
        if (end == std::string_view::npos)
        {
            text = {};
        }
        else
        {
            const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
            text.remove_prefix(end + (crlf ? 2 : 1));
        }

        if (line.empty() || line.front() == ';')
        {
            continue;
        }
        if (line.front() == '[' && line.back() == ']' && line.size() >= 2)
        {
            FSections.push_back({std::string(Trim(line.substr(1, line.size() - 2))), {}});
            continue;
        }
        if (FSections.empty())
        {
            continue;
        }
        const std::size_t equals = line.find('=');
        const std::string_view key = Trim(line.substr(0, equals));
        const std::string_view value =
            equals == std::string_view::npos ? std::string_view() : Trim(line.substr(equals + 1));
        FSections.back().Keys.emplace_back(std::string(key), std::string(value));
    }
}

std::optional<std::string_view> TBankReader::Value(std::string_view section,
                                                   std::string_view key) const
{
    const auto found = std::find_if(FSections.begin(), FSections.end(),
                                    [&](const TSection& s) { return SameName(s.Name, section); });
    if (found == FSections.end())
    {
        return std::nullopt;
    }
    for (const auto& [name, value] : found->Keys)
    {
        if (SameName(name, key))
        {
            return std::string_view(value);
        }
    }
    return std::nullopt;
}
} // namespace orvo
