#include "tools/render/uAudioFile.h"

#include <sndfile.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

namespace orvo
{

static_assert(AudioPcm16 == SF_FORMAT_PCM_16 && AudioPcm24 == SF_FORMAT_PCM_24 &&
              AudioFloat == SF_FORMAT_FLOAT);

namespace
{

struct TFormatByExtension
{
    std::string_view Extension;
    int Major;
    int DefaultSubtype; // when the source's encoding does not fit
};

constexpr std::array<TFormatByExtension, 10> OutputFormats{{
    {".wav", SF_FORMAT_WAV, SF_FORMAT_PCM_24},
    {".flac", SF_FORMAT_FLAC, SF_FORMAT_PCM_24},
    {".ogg", SF_FORMAT_OGG, SF_FORMAT_VORBIS},
    {".oga", SF_FORMAT_OGG, SF_FORMAT_VORBIS},
    {".aiff", SF_FORMAT_AIFF, SF_FORMAT_PCM_24},
    {".aif", SF_FORMAT_AIFF, SF_FORMAT_PCM_24},
    {".au", SF_FORMAT_AU, SF_FORMAT_PCM_24},
    {".caf", SF_FORMAT_CAF, SF_FORMAT_PCM_24},
    {".w64", SF_FORMAT_W64, SF_FORMAT_PCM_24},
    {".rf64", SF_FORMAT_RF64, SF_FORMAT_PCM_24},
}};

std::string LowerExtension(const std::filesystem::path& path)
{
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(), [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    });
    return extension;
}

SNDFILE* File(void* file)
{
    return static_cast<SNDFILE*>(file);
}

} // namespace

void TStereoAudio::Resize(std::int64_t frames)
{
    Left.resize(static_cast<std::size_t>(frames));
    Right.resize(static_cast<std::size_t>(frames));
}

std::string WritableExtensions()
{
    std::string list;
    for (const auto& format : OutputFormats)
    {
        list += (list.empty() ? "" : ", ") + std::string(format.Extension);
    }
    return list;
}

TAudioReader::TAudioReader(const std::filesystem::path& path) : FPath(path)
{
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
    {
        throw EAudioFile("input file not found: " + path.string());
    }
    if (std::filesystem::is_directory(path, ec))
    {
        throw EAudioFile("input is a folder, not an audio file: " + path.string());
    }
    SF_INFO info{};
    FFile = sf_open(path.string().c_str(), SFM_READ, &info);
    if (FFile == nullptr)
    {
        throw EAudioFile("cannot read " + path.string() + " as audio (" +
                         sf_strerror(nullptr) + ")");
    }
    FSampleRate = info.samplerate;
    FFrames = info.frames;
    // libsndfile reads what a cut-short file holds and notes the size its header states
    // in its log: "data : 2646000 (should be 50272)" (WAV) or "SSND : ..." (AIFF).
    std::array<char, 8192> log{};
    sf_command(File(FFile), SFC_GET_LOG_INFO, log.data(), static_cast<int>(log.size()));
    const std::string_view logText(log.data());
    for (std::size_t line = 0; line < logText.size();)
    {
        const std::size_t end = std::min(logText.find('\n', line), logText.size());
        const std::string_view text = logText.substr(line, end - line);
        if ((text.rfind("data", 0) == 0 || text.rfind("SSND", 0) == 0) &&
            text.find("(should be") != std::string_view::npos)
        {
            FCutShort = true;
        }
        line = end + 1;
    }
    FChannels = info.channels;
    FFormat = info.format;
    if (FChannels < 1 || FChannels > 2)
    {
        sf_close(File(FFile));
        FFile = nullptr;
        throw EAudioFile(path.string() + " has " + std::to_string(info.channels) +
                         " channels; only mono and stereo files can be rendered");
    }
    if (FSampleRate <= 0)
    {
        sf_close(File(FFile));
        FFile = nullptr;
        throw EAudioFile(path.string() + " has no valid sample rate");
    }
}

TAudioReader::~TAudioReader()
{
    if (FFile != nullptr)
    {
        sf_close(File(FFile));
    }
}

