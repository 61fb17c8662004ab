#include "tools/render/uParameterValue.h"

#include "parameters/uParameterMapping.h"
#include "tools/render/uTextNumbers.h"
#include "tools/render/uVstHost.h"

#include <algorithm>
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
constexpr std::string_view NormalisedPrefix = "norm:";
/// Orvo's VST 2 identity: its parameters read their texts back through the parameter table.
constexpr std::int32_t OrvoUniqueId = ('O' << 24) | ('r' << 16) | ('v' << 8) | 'o';

/// Whether the parameter is the table's own: Orvo's, under the table's name.
bool IsTableParameter(TVstPlugin& plugin, std::int32_t index)
{
    return plugin.UniqueId() == OrvoUniqueId && plugin.NumParameters() == ParameterCount &&
           plugin.ParameterName(index) == InfoOf(index).Name;
}

struct TShownNumber
{
    double Number;
    std::string Unit;
};

/// The number and unit a display shows, when it is one.
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

/// Text without blanks, for comparisons in which spacing does not count.
std::string Squeezed(std::string_view text)
{
    std::string squeezed;
    for (const char c : text)
    {
        if (c != ' ' && c != '\t')
        {
            squeezed += c;
        }
    }
    return squeezed;
}

/// Whether the unit typed matches the unit a display shows: equal to it or to the label,
/// or the start of either ("%" for "%TD", "semi" for "SemiTones"). No unit matches all.
bool UnitMatches(std::string_view wanted, const std::string& shown, const std::string& label)
{
    const auto startOf = [&](const std::string& unit)
    {
        return !unit.empty() && unit.size() >= wanted.size() &&
               SameText(wanted, std::string_view(unit).substr(0, wanted.size()));
    };
    return wanted.empty() || startOf(shown) || startOf(label);
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

/// What the parameter shows over its whole range, sampled on the grid.
struct TDisplayGrid
{
    std::vector<std::string> Texts;
    std::vector<std::optional<TShownNumber>> Numbers;
    std::string Label;

    TDisplayGrid(TVstPlugin& plugin, TParameterProbe& probe, std::int32_t index)
        : Label(plugin.ParameterLabel(index))
    {
        for (int step = 0; step <= DisplayGridSteps; ++step)
        {
            Texts.push_back(std::string(Trim(probe.DisplayAt(GridValue(step)))));
            Numbers.push_back(ShownNumber(Texts.back()));
        }
    }

    [[nodiscard]] bool ShowsNumbers() const
    {
        return std::any_of(Numbers.begin(), Numbers.end(),
                           [](const auto& n) { return n.has_value(); });
    }

    /// Whether a typed text is this display, in any spacing and letter case, with or
    /// without the unit the parameter shows beside its numbers or as its label.
    [[nodiscard]] bool Matches(std::size_t step, std::string_view typed) const
    {
        const std::string shown = Squeezed(Texts[step]);
        const std::string text = Squeezed(typed);
        if (SameText(shown, text))
        {
            return true;
        }
        for (const std::string& unit : Units())
        {
            if (SameText(shown + unit, text) || SameText(shown, text + unit))
            {
                return true;
            }
        }
        return false;
    }

    /// The units beside the numbers shown, and the label, without blanks.
    [[nodiscard]] std::vector<std::string> Units() const
    {
        std::vector<std::string> units;
        const auto add = [&](const std::string& unit)
        {
            const std::string squeezed = Squeezed(unit);
            if (!squeezed.empty() && std::find(units.begin(), units.end(), squeezed) == units.end())
            {
                units.push_back(squeezed);
            }
        };
        for (const auto& number : Numbers)
        {
            if (number)
            {
                add(number->Unit);
            }
        }
        add(Label);
        return units;
    }

    /// What the parameter can show, for messages: its texts and, per unit, the range of
    /// its numbers ("-oo dB, -24.00 to 12.00 dB, 0.00 to 100.00 %TD").
    [[nodiscard]] std::string Range() const
    {
        std::vector<std::string> parts;
        const auto add = [&](const std::string& part)
        {
            if (std::find(parts.begin(), parts.end(), part) == parts.end())
            {
                parts.push_back(part);
            }
        };
        std::size_t step = 0;
        while (step < Texts.size())
        {
            if (!Numbers[step])
            {
                add(Texts[step] + (Label.empty() ? "" : " " + Label));
                ++step;
                continue;
            }
            const std::string unit = Numbers[step]->Unit.empty() ? Label : Numbers[step]->Unit;
            double lowest = Numbers[step]->Number;
            double highest = lowest;
            while (step < Texts.size() && Numbers[step] &&
                   (Numbers[step]->Unit.empty() ? Label : Numbers[step]->Unit) == unit)
            {
                lowest = std::min(lowest, Numbers[step]->Number);
                highest = std::max(highest, Numbers[step]->Number);
                ++step;
            }
            add(FormatNumber(lowest) + " to " + FormatNumber(highest) +
                (unit.empty() ? "" : " " + unit));
        }
        std::string text;
        for (const std::string& part : parts)
        {
            text += (text.empty() ? "" : ", ") + part;
        }
        return text;
    }
};

std::optional<float> ValueByDisplayText(const TDisplayGrid& grid, std::string_view text,
                                        const std::string& name)
{
    int runs = 0;
    int runStart = -1;
    int runEnd = -1;
    bool inRun = false;
    for (int step = 0; step <= DisplayGridSteps; ++step)
    {
        const bool match = grid.Matches(static_cast<std::size_t>(step), text);
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
        throw EParameterValue("\"" + std::string(text) +
                              "\" is shown by several separate settings of " + name +
                              "; give a normalised position, e.g. " + name + "=norm:0.5");
    }
    return 0.5f * (GridValue(runStart) + GridValue(runEnd));
}

float ValueByDisplayNumber(const TDisplayGrid& grid, TParameterProbe& probe, double target,
                           std::string_view unit, const std::string& name, std::string_view text)
{
    // Grid intervals whose two ends show numbers in the same unit (one the user typed, or
    // any when none) and enclose the target; neighbouring ones that meet at a grid point
    // showing the target exactly count once.
    std::vector<std::pair<int, int>> brackets; // first and last grid step
    for (int step = 0; step < DisplayGridSteps; ++step)
    {
        const auto& a = grid.Numbers[static_cast<std::size_t>(step)];
        const auto& b = grid.Numbers[static_cast<std::size_t>(step) + 1];
        if (!a || !b || a->Unit != b->Unit || !UnitMatches(unit, a->Unit, grid.Label) ||
            target < std::min(a->Number, b->Number) || target > std::max(a->Number, b->Number))
        {
            continue;
        }
        if (!brackets.empty() && brackets.back().second == step && a->Number == target)
        {
            brackets.back().second = step + 1;
            continue;
        }
        brackets.emplace_back(step, step + 1);
    }
    if (brackets.empty())
    {
        throw EParameterValue("cannot set " + name + " to \"" + std::string(text) + "\": " + name +
                              " shows " + grid.Range());
    }
    if (brackets.size() > 1)
    {
        throw EParameterValue("\"" + std::string(text) +
                              "\" is shown by several separate settings of " + name + " (" +
                              grid.Range() + "); add the unit, or give a " +
                              "normalised position, e.g. " + name + "=norm:0.5");
    }

    // The display is monotonic inside the bracket and rounds its number: find where it
    // starts to show the target and where it stops, and take the middle, which is the
    // setting whose true value is nearest the target (0 dB, not -0.004 dB shown as -0.00).
    const auto [from, to] = brackets.front();
    const bool rising = grid.Numbers[static_cast<std::size_t>(to)]->Number >=
                        grid.Numbers[static_cast<std::size_t>(from)]->Number;
    const auto edge = [&, from = from, to = to](bool pastTarget)
    {
        float low = GridValue(from);
        float high = GridValue(to);
        for (int i = 0; i < BisectionSteps; ++i)
        {
            const float middle = 0.5f * (low + high);
            const auto number = ShownNumber(probe.DisplayAt(middle));
            const double shown = number ? number->Number : target;
            const double toward = rising ? shown - target : target - shown;
            const bool before = pastTarget ? toward <= 0.0 : toward < 0.0;
            (before ? low : high) = middle;
        }
        return high;
    };
    const float first = edge(false);
    const float last = edge(true);
    const float middle = 0.5f * (first + last);
    const auto distance = [&](float value)
    {
        const auto number = ShownNumber(probe.DisplayAt(value));
        return number ? std::fabs(number->Number - target) : HUGE_VAL;
    };
    return distance(middle) <= distance(first) ? middle : first;
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
    throw EParameterValue(
        "unknown parameter \"" + std::string(nameOrIndex) + "\" (" +
        (names.empty() ? "the plug-in has no parameters" : "parameters: " + names) + ")");
}

float ResolveParameterValue(TVstPlugin& plugin, std::int32_t index, std::string_view text)
{
    const std::string name = plugin.ParameterName(index);
    text = Trim(text);
    if (text.size() >= NormalisedPrefix.size() &&
        SameText(text.substr(0, NormalisedPrefix.size()), NormalisedPrefix))
    {
        const auto value = WholeNumber(text.substr(NormalisedPrefix.size()));
        if (!value || *value < 0.0 || *value > 1.0)
        {
            throw EParameterValue("cannot set " + name + " to \"" + std::string(text) +
                                  "\": a normalised position is a number from 0 to 1");
        }
        return static_cast<float>(*value);
    }

    // Orvo's texts read back exactly, every one its display can show; what the table does
    // not read (on/off, an out-of-range number) goes on to the search below, which also
    // words the error.
    if (IsTableParameter(plugin, index))
    {
        if (const auto value = ValueOfText(index, text))
        {
            return *value;
        }
    }

    TParameterProbe probe(plugin, index);
    const TDisplayGrid grid(plugin, probe, index);
    if (const auto value = ValueByDisplayText(grid, text, name))
    {
        return *value;
    }
    const auto plain = WholeNumber(text);
    if (!grid.ShowsNumbers())
    {
        // A switch or a choice: it shows no number a plain one could mean, so 0 and 1 are
        // its two ends, as for on and off.
        if (plain && *plain >= 0.0 && *plain <= 1.0)
        {
            return static_cast<float>(*plain);
        }
        for (const auto& [word, value] : {std::pair{"on", 1.0f},
                                          {"yes", 1.0f},
                                          {"true", 1.0f},
                                          {"off", 0.0f},
                                          {"no", 0.0f},
                                          {"false", 0.0f}})
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
        throw EParameterValue("cannot set " + name + " to \"" + std::string(text) + "\": " + name +
                              " shows " + grid.Range());
    }
    return ValueByDisplayNumber(grid, probe, number->Value, Trim(number->Rest), name, text);
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
                          (names.empty() ? "the plug-in has no programs" : "programs: " + names) +
                          ")");
}

} // namespace orvo
