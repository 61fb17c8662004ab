#include "core/uMidiMap.h"

#include "parameters/uNumberText.h"

namespace orvo
{
namespace
{
constexpr std::string_view ReportHeader = "MIDI CC -> VST Parameter Configuration\r\n\r\n";
constexpr std::string_view NothingConfigured = "No MIDI CC details configured";
} // namespace

TMidiMap TMidiMap::Empty()
{
    TMidiMap map;
    map.CcToParam.fill(NoBinding);
    map.ParamToCc.fill(NoBinding);
    return map;
}

TMidiMap TMidiMap::Default()
{
    TMidiMap map = Empty();
    for (std::int32_t i = 0; i < ParameterCount; ++i)
    {
        const std::int32_t cc = InfoOf(i).DefaultController;
        if (cc != NoController)
        {
            map.CcToParam[static_cast<std::size_t>(cc)] = i;
            map.ParamToCc[static_cast<std::size_t>(i)] = cc;
        }
    }
    return map;
}

TMidiMap ParseMidiMap(const std::vector<std::string>& lines)
{
    TMidiMap map = TMidiMap::Empty();
    for (const std::string& line : lines)
    {
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos)
        {
            continue;
        }
        const std::string_view text(line);
        const std::int32_t cc = ParseInteger(text.substr(0, colon)).value_or(0);
        const std::int32_t parameter = ParseInteger(text.substr(colon + 1)).value_or(NoBinding);
        if (cc < 0 || cc >= MidiCcCount)
        {
            continue;
        }
        if (IsParameterIndex(parameter))
        {
            map.CcToParam[static_cast<std::size_t>(cc)] = parameter;
            map.ParamToCc[static_cast<std::size_t>(parameter)] = cc;
        }
        else
        {
            map.CcToParam[static_cast<std::size_t>(cc)] = NoBinding;
        }
    }
    return map;
}

std::vector<std::string> MidiMapLines(const TMidiMap& map)
{
    std::vector<std::string> lines;
    for (std::int32_t cc = 0; cc < MidiCcCount; ++cc)
    {
        const std::int32_t parameter = map.CcToParam[static_cast<std::size_t>(cc)];
        if (parameter >= 0)
        {
            lines.push_back(std::to_string(cc) + ": " + std::to_string(parameter));
        }
    }
    return lines;
}

std::string FormatMidiMap(const TMidiMap& map)
{
    std::string text;
    for (const std::string& line : MidiMapLines(map))
    {
        text += line + "\r\n";
    }
    return text;
}

std::string MidiMapReport(const TMidiMap& map, std::int32_t learnParam)
{
    const bool learning = IsParameterIndex(learnParam);
    std::string text;
    for (std::int32_t cc = 0; cc < MidiCcCount; ++cc)
    {
        const std::int32_t parameter = map.CcToParam[static_cast<std::size_t>(cc)];
        if (!learning && IsParameterIndex(parameter))
        {
            text += std::to_string(cc) + ": ";
            text += ParameterNames[static_cast<std::size_t>(parameter)];
            text += "\r\n";
        }
        else if (learning && parameter == learnParam)
        {
            text += std::to_string(cc) + ": ";
            text += ParameterNames[static_cast<std::size_t>(parameter)];
            text += " [Learning]\r\n";
        }
    }
    if (learning)
    {
        text += text.empty() ? "Learning: " : "\r\nLearning: ";
        text += ParameterNames[static_cast<std::size_t>(learnParam)];
    }
    if (text.empty())
    {
        text = NothingConfigured;
    }
    return std::string(ReportHeader) + text;
}
} // namespace orvo
