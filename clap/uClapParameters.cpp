#include "clap/uClapParameters.h"

#include "parameters/uParameterMapping.h"
#include "parameters/uParameterTable.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

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
    const std::optional<float> normalised = ValueOfText(index, text);
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
