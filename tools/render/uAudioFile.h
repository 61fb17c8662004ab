// Audio files through libsndfile: reading any format it knows as stereo (mono is fed to
// both channels), and writing a new file whose format follows its extension, never
// leaving a half-written file under the final name. "-" stands for standard input or
// output, for the formats libsndfile can stream.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace orvo
{

/// A missing, unreadable or unwritable audio file; the message is meant for the user.
class EAudioFile : public std::runtime_error
{
  public:
    using std::runtime_error::runtime_error;
};

/// Sample encodings for TAudioWriter's sourceFormat (libsndfile's codes).
constexpr int AudioPcm16 = 0x0002;
constexpr int AudioPcm24 = 0x0003;
constexpr int AudioPcm32 = 0x0004;
constexpr int AudioFloat = 0x0006;

/// Frames read from or written to a file at a time, whatever the effect's block size:
/// few system calls even when the effect runs one frame per call.
constexpr std::int64_t AudioChunkFrames = 65536;

/// Stereo audio in memory, 32-bit float samples, nominally -1..1.
struct TStereoAudio
{
    double SampleRate = 44100.0;
    std::vector<float> Left;
    std::vector<float> Right;

    [[nodiscard]] std::int64_t Frames() const noexcept
    {
        return static_cast<std::int64_t>(Left.size());
    }
    void Resize(std::int64_t frames);
};

/// The name "-" given for a file: standard input or output.
constexpr std::string_view StandardStreamName = "-";

/// Reads a file as stereo, in chunks of AudioChunkFrames. Files with more than two
/// channels are refused. "-" reads standard input, as any pipe is read: from a stream
/// libsndfile reads WAV, AIFF, AU, W64 and Ogg, but not FLAC, CAF or RF64.
class TAudioReader
{
  public:
    explicit TAudioReader(const std::filesystem::path& path);
    ~TAudioReader();
    TAudioReader(const TAudioReader&) = delete;
    TAudioReader& operator=(const TAudioReader&) = delete;

    [[nodiscard]] double SampleRate() const noexcept { return FSampleRate; }
    /// The length the header states (for a file, corrected to what the file holds).
    [[nodiscard]] std::int64_t Frames() const noexcept { return FFrames; }
    /// False when Frames() is no length at all: a stream whose header holds the
    /// placeholder a writer puts there when it cannot go back to fill in the length.
    [[nodiscard]] bool LengthKnown() const noexcept { return FLengthKnown; }
    /// The name for messages: the path, or "standard input".
    [[nodiscard]] std::string Name() const;
    [[nodiscard]] int Channels() const noexcept { return FChannels; }
    /// libsndfile's format code of the file (major type and sample encoding).
    [[nodiscard]] int Format() const noexcept { return FFormat; }
    /// Whether the file's header promises more audio than the file holds (a file cut
    /// short while it was copied or written): Frames() is then what it holds. A stream
    /// shows this only once it has been read to its end.
    [[nodiscard]] bool CutShort() const noexcept { return FCutShort; }
    /// Reads up to count frames into left and right; returns the frames read (0 at end).
    std::int64_t Read(float* left, float* right, std::int64_t count);

  private:
    void* FFile = nullptr;
    std::filesystem::path FPath;
    double FSampleRate = 0.0;
    std::int64_t FFrames = 0;
    std::int64_t FFramesRead = 0;
    int FChannels = 0;
    int FFormat = 0;
    bool FStreamed = false;
    bool FLengthKnown = true;
    bool FCutShort = false;
    std::vector<float> FInterleaved; // the current chunk
    std::int64_t FChunkFrames = 0;
    std::int64_t FChunkNext = 0;
};

/// Writes a stereo file into a hidden partial file beside the target and renames it to
/// the target on Commit; without Commit (an error, a cancelled render) the partial file
/// is removed, and an earlier file under the target name is left as it was. An earlier
/// file keeps its permissions, and a symbolic link is written through to its target.
/// "-" writes standard output, directly, in a format that can be streamed.
class TAudioWriter
{
  public:
    /// The output format follows the extension (.wav, .flac, .ogg, .aiff, ...), or type
    /// ("wav", ".au", ...) when given. The sample encoding of sourceFormat (a libsndfile
    /// code, 0 for none) is kept when the output format supports it; otherwise 24-bit
    /// integers, or what the format needs. With `required` an encoding the format
    /// cannot hold is an error instead.
    TAudioWriter(const std::filesystem::path& path, double sampleRate, int sourceFormat = 0,
                 bool required = false, const std::string& type = {});
    ~TAudioWriter();
    TAudioWriter(const TAudioWriter&) = delete;
    TAudioWriter& operator=(const TAudioWriter&) = delete;

    /// Refuses, before anything is written, a file of this many frames that cannot fit in
    /// the free space of the output's file system (judged from its sample encoding).
    /// FLAC, whose size depends on the sound, and standard output are not judged: a
    /// full disk stops them as they are written.
    void CheckRoomFor(std::int64_t frames) const;
    void Write(const float* left, const float* right, std::int64_t count);
    void Commit();

    /// Whether the file holds integer samples, which clip at full scale.
    [[nodiscard]] bool IntegerSamples() const noexcept { return FIntegerBits > 0; }
    /// The sample encoding written, for messages: "16-bit", "24-bit float", "Vorbis".
    [[nodiscard]] std::string EncodingName() const;
    /// The name for messages: the path, or "standard output".
    [[nodiscard]] std::string Name() const;
    /// The largest magnitude written so far, and how many samples lay beyond full scale
    /// (clipped when the samples are integers).
    [[nodiscard]] float Peak() const noexcept { return FPeak; }
    [[nodiscard]] std::int64_t OverFullScale() const noexcept { return FOverFullScale; }

  private:
    void Flush();

    void* FFile = nullptr;
    std::filesystem::path FPath;
    std::filesystem::path FTargetPath;  // FPath with symbolic links followed
    std::filesystem::path FPartialPath; // empty for standard output
    int FMajor = 0;
    int FSubtype = 0;
    int FIntegerBits = 0;
    std::vector<float> FInterleaved; // frames waiting to be written
    float FPeak = 0.0f;
    std::int64_t FOverFullScale = 0;
};

[[nodiscard]] TStereoAudio ReadAudioFile(const std::filesystem::path& path);
void WriteAudioFile(const std::filesystem::path& path, const TStereoAudio& audio,
                    int sourceFormat = 0);

/// The libsndfile encoding for TOptions::Bits-like sizes: 16, 24, 32 integers, -32 float.
[[nodiscard]] int SampleEncodingForBits(int bits);

/// The extensions TAudioWriter understands, for messages: ".wav, .flac, ...".
[[nodiscard]] std::string WritableExtensions();
/// Those it can write to standard output: ".au, .flac, ...".
[[nodiscard]] std::string StreamableExtensions();

} // namespace orvo