std::int64_t TAudioReader::Read(float* left, float* right, std::int64_t count)
{
    std::int64_t done = 0;
    while (done < count)
    {
        if (FChunkNext == FChunkFrames)
        {
            FInterleaved.resize(static_cast<std::size_t>(AudioChunkFrames * FChannels));
            const sf_count_t read = sf_readf_float(File(FFile), FInterleaved.data(), AudioChunkFrames);
            if (read < 0 || (read == 0 && sf_error(File(FFile)) != SF_ERR_NO_ERROR))
            {
                throw EAudioFile("error reading " + FPath.string() + ": " +
                                 sf_strerror(File(FFile)));
            }
            FChunkFrames = read;
            FChunkNext = 0;
            if (read == 0)
            {
                break;
            }
        }
        const std::int64_t n = std::min(count - done, FChunkFrames - FChunkNext);
        for (std::int64_t i = 0; i < n; ++i)
        {
            const auto frame = static_cast<std::size_t>((FChunkNext + i) * FChannels);
            left[done + i] = FInterleaved[frame];
            right[done + i] = FInterleaved[frame + static_cast<std::size_t>(FChannels - 1)];
        }
        FChunkNext += n;
        done += n;
    }
    return done;
}

int SampleEncodingForBits(int bits)
{
    switch (bits)
    {
    case 16:
        return SF_FORMAT_PCM_16;
    case 24:
        return SF_FORMAT_PCM_24;
    case 32:
        return SF_FORMAT_PCM_32;
    default:
        return SF_FORMAT_FLOAT;
    }
}

TAudioWriter::TAudioWriter(const std::filesystem::path& path, double sampleRate,
                           int sourceFormat, bool required)
    : FPath(path)
{
    const std::string extension = LowerExtension(path);
    const auto* format = std::find_if(OutputFormats.begin(), OutputFormats.end(),
                                      [&](const auto& f) { return f.Extension == extension; });
    if (format == OutputFormats.end())
    {
        throw EAudioFile("cannot tell the output format from the name " + path.string() +
                         " (use one of " + WritableExtensions() + ")");
    }
    SF_INFO info{};
    info.samplerate = static_cast<int>(std::lround(sampleRate));
    info.channels = 2;
    info.format = format->Major | (sourceFormat & SF_FORMAT_SUBMASK);
    if ((sourceFormat & SF_FORMAT_SUBMASK) == 0 || sf_format_check(&info) == 0)
    {
        if (required && (sourceFormat & SF_FORMAT_SUBMASK) != 0)
        {
            FSubtype = sourceFormat & SF_FORMAT_SUBMASK;
            throw EAudioFile(extension + " files cannot hold " + EncodingName() + " samples");
        }
        info.format = format->Major | format->DefaultSubtype;
    }
    FSubtype = info.format & SF_FORMAT_SUBMASK;
    FIntegerBits = FSubtype == SF_FORMAT_PCM_16   ? 16
                   : FSubtype == SF_FORMAT_PCM_24 ? 24
                   : FSubtype == SF_FORMAT_PCM_32 ? 32
                   : FSubtype == SF_FORMAT_PCM_S8 || FSubtype == SF_FORMAT_PCM_U8 ? 8
                                                                                  : 0;
    if (sf_format_check(&info) == 0)
    {
        throw EAudioFile("cannot write " + extension + " files at " +
                         std::to_string(info.samplerate) + " Hz");
    }

    // Built by appending: GCC 12 at -O3 misreports std::string's operator+ on a literal
    // (a -Wrestrict false positive).
    std::string partialName = ".";
    partialName += path.filename().string();
    partialName += ".partial";
    FPartialPath = path.parent_path() / partialName;
    FFile = sf_open(FPartialPath.string().c_str(), SFM_WRITE, &info);
    if (FFile == nullptr)
    {
        throw EAudioFile("cannot write " + path.string() + " (" + sf_strerror(nullptr) + ")");
    }
    // Integer encodings: samples beyond full scale are clipped instead of wrapping round.
    sf_command(File(FFile), SFC_SET_CLIPPING, nullptr, SF_TRUE);
    FInterleaved.reserve(static_cast<std::size_t>(2 * AudioChunkFrames));
}

