#include "tools/render/uDemoPiece.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace orvo
{

namespace
{

constexpr double Pi = 3.14159265358979323846;
constexpr double StepSeconds = 0.125; // one sixteenth at 120 beats per minute
constexpr int StepsPerBar = 16;
constexpr int Bars = 4;
/// Final level: peak at -6 dBFS, leaving room for programs that add gain.
constexpr double PeakTarget = 0.5;

/// A fixed-seed xorshift generator: the same noise on every run.
class TNoise
{
  public:
    double Next()
    {
        FState ^= FState << 13;
        FState ^= FState >> 17;
        FState ^= FState << 5;
        return static_cast<double>(FState) / 2147483648.0 - 1.0;
    }

  private:
    std::uint32_t FState = 0x2545F491u;
};

double NoteFrequency(int midiNote)
{
    return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0);
}

/// A band-limited-enough sawtooth: the naive ramp with a two-sample polynomial step
/// correction at each wrap.
double Saw(double phase, double increment)
{
    double value = 2.0 * phase - 1.0;
    if (phase < increment)
    {
        const double t = phase / increment;
        value -= t + t - t * t - 1.0;
    }
    else if (phase > 1.0 - increment)
    {
        const double t = (phase - 1.0) / increment;
        value -= t * t + t + t + 1.0;
    }
    return value;
}

struct TMix
{
    std::vector<double> Left, Right;
    double Rate;
    void Add(std::size_t frame, double value, double pan) // pan -1 left .. +1 right
    {
        if (frame < Left.size())
        {
            Left[frame] += value * std::sqrt(0.5 * (1.0 - pan));
            Right[frame] += value * std::sqrt(0.5 * (1.0 + pan));
        }
    }
};

void Kick(TMix& mix, double start)
{
    const auto first = static_cast<std::size_t>(std::lround(start * mix.Rate));
    const auto length = static_cast<std::size_t>(0.45 * mix.Rate);
    double phase = 0.0;
    for (std::size_t i = 0; i < length; ++i)
    {
        const double t = static_cast<double>(i) / mix.Rate;
        const double frequency = 48.0 + 110.0 * std::exp(-t / 0.035);
        phase += 2.0 * Pi * frequency / mix.Rate;
        const double click = t < 0.002 ? 0.6 * (1.0 - t / 0.002) : 0.0;
        mix.Add(first + i, 0.95 * std::sin(phase) * std::exp(-t / 0.16) + click, 0.0);
    }
}

void Snare(TMix& mix, TNoise& noise, double start)
{
    const auto first = static_cast<std::size_t>(std::lround(start * mix.Rate));
    const auto length = static_cast<std::size_t>(0.3 * mix.Rate);
    double previous = 0.0;
    for (std::size_t i = 0; i < length; ++i)
    {
        const double t = static_cast<double>(i) / mix.Rate;
        const double white = noise.Next();
        const double bright = white - 0.6 * previous; // tilts the noise towards the top
        previous = white;
        const double body = std::sin(2.0 * Pi * 185.0 * t) * std::exp(-t / 0.04);
        mix.Add(first + i, 0.55 * bright * std::exp(-t / 0.07) + 0.45 * body, -0.05);
    }
}

void HiHat(TMix& mix, TNoise& noise, double start, double decay, double pan)
{
    const auto first = static_cast<std::size_t>(std::lround(start * mix.Rate));
    const auto length = static_cast<std::size_t>(std::min(0.4, 8.0 * decay) * mix.Rate);
    double previous = 0.0;
    for (std::size_t i = 0; i < length; ++i)
    {
        const double t = static_cast<double>(i) / mix.Rate;
        const double white = noise.Next();
        const double high = white - previous; // first difference: a gentle high-pass
        previous = white;
        mix.Add(first + i, 0.28 * high * std::exp(-t / decay), pan);
    }
}

void BassNote(TMix& mix, double start, double seconds, int note)
{
    const auto first = static_cast<std::size_t>(std::lround(start * mix.Rate));
    const auto length = static_cast<std::size_t>(seconds * mix.Rate);
    const double increment = NoteFrequency(note) / mix.Rate;
    double phase = 0.0;
    double low = 0.0;
    for (std::size_t i = 0; i < length; ++i)
    {
        const double t = static_cast<double>(i) / mix.Rate;
        const double cutoff = 180.0 + 1400.0 * std::exp(-t / 0.06);
        const double coefficient = 1.0 - std::exp(-2.0 * Pi * cutoff / mix.Rate);
        low += coefficient * (Saw(phase, increment) - low);
        phase += increment;
        phase -= std::floor(phase);
        const double release = std::min(1.0, (seconds - t) / 0.01);
        mix.Add(first + i, 0.5 * low * std::exp(-t / 0.5) * release, 0.0);
    }
}

void PadChord(TMix& mix, double start, double seconds, const std::array<int, 4>& notes)
{
    const auto first = static_cast<std::size_t>(std::lround(start * mix.Rate));
    const auto length = static_cast<std::size_t>(seconds * mix.Rate);
    for (std::size_t voice = 0; voice < notes.size() * 2; ++voice)
    {
        const double detune = (voice % 2 == 0) ? 0.9965 : 1.0035;
        const double pan = (voice % 2 == 0) ? -0.7 : 0.7;
        const double increment = NoteFrequency(notes[voice / 2]) * detune / mix.Rate;
        double phase = static_cast<double>(voice) * 0.173;
        phase -= std::floor(phase);
        double low = 0.0;
        const double coefficient = 1.0 - std::exp(-2.0 * Pi * 1200.0 / mix.Rate);
        for (std::size_t i = 0; i < length; ++i)
        {
            const double t = static_cast<double>(i) / mix.Rate;
            low += coefficient * (Saw(phase, increment) - low);
            phase += increment;
            phase -= std::floor(phase);
            const double envelope = std::min(1.0, t / 0.35) * std::min(1.0, (seconds - t) / 0.3);
            mix.Add(first + i, 0.045 * low * envelope, pan);
        }
    }
}

} // namespace

