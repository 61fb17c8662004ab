// The 16 parameters: indices, names and labels as the host and the MIDI report show them.
#pragma once

#include <array>
#include <cstdint>
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

constexpr std::array<std::string_view, ParameterCount> ParameterNames = {
    "Lo",     "LoMid",   "Mid",       "HiMid",    "Hi",      "LoMute",
    "LoMidMute", "MidMute", "HiMidMute", "HiMute", "Tube",    "Tuning",
    "InGain", "OutGain", "OverSample", "Reserved for Quorvane"};

constexpr std::array<std::string_view, ParameterCount> ParameterLabels = {
    "", "", "", "", "", "", "", "", "", "", "%", "SemiTones", "dB", "dB", "", ""};

/// Name and label of an index outside 0..15, and the display text of one from 16 on.
constexpr std::string_view UndefinedText = "undefined";

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
} // namespace orvo
