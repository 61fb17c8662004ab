// Level figures of a stereo signal: peak, RMS and crest factor, over both channels.
#pragma once

#include "tools/render/uAudioFile.h"

namespace orvo
{

struct TSignalStats
{
    double Peak = 0.0; // largest absolute sample
    double Rms = 0.0;  // root mean square over both channels
    [[nodiscard]] double PeakDb() const noexcept;
    [[nodiscard]] double RmsDb() const noexcept;
    /// Peak over RMS in dB; 0 for silence.
    [[nodiscard]] double CrestDb() const noexcept;
};

[[nodiscard]] TSignalStats MeasureSignal(const TStereoAudio& audio) noexcept;

} // namespace orvo
