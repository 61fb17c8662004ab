// The host tests' audio helper.
//
//   orvo-host-compare --input RATE OUT.wav [LEAD]
//       writes the test input: LEAD frames of silence (default none), then 2 seconds of
//       32-bit float stereo at RATE, different material on each channel (noise bursts, a chirp
//       and chords), the last quarter second silent so that whatever a host does at the end
//       of a clip falls on silence.
//   orvo-host-compare [--offset FRAMES | --align BLOCK] DIRECT.wav DRY.wav HOST.wav [RIGHT.wav]
//       compares a host's output, from frame FRAMES on, with Orvo's direct render over the
//       direct render's length (a host may write a lead-in and a tail); fails when any sample
//       differs by more than 1e-6, and when the host's output is the dry input, which is what
//       a host plays when it could not load or run the plug-in. A host that records each
//       channel to a file of its own gives HOST (left) and RIGHT. A capture that starts
//       at an unknown cycle before the host plays (a JACK recorder) takes --align BLOCK: the
//       offset is the multiple of BLOCK frames at which the host's output is nearest the
//       direct render.
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace
{
constexpr double Tolerance = 1e-6;

struct TAudio
{
    int Rate = 0;
    std::vector<float> Samples; // interleaved stereo
};

TAudio Read(const char* path, int channels = 2)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path, SFM_READ, &info);
    if (file == nullptr || info.channels != channels)
    {
        std::fprintf(stderr, "orvo-host-compare: cannot read %s as a file of %d channels\n", path,
                     channels);
        std::exit(2);
    }
    TAudio audio{info.samplerate,
                 std::vector<float>(static_cast<std::size_t>(info.frames) * channels)};
    sf_readf_float(file, audio.Samples.data(), info.frames);
    sf_close(file);
    return audio;
}

/// Two mono files as one interleaved stereo signal (as long as the shorter).
TAudio ReadPair(const char* leftPath, const char* rightPath)
{
    const TAudio left = Read(leftPath, 1);
    const TAudio right = Read(rightPath, 1);
    const std::size_t frames = std::min(left.Samples.size(), right.Samples.size());
    TAudio audio{left.Rate, std::vector<float>(frames * 2)};
    for (std::size_t i = 0; i < frames; ++i)
    {
        audio.Samples[2 * i] = left.Samples[i];
        audio.Samples[2 * i + 1] = right.Samples[i];
    }
    return audio;
}

int WriteInput(int rate, const char* path, int lead)
{
    const int frames = 2 * rate;
    const int silent = rate / 4;
    std::vector<float> samples(static_cast<std::size_t>(frames) * 2, 0.0F);
    std::uint32_t noise = 12345;
    const double pi = 3.14159265358979323846;
    for (int i = 0; i < frames - silent; ++i)
    {
        const double t = static_cast<double>(i) / rate;
        noise = noise * 1664525U + 1013904223U;
        const double white = static_cast<double>(noise >> 8) / 8388608.0 - 1.0;
        const double burst = std::fmod(t, 0.25) < 0.03 ? white * 0.6 : 0.0;
        const double chirp = 0.3 * std::sin(2.0 * pi * (40.0 * t + 2000.0 * t * t));
        const double chord =
            0.2 * (std::sin(2.0 * pi * 110.0 * t) + std::sin(2.0 * pi * 138.6 * t) +
                   std::sin(2.0 * pi * 164.8 * t));
        const double ramp = std::min(1.0, static_cast<double>(frames - silent - i) / (0.01 * rate));
        samples[2 * static_cast<std::size_t>(i)] = static_cast<float>(ramp * (burst + chirp));
        samples[2 * static_cast<std::size_t>(i) + 1] =
            static_cast<float>(ramp * (burst * 0.5 + chord));
    }
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(path, SFM_WRITE, &info);
    if (file == nullptr)
    {
        std::fprintf(stderr, "orvo-host-compare: cannot write %s\n", path);
        return 2;
    }
    const std::vector<float> silence(static_cast<std::size_t>(lead) * 2, 0.0F);
    sf_writef_float(file, silence.data(), lead);
    sf_writef_float(file, samples.data(), frames);
    sf_close(file);
    return 0;
}

