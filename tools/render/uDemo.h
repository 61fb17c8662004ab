// The demo folder: a synthesised piece rendered through every program of the effect (each
// from rest), with the dry and processed sound files, the processed sounds level-matched
// to the dry piece for listening, a before/after waveform picture per program, the
// five-band split's frequency response at three Tuning settings through both chains, and
// an index.html that shows them with a line on what each program does and a table of
// peak, RMS, crest factor and matching gain per program.
#pragma once

#include "tools/render/uOptions.h"

#include <filesystem>
#include <string>
#include <vector>

namespace orvo
{

class TVstPlugin;

/// What a demo run wrote, as paths relative to its folder.
struct TDemoFiles
{
    std::string Dry;
    std::vector<std::string> Programs;  // one sound file per program, as rendered
    std::vector<std::string> Matched;   // the same at the dry piece's RMS level
    std::vector<std::string> Waveforms; // one picture per program
    std::string Response;               // host-rate chain; empty without a five-band split
    std::string ResponseOversampled;    // the oversampled chain; empty as Response
    std::string Editor;                 // Orvo's editor at the first program; empty for others
    std::string Index;
};

/// Writes the demo into folder (created when missing) with a piece of seconds.
TDemoFiles WriteDemo(TVstPlugin& plugin, const std::filesystem::path& folder, double seconds,
                     bool quiet);

/// orvo-render --demo DIR: loads the plug-in and writes the demo.
int RunDemo(const TOptions& options);

} // namespace orvo
