// The orvo-render command line: what the user asked for, checked for form. Whether a
// program or parameter exists is checked later, against the loaded plug-in.
#pragma once

#include "tools/render/uMidiFile.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace orvo
{

/// A command line that cannot be followed; the message says why.
class EUsage : public std::runtime_error
{
  public:
    using std::runtime_error::runtime_error;
};

enum TRunMode : std::uint8_t
{
    rmRender,
    rmList,
    rmDemo,
    rmBench,
    rmEditorShot,
    rmHelp,
    rmVersion,
};

/// NAME|INDEX=VALUE, split at the first '='.
struct TParameterAssignment
{
    std::string Parameter;
    std::string Value;
};

struct TOptions
{
    TRunMode Mode = rmRender;
    std::string Input;
    std::string Output;
    std::string Plugin; // empty: the Orvo module beside the tool
    std::optional<std::string> Program;
    std::vector<TParameterAssignment> Parameters;
    std::optional<bool> OverSample;
    std::int32_t BlockSize = 512;
    std::string MidiFile;
    std::vector<TTimedMidi> ControlChanges; // from --cc
    double TailSeconds = 0.0;
    /// --bits: 16, 24 or 32 for integer samples, OutputFloatBits for 32-bit float; 0 keeps
    /// the input's encoding where the output format allows it.
    int Bits = 0;
    std::string OutputType; // --type: OUT's format by extension name, needed for OUT "-"
    bool Quiet = false;

    std::string EditorShot;   // --editor-shot: the picture file
    double EditorScale = 1.0; // --scale: 1, 1.5 or 2

    std::string DemoFolder;
    double DemoSeconds = 8.0;

    double BenchSeconds = 20.0;
    std::int32_t BenchRepeats = 5;
    std::string VersusPlugin;
    std::vector<TParameterAssignment> VersusParameters;
    std::vector<std::string> BenchPrograms; // --bench-program: the programs to time, in turn
    std::int32_t BenchCcEvery = 0;          // --bench-cc-every: frames between controllers
    std::vector<std::string> BenchSimd;     // --bench-simd: Orvo's instruction sets to time
    bool Json = false;
};

/// Largest --block: far beyond any host's block, small enough for every buffer.
constexpr std::int32_t MaxBlockSize = 65536;
/// Longest --tail: one hour of silence is more than any effect needs to ring out.
constexpr double MaxTailSeconds = 3600.0;
/// TOptions::Bits for 32-bit float samples.
constexpr int OutputFloatBits = -32;

[[nodiscard]] TOptions ParseOptions(const std::vector<std::string>& arguments);
/// TIME:CC=VALUE, with TIME in seconds, CC and VALUE 0..127; sent on MIDI channel 1.
[[nodiscard]] TTimedMidi ParseControlChange(const std::string& text);
[[nodiscard]] std::string UsageText();
[[nodiscard]] std::string VersionText();

} // namespace orvo
