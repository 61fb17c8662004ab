// The LV2 plug-in's identity and port numbering, shared by the DSP binary and the generator
// of its description. Control port i is parameter i (0..14: the reserved parameter has no
// port); the audio and MIDI ports follow.
#pragma once

#include "parameters/uParameterTable.h"

#include <cstdint>
#include <string_view>

namespace orvo::lv2
{
constexpr std::string_view PluginUri = "urn:quorvane:orvo";
/// Factory program p is the preset PresetUriPrefix + p.
constexpr std::string_view PresetUriPrefix = "urn:quorvane:orvo:preset:";
/// The state key under which the learned MIDI bindings are saved (the map file's text).
constexpr std::string_view MidiMapStateUri = "urn:quorvane:orvo:midi-map";

/// The editor, an X11 UI embedded in the host's window.
constexpr std::string_view UiUri = "urn:quorvane:orvo:ui";

/// The DSP binary's and the UI binary's file names inside the bundle, and the bundle's
/// folder name.
constexpr std::string_view BinaryName = "Orvo.so";
constexpr std::string_view UiBinaryName = "OrvoUI.so";
constexpr std::string_view BundleName = "Orvo.lv2";

constexpr std::uint32_t ControlPortCount = prReserved;
constexpr std::uint32_t AudioInLeft = ControlPortCount;
constexpr std::uint32_t AudioInRight = AudioInLeft + 1;
constexpr std::uint32_t AudioOutLeft = AudioInRight + 1;
constexpr std::uint32_t AudioOutRight = AudioOutLeft + 1;
constexpr std::uint32_t MidiIn = AudioOutRight + 1;
constexpr std::uint32_t MidiOut = MidiIn + 1;
constexpr std::uint32_t PortCount = MidiOut + 1;

static_assert(prReserved == ParameterCount - 1, "only the last parameter has no port");
} // namespace orvo::lv2
