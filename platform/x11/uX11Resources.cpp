#include "platform/x11/uX11Resources.h"

#include <charconv>

namespace orvo::x11
{

namespace
{

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
    {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace

std::optional<double> XftDpi(std::string_view resources)
{
    constexpr std::string_view Name = "Xft.dpi";
    while (!resources.empty())
    {
        const std::size_t end = resources.find('\n');
        const std::string_view line = resources.substr(0, end);
        resources = end == std::string_view::npos ? std::string_view() : resources.substr(end + 1);
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos || TrimBlanks(line.substr(0, colon)) != Name)
        {
            continue;
        }
        const std::string_view value = TrimBlanks(line.substr(colon + 1));
        double dpi = 0.0;
        const auto [rest, error] = std::from_chars(value.data(), value.data() + value.size(), dpi);
        if (error == std::errc() && rest == value.data() + value.size() && dpi > 0.0)
        {
            return dpi;
        }
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace orvo::x11
