#include "tools/render/uAudioFile.h"

#include "tools/render/uTextNumbers.h"

#include <sndfile.h>

#include <algorithm>
#include <array>
#include <charconv>
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
    /// Whether libsndfile writes the format to a pipe: the others go back to the header
    /// to fill in the length when they are closed.
    bool Streamable;
};

constexpr std::array<TFormatByExtension, 10> OutputFormats{{
    {".wav", SF_FORMAT_WAV, SF_FORMAT_PCM_24, false},
    {".flac", SF_FORMAT_FLAC, SF_FORMAT_PCM_24, true},
    {".ogg", SF_FORMAT_OGG, SF_FORMAT_VORBIS, true},
    {".oga", SF_FORMAT_OGG, SF_FORMAT_VORBIS, true},
    {".aiff", SF_FORMAT_AIFF, SF_FORMAT_PCM_24, false},
    {".aif", SF_FORMAT_AIFF, SF_FORMAT_PCM_24, false},
    {".au", SF_FORMAT_AU, SF_FORMAT_PCM_24, true},
    {".caf", SF_FORMAT_CAF, SF_FORMAT_PCM_24, false},
    {".w64", SF_FORMAT_W64, SF_FORMAT_PCM_24, false},
    {".rf64", SF_FORMAT_RF64, SF_FORMAT_PCM_24, false},
}};

/// The data length a writer puts into a header it cannot come back to (sox writes
/// 0x7FFFF000 into a WAV it streams, others 0xFFFFFFFF): a stated length of this many
/// bytes or more is no length at all.
constexpr double PlaceholderDataBytes = 0x7FFFF000;

/// The formats libsndfile cannot read from a pipe although it opens them: CAF reads as
/// empty, RF64 loses frames (libsndfile 1.2). FLAC fails to open.
constexpr std::array<int, 2> UnstreamableInputs{SF_FORMAT_CAF, SF_FORMAT_RF64};
constexpr const char* StreamableInputs = "WAV, AIFF, AU, W64 and Ogg";

bool IsStandardStream(const std::filesystem::path& path)
{
    return path.string() == StandardStreamName;
}

/// Bytes a sample takes in the file: 1 for compressed encodings, whose size varies.
int SampleBytes(int subtype)
{
    switch (subtype)
    {
    case SF_FORMAT_PCM_16:
        return 2;
    case SF_FORMAT_PCM_24:
        return 3;
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_FLOAT:
        return 4;
    case SF_FORMAT_DOUBLE:
        return 8;
    default:
        return 1;
    }
}

/// The number after "NAME : " in a libsndfile log line (0 when there is none).
double LoggedNumber(std::string_view line)
{
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos)
    {
        return 0.0;
    }
    const std::string_view rest = Trim(line.substr(colon + 1));
    std::uint64_t value = 0;
    std::from_chars(rest.data(), rest.data() + rest.size(), value);
    return static_cast<double>(value);
}

/// path with its symbolic links followed, to the file they lead to (which may not exist
/// yet); path itself when it is no link. A loop of links ends after MaxLinks steps.
std::filesystem::path FollowLinks(const std::filesystem::path& path)
{
    constexpr int MaxLinks = 40;
    std::filesystem::path target = path;
    std::error_code ec;
    for (int i = 0; i < MaxLinks && std::filesystem::is_symlink(target, ec); ++i)
    {
        const std::filesystem::path link = std::filesystem::read_symlink(target, ec);
        if (ec)
        {
            break;
        }
        target = link.is_absolute() ? link : target.parent_path() / link;
    }
    return target;
}

std::string LowerExtension(const std::filesystem::path& path)
{
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; });
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

std::string StreamableExtensions()
{
    std::string list;
    for (const auto& format : OutputFormats)
    {
        if (format.Streamable)
        {
            list += (list.empty() ? "" : ", ") + std::string(format.Extension);
        }
    }
    return list;
}

