// The 16 parameters: one record each (index, name, label, kind, how it is shown, the value a
// fresh program holds, the LV2 port, the MIDI controller that drives it by default). What
// each kind drives is in uParameterCurves.h; the scales that turn values into display texts
// and port values and back are in uParameterScale.h. Adding a parameter adds a record here.
#pragma once

#include "parameters/uParameterScale.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string_view>

namespace orvo
{
constexpr std::int32_t ParameterCount = 16;
constexpr std::int32_t ProgramCount = 16;
constexpr std::int32_t BandCount = 5;

/// Parameter indices (editor control tags use the same numbers).
enum TParameter : std::int32_t
{
    prLo,
    prLoMid,
    prMid,
    prHiMid,
    prHi,
    prLoMute,
    prLoMidMute,
    prMidMute,
    prHiMidMute,
    prHiMute,
    prTube,
    prTuning,
    prInGain,
    prOutGain,
    prOverSample,
    prReserved,
};

/// What a parameter drives (uParameterCurves.h): the chain and the editor go by it. Bands
/// and mutes drive the band of their position among their kind.
enum TParameterKind : std::uint8_t
{
    pkBand,     // level below the middle, transient emphasis above
    pkMute,     // a band's mute switch
    pkGain,     // InGain, OutGain: the level curve with its boost range
    pkTube,     // the Tube curve's setting, shown as -100..100 %
    pkTuning,   // crossovers moved by -1..1 octave, shown as -12..12 semitones
    pkSwitch,   // OverSample: the chain at twice the host rate
    pkReserved, // no effect, no port
};

struct TParameterInfo
{
    TParameter Index;
    std::string_view Name;
    std::string_view Label;
    TParameterKind Kind;
    /// Display text, LV2 port range and unit, marks, and the text's inverse.
    const TParameterScale* Scale;
    /// The value of a program that the factory bank did not fill.
    float Default;
    /// The LV2 control port's symbol and index (empty and NoPort: no port). Port indices are
    /// fixed: the audio and MIDI ports follow the first 15 control ports (uLv2Ports.h), so
    /// a parameter added later takes the next free index after them.
    std::string_view Symbol;
    std::int32_t Port;
    /// The MIDI controller (CC 20..35) that drives the parameter in the default map, or
    /// NoController.
    std::int32_t DefaultController;
};

constexpr std::int32_t NoPort = -1;
constexpr std::int32_t NoController = -1;

constexpr std::array<TParameterInfo, ParameterCount> ParameterInfo{{
    {prLo, "Lo", "", pkBand, &BandScale, 0.5f, "lo", 0, 20},
    {prLoMid, "LoMid", "", pkBand, &BandScale, 0.5f, "lo_mid", 1, 21},
    {prMid, "Mid", "", pkBand, &BandScale, 0.5f, "mid", 2, 22},
    {prHiMid, "HiMid", "", pkBand, &BandScale, 0.5f, "hi_mid", 3, 23},
    {prHi, "Hi", "", pkBand, &BandScale, 0.5f, "hi", 4, 24},
    {prLoMute, "LoMute", "", pkMute, &MuteScale, 0.0f, "lo_mute", 5, 25},
    {prLoMidMute, "LoMidMute", "", pkMute, &MuteScale, 0.0f, "lo_mid_mute", 6, 26},
    {prMidMute, "MidMute", "", pkMute, &MuteScale, 0.0f, "mid_mute", 7, 27},
    {prHiMidMute, "HiMidMute", "", pkMute, &MuteScale, 0.0f, "hi_mid_mute", 8, 28},
    {prHiMute, "HiMute", "", pkMute, &MuteScale, 0.0f, "hi_mute", 9, 29},
    {prTube, "Tube", "%", pkTube, &TubeScale, 0.5f, "tube", 10, 30},
    {prTuning, "Tuning", "SemiTones", pkTuning, &TuningScale, 0.5f, "tuning", 11, 31},
    {prInGain, "InGain", "dB", pkGain, &GainScale, 0.5f, "in_gain", 12, 32},
    {prOutGain, "OutGain", "dB", pkGain, &GainScale, 0.5f, "out_gain", 13, 33},
    {prOverSample, "OverSample", "", pkSwitch, &OverSampleScale, 0.0f, "oversample", 14, 34},
    {prReserved, "Reserved for Quorvane", "", pkReserved, &SilentScale, 0.0f, "", NoPort, 35},
}};

namespace detail
{
template <std::string_view TParameterInfo::*Field>
constexpr std::array<std::string_view, ParameterCount> InfoColumn()
{
    std::array<std::string_view, ParameterCount> column{};
    for (std::size_t i = 0; i < column.size(); ++i)
    {
        column[i] = ParameterInfo[i].*Field;
    }
    return column;
}
} // namespace detail

/// The names and labels of ParameterInfo, by index.
constexpr std::array<std::string_view, ParameterCount> ParameterNames =
    detail::InfoColumn<&TParameterInfo::Name>();
constexpr std::array<std::string_view, ParameterCount> ParameterLabels =
    detail::InfoColumn<&TParameterInfo::Label>();

/// Name and label of an index outside 0..15, and the display text of one from 16 on.
constexpr std::string_view UndefinedText = "undefined";

/// The bytes a parameter's name, label or display text takes in a host's buffer,
/// terminator included: the longest text ("Reserved for Quorvane", 21 characters) stays
/// whole.
constexpr std::size_t ParameterTextCapacity = 25;

constexpr bool IsParameterIndex(std::int32_t index)
{
    return index >= 0 && index < ParameterCount;
}

/// A parameter value as the effect keeps it: above 1 gives 1; negative or not a number
/// gives 0.
constexpr float ClampedParameterValue(float value)
{
    return !(value >= 0.0f) ? 0.0f : (value > 1.0f ? 1.0f : value);
}

constexpr bool IsProgramIndex(std::int32_t index)
{
    return index >= 0 && index < ProgramCount;
}

/// The record of an index in 0..15.
constexpr const TParameterInfo& InfoOf(std::int32_t index)
{
    return ParameterInfo[static_cast<std::size_t>(index)];
}

/// Each record sits at its own index.
constexpr bool RecordsInIndexOrder()
{
    for (std::int32_t i = 0; i < ParameterCount; ++i)
    {
        if (InfoOf(i).Index != i)
        {
            return false;
        }
    }
    return true;
}
static_assert(RecordsInIndexOrder());

/// Parameters of one kind show alike (PortScaleOf and MarkedValues go by kind).
constexpr bool KindsShareTheirScale()
{
    for (const TParameterInfo& a : ParameterInfo)
    {
        for (const TParameterInfo& b : ParameterInfo)
        {
            if (a.Kind == b.Kind && a.Scale != b.Scale)
            {
                return false;
            }
        }
    }
    return true;
}
static_assert(KindsShareTheirScale());

/// No controller drives two parameters by default.
constexpr bool DefaultControllersDistinct()
{
    for (std::int32_t i = 0; i < ParameterCount; ++i)
    {
        for (std::int32_t j = 0; j < i; ++j)
        {
            const std::int32_t cc = InfoOf(i).DefaultController;
            if (cc != NoController && cc == InfoOf(j).DefaultController)
            {
                return false;
            }
        }
    }
    return true;
}
static_assert(DefaultControllersDistinct());

namespace detail
{
constexpr std::array<int, ParameterCount> KindOrdinals()
{
    std::array<int, ParameterCount> ordinals{};
    for (std::int32_t index = 0; index < ParameterCount; ++index)
    {
        for (std::int32_t i = 0; i < index; ++i)
        {
            ordinals[static_cast<std::size_t>(index)] += InfoOf(i).Kind == InfoOf(index).Kind;
        }
    }
    return ordinals;
}
} // namespace detail

/// The position of index (0..15) among the parameters of its kind, in index order: for a
/// band knob or a mute switch, its band (0 "Lo" .. 4 "Hi").
constexpr int KindOrdinal(std::int32_t index)
{
    constexpr std::array<int, ParameterCount> ordinals = detail::KindOrdinals();
    return ordinals[static_cast<std::size_t>(index)];
}

/// The parameters of the given kinds, in index order; N must be their number.
template <std::size_t N>
constexpr std::array<TParameter, N> ParametersOfKinds(std::initializer_list<TParameterKind> kinds)
{
    std::array<TParameter, N> found{};
    std::size_t count = 0;
    for (const TParameterInfo& info : ParameterInfo)
    {
        for (const TParameterKind kind : kinds)
        {
            if (info.Kind == kind)
            {
                found.at(count++) = info.Index; // beyond N: not a constant expression
            }
        }
    }
    return count == N ? found : throw "N is not the number of parameters of these kinds";
}

/// The band knobs and the mute switches, by band.
constexpr std::array<TParameter, BandCount> BandParameters = ParametersOfKinds<BandCount>({pkBand});
constexpr std::array<TParameter, BandCount> MuteParameters = ParametersOfKinds<BandCount>({pkMute});

/// The band knobs' names ("Lo" .. "Hi"), which are also the bands' names.
constexpr std::array<std::string_view, BandCount> BandNames = []
{
    std::array<std::string_view, BandCount> names{};
    for (std::size_t band = 0; band < names.size(); ++band)
    {
        names[band] = InfoOf(BandParameters[band]).Name;
    }
    return names;
}();
} // namespace orvo
