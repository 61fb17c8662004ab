// The render host's Windows console program: loads a VST 2 module with LoadLibrary (from
// any folder, as a real host does) through the render tool's hosting layer and renders a
// float WAV file through it exactly the way orvo-render does on Linux: the same start-up
// calls, the program, then OverSample, blocks of --block frames, control changes at their
// frames. Also writes the reference input and compares two renders sample for sample.
//
//   orvo-render-console --plugin DLL [--program N] [--oversample on|off] [--block N]
//                       [--cc TIME:CC=VALUE ...] IN.wav OUT.wav
//   orvo-render-console --test-signal SECONDS OUT.wav
//   orvo-render-console --compare EXPECTED.wav ACTUAL.wav
#include "tests/windows/uWaveFile.h"
#include "tools/render/uVstHost.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace
{
using namespace orvo;

constexpr int ExitDifferent = 1;
constexpr int ExitUsage = 2;
constexpr int ExitFailure = 3;

class EUsageError : public std::runtime_error
{
  public:
    using std::runtime_error::runtime_error;
};

template <typename T> T Number(const std::string& option, std::string_view text)
{
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
    {
        throw EUsageError(option + ": not a number: " + std::string(text));
    }
    return value;
}

struct TCommand
{
    std::string Plugin;
    std::optional<std::int32_t> Program;
    std::optional<bool> OverSample;
    std::int32_t BlockSize = 512; // orvo-render's default
    std::vector<TMidiMessage> Changes;
    std::vector<double> ChangeSeconds;
    std::vector<std::string> Files;
};

TCommand ParseRender(const std::vector<std::string>& arguments)
{
    TCommand command;
    for (std::size_t i = 0; i < arguments.size(); ++i)
    {
        const std::string& option = arguments[i];
        const auto value = [&]() -> const std::string&
        {
            if (i + 1 >= arguments.size())
            {
                throw EUsageError(option + " needs a value");
            }
            return arguments[++i];
        };
        if (option == "--plugin")
        {
            command.Plugin = value();
        }
        else if (option == "--program")
        {
            command.Program = Number<std::int32_t>(option, value());
        }
        else if (option == "--oversample")
        {
            const std::string& state = value();
            if (state != "on" && state != "off")
            {
                throw EUsageError("--oversample takes on or off");
            }
            command.OverSample = state == "on";
        }
        else if (option == "--block")
        {
            command.BlockSize = Number<std::int32_t>(option, value());
            if (command.BlockSize < 1 || command.BlockSize > 65536)
            {
                throw EUsageError("--block takes 1 to 65536 frames");
            }
        }
        else if (option == "--cc")
        {
            // TIME:CC=VALUE, seconds, on MIDI channel 1 (as orvo-render takes it).
            const std::string& text = value();
            const std::size_t colon = text.find(':');
            const std::size_t equals = text.find('=');
            if (colon == std::string::npos || equals == std::string::npos || equals < colon)
            {
                throw EUsageError("--cc takes TIME:CC=VALUE");
            }
            const std::string_view all(text);
            command.ChangeSeconds.push_back(Number<double>(option, all.substr(0, colon)));
            TMidiMessage change;
            change.Bytes = {0xB0,
                            Number<std::uint8_t>(option, all.substr(colon + 1, equals - colon - 1)),
                            Number<std::uint8_t>(option, all.substr(equals + 1))};
            command.Changes.push_back(change);
        }
        else if (option.rfind("--", 0) == 0)
        {
            throw EUsageError("unknown option " + option);
        }
        else
        {
            command.Files.push_back(option);
        }
    }
    if (command.Plugin.empty() || command.Files.size() != 2)
    {
        throw EUsageError("a render needs --plugin DLL, an input and an output file");
    }
    return command;
}

int Render(const TCommand& command)
{
    const wine::TWave input = wine::ReadWave(command.Files[0]);
    auto plugin = TVstPlugin::Load(command.Plugin);
    if (command.Program)
    {
        plugin->SetProgram(*command.Program);
    }
    if (command.OverSample)
    {
        const std::int32_t index = plugin->FindParameter("OverSample");
        if (index < 0)
        {
            throw EVstHost("the plug-in has no OverSample parameter");
        }
        plugin->SetParameter(index, *command.OverSample ? 1.0f : 0.0f);
    }

    // Control changes at their frames (nearest frame), in time order.
    const double rate = input.SampleRate;
    std::vector<TMidiMessage> midi = command.Changes;
    for (std::size_t i = 0; i < midi.size(); ++i)
    {
        midi[i].Frame = static_cast<std::int64_t>(
            std::nearbyint(std::max(0.0, command.ChangeSeconds[i]) * rate));
    }
    std::stable_sort(midi.begin(), midi.end(),
                     [](const TMidiMessage& a, const TMidiMessage& b)
                     { return a.Frame < b.Frame; });

    const std::int32_t block = command.BlockSize;
    const auto total = static_cast<std::int64_t>(input.Left.size());
    wine::TWave output;
    output.SampleRate = input.SampleRate;
    output.Left.resize(input.Left.size());
    output.Right.resize(input.Right.size());
    std::vector<float> inLeft(static_cast<std::size_t>(block)), inRight(inLeft.size());
    std::vector<TMidiMessage> due;
    auto next = midi.begin();

    plugin->Start(rate, block);
    for (std::int64_t done = 0; done < total; done += block)
    {
        const std::int64_t count = std::min<std::int64_t>(block, total - done);
        std::copy_n(input.Left.begin() + done, count, inLeft.begin());
        std::copy_n(input.Right.begin() + done, count, inRight.begin());
        due.clear();
        while (next != midi.end() && next->Frame < done + count)
        {
            due.push_back({next->Frame - done, next->Bytes});
            ++next;
        }
        const float* inputs[2] = {inLeft.data(), inRight.data()};
        float* outputs[2] = {output.Left.data() + done, output.Right.data() + done};
        plugin->Process(inputs, outputs, count, due);
    }
    plugin->Stop();
    wine::WriteWave(command.Files[1], output);
    std::printf("%s -> %s through %s, program %d \"%s\"\n", command.Files[0].c_str(),
                command.Files[1].c_str(), plugin->EffectName().c_str(), plugin->Program(),
                plugin->ProgramName().c_str());
    return 0;
}

/// Compares the samples bit for bit (a NaN equals only the same NaN).
int Compare(const std::string& expectedPath, const std::string& actualPath)
{
    const wine::TWave expected = wine::ReadWave(expectedPath);
    const wine::TWave actual = wine::ReadWave(actualPath);
    if (expected.SampleRate != actual.SampleRate || expected.Left.size() != actual.Left.size())
    {
        std::printf("different: %u Hz, %zu frames against %u Hz, %zu frames\n", expected.SampleRate,
                    expected.Left.size(), actual.SampleRate, actual.Left.size());
        return ExitDifferent;
    }
    std::size_t differing = 0;
    std::size_t first = 0;
    for (std::size_t i = 0; i < expected.Left.size(); ++i)
    {
        const bool same = std::memcmp(&expected.Left[i], &actual.Left[i], sizeof(float)) == 0 &&
                          std::memcmp(&expected.Right[i], &actual.Right[i], sizeof(float)) == 0;
        if (!same && differing++ == 0)
        {
            first = i;
        }
    }
    if (differing != 0)
    {
        std::printf(
            "different: %zu of %zu frames, the first at frame %zu (%.9g, %.9g against "
            "%.9g, %.9g)\n",
            differing, expected.Left.size(), first, static_cast<double>(expected.Left[first]),
            static_cast<double>(expected.Right[first]), static_cast<double>(actual.Left[first]),
            static_cast<double>(actual.Right[first]));
        return ExitDifferent;
    }
    std::printf("identical: %zu frames\n", expected.Left.size());
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    try
    {
        if (arguments.size() == 3 && arguments[0] == "--test-signal")
        {
            wine::WriteWave(arguments[2],
                            wine::MakeTestSignal(Number<double>("--test-signal", arguments[1])));
            return 0;
        }
        if (arguments.size() == 3 && arguments[0] == "--compare")
        {
            return Compare(arguments[1], arguments[2]);
        }
        return Render(ParseRender(arguments));
    }
    catch (const EUsageError& error)
    {
        std::fprintf(stderr, "orvo-render-console: %s\n", error.what());
        return ExitUsage;
    }
    catch (const std::exception& error)
    {
        std::fprintf(stderr, "orvo-render-console: error: %s\n", error.what());
        return ExitFailure;
    }
}
