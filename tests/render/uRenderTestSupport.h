// Helpers of the render tests: a scratch folder per test, running orvo-render as a user
// does, test signals and Standard MIDI File bytes.
#pragma once

#include "tools/render/uAudioFile.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace orvo::test
{

/// A fresh folder named after the running test, removed afterwards.
class TScratchFolder
{
  public:
    TScratchFolder();
    ~TScratchFolder();
    TScratchFolder(const TScratchFolder&) = delete;
    TScratchFolder& operator=(const TScratchFolder&) = delete;
    [[nodiscard]] std::filesystem::path operator/(const std::string& name) const
    {
        return FPath / name;
    }
    [[nodiscard]] const std::filesystem::path& Path() const { return FPath; }

  private:
    std::filesystem::path FPath;
};

/// The names in a folder, sorted: to see which files a run left behind.
[[nodiscard]] std::vector<std::string> FolderNames(const std::filesystem::path& folder);

struct TToolResult
{
    int ExitCode = -1;
    std::string Output; // standard output and error together
};

/// How RunTool connects the program's standard streams: by default standard input is
/// empty and Output holds standard output and error together.
struct TToolStreams
{
    std::filesystem::path Input;  // piped in (through cat, so never seekable)
    std::filesystem::path Output; // standard output goes here; Output then holds errors only
};

/// Runs the orvo-render program with these arguments, and environment settings
/// ("NAME=value ...") before them when given.
[[nodiscard]] TToolResult RunTool(const std::vector<std::string>& arguments,
                                  const std::string& environment = "",
                                  const TToolStreams& streams = {});

/// orvo-render running beside the test: to signal it while it works, and to count the
/// system calls it made.
class TToolProcess
{
  public:
    /// Starts the program; its output goes to outputFile.
    TToolProcess(const std::vector<std::string>& arguments, std::filesystem::path outputFile);
    ~TToolProcess();
    TToolProcess(const TToolProcess&) = delete;
    TToolProcess& operator=(const TToolProcess&) = delete;

    void Signal(int signal) const;
    /// Waits for the end; ReadCalls and WriteCalls are then the system calls it made.
    TToolResult Wait();
    [[nodiscard]] std::int64_t ReadCalls() const { return FReadCalls; }
    [[nodiscard]] std::int64_t WriteCalls() const { return FWriteCalls; }

  private:
    int FPid = -1;
    std::filesystem::path FOutputFile;
    std::int64_t FReadCalls = -1;
    std::int64_t FWriteCalls = -1;
};

/// Waits up to timeout seconds for a file to appear.
[[nodiscard]] bool WaitForFile(const std::filesystem::path& path, double timeout);

/// Deterministic white noise at level (peak), stereo, the channels differing.
[[nodiscard]] TStereoAudio Noise(std::int64_t frames, float level = 0.5f, double rate = 44100.0);
/// Writes 32-bit float WAV, so that samples come back exactly.
void WriteFloatWav(const std::filesystem::path& path, const TStereoAudio& audio);

/// Builds Standard MIDI File bytes.
class TMidiFileBuilder
{
  public:
    TMidiFileBuilder(std::uint16_t format, std::uint16_t division);
    /// Starts a new track; events go into the last track started.
    TMidiFileBuilder& Track();
    /// Raw event bytes after a delta time in ticks (status included, or left out for
    /// running status).
    TMidiFileBuilder& Event(std::uint32_t delta, const std::vector<std::uint8_t>& bytes);
    TMidiFileBuilder& Tempo(std::uint32_t delta, std::uint32_t microsecondsPerBeat);
    [[nodiscard]] std::vector<std::uint8_t> Bytes() const;
    void Save(const std::filesystem::path& path) const;

  private:
    std::uint16_t FFormat;
    std::uint16_t FDivision;
    std::vector<std::vector<std::uint8_t>> FTracks;
};

} // namespace orvo::test
