// orvo-lv2-ttl [--ui] FOLDER: writes the LV2 bundle's description into FOLDER: manifest.ttl,
// the plug-in's ports (Orvo.ttl), the 16 factory programs as presets (presets.ttl) and, with
// --ui, the editor's description (OrvoUI.ttl), named by the plug-in. Every
// port comes from the parameter table, and every preset from the effect itself: an
// instance loads the factory bank as the module does, each program is selected, and its
// values pass through the table's port mapping.
#include "core/uOrvoEffect.h"
#include "core/uPresetLabels.h"
#include "lv2/uLv2Ports.h"
#include "parameters/uParameterMapping.h"
#include "platform/headless/HeadlessServices.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "uOrvoVersion.h"

namespace orvo::lv2
{
namespace
{
constexpr std::string_view Prefixes = R"(@prefix atom: <http://lv2plug.in/ns/ext/atom#> .
@prefix doap: <http://usefulinc.com/ns/doap#> .
@prefix foaf: <http://xmlns.com/foaf/0.1/> .
@prefix lv2: <http://lv2plug.in/ns/lv2core#> .
@prefix midi: <http://lv2plug.in/ns/ext/midi#> .
@prefix pset: <http://lv2plug.in/ns/ext/presets#> .
@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .
@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .
@prefix state: <http://lv2plug.in/ns/ext/state#> .
@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .
@prefix units: <http://lv2plug.in/ns/extensions/units#> .
@prefix urid: <http://lv2plug.in/ns/ext/urid#> .

)";

struct TProgram
{
    std::string Name;
    std::vector<float> Values;
};

/// Preset names keep the 24 characters a VST 2 host shows of a program name, so that both
/// formats list the factory programs alike.
constexpr std::size_t PresetNameLength = 24;

/// The factory programs as the effect holds them after loading its bank.
std::vector<TProgram> FactoryPrograms()
{
    static const THeadlessServices headless;
    const TPluginServices services{headless.ModuleFile, headless.Resources, headless.FileSystem,
                                   headless.Locale, headless.MessageBox};
    TOrvoEffect effect(services, nullptr);
    std::vector<TProgram> programs;
    for (std::int32_t p = 0; p < ProgramCount; ++p)
    {
        effect.SetProgram(p);
        TProgram program{effect.ProgramName(p).substr(0, PresetNameLength), {}};
        for (std::int32_t i = 0; i < ParameterCount; ++i)
        {
            program.Values.push_back(effect.Parameter(i));
        }
        programs.push_back(std::move(program));
    }
    return programs;
}

/// A Turtle decimal: the shortest text that reads back as the same float, with a point.
std::string Number(float value)
{
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
    std::string number(text, result.ptr);
    if (number.find('.') == std::string::npos)
    {
        number += ".0";
    }
    return number;
}

/// A preset's port value: the shortest decimal that the plug-in reads back as exactly the
/// program's value x, so that hosts show "-7.68" where the port value itself is the float
/// nearest -7.6800013.
std::string PresetValue(std::int32_t index, float x)
{
    const float exact = PortValue(index, x);
    char text[64];
    for (int decimals = 0; decimals <= 9; ++decimals)
    {
        const auto result =
            std::to_chars(text, text + sizeof text, exact, std::chars_format::fixed, decimals);
        float read = 0.0f;
        std::from_chars(text, result.ptr, read);
        if (NormalisedValue(index, read) == x)
        {
            std::string number(text, result.ptr);
            return number.find('.') == std::string::npos ? number + ".0" : number;
        }
    }
    return Number(exact);
}

std::string Quoted(std::string_view text)
{
    std::string quoted = "\"";
    for (const char c : text)
    {
        if (c == '"' || c == '\\')
        {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + '"';
}

// Appended piece by piece: GCC 12 at -O3 warns (-Wrestrict) about "<" + std::string(...).
std::string Uri(std::string_view uri)
{
    std::string text;
    text.reserve(uri.size() + 2);
    text += '<';
    text += uri;
    text += '>';
    return text;
}

std::string PresetUri(std::int32_t program)
{
    std::string uri(PresetUriPrefix);
    uri += std::to_string(program);
    return Uri(uri);
}

std::string Manifest(bool withUi)
{
    std::ostringstream out;
    out << Prefixes;
    out << Uri(PluginUri) << "\n    a lv2:Plugin ;\n    lv2:binary <" << BinaryName
        << "> ;\n    rdfs:seeAlso <Orvo.ttl> .\n";
    if (withUi)
    {
        out << "\n"
            << Uri(UiUri) << "\n    a ui:X11UI ;\n    lv2:binary <" << UiBinaryName
            << "> ;\n    rdfs:seeAlso <OrvoUI.ttl> .\n";
    }
    for (std::int32_t p = 0; p < ProgramCount; ++p)
    {
        out << "\n"
            << PresetUri(p) << "\n    a pset:Preset ;\n    lv2:appliesTo " << Uri(PluginUri)
            << " ;\n    rdfs:seeAlso <presets.ttl> .\n";
    }
    return out.str();
}

void ControlPort(std::ostream& out, std::int32_t index, float programZeroValue)
{
    const TParameterInfo& info = InfoOf(index);
    const TPortScale scale = info.Scale->Port;
    out << "    [\n        a lv2:InputPort , lv2:ControlPort ;\n"
        << "        lv2:index " << info.Port << " ;\n"
        << "        lv2:symbol " << Quoted(info.Symbol) << " ;\n"
        << "        lv2:name " << Quoted(info.Name) << " ;\n"
        << "        lv2:default " << Number(PortValue(index, programZeroValue)) << " ;\n"
        << "        lv2:minimum " << Number(scale.Minimum) << " ;\n"
        << "        lv2:maximum " << Number(scale.Maximum) << " ;\n";
    if (!scale.Unit.empty())
    {
        out << "        units:unit units:" << scale.Unit << " ;\n";
    }
    if (scale.Toggled)
    {
        out << "        lv2:portProperty lv2:toggled ;\n";
    }
    const auto marks = info.Scale->Marks;
    for (std::size_t m = 0; m < marks.size(); ++m)
    {
        out << (m == 0 ? "        lv2:scalePoint " : " ,\n            ") << "[ rdfs:label "
            << Quoted(MarkText(index, marks[m])) << " ; rdf:value "
            << Number(PortValue(index, marks[m])) << " ]";
    }
    out << (marks.empty() ? "" : " ;\n") << "    ] ,\n";
}

void SignalPort(std::ostream& out, std::uint32_t index, bool input, bool audio,
                std::string_view symbol, std::string_view name, bool last)
{
    out << "    [\n        a lv2:" << (input ? "InputPort" : "OutputPort") << " , "
        << (audio ? "lv2:AudioPort" : "atom:AtomPort") << " ;\n";
    if (!audio)
    {
        // Beside MIDI, the UI's MIDI menu commands (in) and the instance's replies (out).
        out << "        atom:bufferType atom:Sequence ;\n"
            << "        atom:supports midi:MidiEvent , atom:Object ;\n"
            << "        lv2:portProperty lv2:connectionOptional ;\n";
        if (input)
        {
            out << "        lv2:designation lv2:control ;\n";
        }
    }
    out << "        lv2:index " << index << " ;\n"
        << "        lv2:symbol " << Quoted(symbol) << " ;\n"
        << "        lv2:name " << Quoted(name) << " ;\n    ]" << (last ? " .\n" : " ,\n");
}

/// The editor: an X11 UI embedded through ui:parent and pumped through the idle interface,
/// told of what the instance writes to the MIDI output (its replies to the MIDI menu).
std::string UiDescription()
{
    std::ostringstream out;
    out << Prefixes;
    out << Uri(UiUri) << "\n"
        << "    a ui:X11UI ;\n"
        << "    lv2:requiredFeature ui:idleInterface , ui:parent ;\n"
        << "    lv2:optionalFeature ui:resize , ui:touch , ui:noUserResize , urid:map ;\n"
        << "    lv2:extensionData ui:idleInterface ;\n"
        << "    ui:portNotification [\n"
        << "        ui:plugin " << Uri(PluginUri) << " ;\n"
        << "        ui:portIndex " << MidiOut << " ;\n"
        << "        ui:protocol atom:eventTransfer\n"
        << "    ] .\n";
    return out.str();
}

std::string Description(const TProgram& programZero, bool withUi)
{
    std::ostringstream out;
    out << Prefixes;
    out << Uri(PluginUri) << "\n"
        << "    a lv2:Plugin , lv2:EQPlugin , doap:Project ;\n"
        << "    doap:name \"Orvo\" ;\n"
        << "    doap:maintainer [ foaf:name \"Quorvane\" ] ;\n"
        << "    lv2:minorVersion " << OrvoVersionMinor << " ;\n"
        << "    lv2:microVersion " << OrvoVersionPatch << " ;\n"
        << "    lv2:optionalFeature lv2:hardRTCapable , urid:map ;\n"
        << "    lv2:extensionData state:interface ;\n";
    if (withUi)
    {
        out << "    ui:ui " << Uri(UiUri) << " ;\n";
    }
    out << "    lv2:port\n";
    for (const TParameterInfo& info : ParameterInfo)
    {
        if (info.Port != NoPort)
        {
            ControlPort(out, info.Index, programZero.Values[static_cast<std::size_t>(info.Index)]);
        }
    }
    SignalPort(out, AudioInLeft, true, true, "in_l", "Input #1", false);
    SignalPort(out, AudioInRight, true, true, "in_r", "Input #2", false);
    SignalPort(out, AudioOutLeft, false, true, "out_l", "Output #1", false);
    SignalPort(out, AudioOutRight, false, true, "out_r", "Output #2", false);
    SignalPort(out, MidiIn, true, false, "midi_in", "MIDI In", false);
    SignalPort(out, MidiOut, false, false, "midi_out", "MIDI Out (thru)", true);
    return out.str();
}

std::string Presets(const std::vector<TProgram>& programs)
{
    std::ostringstream out;
    out << Prefixes;
    std::vector<std::string> names;
    for (const TProgram& program : programs)
    {
        names.push_back(program.Name);
    }
    const std::vector<std::string> labels = UniquePresetLabels(names);
    for (std::int32_t p = 0; p < static_cast<std::int32_t>(programs.size()); ++p)
    {
        const TProgram& program = programs[static_cast<std::size_t>(p)];
        out << PresetUri(p) << "\n    a pset:Preset ;\n    lv2:appliesTo " << Uri(PluginUri)
            << " ;\n    rdfs:label " << Quoted(labels[static_cast<std::size_t>(p)])
            << " ;\n    lv2:port";
        const char* separator = " [\n";
        for (const TParameterInfo& info : ParameterInfo)
        {
            if (info.Port == NoPort)
            {
                continue;
            }
            const float value = program.Values[static_cast<std::size_t>(info.Index)];
            out << separator << "        lv2:symbol " << Quoted(info.Symbol)
                << " ;\n        pset:value " << PresetValue(info.Index, value) << "\n    ]";
            separator = " , [\n";
        }
        out << " .\n\n";
    }
    return out.str();
}

bool WriteFile(const std::filesystem::path& path, const std::string& text)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    return static_cast<bool>(file.flush());
}
} // namespace
} // namespace orvo::lv2

int main(int argc, char** argv)
{
    using namespace orvo::lv2;
    const bool withUi = argc == 3 && std::string_view(argv[1]) == "--ui";
    if (argc != (withUi ? 3 : 2))
    {
        std::cerr << "usage: orvo-lv2-ttl [--ui] FOLDER\n";
        return 2;
    }
    try
    {
        const std::filesystem::path folder(argv[withUi ? 2 : 1]);
        std::filesystem::create_directories(folder);
        const auto programs = FactoryPrograms();
        if (!WriteFile(folder / "manifest.ttl", Manifest(withUi)) ||
            !WriteFile(folder / "Orvo.ttl", Description(programs.front(), withUi)) ||
            !WriteFile(folder / "presets.ttl", Presets(programs)) ||
            (withUi && !WriteFile(folder / "OrvoUI.ttl", UiDescription())))
        {
            std::cerr << "orvo-lv2-ttl: cannot write into " << folder << "\n";
            return 1;
        }
    }
    catch (const std::exception& error)
    {
        std::cerr << "orvo-lv2-ttl: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
