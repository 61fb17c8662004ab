// Audio files through libsndfile: reading any format it knows as stereo (mono is fed to
// both channels), and writing a new file whose format follows its extension, never
// leaving a half-written file under the final name.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
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

/// Reads a file as stereo, in chunks of AudioChunkFrames. Files with more than two
/// channels are refused.
class TAudioReader
{
public:
    explicit TAudioReader(const std::filesystem::path& path);
    ~TAudioReader();
    TAudioReader(const TAudioReader&) = delete;
    TAudioReader& operator=(const TAudioReader&) = delete;

    [[nodiscard]] double SampleRate() const noexcept { return FSampleRate; }
    [[nodiscard]] std::int64_t Frames() const noexcept { return FFrames; }
    [[nodiscard]] int Channels() const noexcept { return FChannels; }
    /// libsndfile's format code of the file (major type and sample encoding).
    [[nodiscard]] int Format() const noexcept { return FFormat; }
    /// Whether the file's header promises more audio than the file holds (a file cut
    /// short while it was copied or written): Frames() is then what it holds.
    [[nodiscard]] bool CutShort() const noexcept { return FCutShort; }
    /// Reads up to count frames into left and right; returns the frames read (0 at end).
    std::int64_t Read(float* left, float* right, std::int64_t count);

private:
    void* FFile = nullptr;
    std::filesystem::path FPath;
    double FSampleRate = 0.0;
    std::int64_t FFrames = 0;
    int FChannels = 0;
    int FFormat = 0;
    bool FCutShort = false;
    std::vector<float> FInterleaved; // the current chunk
    std::int64_t FChunkFrames = 0;
    std::int64_t FChunkNext = 0;
};

/// Writes a stereo file into a hidden partial file beside the target and renames it to
/// the target on Commit; without Commit (an error, a cancelled render) the partial file
/// is removed, and an earlier file under the target name is left as it was.
class TAudioWriter
{
public:
    /// The output format follows the extension (.wav, .flac, .ogg, .aiff, ...). The
    /// sample encoding of sourceFormat (a libsndfile code, 0 for none) is kept when the
    /// output format supports it; otherwise 24-bit integers, or what the format needs.
    /// With `required` an encoding the format cannot hold is an error instead.
    TAudioWriter(const std::filesystem::path& path, double sampleRate, int sourceFormat = 0,
                 bool required = false);
    ~TAudioWriter();
    TAudioWriter(const TAudioWriter&) = delete;
    TAudioWriter& operator=(const TAudioWriter&) = delete;

    /// Refuses, before anything is written, a file of this many frames that cannot fit in
    /// the free space of the output's file system (judged from its sample encoding).
    void CheckRoomFor(std::int64_t frames) const;
    void Write(const float* left, const float* right, std::int64_t count);
    void Commit();

    /// Whether the file holds integer samples, which clip at full scale.
    [[nodiscard]] bool IntegerSamples() const noexcept { return FIntegerBits > 0; }
    /// The sample encoding written, for messages: "16-bit", "24-bit float", "Vorbis".
    [[nodiscard]] std::string EncodingName() const;
    /// The largest magnitude written so far, and how many samples lay beyond full scale
    /// (clipped when the samples are integers).
    [[nodiscard]] float Peak() const noexcept { return FPeak; }
    [[nodiscard]] std::int64_t OverFullScale() const noexcept { return FOverFullScale; }

private:
    void Flush();

    void* FFile = nullptr;
    std::filesystem::path FPath;
    std::filesystem::path FPartialPath;
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

} // namespace orvo
