// Stereo 32-bit float WAV files for the reference renders: read (mono is fed to both
// channels; the format may be plain or "extensible"), write (plain IEEE float), and the
// deterministic test signal that both the Linux and the Windows render take as input.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace orvo::wine
{
class EWaveFile : public std::runtime_error
{
  public:
    using std::runtime_error::runtime_error;
};

struct TWave
{
    std::uint32_t SampleRate = 44100;
    std::vector<float> Left;
    std::vector<float> Right;
};

TWave ReadWave(const std::string& path);
void WriteWave(const std::string& path, const TWave& wave);

/// seconds of stereo sound at 44100 Hz that reaches every part of the chain: a slow sweep,
/// drum-like bursts (transients for the band emphasis), noise, a stretch of silence and a
/// loud passage for the soft clipper. The same on every system: integer noise, and sines
/// from a recurrence in double arithmetic.
TWave MakeTestSignal(double seconds);
} // namespace orvo::wine
