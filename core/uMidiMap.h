// The CC-to-parameter map as plain tables, the map file's text and the report text.
#pragma once

#include "parameters/uParameterTable.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace orvo
{
constexpr std::int32_t MidiCcCount = 128;
constexpr std::int32_t NoBinding = -1;
/// The map file, in the module's folder.
constexpr std::string_view MidiMapFileName = "OrvoMIDI.txt";

/// CcToParam[n] is the parameter that CC n drives, or -1; ParamToCc[p] is the CC last bound
/// to parameter p, or -1.
struct TMidiMap
{
    std::array<std::int32_t, MidiCcCount> CcToParam;
    std::array<std::int32_t, ParameterCount> ParamToCc;

    /// Every CC and every parameter unbound.
    static TMidiMap Empty();
    /// Each parameter driven by its record's default controller (CC 20..35 drive 0..15).
    static TMidiMap Default();

    bool operator==(const TMidiMap&) const = default;
};

/// The map that the lines of a map file give ("20: 0" binds CC 20 to parameter 0). A line
/// without ':' is skipped; a CC part that is no integer reads as CC 0, a parameter part
/// that is no integer as -1; CCs outside 0..127 are ignored; a parameter outside 0..15
/// unbinds the CC.
TMidiMap ParseMidiMap(const std::vector<std::string>& lines);

/// The map file's lines: "n: p" for every bound CC n in ascending order.
std::vector<std::string> MidiMapLines(const TMidiMap& map);

/// The map file's text: each of MidiMapLines followed by CR LF; empty when nothing is bound.
std::string FormatMidiMap(const TMidiMap& map);

/// The text of "Show MIDI CC Config". learnParam is the parameter waiting for a CC, or -1.
std::string MidiMapReport(const TMidiMap& map, std::int32_t learnParam);
} // namespace orvo