TAudioReader::TAudioReader(const std::filesystem::path& path) : FPath(path)
{
    std::error_code ec;
    const bool standardInput = IsStandardStream(path);
    if (!standardInput && !std::filesystem::exists(path, ec))
    {
        throw EAudioFile("input file not found: " + path.string());
    }
    if (!standardInput && std::filesystem::is_directory(path, ec))
    {
        throw EAudioFile("input is a folder, not an audio file: " + path.string());
    }
    const auto type =
        standardInput ? std::filesystem::file_type::fifo : std::filesystem::status(path, ec).type();
    const bool pipe = type == std::filesystem::file_type::fifo ||
                      type == std::filesystem::file_type::socket ||
                      type == std::filesystem::file_type::character;
    SF_INFO info{};
    FFile = sf_open(path.string().c_str(), SFM_READ, &info);
    if (FFile == nullptr)
    {
        throw EAudioFile("cannot read " + Name() + " as audio (" + sf_strerror(nullptr) + ")" +
                         (pipe ? std::string("; from a pipe libsndfile reads ") + StreamableInputs +
                                     " only, other formats must be given as a file"
                               : std::string()));
    }
    FSampleRate = info.samplerate;
    FFrames = info.frames;
    FChannels = info.channels;
    FFormat = info.format;
    FStreamed = info.seekable == 0;
    const auto refuse = [this](const std::string& message)
    {
        sf_close(File(FFile));
        FFile = nullptr;
        throw EAudioFile(message);
    };
    const int major = FFormat & SF_FORMAT_TYPEMASK;
    if (FStreamed && std::find(UnstreamableInputs.begin(), UnstreamableInputs.end(), major) !=
                         UnstreamableInputs.end())
    {
        refuse("cannot read " + Name() + ": libsndfile reads " + StreamableInputs +
               " from a pipe, not this format; give it as a file");
    }
    if (FChannels < 1 || FChannels > 2)
    {
        refuse(Name() + " has " + std::to_string(info.channels) +
               " channels; only mono and stereo files can be rendered");
    }
    if (FSampleRate <= 0)
    {
        refuse(Name() + " has no valid sample rate");
    }
    const double statedBytes =
        static_cast<double>(FFrames) * FChannels * SampleBytes(FFormat & SF_FORMAT_SUBMASK);
    FLengthKnown = !FStreamed || statedBytes < PlaceholderDataBytes;
    // libsndfile reads what a cut-short file holds and notes the size its header states
    // in its log: "data : 2646000 (should be 50272)" (WAV) or "SSND : ..." (AIFF). A
    // placeholder there is a complete file saved from a stream, not a cut-short one.
    std::array<char, 8192> log{};
    sf_command(File(FFile), SFC_GET_LOG_INFO, log.data(), static_cast<int>(log.size()));
    const std::string_view logText(log.data());
    for (std::size_t line = 0; line < logText.size();)
    {
        const std::size_t end = std::min(logText.find('\n', line), logText.size());
        const std::string_view text = logText.substr(line, end - line);
        if ((text.rfind("data", 0) == 0 || text.rfind("SSND", 0) == 0) &&
            text.find("(should be") != std::string_view::npos &&
            LoggedNumber(text) < PlaceholderDataBytes)
        {
            FCutShort = true;
        }
        line = end + 1;
    }
}

