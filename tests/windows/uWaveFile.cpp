#include "tests/windows/uWaveFile.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

namespace orvo::wine
{
namespace
{
constexpr std::uint16_t FormatIeeeFloat = 3;
constexpr std::uint16_t FormatExtensible = 0xFFFE;

std::uint32_t Read32(const unsigned char* bytes)
{
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

std::uint16_t Read16(const unsigned char* bytes)
{
    return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
}

void Put32(std::string& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
    {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

void Put16(std::string& out, std::uint16_t value)
{
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>(value >> 8));
}

float FloatAt(const unsigned char* bytes)
{
    const std::uint32_t bits = Read32(bytes);
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}
} // namespace

TWave ReadWave(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
    {
        throw EWaveFile("cannot open " + path);
    }
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)),
                                           std::istreambuf_iterator<char>());
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0)
    {
        throw EWaveFile(path + " is not a WAV file");
    }
    TWave wave;
    std::uint16_t channels = 0;
    bool haveFormat = false;
    std::size_t at = 12;
    while (at + 8 <= bytes.size())
    {
        const std::uint32_t size = Read32(&bytes[at + 4]);
        const std::size_t body = at + 8;
        if (size > bytes.size() - body)
        {
            throw EWaveFile(path + ": truncated chunk");
        }
        if (std::memcmp(&bytes[at], "fmt ", 4) == 0 && size >= 16)
        {
            std::uint16_t format = Read16(&bytes[body]);
            if (format == FormatExtensible && size >= 26)
            {
                format = Read16(&bytes[body + 24]); // the sub-format's first two bytes
            }
            channels = Read16(&bytes[body + 2]);
            wave.SampleRate = Read32(&bytes[body + 4]);
            if (format != FormatIeeeFloat || Read16(&bytes[body + 14]) != 32 ||
                (channels != 1 && channels != 2))
            {
                throw EWaveFile(path + ": not mono or stereo 32-bit float");
            }
            haveFormat = true;
        }
        else if (std::memcmp(&bytes[at], "data", 4) == 0)
        {
            if (!haveFormat)
            {
                throw EWaveFile(path + ": data before format");
            }
            const std::size_t frames = size / (4u * channels);
            wave.Left.resize(frames);
            wave.Right.resize(frames);
            for (std::size_t i = 0; i < frames; ++i)
            {
                const unsigned char* frame = &bytes[body + i * 4u * channels];
                wave.Left[i] = FloatAt(frame);
                wave.Right[i] = FloatAt(frame + 4 * (channels - 1));
            }
            return wave;
        }
        at = body + size + (size & 1);
    }
    throw EWaveFile(path + ": no audio data");
}

void WriteWave(const std::string& path, const TWave& wave)
{
    const auto frames = static_cast<std::uint32_t>(wave.Left.size());
    std::string out = "RIFF";
    Put32(out, 4 + 24 + 8 + frames * 8);
    out += "WAVEfmt ";
    Put32(out, 16);
    Put16(out, FormatIeeeFloat);
    Put16(out, 2);
    Put32(out, wave.SampleRate);
    Put32(out, wave.SampleRate * 8);
    Put16(out, 8);
    Put16(out, 32);
    out += "data";
    Put32(out, frames * 8);
    for (std::uint32_t i = 0; i < frames; ++i)
    {
        for (const float sample : {wave.Left[i], wave.Right[i]})
        {
            std::uint32_t bits = 0;
            std::memcpy(&bits, &sample, sizeof bits);
            Put32(out, bits);
        }
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(out.data(), static_cast<std::streamsize>(out.size()));
    if (!file)
    {
        throw EWaveFile("cannot write " + path);
    }
}

TWave MakeTestSignal(double seconds)
{
    constexpr double Rate = 44100.0;
    constexpr double Pi = 3.14159265358979323846;
    const auto frames = static_cast<std::size_t>(seconds * Rate);
    TWave wave;
    wave.Left.resize(frames);
    wave.Right.resize(frames);

    std::uint32_t noise = 12345u;
    const auto nextNoise = [&noise]
    {
        noise = noise * 1664525u + 1013904223u; // Numerical Recipes' LCG
        return static_cast<double>(static_cast<std::int32_t>(noise)) / 2147483648.0;
    };
    // A sine by rotation (only + and *), its frequency gliding from 40 Hz upwards.
    double c = 1.0;
    double s = 0.0;
    double burst = 0.0;
    for (std::size_t i = 0; i < frames; ++i)
    {
        const double t = static_cast<double>(i) / Rate;
        const double frequency = 40.0 + 400.0 * t * t;
        const double step = 2.0 * Pi * frequency / Rate;
        const double cs = 1.0 - 0.5 * step * step; // small-angle rotation, renormalised below
        const double sn = step - step * step * step / 6.0;
        const double nc = c * cs - s * sn;
        const double ns = s * cs + c * sn;
        const double norm = 1.5 - 0.5 * (nc * nc + ns * ns);
        c = nc * norm;
        s = ns * norm;

        if (i % 11025 == 0)
        {
            burst = 0.9; // a hit every quarter second
        }
        burst *= 0.9992;
        const double hit = burst * nextNoise();

        double level = 0.35;
        if (t > 2.0 && t < 2.25)
        {
            level = 0.0; // silence: filters and envelopes ring out
        }
        else if (t > 3.0)
        {
            level = 1.6; // beyond full scale: the clipper works
        }
        const double left = level * (0.6 * s + 0.25 * hit + 0.05 * nextNoise());
        const double right = level * (0.6 * c - 0.25 * hit + 0.05 * nextNoise());
        wave.Left[i] = static_cast<float>(left);
        wave.Right[i] = static_cast<float>(right);
    }
    return wave;
}
} // namespace orvo::wine
