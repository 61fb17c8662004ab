// orvo-render: renders audio files through Orvo (or any VST 2 effect), lists its
// parameters and programs, writes the demo folder, runs the benchmark and draws Orvo's
// editor into a picture.
#include "parameters/uParameterTable.h"
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
#include <cmath>
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
/// A cancelled run ends as a shell reports a program ended by that signal: 128 + its number.
constexpr int ExitSignalBase = 128;

/// The progress bar appears only when a render has run this long (wall time).
constexpr double ProgressDelaySeconds = 0.3;
constexpr int ProgressBarWidth = 40;

/// Orvo's VST unique ID ('Orvo') and the CC of parameter 0 in its default MIDI map.
constexpr std::int32_t OrvoUniqueId = fourCharCode('O', 'r', 'v', 'o');

std::atomic<bool> gCancel{false};
std::atomic<int> gSignal{SIGINT};

/// Ctrl-C, a terminal hang-up and a request to end all stop the render between two blocks,
/// so that the partial output is removed as for any failed render.
extern "C" void OnEndSignal(int signal)
{
    gSignal.store(signal, std::memory_order_relaxed);
    gCancel.store(true, std::memory_order_relaxed);
}

void CatchEndSignals()
{
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
    {
        std::signal(signal, OnEndSignal);
    }
}

class TProgressBar
{
  public:
    explicit TProgressBar(bool enabled) : FEnabled(enabled) {}
    ~TProgressBar()
    {
        if (FShown)
        {
            std::fputs("\r\033[K", stderr); // an interrupted bar is cleared away
        }
    }

    /// Ends the bar's line (at 100 %), so that what follows starts on a line of its own.
    void Finish()
    {
        if (FShown)
        {
            Draw(100);
            std::fputs("\n", stderr);
            std::fflush(stderr);
            FShown = false;
        }
    }

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
        Draw(percent);
    }

  private:
    void Draw(int percent)
    {
        const int filled = ProgressBarWidth * percent / 100;
        std::string bar = "\r[";
        bar.append(static_cast<std::size_t>(filled), '#');
        bar.append(static_cast<std::size_t>(ProgressBarWidth - filled), '-');
        bar += "] ";
        bar += std::to_string(percent);
        bar += "%";
        std::fputs(bar.c_str(), stderr);
        std::fflush(stderr);
    }

    bool FEnabled;
    bool FShown = false;
    int FLastPercent = -1;
    std::chrono::steady_clock::time_point FStart = std::chrono::steady_clock::now();
};

void Print(const std::string& text)
{
    std::fputs(text.c_str(), stdout);
}

/// What the run tells the user beside its output: on standard error when the audio goes
/// to standard output.
void Tell(const TOptions& options, const std::string& text)
{
    std::fputs(text.c_str(), options.Output == "-" ? stderr : stdout);
}