std::string TAudioReader::Name() const
{
    return IsStandardStream(FPath) ? std::string("standard input") : FPath.string();
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
            const sf_count_t read =
                sf_readf_float(File(FFile), FInterleaved.data(), AudioChunkFrames);
            if (read < 0 || (read == 0 && sf_error(File(FFile)) != SF_ERR_NO_ERROR))
            {
                throw EAudioFile("error reading " + Name() + ": " + sf_strerror(File(FFile)));
            }
            FChunkFrames = read;
            FChunkNext = 0;
            FFramesRead += read;
            if (read == 0)
            {
                // A stream shows only at its end that it held less than its header said.
                FCutShort = FCutShort || (FLengthKnown && FFramesRead < FFrames);
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

TAudioWriter::TAudioWriter(const std::filesystem::path& path, double sampleRate, int sourceFormat,
                           bool required, const std::string& type)
    : FPath(path)
{
    const bool toStream = IsStandardStream(path);
    std::error_code ec;
    // Found out before the render rather than when the finished file is put in place.
    if (!toStream && std::filesystem::is_directory(path, ec))
    {
        throw EAudioFile("the output " + path.string() +
                         " is a folder; give a file name, "
                         "such as " +
                         (path / "out.wav").string());
    }
    const std::string extension =
        type.empty() ? LowerExtension(path)
                     : LowerExtension("x." + type.substr(type.front() == '.' ? 1 : 0));
    if (toStream && type.empty())
    {
        throw EAudioFile("standard output (-) needs its format named with --type (one that "
                         "can be streamed: " +
                         StreamableExtensions() + ")");
    }
    const auto* format = std::find_if(OutputFormats.begin(), OutputFormats.end(),
                                      [&](const auto& f) { return f.Extension == extension; });
    if (format == OutputFormats.end())
    {
        throw EAudioFile((type.empty()
                              ? "cannot tell the output format from the name " + path.string()
                              : "unknown output format \"" + type + "\"") +
                         " (use one of " + WritableExtensions() + ")");
    }
    if (toStream && !format->Streamable)
    {
        throw EAudioFile(extension +
                         " files cannot be written to standard output: libsndfile "
                         "fills in their header when it closes them. Formats that can be "
                         "streamed: " +
                         StreamableExtensions());
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
    FMajor = format->Major;
    FSubtype = info.format & SF_FORMAT_SUBMASK;
    FIntegerBits = FSubtype == SF_FORMAT_PCM_16                                   ? 16
                   : FSubtype == SF_FORMAT_PCM_24                                 ? 24
                   : FSubtype == SF_FORMAT_PCM_32                                 ? 32
                   : FSubtype == SF_FORMAT_PCM_S8 || FSubtype == SF_FORMAT_PCM_U8 ? 8
                                                                                  : 0;
    if (sf_format_check(&info) == 0)
    {
        throw EAudioFile("cannot write " + extension + " files at " +
                         std::to_string(info.samplerate) + " Hz");
    }

    if (toStream)
    {
        FFile = sf_open(path.string().c_str(), SFM_WRITE, &info);
    }
    else
    {
        FTargetPath = FollowLinks(path);
        const std::filesystem::path folder = FTargetPath.parent_path().empty()
                                                 ? std::filesystem::path(".")
                                                 : FTargetPath.parent_path();
        if (!std::filesystem::is_directory(folder, ec))
        {
            throw EAudioFile("cannot write " + path.string() + ": there is no folder " +
                             folder.string());
        }
        // Built by appending: GCC 12 at -O3 misreports std::string's operator+ on a
        // literal (a -Wrestrict false positive).
        std::string partialName = ".";
        partialName += FTargetPath.filename().string();
        partialName += ".partial";
        FPartialPath = FTargetPath.parent_path() / partialName;
        FFile = sf_open(FPartialPath.string().c_str(), SFM_WRITE, &info);
    }
    if (FFile == nullptr)
    {
        throw EAudioFile("cannot write " + Name() + " (" + sf_strerror(nullptr) + ")");
    }
    // Integer encodings: samples beyond full scale are clipped instead of wrapping round.
    sf_command(File(FFile), SFC_SET_CLIPPING, nullptr, SF_TRUE);
    FInterleaved.reserve(static_cast<std::size_t>(2 * AudioChunkFrames));
}

std::string TAudioWriter::Name() const
{
    return IsStandardStream(FPath) ? std::string("standard output") : FPath.string();
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
    // FLAC takes from a tenth of the uncompressed size (quiet passages) to all of it
    // (noise): it is not judged here, and a full disk fails its writing instead.
    if (FPartialPath.empty() || FMajor == SF_FORMAT_FLAC)
    {
        return;
    }
    // Uncompressed sizes; Vorbis far less (2 bytes a frame is above any of its bit rates).
    const double bytesPerFrame = FSubtype == SF_FORMAT_VORBIS   ? 2.0
                                 : FIntegerBits > 0             ? 2.0 * FIntegerBits / 8.0
                                 : FSubtype == SF_FORMAT_DOUBLE ? 16.0
                                                                : 8.0;
    const double needed = bytesPerFrame * static_cast<double>(frames);
    std::error_code ec;
    const std::filesystem::path folder = FPartialPath.parent_path().empty()
                                             ? std::filesystem::path(".")
                                             : FPartialPath.parent_path();
    const std::filesystem::space_info space = std::filesystem::space(folder, ec);
    if (!ec && needed > static_cast<double>(space.available))
    {
        constexpr double MiB = 1024.0 * 1024.0;
        throw EAudioFile(
            FPath.string() + " would take about " + std::to_string(std::llround(needed / MiB)) +
            " MiB, but its file system has only " +
            std::to_string(std::llround(static_cast<double>(space.available) / MiB)) + " MiB free");
    }
}

TAudioWriter::~TAudioWriter()
{
    if (FFile != nullptr)
    {
        sf_close(File(FFile));
        if (!FPartialPath.empty())
        {
            std::error_code ec;
            std::filesystem::remove(FPartialPath, ec);
        }
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
        throw EAudioFile("error writing " + Name() + ": " + sf_strerror(File(FFile)));
    }
    FInterleaved.clear();
}

void TAudioWriter::Commit()
{
    Flush();
    if (!FPartialPath.empty())
    {
        sf_write_sync(File(FFile));
    }
    const int closed = sf_close(File(FFile));
    FFile = nullptr;
    std::error_code ec;
    if (closed != 0)
    {
        if (!FPartialPath.empty())
        {
            std::filesystem::remove(FPartialPath, ec);
        }
        throw EAudioFile("error finishing " + Name() + ": " + sf_error_number(closed));
    }
    if (FPartialPath.empty())
    {
        return;
    }
    // A file written over keeps its permissions, as when it is opened and rewritten.
    const std::filesystem::file_status earlier = std::filesystem::status(FTargetPath, ec);
    if (!ec && std::filesystem::is_regular_file(earlier))
    {
        std::filesystem::permissions(FPartialPath, earlier.permissions(),
                                     std::filesystem::perm_options::replace, ec);
    }
    std::filesystem::rename(FPartialPath, FTargetPath, ec);
    if (ec)
    {
        std::error_code ignored;
        std::filesystem::remove(FPartialPath, ignored);
        throw EAudioFile("cannot put the output in place as " + FPath.string() + " (" +
                         ec.message() + ")");
    }
}

TStereoAudio ReadAudioFile(const std::filesystem::path& path)
{
    TAudioReader reader(path);
    TStereoAudio audio;
    audio.SampleRate = reader.SampleRate();
    // A stream of unknown length grows chunk by chunk.
    audio.Resize(reader.LengthKnown() ? reader.Frames() : AudioChunkFrames);
    std::int64_t done = 0;
    while (true)
    {
        if (done == audio.Frames())
        {
            if (reader.LengthKnown())
            {
                break;
            }
            audio.Resize(2 * done);
        }
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

void WriteAudioFile(const std::filesystem::path& path, const TStereoAudio& audio, int sourceFormat)
{
    TAudioWriter writer(path, audio.SampleRate, sourceFormat);
    writer.Write(audio.Left.data(), audio.Right.data(), audio.Frames());
    writer.Commit();
}

} // namespace orvo