/// The largest difference over the first `count` samples of both.
double MaxDifference(const TAudio& a, const TAudio& b, std::size_t count)
{
    double largest = 0.0;
    for (std::size_t i = 0; i < count; ++i)
    {
        largest = std::max(largest, std::fabs(static_cast<double>(a.Samples[i]) - b.Samples[i]));
    }
    return largest;
}

/// The multiple of block frames at which the host's output is nearest the direct render.
std::size_t AlignedOffset(const char* directPath, const TAudio& host, std::size_t block)
{
    const TAudio direct = Read(directPath);
    std::size_t best = 0;
    double bestDifference = HUGE_VAL;
    for (std::size_t offset = 0;
         block > 0 && (offset * 2) + direct.Samples.size() <= host.Samples.size(); offset += block)
    {
        double largest = 0.0;
        for (std::size_t i = 0; i < direct.Samples.size() && largest < bestDifference; ++i)
        {
            largest = std::max(largest, std::fabs(static_cast<double>(direct.Samples[i]) -
                                                  host.Samples[offset * 2 + i]));
        }
        if (largest < bestDifference)
        {
            best = offset;
            bestDifference = largest;
        }
    }
    std::printf("the host's output is aligned at frame %zu\n", best);
    return best;
}

int Compare(std::size_t offset, const char* directPath, const char* dryPath, TAudio host)
{
    const TAudio direct = Read(directPath);
    const TAudio dry = Read(dryPath);
    host.Samples.erase(host.Samples.begin(),
                       host.Samples.begin() +
                           static_cast<std::ptrdiff_t>(std::min(host.Samples.size(), offset * 2)));
    if (host.Rate != direct.Rate || host.Samples.size() < direct.Samples.size())
    {
        std::printf(
            "FAIL: the host wrote %zu frames at %d Hz, the direct render has %zu at %d Hz\n",
            host.Samples.size() / 2, host.Rate, direct.Samples.size() / 2, direct.Rate);
        return 1;
    }
    const std::size_t count = direct.Samples.size();
    const double fromDirect = MaxDifference(direct, host, count);
    const double fromDry = MaxDifference(dry, host, std::min(count, dry.Samples.size()));
    const double effect = MaxDifference(dry, direct, std::min(count, dry.Samples.size()));
    float peak = 0.0F;
    for (std::size_t i = 0; i < count; ++i)
    {
        peak = std::max(peak, std::fabs(host.Samples[i]));
    }
    std::printf("host output: %zu frames, peak %.6f; largest difference from the direct render "
                "%.3g, from the dry input %.3g (direct render from dry: %.3g)\n",
                count / 2, peak, fromDirect, fromDry, effect);
    if (peak == 0.0F)
    {
        std::printf("FAIL: the host's output is silent\n");
        return 1;
    }
    if (fromDry <= Tolerance || effect <= Tolerance)
    {
        std::printf("FAIL: the host's output is the dry input: Orvo did not run\n");
        return 1;
    }
    if (fromDirect > Tolerance)
    {
        std::printf("FAIL: the host's output differs from the direct render by more than %g\n",
                    Tolerance);
        return 1;
    }
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    if ((argc == 4 || argc == 5) && std::string(argv[1]) == "--input")
    {
        return WriteInput(std::atoi(argv[2]), argv[3], argc == 5 ? std::atoi(argv[4]) : 0);
    }
    std::size_t offset = 0;
    std::size_t alignBlock = 0;
    int first = 1;
    if (argc > 2 && std::string(argv[1]) == "--offset")
    {
        offset = static_cast<std::size_t>(std::atol(argv[2]));
        first = 3;
    }
    else if (argc > 2 && std::string(argv[1]) == "--align")
    {
        alignBlock = static_cast<std::size_t>(std::atol(argv[2]));
        first = 3;
    }
    if (argc - first == 3 || argc - first == 4)
    {
        TAudio host =
            argc - first == 3 ? Read(argv[first + 2]) : ReadPair(argv[first + 2], argv[first + 3]);
        if (alignBlock > 0)
        {
            offset = AlignedOffset(argv[first], host, alignBlock);
        }
        return Compare(offset, argv[first], argv[first + 1], std::move(host));
    }
    std::fprintf(stderr, "usage: orvo-host-compare --input RATE OUT.wav [LEAD]\n"
                         "       orvo-host-compare [--offset FRAMES | --align BLOCK] DIRECT.wav "
                         "DRY.wav HOST.wav [RIGHT.wav]\n");
    return 2;
}
