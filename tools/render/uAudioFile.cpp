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
    FInterleaved.resize(static_cast<std::size_t>(count * FChannels));
    const sf_count_t read = sf_readf_float(File(FFile), FInterleaved.data(), count);
    if (read < 0)
    {
        throw EAudioFile("error reading " + FPath.string() + ": " + sf_strerror(File(FFile)));
    }
    for (sf_count_t i = 0; i < read; ++i)
    {
        const auto frame = static_cast<std::size_t>(i * FChannels);
        left[i] = FInterleaved[frame];
        right[i] = FInterleaved[frame + static_cast<std::size_t>(FChannels - 1)];
    }
    return read;
}

TAudioWriter::TAudioWriter(const std::filesystem::path& path, double sampleRate,
                           int sourceFormat)
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
        info.format = format->Major | format->DefaultSubtype;
    }
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
    FInterleaved.resize(static_cast<std::size_t>(count * 2));
    for (std::int64_t i = 0; i < count; ++i)
    {
        FInterleaved[static_cast<std::size_t>(2 * i)] = left[i];
        FInterleaved[static_cast<std::size_t>(2 * i + 1)] = right[i];
    }
    if (sf_writef_float(File(FFile), FInterleaved.data(), count) != count)
    {
        throw EAudioFile("error writing " + FPath.string() + ": " + sf_strerror(File(FFile)));
    }
}

void TAudioWriter::Commit()
{
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
