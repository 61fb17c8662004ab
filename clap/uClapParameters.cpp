#include "clap/uClapParameters.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>

#include "parameters/uParameterMapping.h"
#include "parameters/uParameterTable.h"

namespace orvo::clap
{
namespace
{
/// The indices of the records a host sees, in index order.
struct TClapParameters
{
    std::array<std::int32_t, ParameterCount> Indices{};
    std::uint32_t Count = 0;
};

constexpr TClapParameters ClapParameters = []
{
    TClapParameters parameters;
    for (const TParameterInfo& info : ParameterInfo)
    {
        if (info.Kind != pkReserved)
        {
            parameters.Indices[parameters.Count++] = info.Index;
        }
    }
    return parameters;
}();

/// A display text split into its number (if it starts with one) and what follows it.
struct TShown
{
    std::optional<double> Number;
    std::string Rest;
};

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
    {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ')
    {
        text.remove_suffix(1);
    }
    return text;
}

TShown Split(std::string_view text)
{
    std::string plain(Trimmed(text));
    std::replace(plain.begin(), plain.end(), ',', '.'); // either decimal sign
    double number = 0.0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), number);
    if (error != std::errc{} || end == plain.data())
    {
        return {std::nullopt, plain};
    }
    return {number, std::string(Trimmed(std::string_view(end, plain.data() + plain.size() - end)))};
}

TShown ShownAt(std::int32_t index, float x)
{
    return Split(DisplayText(index, x, '.').value_or(""));
}

/// The normalised value whose display reads as text: a word the display shows at one of
/// the marks, or a number followed by what the display writes after it there (a unit typed
/// as its first letters counts: "%" for "%TD"). The number is found by halving the stretch
/// of normalised floats between the grid points whose display has that unit, where it
/// rises with x; a number beyond the stretch gives its end.
std::optional<float> ReadDisplay(std::int32_t index, std::string_view text)
{
    const TShown typed = Split(text);
    const std::span<const float> marks = MarkedValues(InfoOf(index).Kind);
    for (const float mark : marks)
    {
        if (Trimmed(DisplayText(index, mark, '.').value_or("")) == Trimmed(text))
        {
            return mark;
        }
    }
    if (!typed.Number)
    {
        return std::nullopt;
    }
    constexpr int GridSteps = 256;
    const auto unitFits = [&](float x)
    {
        const TShown shown = ShownAt(index, x);
        return shown.Number.has_value() &&
               shown.Rest.compare(0, typed.Rest.size(), typed.Rest) == 0;
    };
    int first = -1;
    int last = -1;
    for (int step = 0; step <= GridSteps; ++step)
    {
        if (unitFits(static_cast<float>(step) / GridSteps))
        {
            first = first < 0 ? step : first;
            last = step;
        }
        else if (first >= 0)
        {
            break;
        }
    }
    if (first < 0)
    {
        return std::nullopt;
    }
    // Bisection over the floats' bit patterns, which order as the floats do for x >= 0, from
    // the grid point before the stretch (where the unit does not fit yet) to its last one:
    // the smallest x whose number is not below the one typed.
    const auto fits = [&](std::uint32_t bits)
    {
        const float x = std::bit_cast<float>(bits);
        const TShown shown = ShownAt(index, x);
        return unitFits(x) && *shown.Number >= *typed.Number - 0.005;
    };
    auto low = std::bit_cast<std::uint32_t>(static_cast<float>(std::max(first - 1, 0)) / GridSteps);
    auto high = std::bit_cast<std::uint32_t>(static_cast<float>(last) / GridSteps);
    if (!fits(high))
    {
        return std::bit_cast<float>(high); // beyond the stretch's largest number
    }
    while (low < high)
    {
        const std::uint32_t middle = low + (high - low) / 2;
        if (fits(middle))
        {
            high = middle;
        }
        else
        {
            low = middle + 1;
        }
    }
    return std::bit_cast<float>(low);
}

template <std::size_t N> void CopyText(char (&target)[N], std::string_view text)
{
    const std::size_t count = std::min(text.size(), N - 1);
    std::memcpy(target, text.data(), count);
    target[count] = '\0';
}
} // namespace

std::uint32_t ClapParameterCount() noexcept
{
    return ClapParameters.Count;
}

std::optional<std::int32_t> ParameterOfId(clap_id id) noexcept
{
    if (id >= static_cast<clap_id>(ParameterCount) ||
        InfoOf(static_cast<std::int32_t>(id)).Kind == pkReserved)
    {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(id);
}

bool DescribeParameter(std::uint32_t position, clap_param_info_t& info) noexcept
{
    if (position >= ClapParameters.Count)
    {
        return false;
    }
    const TParameterInfo& record = InfoOf(ClapParameters.Indices[position]);
    const TPortScale scale = PortScaleOf(record.Kind);
    info = {};
    info.id = static_cast<clap_id>(record.Index);
    info.flags = CLAP_PARAM_IS_AUTOMATABLE | (scale.Toggled ? CLAP_PARAM_IS_STEPPED : 0U);
    info.cookie = nullptr;
    CopyText(info.name, record.Name);
    CopyText(info.module, "");
    info.min_value = scale.Minimum;
    info.max_value = scale.Maximum;
    info.default_value = ClapValue(record.Index, record.Default);
    return true;
}

double ClapValue(std::int32_t index, float normalised) noexcept
{
    return static_cast<double>(PortValue(index, normalised));
}

float NormalisedValueOf(std::int32_t index, double clapValue) noexcept
{
    return NormalisedValue(index, static_cast<float>(clapValue));
}

std::string ClapValueText(std::int32_t index, double clapValue, char separator)
{
    std::string text =
        DisplayText(index, NormalisedValueOf(index, clapValue), separator).value_or("");
    if (const std::string_view label = InfoOf(index).Label; !label.empty())
    {
        text.append(" ").append(label);
    }
    return text;
}

std::optional<double> ClapValueOfText(std::int32_t index, std::string_view text)
{
    // The label ClapValueText adds, and the blank before it, are left out before the
    // display's own text is read back.
    if (const std::string_view label = InfoOf(index).Label;
        !label.empty() && text.size() >= label.size() &&
        text.substr(text.size() - label.size()) == label)
    {
        text.remove_suffix(label.size());
        while (!text.empty() && text.back() == ' ')
        {
            text.remove_suffix(1);
        }
    }
    const std::optional<float> normalised = ReadDisplay(index, text);
    if (!normalised)
    {
        return std::nullopt;
    }
    // Neighbouring normalised values can share one plain value (a float in the port's unit),
    // which then shows as one of them: where the display changes between them, the next
    // plain value up is the one that shows what was read.
    const std::optional<std::string> wanted = DisplayText(index, *normalised, '.');
    float x = *normalised;
    for (int step = 0; step < 256 && x < 1.0f; ++step)
    {
        if (DisplayText(index, NormalisedValueOf(index, ClapValue(index, x)), '.') == wanted)
        {
            break;
        }
        x = std::nextafter(x, 1.0f);
    }
    return ClapValue(index, x);
}
} // namespace orvo::clap