TStereoAudio SynthesiseDemoPiece(double seconds, double sampleRate)
{
    const double loopSeconds = Bars * StepsPerBar * StepSeconds;
    const auto frames = static_cast<std::size_t>(std::lround(seconds * sampleRate));
    TMix mix{std::vector<double>(frames), std::vector<double>(frames), sampleRate};
    TNoise noise;

    // Pattern per sixteenth: kick, snare, closed hat, open hat.
    constexpr std::array<const char*, 4> KickPattern{"x.....x...x.....", "x.....x...x...x.",
                                                     "x.....x...x.....", "x..x..x...x..x.x"};
    constexpr std::array<const char*, 4> SnarePattern{"....x.......x...", "....x.......x..x",
                                                      "....x.......x...", "....x.......x.xx"};
    constexpr std::array<int, 16> BassLine{45, 0, 45, 57, 0,  45, 0, 43,
                                           45, 0, 48, 0,  45, 52, 0, 43};
    constexpr std::array<std::array<int, 4>, 4> Chords{
        {{57, 60, 64, 69}, {53, 57, 60, 65}, {48, 55, 60, 64}, {55, 59, 62, 67}}};
    constexpr std::array<int, 4> BassRoot{0, -4, -9, -2}; // Am, F, C, G

    for (double loop = 0.0; loop < seconds; loop += loopSeconds)
    {
        for (int bar = 0; bar < Bars; ++bar)
        {
            const double barStart = loop + bar * StepsPerBar * StepSeconds;
            if (barStart >= seconds)
            {
                break;
            }
            PadChord(mix, barStart, StepsPerBar * StepSeconds,
                     Chords[static_cast<std::size_t>(bar)]);
            for (int step = 0; step < StepsPerBar; ++step)
            {
                const double t = barStart + step * StepSeconds;
                const auto s = static_cast<std::size_t>(step);
                if (KickPattern[static_cast<std::size_t>(bar)][s] == 'x')
                {
                    Kick(mix, t);
                }
                if (SnarePattern[static_cast<std::size_t>(bar)][s] == 'x')
                {
                    Snare(mix, noise, t);
                }
                if (step % 2 == 0)
                {
                    const bool open = step == 14;
                    HiHat(mix, noise, t, open ? 0.09 : 0.018, 0.35);
                }
                if (BassLine[s] != 0)
                {
                    BassNote(mix, t, StepSeconds * 0.9,
                             BassLine[s] + BassRoot[static_cast<std::size_t>(bar)]);
                }
            }
        }
    }

    double peak = 0.0;
    for (std::size_t i = 0; i < frames; ++i)
    {
        peak = std::max({peak, std::fabs(mix.Left[i]), std::fabs(mix.Right[i])});
    }
    const double scale = peak > 0.0 ? PeakTarget / peak : 0.0;
    TStereoAudio audio;
    audio.SampleRate = sampleRate;
    audio.Resize(static_cast<std::int64_t>(frames));
    for (std::size_t i = 0; i < frames; ++i)
    {
        audio.Left[i] = static_cast<float>(mix.Left[i] * scale);
        audio.Right[i] = static_cast<float>(mix.Right[i] * scale);
    }
    return audio;
}

} // namespace orvo
