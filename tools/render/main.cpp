// orvo-render: renders audio files through Orvo (or any VST 2 effect), lists its
// parameters and programs, writes the demo folder, runs the benchmark and draws Orvo's
// editor into a picture.
#include "tools/render/uBench.h"
#include "tools/render/uDemo.h"
#include "tools/render/uEditorShot.h"
#include "tools/render/uOptions.h"
#include "tools/render/uPluginSetup.h"
#include "tools/render/uRender.h"
#include "tools/render/uSignalStats.h"
#include "tools/render/uSystem.h"
#include "tools/render/uTextNumbers.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

namespace
{

using namespace orvo;

constexpr int ExitFailure = 1;
constexpr int ExitUsage = 2;
constexpr int ExitCancelled = 130;

/// The progress bar appears only when a render has run this long (wall time).
constexpr double ProgressDelaySeconds = 0.3;
constexpr int ProgressBarWidth = 40;

std::atomic<bool> gCancel{false};

extern "C" void OnInterrupt(int)
{
    gCancel.store(true, std::memory_order_relaxed);
}

class TProgressBar
{
public:
    explicit TProgressBar(bool enabled) : FEnabled(enabled) {}
    ~TProgressBar()
    {
        if (FShown)
        {
            std::fputs("\r\033[K", stderr);
        }
    }
    TProgressBar(const TProgressBar&) = delete;
    TProgressBar& operator=(const TProgressBar&) = delete;

    void Update(std::int64_t done, std::int64_t total)
    {
        if (!FEnabled || total <= 0)
        {
            return;
        }
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - FStart).count();
        const int percent = static_cast<int>(100 * done / total);
        if (elapsed < ProgressDelaySeconds || percent == FLastPercent)
        {
            return;
        }
        FLastPercent = percent;
        FShown = true;
        const int filled = ProgressBarWidth * percent / 100;
        std::string bar = "\r[" + std::string(static_cast<std::size_t>(filled), '#') +
                          std::string(static_cast<std::size_t>(ProgressBarWidth - filled), '-') +
                          "] " + std::to_string(percent) + "%";
        std::fputs(bar.c_str(), stderr);
        std::fflush(stderr);
    }

private:
    bool FEnabled;
    bool FShown = false;
    int FLastPercent = -1;
    std::chrono::steady_clock::time_point FStart = std::chrono::steady_clock::now();
};

void Print(const std::string& text)
{
    std::fputs(text.c_str(), stdout);
}

int Render(const TOptions& options)
{
    auto plugin = LoadPlugin(options.Plugin);
    ApplySettings(*plugin, options.Program, options.Parameters, options.OverSample);

    TRenderSettings settings;
    settings.BlockSize = options.BlockSize;
    settings.TailSeconds = options.TailSeconds;
    if (!options.MidiFile.empty())
    {
        settings.Midi = LoadMidiFile(options.MidiFile);
    }
    settings.Midi.insert(settings.Midi.end(), options.ControlChanges.begin(),
                         options.ControlChanges.end());

    std::signal(SIGINT, OnInterrupt);
    TProgressBar bar(!options.Quiet && IsTerminal(stderr));
    RenderFile(*plugin, options.Input, options.Output, settings,
               [&bar](std::int64_t done, std::int64_t total) { bar.Update(done, total); },
               &gCancel);
    if (!options.Quiet)
    {
        Print(options.Input + " -> " + options.Output + " through " + plugin->EffectName() +
              ", program " + std::to_string(plugin->Program()) + " \"" + plugin->ProgramName() +
              "\"\n");
    }
    return 0;
}

int List(const TOptions& options)
{
    auto plugin = LoadPlugin(options.Plugin);
    ApplySettings(*plugin, options.Program, options.Parameters, options.OverSample);
    Print(plugin->EffectName() + " (" + plugin->Path().string() + ")\n\nParameters:\n");
    for (std::int32_t i = 0; i < plugin->NumParameters(); ++i)
    {
        std::string line = "  " + std::to_string(i) + (i < 10 ? "   " : "  ") +
                           plugin->ParameterName(i);
        line.resize(std::max<std::size_t>(line.size() + 1, 32), ' ');
        line += FormatFixed(plugin->Parameter(i), 4) + "  " + plugin->ParameterDisplay(i);
        const std::string label = plugin->ParameterLabel(i);
        Print(line + (label.empty() ? "" : " " + label) + "\n");
    }
    Print("\nPrograms:\n");
    const std::int32_t current = plugin->Program();
    for (std::int32_t i = 0; i < plugin->NumPrograms(); ++i)
    {
        Print((i == current ? "* " : "  ") + std::to_string(i) + (i < 10 ? "   " : "  ") +
              plugin->ProgramNameIndexed(i) + "\n");
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    TOptions options;
    try
    {
        options = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
    }
    catch (const EUsage& error)
    {
        std::fprintf(stderr, "orvo-render: %s\n", error.what());
        return ExitUsage;
    }
    try
    {
        switch (options.Mode)
        {
        case rmHelp:
            Print(UsageText());
            return 0;
        case rmList:
            return List(options);
        case rmDemo:
            return RunDemo(options);
        case rmBench:
            return RunBench(options);
        case rmEditorShot:
            return RunEditorShot(options);
        case rmRender:
            return Render(options);
        }
    }
    catch (const ECancelled&)
    {
        std::fprintf(stderr, "orvo-render: cancelled; %s was not written\n", options.Output.c_str());
        return ExitCancelled;
    }
    catch (const EUsage& error)
    {
        std::fprintf(stderr, "orvo-render: %s\n", error.what());
        return ExitUsage;
    }
    catch (const std::exception& error)
    {
        std::fprintf(stderr, "orvo-render: error: %s\n", error.what());
        return ExitFailure;
    }
    return ExitFailure;
}
