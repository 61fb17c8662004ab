// orvo-transcript: drives a module through its record and prints everything it answers
// (identity, record fields, dispatcher answers, every parameter's value and texts over a
// sweep of values, programs, MIDI thru and automation while processing, the map file it
// leaves). Built for Linux and for Windows from this one source; the wine tests
// run both against their own module and require the two transcripts to be identical.
//
//   orvo-transcript MODULE
//
// The module should sit alone in a folder: its map file is read from there at the end.
#include "tools/render/uVstHost.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace
{
using namespace orvo;

void Line(const std::string& text)
{
    std::fputs(text.c_str(), stdout);
    std::fputc('\n', stdout);
}

/// The exact bits of a float, so that the comparison sees every difference.
std::string Bits(float value)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    char text[16];
    std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(bits));
    return text;
}

/// Control characters shown as \r, \n or \xNN.
std::string Escaped(const std::string& text)
{
    std::string shown;
    for (const unsigned char c : text)
    {
        if (c == '\r')
        {
            shown += "\\r";
        }
        else if (c == '\n')
        {
            shown += "\\n";
        }
        else if (c < 0x20 || c >= 0x7F)
        {
            char code[8];
            std::snprintf(code, sizeof code, "\\x%02x", c);
            shown += code;
        }
        else
        {
            shown.push_back(static_cast<char>(c));
        }
    }
    return shown;
}

void Record(TVstPlugin& plugin)
{
    AEffect& effect = plugin.Effect();
    Line("name " + plugin.EffectName() + ", vendor " + plugin.VendorName());
    Line("record uniqueID " + std::to_string(effect.uniqueID) + " version " +
         std::to_string(effect.version) + " flags " + std::to_string(effect.flags) + " programs " +
         std::to_string(effect.numPrograms) + " params " + std::to_string(effect.numParams) +
         " in " + std::to_string(effect.numInputs) + " out " + std::to_string(effect.numOutputs) +
         " delay " + std::to_string(effect.initialDelay) + " ioRatio " + Bits(effect.ioRatio));
    for (const char* text :
         {"receiveVstEvents", "receiveVstMidiEvent", "sendVstEvents", "sendVstMidiEvent",
          "receiveVstTimeInfo", "offline", "bypass", "ReceiveVstEvents", ""})
    {
        Line(std::string("canDo '") + text + "' " + std::to_string(plugin.CanDo(text)));
    }
    // Opcodes whose arguments are plain numbers or no pointer at all.
    const VstInt32 plainOpcodes[] = {effGetProgram,
                                     effGetVu,
                                     effIdentify,
                                     effGetChunk,
                                     effCanBeAutomated,
                                     effGetNumProgramCategories,
                                     effGetPlugCategory,
                                     effGetVendorVersion,
                                     effGetTailSize,
                                     effIdle,
                                     effGetIcon,
                                     effKeysRequired,
                                     effGetVstVersion,
                                     effGetCurrentMidiProgram,
                                     effBeginSetProgram,
                                     effEndSetProgram,
                                     effStartProcess,
                                     effStopProcess,
                                     effGetNumMidiInputChannels,
                                     effGetNumMidiOutputChannels,
                                     80,
                                     -1};
    for (const VstInt32 opcode : plainOpcodes)
    {
        Line("opcode " + std::to_string(opcode) + " -> " +
             std::to_string(plugin.Dispatch(opcode, opcode == effCanBeAutomated ? 16 : 0)));
    }
    for (VstInt32 index = 0; index < 3; ++index)
    {
        for (const VstInt32 opcode : {effGetInputProperties, effGetOutputProperties})
        {
            VstPinProperties pin{};
            const VstIntPtr answer = plugin.Dispatch(opcode, index, 0, &pin);
            Line("pin " + std::to_string(opcode) + " " + std::to_string(index) + " -> " +
                 std::to_string(answer) + " '" + Escaped(pin.label) + "' " +
                 std::to_string(pin.flags));
        }
    }
}

void Parameters(TVstPlugin& plugin)
{
    const float sweep[] = {0.0f, 0.1f,  0.25f, 0.3333333f, 0.49f, 0.5f, 0.5000001f,
                           0.6f, 0.75f, 0.9f,  0.999f,     1.0f,  1.7f, -0.2f};
    for (std::int32_t i = 0; i <= plugin.NumParameters(); ++i)
    {
        Line("param " + std::to_string(i) + " '" + plugin.ParameterName(i) + "' label '" +
             plugin.ParameterLabel(i) + "'");
        for (const float value : sweep)
        {
            plugin.SetParameter(i, value);
            Line("  " + Bits(value) + " -> " + Bits(plugin.Parameter(i)) + " '" +
                 Escaped(plugin.ParameterDisplay(i)) + "'");
        }
    }
}

void Programs(TVstPlugin& plugin)
{
    for (std::int32_t p = 0; p <= plugin.NumPrograms(); ++p)
    {
        plugin.SetProgram(p);
        std::string values;
        for (std::int32_t i = 0; i < plugin.NumParameters(); ++i)
        {
            values += " " + Bits(plugin.Parameter(i));
        }
        Line("program " + std::to_string(p) + " -> " + std::to_string(plugin.Program()) + " '" +
             plugin.ProgramName() + "' indexed '" + plugin.ProgramNameIndexed(p) + "'" + values);
    }
    plugin.SetProgram(0);
}

void Midi(TVstPlugin& plugin)
{
    const std::vector<TMidiMessage> events = {
        {0, {0x90, 60, 100}},  {3, {0x93, 61, 0}},  {7, {0x81, 62, 40}}, {9, {0xA2, 63, 20}},
        {10, {0xB4, 22, 100}}, {10, {0xB0, 34, 0}}, {40, {0xC5, 7, 0}},  {41, {0xD6, 90, 0}},
        {70, {0xE1, 0, 64}},   {80, {0xF8, 0, 0}},  {90, {0xB2, 99, 1}}, {300, {0xB0, 20, 127}},
    };
    std::vector<float> left(512, 0.25f), right(512, -0.25f), outLeft(512), outRight(512);
    const float* inputs[2] = {left.data(), right.data()};
    float* outputs[2] = {outLeft.data(), outRight.data()};
    plugin.Start(44100.0, 256);
    plugin.Process(inputs, outputs, 512, events);
    plugin.Stop();
    Line("wants MIDI " + std::to_string(plugin.WantsMidi() ? 1 : 0));
    for (const TMidiMessage& message : plugin.MidiReceived())
    {
        Line("thru at " + std::to_string(message.Frame) + ": " + std::to_string(message.Bytes[0]) +
             " " + std::to_string(message.Bytes[1]) + " " + std::to_string(message.Bytes[2]));
    }
    for (const TAutomation& automation : plugin.Automations())
    {
        Line("automate at " + std::to_string(automation.Frame) + ": " +
             std::to_string(automation.Index) + " = " + Bits(automation.Value));
    }
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fputs("usage: orvo-transcript MODULE\n", stderr);
        return 2;
    }
    const std::filesystem::path module = argv[1];
    try
    {
        {
            auto plugin = TVstPlugin::Load(module);
            Record(*plugin);
            Programs(*plugin);
            Parameters(*plugin);
            Midi(*plugin);
        }
        std::ifstream map(module.parent_path() / "OrvoMIDI.txt", std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(map)),
                               std::istreambuf_iterator<char>());
        Line("map file '" + Escaped(text) + "'");
    }
    catch (const std::exception& error)
    {
        std::fprintf(stderr, "orvo-transcript: %s\n", error.what());
        return 1;
    }
    return 0;
}
