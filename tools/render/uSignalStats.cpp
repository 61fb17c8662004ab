#include "tools/render/uSignalStats.h"

#include <algorithm>
#include <cmath>

namespace orvo
{

namespace
{

/// Shown for silence instead of minus infinity.
constexpr double SilenceDb = -200.0;

double Decibels(double gain) noexcept
{
    return gain > 0.0 ? 20.0 * std::log10(gain) : SilenceDb;
}

} // namespace

double TSignalStats::PeakDb() const noexcept
{
    return Decibels(Peak);
}

double TSignalStats::RmsDb() const noexcept
{
    return Decibels(Rms);
}

double TSignalStats::CrestDb() const noexcept
{
    return Rms > 0.0 ? Decibels(Peak / Rms) : 0.0;
}

TSignalStats MeasureSignal(const TStereoAudio& audio) noexcept
{
    TSignalStats stats;
    double energy = 0.0;
    for (const auto* channel : {&audio.Left, &audio.Right})
    {
        for (const float sample : *channel)
        {
            const double x = sample;
            stats.Peak = std::max(stats.Peak, std::fabs(x));
            energy += x * x;
        }
    }
    const double count = 2.0 * static_cast<double>(audio.Frames());
    stats.Rms = count > 0.0 ? std::sqrt(energy / count) : 0.0;
    return stats;
}

} // namespace orvo
