// The demo piece: a short deterministic stereo loop of drums with sharp transients, a
// bass line and a pad, synthesised from nothing (120 beats per minute, 4 bars in 8 s).
#pragma once

#include "tools/render/uAudioFile.h"

namespace orvo
{

constexpr double DemoSampleRate = 44100.0;
constexpr double DemoPieceSeconds = 8.0;

/// The piece cut to (or looped up to) seconds, peak at -6 dBFS. Same samples on every
/// run and machine of one toolchain.
[[nodiscard]] TStereoAudio SynthesiseDemoPiece(double seconds = DemoPieceSeconds,
                                               double sampleRate = DemoSampleRate);

} // namespace orvo
