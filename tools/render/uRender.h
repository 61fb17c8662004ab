// Running audio through a hosted effect: a whole buffer in memory, or a file streamed
// block by block into a new file, with MIDI sent at its sample positions.
#pragma once

#include "tools/render/uAudioFile.h"
#include "tools/render/uMidiFile.h"
#include "tools/render/uVstHost.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace orvo
{

/// A render stopped by the user (Ctrl-C) or by a signal to end the program.
class ECancelled : public std::runtime_error
{
  public:
    ECancelled() : std::runtime_error("cancelled") {}
};

struct TRenderSettings
{
    /// Frames per processing call (the host's block size).
    std::int32_t BlockSize = 512;
    /// Silence processed after the input, in seconds, so that the effect can ring out.
    double TailSeconds = 0.0;
    /// Channel messages with their times in seconds; those past the end are not sent.
    std::vector<TTimedMidi> Midi;
    /// RenderFile's output format by extension name ("au", "flac"), instead of the
    /// output's extension; needed for standard output.
    std::string OutputType;
    /// RenderFile's output samples: 0 keeps the input's encoding where the output format
    /// has it; 16, 24, 32 (integers) or -32 (float) are required of the output format.
    int Bits = 0;
};

/// What RenderFile did, for the summary and the warnings.
struct TFileRenderReport
{
    double SampleRate = 0.0;
    int InputChannels = 0;
    std::int64_t InputFrames = 0;  // what the input held (read to its end)
    std::int64_t OutputFrames = 0; // input plus tail
    std::int64_t MidiPastEnd = 0;  // MIDI messages timed at or after the output's end
    bool InputCutShort = false;    // its header promised more than it held
    float Peak = 0.0f;             // largest output magnitude (1 is full scale)
    std::int64_t Clipped = 0;      // integer output samples beyond full scale
    bool IntegerOutput = false;
    std::string OutputEncoding; // "24-bit", "32-bit float", ...
};

/// Called now and then with the frames done and the frames in all.
using TProgress = std::function<void(std::int64_t done, std::int64_t total)>;

/// MIDI in seconds to sample frames at rate (FrameAt), in time order.
[[nodiscard]] std::vector<TMidiMessage> MidiAtFrames(const std::vector<TTimedMidi>& midi,
                                                     double rate);

/// Starts the effect at the audio's rate, renders the input plus the tail, stops it.
[[nodiscard]] TStereoAudio RenderAudio(TVstPlugin& plugin, const TStereoAudio& input,
                                       const TRenderSettings& settings);

/// Streams a file through the effect into a new file (format by its extension; the
/// input's sample encoding is kept where the format allows). The output is what the
/// input held, read to its end whatever its header says, plus the tail. It appears under
/// its name only when complete, and never when the free space of its file system cannot
/// hold it. cancel, when set, stops the render with ECancelled.
TFileRenderReport RenderFile(TVstPlugin& plugin, const std::filesystem::path& input,
                             const std::filesystem::path& output, const TRenderSettings& settings,
                             const TProgress& progress = {},
                             const std::atomic<bool>* cancel = nullptr);

} // namespace orvo
