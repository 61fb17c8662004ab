#include "tools/render/uParameterValue.h"

#include "tools/render/uTextNumbers.h"
#include "tools/render/uVstHost.h"

#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace orvo
{

namespace
{

/// Points at which the parameter's display is sampled between 0 and 1.
constexpr int DisplayGridSteps = 256;
constexpr int BisectionSteps = 40;

struct TShownNumber
{
    double Number;
    std::string Unit;
};

/// The number and unit a display (plus the parameter's label) shows, when it is one.
std::optional<TShownNumber> ShownNumber(const std::string& display)
{
    std::string text(Trim(display));
    for (char& c : text)
    {
        if (c == ',')
        {
            c = '.'; // a display written with a comma as the decimal separator
        }
    }
    const auto parsed = LeadingNumber(text);
    if (!parsed)
    {
        return std::nullopt;
    }
    return TShownNumber{parsed->Value, std::string(Trim(parsed->Rest))};
}

bool UnitMatches(std::string_view wanted, const std::string& shown, const std::string& label)
{
    if (wanted.empty() || SameText(wanted, shown) || SameText(wanted, label))
    {
        return true;
    }
    // A prefix of the label, e.g. "semi" for "SemiTones".
    return label.size() > wanted.size() && SameText(wanted, std::string_view(label).substr(0, wanted.size()));
}

class TParameterProbe
{
public:
    TParameterProbe(TVstPlugin& plugin, std::int32_t index)
        : FPlugin(plugin), FIndex(index), FOriginal(plugin.Parameter(index))
    {
    }
    ~TParameterProbe() { FPlugin.SetParameter(FIndex, FOriginal); }
    TParameterProbe(const TParameterProbe&) = delete;
    TParameterProbe& operator=(const TParameterProbe&) = delete;

    std::string DisplayAt(float value)
    {
        FPlugin.SetParameter(FIndex, value);
        return FPlugin.ParameterDisplay(FIndex);
    }

private:
    TVstPlugin& FPlugin;
    std::int32_t FIndex;
    float FOriginal;
};

float GridValue(int step)
{
    return static_cast<float>(step) / static_cast<float>(DisplayGridSteps);
}

std::optional<float> ValueByDisplayText(TParameterProbe& probe, std::string_view text,
                                        const std::string& name)
{
    int runs = 0;
    int runStart = -1;
    int runEnd = -1;
    bool inRun = false;
    for (int step = 0; step <= DisplayGridSteps; ++step)
    {
        const bool match = SameText(Trim(probe.DisplayAt(GridValue(step))), text);
        if (match && !inRun && ++runs == 1)
        {
            runStart = step;
        }
        if (match && runs == 1)
        {
            runEnd = step;
        }
        inRun = match;
    }
    if (runs == 0)
    {
        return std::nullopt;
    }
    if (runs > 1)
    {
        throw EParameterValue("\"" + std::string(text) + "\" is shown by several separate settings of " +
                              name + "; give a normalised value from 0 to 1");
    }
    return 0.5f * (GridValue(runStart) + GridValue(runEnd));
}

float ValueByDisplayNumber(TVstPlugin& plugin, TParameterProbe& probe, std::int32_t index,
                           double target, std::string_view unit, const std::string& name,
                           std::string_view text)
{
    const std::string label = plugin.ParameterLabel(index);
    std::vector<std::optional<double>> shown(DisplayGridSteps + 1);
    double lowest = HUGE_VAL;
    double highest = -HUGE_VAL;
    for (int step = 0; step <= DisplayGridSteps; ++step)
    {
        const auto number = ShownNumber(probe.DisplayAt(GridValue(step)));
        if (number && UnitMatches(unit, number->Unit, label))
        {
            shown[static_cast<std::size_t>(step)] = number->Number;
            lowest = std::min(lowest, number->Number);
            highest = std::max(highest, number->Number);
        }
    }

    // Grid intervals whose two ends enclose the target; neighbouring ones that meet at a
    // grid point showing the target exactly count once.
    std::vector<int> brackets;
    for (int step = 0; step < DisplayGridSteps; ++step)
    {
        const auto& a = shown[static_cast<std::size_t>(step)];
        const auto& b = shown[static_cast<std::size_t>(step) + 1];
        if (!a || !b || target < std::min(*a, *b) || target > std::max(*a, *b))
        {
            continue;
        }
        if (!brackets.empty() && brackets.back() == step - 1 && *a == target)
        {
            continue;
        }
        brackets.push_back(step);
    }
    if (brackets.empty())
    {
        if (lowest > highest)
        {
            throw EParameterValue("cannot set " + name + " to \"" + std::string(text) +
                                  "\": it shows no number in that unit");
        }
        throw EParameterValue("cannot set " + name + " to \"" + std::string(text) +
                              "\": it shows " + FormatNumber(lowest) + " to " +
                              FormatNumber(highest) + (label.empty() ? "" : " " + label));
    }
    if (brackets.size() > 1)
    {
        throw EParameterValue("\"" + std::string(text) + "\" is shown by several separate settings of " +
                              name + "; give a normalised value from 0 to 1");
    }

    // Bisection inside the bracket; the display is monotonic there.
    float low = GridValue(brackets.front());
    float high = GridValue(brackets.front() + 1);
    const double atLow = *shown[static_cast<std::size_t>(brackets.front())];
    const bool rising = *shown[static_cast<std::size_t>(brackets.front()) + 1] >= atLow;
    for (int i = 0; i < BisectionSteps; ++i)
    {
        const float middle = 0.5f * (low + high);
        const auto number = ShownNumber(probe.DisplayAt(middle));
        const bool belowTarget = number && (rising ? number->Number < target : number->Number > target);
        (belowTarget ? low : high) = middle;
    }
    // The display is rounded; take the end whose display is nearer the target.
    const auto distance = [&](float value) {
        const auto number = ShownNumber(probe.DisplayAt(value));
        return number ? std::fabs(number->Number - target) : HUGE_VAL;
    };
    return distance(high) <= distance(low) ? high : low;
}

} // namespace

std::int32_t ResolveParameter(TVstPlugin& plugin, std::string_view nameOrIndex)
{
    const std::int32_t byName = plugin.FindParameter(Trim(nameOrIndex));
    if (byName >= 0)
    {
        return byName;
    }
    const auto index = WholeInteger(nameOrIndex);
    if (index && *index >= 0 && *index < plugin.NumParameters())
    {
        return static_cast<std::int32_t>(*index);
    }
    std::string names;
    for (std::int32_t i = 0; i < plugin.NumParameters(); ++i)
    {
        names += (i == 0 ? "" : ", ") + plugin.ParameterName(i);
    }
    throw EParameterValue("unknown parameter \"" + std::string(nameOrIndex) + "\" (" +
                          (names.empty() ? "the plug-in has no parameters" : "parameters: " + names) + ")");
}

float ResolveParameterValue(TVstPlugin& plugin, std::int32_t index, std::string_view text)
{
    const std::string name = plugin.ParameterName(index);
    text = Trim(text);
    const auto plain = WholeNumber(text);
    if (plain && *plain >= 0.0 && *plain <= 1.0 && text.front() != '+' && text.front() != '-')
    {
        return static_cast<float>(*plain);
    }

    TParameterProbe probe(plugin, index);
    if (!plain)
    {
        if (const auto value = ValueByDisplayText(probe, text, name))
        {
            return *value;
        }
        for (const auto& [word, value] : {std::pair{"on", 1.0f}, {"yes", 1.0f}, {"true", 1.0f},
                                          {"off", 0.0f}, {"no", 0.0f}, {"false", 0.0f}})
        {
            if (SameText(text, word))
            {
                return value;
            }
        }
    }
    const auto number = LeadingNumber(text);
    if (!number)
    {
        throw EParameterValue("cannot set " + name + " to \"" + std::string(text) +
                              "\": not a number, and " + name + " never shows that text");
    }
    return ValueByDisplayNumber(plugin, probe, index, number->Value, Trim(number->Rest), name,
                                text);
}

std::int32_t ResolveProgram(TVstPlugin& plugin, std::string_view numberOrName)
{
    numberOrName = Trim(numberOrName);
    const auto number = WholeInteger(numberOrName);
    if (number)
    {
        if (*number >= 0 && *number < plugin.NumPrograms())
        {
            return static_cast<std::int32_t>(*number);
        }
        throw EParameterValue("no program " + std::string(numberOrName) + " (the plug-in has " +
                              std::to_string(plugin.NumPrograms()) + ", numbered from 0)");
    }
    std::string names;
    for (std::int32_t i = 0; i < plugin.NumPrograms(); ++i)
    {
        const std::string name = plugin.ProgramNameIndexed(i);
        if (SameText(name, numberOrName))
        {
            return i;
        }
        names += (i == 0 ? "" : ", ") + name;
    }
    throw EParameterValue("unknown program \"" + std::string(numberOrName) + "\" (" +
                          (names.empty() ? "the plug-in has no programs" : "programs: " + names) + ")");
}

} // namespace orvo
