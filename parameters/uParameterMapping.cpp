#include "parameters/uParameterMapping.h"

#include "parameters/uNumberText.h"
#include "parameters/uParameterCurves.h"

#include <array>
#include <cmath>

namespace orvo
{
namespace
{
constexpr std::array<float, 7> BandMarks{0.0f, 0.25f, 0.5f, 0.625f, 0.75f, 0.875f, 1.0f};
constexpr std::array<float, 5> GainMarks{0.0f, 0.25f, 0.5f, 0.75f, 1.0f};
constexpr std::array<float, 5> TuningMarks{0.0f, 0.25f, 0.5f, 0.75f, 1.0f};
constexpr std::array<float, 3> TubeMarks{0.0f, 0.5f, 1.0f};
constexpr std::array<float, 2> SwitchMarks{0.0f, 1.0f};

std::string DecibelText(float gain, char separator)
{
    return FormatFixed2(20.0 * std::log10(static_cast<double>(gain)), separator);
}

/// The decibels of the level curve at x, boost range included, in 64-bit steps.
double LevelDecibels(float x)
{
    return LevelDecibelSteps(static_cast<double>(x));
}

/// The inverse of PortValue before rounding to the nearest normalised float.
double RawNormalised(TParameterKind kind, double v)
{
    switch (kind)
    {
    case pkGain:
        if (v > 0.0)
        {
            return 0.5 + v / 12.0;
        }
        if (v >= -24.0)
        {
            return 0.5 + v / 96.0;
        }
        return 0.25 + (v + 24.0) / 288.0;
    case pkTube:
        return (v + 100.0) / 200.0;
    case pkTuning:
        return (v + 12.0) / 24.0;
    case pkMute:
    case pkSwitch:
        return v >= 0.5 ? 1.0 : 0.0;
    default:
        return v;
    }
}
} // namespace

std::optional<std::string> DisplayText(std::int32_t index, float value, char separator)
{
    if (!IsParameterIndex(index))
    {
        return std::string(UndefinedText);
    }
    switch (InfoOf(index).Kind)
    {
    case pkBand:
        if (BandUsesDispersion(value))
        {
            return FormatFixed2(DispersionAmountFor(value) * 100.0, separator) + "%TD";
        }
        if (const float gain = LevelCurve(value); gain > 0.0f)
        {
            return DecibelText(gain, separator) + "dB";
        }
        return std::string("-oodB");
    case pkMute:
        return std::string(SwitchOn(value) ? "Muted" : "Open");
    case pkTube:
        return FormatFixed2(TubePercent(value), separator);
    case pkTuning:
        return FormatFixed2(TuningSemitones(value), separator);
    case pkGain:
        if (const float gain = LevelCurve(value); gain > 0.0f)
        {
            return FormatFixed2(static_cast<float>(20.0 * std::log10(static_cast<double>(gain))),
                                separator);
        }
        return std::string("   -oo  ");
    case pkSwitch:
        return std::string(SwitchOn(value) ? "Oversampling On" : "Host Rate Processing");
    case pkReserved:
        break;
    }
    return std::nullopt;
}

TPortScale PortScaleOf(TParameterKind kind)
{
    switch (kind)
    {
    case pkGain:
        return {static_cast<float>(LevelDecibels(0.0f)), static_cast<float>(LevelDecibels(1.0f)),
                "db", false};
    case pkTube:
        return {-100.0f, 100.0f, "pc", false};
    case pkTuning:
        return {-12.0f, 12.0f, "semitone12TET", false};
    case pkMute:
    case pkSwitch:
        return {0.0f, 1.0f, "", true};
    default:
        return {0.0f, 1.0f, "", false};
    }
}

namespace
{
float PortValueOf(TParameterKind kind, float x)
{
    const double v = static_cast<double>(x);
    switch (kind)
    {
    case pkGain:
        return static_cast<float>(LevelDecibels(x));
    case pkTube:
        return static_cast<float>(TubePercent(v));
    case pkTuning:
        return static_cast<float>(TuningSemitones(v));
    case pkMute:
    case pkSwitch:
        return SwitchOn(x) ? 1.0f : 0.0f;
    default:
        return x;
    }
}
} // namespace

float PortValue(std::int32_t index, float x)
{
    // + 0.0f: 0 dB at the middle comes out of the level steps as -0.0, shown as "-0".
    return PortValueOf(InfoOf(index).Kind, x) + 0.0f;
}

float NormalisedValue(std::int32_t index, float portValue)
{
    const TParameterKind kind = InfoOf(index).Kind;
    const TPortScale scale = PortScaleOf(kind);
    float v = portValue;
    if (!(v >= scale.Minimum))
    {
        v = scale.Minimum; // below the range, or not a number
    }
    else if (v > scale.Maximum)
    {
        v = scale.Maximum;
    }
    const float x = static_cast<float>(RawNormalised(kind, static_cast<double>(v)));
    // The port value was rounded to float once; of x and its neighbours, the one that
    // shows exactly this port value is the one that was meant.
    for (const float candidate : {x, std::nextafter(x, 0.0f), std::nextafter(x, 1.0f)})
    {
        if (candidate >= 0.0f && candidate <= 1.0f && PortValue(index, candidate) == v)
        {
            return candidate;
        }
    }
    return x < 0.0f ? 0.0f : (x > 1.0f ? 1.0f : x);
}

std::span<const float> MarkedValues(TParameterKind kind)
{
    switch (kind)
    {
    case pkBand:
        return BandMarks;
    case pkGain:
        return GainMarks;
    case pkTuning:
        return TuningMarks;
    case pkTube:
        return TubeMarks;
    case pkMute:
    case pkSwitch:
        return SwitchMarks;
    case pkReserved:
        break;
    }
    return {};
}

std::string MarkText(std::int32_t index, float x)
{
    std::string text = DisplayText(index, x, '.').value_or("");
    const std::size_t first = text.find_first_not_of(' ');
    const std::size_t last = text.find_last_not_of(' ');
    text = first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
    const std::string_view label = InfoOf(index).Label;
    if (!label.empty())
    {
        text += ' ';
        text += label;
    }
    return text;
}
} // namespace orvo
