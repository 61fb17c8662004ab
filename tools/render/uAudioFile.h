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
constexpr int AudioFloat = 0x0006;

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

/// Reads a file frame by frame as stereo. Files with more than two channels are refused.
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
    /// Reads up to count frames into left and right; returns the frames read (0 at end).
    std::int64_t Read(float* left, float* right, std::int64_t count);

private:
    void* FFile = nullptr;
    std::filesystem::path FPath;
    double FSampleRate = 0.0;
    std::int64_t FFrames = 0;
    int FChannels = 0;
    int FFormat = 0;
    std::vector<float> FInterleaved;
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
    TAudioWriter(const std::filesystem::path& path, double sampleRate, int sourceFormat = 0);
    ~TAudioWriter();
    TAudioWriter(const TAudioWriter&) = delete;
    TAudioWriter& operator=(const TAudioWriter&) = delete;

    void Write(const float* left, const float* right, std::int64_t count);
    void Commit();

private:
    void* FFile = nullptr;
    std::filesystem::path FPath;
    std::filesystem::path FPartialPath;
    std::vector<float> FInterleaved;
};

[[nodiscard]] TStereoAudio ReadAudioFile(const std::filesystem::path& path);
void WriteAudioFile(const std::filesystem::path& path, const TStereoAudio& audio,
                    int sourceFormat = 0);

/// The extensions TAudioWriter understands, for messages: ".wav, .flac, ...".
[[nodiscard]] std::string WritableExtensions();

} // namespace orvo
