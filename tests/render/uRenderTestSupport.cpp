#include "tests/render/uRenderTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace orvo::test
{

TScratchFolder::TScratchFolder()
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "orvo-render-test-" + std::to_string(::getpid());
    if (info != nullptr)
    {
        name += std::string("-") + info->test_suite_name() + "-" + info->name();
    }
    FPath = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(FPath);
    std::filesystem::create_directories(FPath);
}

TScratchFolder::~TScratchFolder()
{
    std::error_code ec;
    std::filesystem::remove_all(FPath, ec);
}

std::vector<std::string> FolderNames(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
    {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

namespace
{

std::string Quoted(const std::string& word)
{
    std::string quoted = "'";
    for (const char c : word)
    {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

} // namespace

TToolResult RunTool(const std::vector<std::string>& arguments, const std::string& environment,
                    const TToolStreams& streams)
{
    std::string command =
        streams.Input.empty() ? std::string() : "cat " + Quoted(streams.Input.string()) + " | ";
    command += environment + " '" ORVO_RENDER_TOOL "'";
    for (const std::string& argument : arguments)
    {
        command += " " + Quoted(argument);
    }
    command +=
        streams.Output.empty() ? std::string(" 2>&1") : " 2>&1 >" + Quoted(streams.Output.string());
    command += streams.Input.empty() ? " </dev/null" : "";
    TToolResult result;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
    {
        return result;
    }
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
    {
        result.Output.append(buffer, got);
    }
    const int status = ::pclose(pipe);
    result.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

TToolProcess::TToolProcess(const std::vector<std::string>& arguments,
                           std::filesystem::path outputFile)
    : FOutputFile(std::move(outputFile))
{
    std::vector<std::string> words{ORVO_RENDER_TOOL};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
    {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    const std::string output = FOutputFile.string();
    FPid = ::fork();
    if (FPid == 0)
    {
        const int file = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(file, 1);
        ::dup2(file, 2);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
}

TToolProcess::~TToolProcess()
{
    if (FPid > 0)
    {
        ::kill(FPid, SIGKILL);
        ::waitpid(FPid, nullptr, 0);
    }
}

void TToolProcess::Signal(int signal) const
{
    ::kill(FPid, signal);
}

TToolResult TToolProcess::Wait()
{
    TToolResult result;
    siginfo_t info{};
    // Wait without reaping, so that the ended process's I/O counts can still be read.
    if (::waitid(P_PID, static_cast<id_t>(FPid), &info, WEXITED | WNOWAIT) == 0)
    {
        std::ifstream io("/proc/" + std::to_string(FPid) + "/io");
        std::string key;
        std::int64_t value = 0;
        while (io >> key >> value)
        {
            if (key == "syscr:")
            {
                FReadCalls = value;
            }
            else if (key == "syscw:")
            {
                FWriteCalls = value;
            }
        }
    }
    int status = 0;
    ::waitpid(FPid, &status, 0);
    FPid = -1;
    result.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(FOutputFile);
    result.Output.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return result;
}

bool WaitForFile(const std::filesystem::path& path, double timeout)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeout);
    while (!std::filesystem::exists(path))
    {
        if (std::chrono::steady_clock::now() > end)
        {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

TStereoAudio Noise(std::int64_t frames, float level, double rate)
{
    TStereoAudio audio;
    audio.SampleRate = rate;
    audio.Resize(frames);
    std::uint32_t state = 12345u;
    const auto next = [&state]
    {
        state = state * 1664525u + 1013904223u;
        return static_cast<float>(state >> 8) / 8388608.0f - 1.0f;
    };
    for (std::int64_t i = 0; i < frames; ++i)
    {
        audio.Left[static_cast<std::size_t>(i)] = level * next();
        audio.Right[static_cast<std::size_t>(i)] = level * next();
    }
    return audio;
}

void WriteFloatWav(const std::filesystem::path& path, const TStereoAudio& audio)
{
    WriteAudioFile(path, audio, AudioFloat);
}

TMidiFileBuilder::TMidiFileBuilder(std::uint16_t format, std::uint16_t division)
    : FFormat(format), FDivision(division)
{
}

TMidiFileBuilder& TMidiFileBuilder::Track()
{
    FTracks.emplace_back();
    return *this;
}

TMidiFileBuilder& TMidiFileBuilder::Event(std::uint32_t delta,
                                          const std::vector<std::uint8_t>& bytes)
{
    std::vector<std::uint8_t> quantity{static_cast<std::uint8_t>(delta & 0x7Fu)};
    while ((delta >>= 7) != 0)
    {
        quantity.insert(quantity.begin(), static_cast<std::uint8_t>(0x80u | (delta & 0x7Fu)));
    }
    auto& track = FTracks.back();
    track.insert(track.end(), quantity.begin(), quantity.end());
    track.insert(track.end(), bytes.begin(), bytes.end());
    return *this;
}

TMidiFileBuilder& TMidiFileBuilder::Tempo(std::uint32_t delta, std::uint32_t microsecondsPerBeat)
{
    return Event(delta, {0xFF, 0x51, 0x03, static_cast<std::uint8_t>(microsecondsPerBeat >> 16),
                         static_cast<std::uint8_t>(microsecondsPerBeat >> 8),
                         static_cast<std::uint8_t>(microsecondsPerBeat)});
}

std::vector<std::uint8_t> TMidiFileBuilder::Bytes() const
{
    std::vector<std::uint8_t> bytes{'M', 'T', 'h', 'd', 0, 0, 0, 6};
    const auto be16 = [&bytes](std::uint32_t v)
    {
        bytes.push_back(static_cast<std::uint8_t>(v >> 8));
        bytes.push_back(static_cast<std::uint8_t>(v));
    };
    be16(FFormat);
    be16(static_cast<std::uint32_t>(FTracks.size()));
    be16(FDivision);
    for (const auto& track : FTracks)
    {
        const std::vector<std::uint8_t> end{0x00, 0xFF, 0x2F, 0x00};
        const auto length = static_cast<std::uint32_t>(track.size() + end.size());
        bytes.insert(bytes.end(), {'M', 'T', 'r', 'k'});
        be16(length >> 16);
        be16(length & 0xFFFFu);
        bytes.insert(bytes.end(), track.begin(), track.end());
        bytes.insert(bytes.end(), end.begin(), end.end());
    }
    return bytes;
}

void TMidiFileBuilder::Save(const std::filesystem::path& path) const
{
    const auto bytes = Bytes();
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

} // namespace orvo::test