std::string Plural(std::int64_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

void Warn(const std::string& text)
{
    std::fputs(("orvo-render: warning: " + text + "\n").c_str(), stderr);
}

std::string Seconds(double seconds)
{
    return FormatFixed(seconds, 2) + " s";
}

/// Peak level in dBFS for the summary.
std::string PeakText(float peak)
{
    if (peak <= 0.0f)
    {
        return "silent";
    }
    std::string text = "peak ";
    text += FormatFixed(20.0 * std::log10(static_cast<double>(peak)), 2);
    text += " dBFS";
    return text;
}

int Render(const TOptions& options)
{
    auto plugin = LoadPlugin(options.Plugin);
    ApplySettings(*plugin, options.Program, options.Parameters, options.OverSample);

    TRenderSettings settings;
    settings.BlockSize = options.BlockSize;
    settings.TailSeconds = options.TailSeconds;
    settings.Bits = options.Bits;
    settings.OutputType = options.OutputType;
    if (!options.MidiFile.empty())
    {
        settings.Midi = LoadMidiFile(options.MidiFile);
    }
    settings.Midi.insert(settings.Midi.end(), options.ControlChanges.begin(),
                         options.ControlChanges.end());

    CatchEndSignals();
    const auto start = std::chrono::steady_clock::now();
    TProgressBar bar(!options.Quiet && IsTerminal(stderr));
    const TFileRenderReport report = RenderFile(
        *plugin, options.Input, options.Output, settings,
        [&bar](std::int64_t done, std::int64_t total) { bar.Update(done, total); }, &gCancel);
    bar.Finish();
    const double took =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    const std::string input = options.Input == "-" ? "standard input" : options.Input;
    const std::string output = options.Output == "-" ? "standard output" : options.Output;
    const double heldSeconds = static_cast<double>(report.InputFrames) / report.SampleRate;
    if (report.InputFrames == 0)
    {
        Warn(input + " holds no audio" +
             (report.OutputFrames > 0 ? "; the output holds only the tail"
                                      : "; the output is empty"));
    }
    else if (report.InputCutShort)
    {
        Warn(input +
             " ends early: its header promises more audio than the file holds "
             "(a cut-short copy?); rendered the " +
             Seconds(heldSeconds) + " it holds");
    }
    if (report.MidiPastEnd > 0)
    {
        Warn(Plural(report.MidiPastEnd, "MIDI message lies", "MIDI messages lie") +
             " past the end of the output (" +
             Seconds(static_cast<double>(report.OutputFrames) / report.SampleRate) + ") and " +
             (report.MidiPastEnd == 1 ? "was" : "were") + " not sent");
    }
    if (options.Quiet)
    {
        return 0;
    }
    std::string summary = input + " -> " + output + " through " + plugin->EffectName() +
                          ", program " + std::to_string(plugin->Program()) + " \"" +
                          plugin->ProgramName() + "\"\n";
    summary += "  " + Seconds(static_cast<double>(report.OutputFrames) / report.SampleRate) +
               " of audio (" + report.OutputEncoding + ") in " + Seconds(took) + "; " +
               PeakText(report.Peak);
    if (report.IntegerOutput)
    {
        // The hint names OutGain only where the effect has it.
        const bool outGain = plugin->FindParameter(InfoOf(prOutGain).Name) >= 0;
        const std::string remedy =
            outGain ? "lower OutGain, or use --bits float" : "use --bits float";
        summary += report.Clipped == 0 ? std::string(", no samples clipped")
                                       : "; " + std::to_string(report.Clipped) +
                                             " samples clipped at full scale (" + remedy + ")";
    }
    summary += "\n";
    if (report.InputChannels == 1)
    {
        summary += "  the mono input was fed to both inputs; the output is stereo\n";
    }
    Tell(options, summary);
    return 0;
}

int List(const TOptions& options)
{
    auto plugin = LoadPlugin(options.Plugin);
    ApplySettings(*plugin, options.Program, options.Parameters, options.OverSample);
    // Orvo's default MIDI map: each parameter's default controller from its record.
    const bool orvo = plugin->UniqueId() == OrvoUniqueId;
    Print(plugin->EffectName() + " (" + plugin->Path().string() + ")\n\nParameters" +
          (orvo ? " (CC: the MIDI controller that drives it in the default map)" : "") + ":\n");
    for (std::int32_t i = 0; i < plugin->NumParameters(); ++i)
    {
        std::string line =
            "  " + std::to_string(i) + (i < 10 ? "   " : "  ") + plugin->ParameterName(i);
        line.resize(std::max<std::size_t>(line.size() + 1, 32), ' ');
        if (orvo)
        {
            const std::int32_t cc =
                IsParameterIndex(i) ? InfoOf(i).DefaultController : NoController;
            line += cc != NoController ? "CC " + std::to_string(cc) + "  " : "CC --  ";
        }
        line += "norm:" + FormatFixed(plugin->Parameter(i), 4) + "  " + plugin->ParameterDisplay(i);
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
        case rmVersion:
            Print(VersionText() + "\n");
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
        std::fprintf(stderr, "orvo-render: cancelled; %s was not written\n",
                     options.Output == "-" ? "standard output" : options.Output.c_str());
        return ExitSignalBase + gSignal.load(std::memory_order_relaxed);
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
