// The LV2 plug-in's identity and port numbering, shared by the DSP binary and the generator
// of its description. Port indices are fixed once published (hosts save sessions by them):
// control ports 0..14 are parameters 0..14 (the reserved parameter has no port), the audio
// and MIDI ports are 15..20, and a parameter added later takes the index its record names,
// after these.
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

constexpr std::uint32_t AudioInLeft = 15;
constexpr std::uint32_t AudioInRight = 16;
constexpr std::uint32_t AudioOutLeft = 17;
constexpr std::uint32_t AudioOutRight = 18;
constexpr std::uint32_t MidiIn = 19;
constexpr std::uint32_t MidiOut = 20;

/// The parameter whose control port is port, or -1 (a signal port, or no port at all).
constexpr std::int32_t ParameterOfPort(std::uint32_t port)
{
    for (const TParameterInfo& info : ParameterInfo)
    {
        if (info.Port != NoPort && static_cast<std::uint32_t>(info.Port) == port)
        {
            return info.Index;
        }
    }
    return -1;
}

/// The number of control ports, and of all ports (one past the highest index).
constexpr std::uint32_t ControlPortCount = []
{
    std::uint32_t count = 0;
    for (const TParameterInfo& info : ParameterInfo)
    {
        count += info.Port != NoPort ? 1 : 0;
    }
    return count;
}();
constexpr std::uint32_t PortCount = []
{
    std::uint32_t count = MidiOut + 1;
    for (const TParameterInfo& info : ParameterInfo)
    {
        if (info.Port != NoPort && static_cast<std::uint32_t>(info.Port) >= count)
        {
            count = static_cast<std::uint32_t>(info.Port) + 1;
        }
    }
    return count;
}();

/// Every index below PortCount is taken once: by a signal port or by one parameter.
constexpr bool PortsDistinct()
{
    for (std::uint32_t port = 0; port < PortCount; ++port)
    {
        int owners = port >= AudioInLeft && port <= MidiOut ? 1 : 0;
        for (const TParameterInfo& info : ParameterInfo)
        {
            owners += info.Port == static_cast<std::int32_t>(port) ? 1 : 0;
        }
        if (owners != 1)
        {
            return false;
        }
    }
    return true;
}
static_assert(PortsDistinct());
} // namespace orvo::lv2
