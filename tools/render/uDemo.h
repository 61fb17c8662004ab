// The demo folder: a synthesised piece rendered through every program of the effect,
// with the dry and processed sound files, a before/after waveform picture per program,
// the five-band split's frequency response at three Tuning settings, and an index.html
// that shows them with a table of peak, RMS and crest factor per program.
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
    std::vector<std::string> Programs;  // one sound file per program
    std::vector<std::string> Waveforms; // one picture per program
    std::string Response;               // empty when the effect has no five-band split
    std::string Editor;                 // Orvo's editor at the first program; empty for others
    std::string Index;
};

/// Writes the demo into folder (created when missing) with a piece of seconds.
TDemoFiles WriteDemo(TVstPlugin& plugin, const std::filesystem::path& folder,
                     double seconds, bool quiet);

/// orvo-render --demo DIR: loads the plug-in and writes the demo.
int RunDemo(const TOptions& options);

} // namespace orvo