std::string TAudioWriter::EncodingName() const
{
    switch (FSubtype)
    {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
        return "8-bit";
    case SF_FORMAT_PCM_16:
        return "16-bit";
    case SF_FORMAT_PCM_24:
        return "24-bit";
    case SF_FORMAT_PCM_32:
        return "32-bit";
    case SF_FORMAT_FLOAT:
        return "32-bit float";
    case SF_FORMAT_DOUBLE:
        return "64-bit float";
    case SF_FORMAT_VORBIS:
        return "Vorbis";
    default:
        return "compressed";
    }
}

void TAudioWriter::CheckRoomFor(std::int64_t frames) const
{
    // Uncompressed sizes; FLAC stores no more than that, Vorbis far less (2 bytes a frame
    // is above any of its bit rates).
    const double bytesPerFrame = FSubtype == SF_FORMAT_VORBIS ? 2.0
                                 : FIntegerBits > 0           ? 2.0 * FIntegerBits / 8.0
                                 : FSubtype == SF_FORMAT_DOUBLE ? 16.0
                                                                : 8.0;
    const double needed = bytesPerFrame * static_cast<double>(frames);
    std::error_code ec;
    const std::filesystem::path folder =
        FPartialPath.parent_path().empty() ? std::filesystem::path(".") : FPartialPath.parent_path();
    const std::filesystem::space_info space = std::filesystem::space(folder, ec);
    if (!ec && needed > static_cast<double>(space.available))
    {
        constexpr double MiB = 1024.0 * 1024.0;
        throw EAudioFile(FPath.string() + " would take about " + std::to_string(std::llround(needed / MiB)) +
                         " MiB, but its file system has only " +
                         std::to_string(std::llround(static_cast<double>(space.available) / MiB)) +
                         " MiB free");
    }
}

TAudioWriter::~TAudioWriter()
{
    if (FFile != nullptr)
    {
        sf_close(File(FFile));
        std::error_code ec;
        std::filesystem::remove(FPartialPath, ec);
    }
}

void TAudioWriter::Write(const float* left, const float* right, std::int64_t count)
{
    for (std::int64_t i = 0; i < count; ++i)
    {
        for (const float sample : {left[i], right[i]})
        {
            const float magnitude = std::fabs(sample);
            FPeak = std::max(FPeak, magnitude);
            FOverFullScale += magnitude > 1.0f ? 1 : 0;
            FInterleaved.push_back(sample);
        }
        if (static_cast<std::int64_t>(FInterleaved.size()) >= 2 * AudioChunkFrames)
        {
            Flush();
        }
    }
}

void TAudioWriter::Flush()
{
    const auto frames = static_cast<sf_count_t>(FInterleaved.size() / 2);
    if (frames > 0 && sf_writef_float(File(FFile), FInterleaved.data(), frames) != frames)
    {
        throw EAudioFile("error writing " + FPath.string() + ": " + sf_strerror(File(FFile)));
    }
    FInterleaved.clear();
}

void TAudioWriter::Commit()
{
    Flush();
    sf_write_sync(File(FFile));
    const int closed = sf_close(File(FFile));
    FFile = nullptr;
    std::error_code ec;
    if (closed != 0)
    {
        std::filesystem::remove(FPartialPath, ec);
        throw EAudioFile("error finishing " + FPath.string() + ": " + sf_error_number(closed));
    }
    std::filesystem::rename(FPartialPath, FPath, ec);
    if (ec)
    {
        std::filesystem::remove(FPartialPath, ec);
        throw EAudioFile("cannot put the output in place as " + FPath.string() + " (" +
                         ec.message() + ")");
    }
}

TStereoAudio ReadAudioFile(const std::filesystem::path& path)
{
    TAudioReader reader(path);
    TStereoAudio audio;
    audio.SampleRate = reader.SampleRate();
    audio.Resize(reader.Frames());
    std::int64_t done = 0;
    while (done < audio.Frames())
    {
        const std::int64_t read =
            reader.Read(audio.Left.data() + done, audio.Right.data() + done, audio.Frames() - done);
        if (read == 0)
        {
            break;
        }
        done += read;
    }
    audio.Resize(done);
    return audio;
}

void WriteAudioFile(const std::filesystem::path& path, const TStereoAudio& audio,
                    int sourceFormat)
{
    TAudioWriter writer(path, audio.SampleRate, sourceFormat);
    writer.Write(audio.Left.data(), audio.Right.data(), audio.Frames());
    writer.Commit();
}

} // namespace orvo
