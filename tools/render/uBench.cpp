#include "tools/render/uBench.h"

#include "parameters/uParameterTable.h"
#include "tools/render/uDemoPiece.h"
#include "tools/render/uPluginSetup.h"
#include "tools/render/uSystem.h"
#include "tools/render/uTextNumbers.h"
#include "tools/render/uVstHost.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>

namespace orvo
{

namespace
{

struct TContender
{
    TVstPlugin* Plugin;
    std::function<void()> Prepare; // puts the plug-in into this chain's state
    TBenchSubject Subject;
    std::int32_t CcEvery = 0; // frames between controllers; 0: no MIDI
};

/// The controller a host automating OutGain sends (CC 33 drives it in the default map),
/// moving it by one step either way around its middle.
constexpr std::uint8_t BenchController = 33;

/// Processes the material once from a clean start; returns thread CPU ns per frame.
double TimeOnce(TVstPlugin& plugin, const TStereoAudio& material, std::int32_t block,
                TStereoAudio& output, std::int32_t ccEvery = 0)
{
    plugin.Start(material.SampleRate, block, plRealtime);
    const float* inputs[2] = {material.Left.data(), material.Right.data()};
    float* outputs[2] = {output.Left.data(), output.Right.data()};
    // Made before the timing starts; each block gets the controllers that fall inside it.
    std::vector<TMidiMessage> events;
    for (std::int64_t frame = 0; ccEvery > 0 && frame < material.Frames(); frame += ccEvery)
    {
        const auto value = static_cast<std::uint8_t>(64 + (frame / ccEvery) % 2);
        events.push_back({frame, {0xB0, BenchController, value}});
    }
    std::size_t next = 0;
    // The host records the thru messages and automation it is sent. Cleared here, its
    // records keep the room the untimed pass gave them, so the timing measures the effect's
    // calls rather than the host's vectors growing.
    plugin.ClearReceived();
    const double start = ThreadCpuSeconds();
    for (std::int64_t done = 0; done < material.Frames(); done += block)
    {
        const std::int64_t count = std::min<std::int64_t>(block, material.Frames() - done);
        const float* in[2] = {inputs[0] + done, inputs[1] + done};
        float* out[2] = {outputs[0] + done, outputs[1] + done};
        std::size_t last = next;
        while (last < events.size() && events[last].Frame < done + count)
        {
            events[last++].Frame -= done;
        }
        plugin.Process(in, out, count,
                       std::span<const TMidiMessage>(events).subspan(next, last - next));
        next = last;
    }
    const double seconds = ThreadCpuSeconds() - start;
    plugin.Stop();
    return seconds * 1e9 / static_cast<double>(material.Frames());
}

std::string JsonText(const std::string& text)
{
    std::string quoted = "\"";
    for (const char c : text)
    {
        if (c == '"' || c == '\\')
        {
            quoted += '\\';
        }
        if (static_cast<unsigned char>(c) >= 0x20)
        {
            quoted += c;
        }
    }
    return quoted + "\"";
}

/// A folder of the run's own for module copies, removed with its contents at the end.
class TScratchFolder
{
  public:
    TScratchFolder()
        : FPath(std::filesystem::temp_directory_path() /
                ("orvo-bench-" +
                 std::to_string(std::chrono::steady_clock::now().time_since_epoch().count())))
    {
        std::filesystem::create_directories(FPath);
    }
    TScratchFolder(const TScratchFolder&) = delete;
    TScratchFolder& operator=(const TScratchFolder&) = delete;
    ~TScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(FPath, ignored);
    }
    const std::filesystem::path& Path() const noexcept { return FPath; }

  private:
    std::filesystem::path FPath;
};

/// Orvo as one group of contenders: its label's ending and the loaded module.
struct TTimedModule
{
    std::string Label;
    std::unique_ptr<TVstPlugin> Plugin;
};

/// The module, or with --bench-simd one copy of it per instruction set, each loaded while
/// ORVO_SIMD names its set: a module picks its set once, when it makes its first effect, and
/// each copy is a module of its own, so the sets can be timed interleaved in one process.
std::vector<TTimedModule> LoadTimedModules(const TOptions& options, const TScratchFolder& scratch)
{
    std::vector<TTimedModule> modules;
    if (options.BenchSimd.empty())
    {
        modules.push_back({std::string(), LoadPlugin(options.Plugin)});
        return modules;
    }
    const std::filesystem::path original = PluginPath(options.Plugin);
    const char* asked = std::getenv("ORVO_SIMD");
    const std::string before = asked != nullptr ? asked : "";
    for (const std::string& set : options.BenchSimd)
    {
        const std::filesystem::path copy = scratch.Path() / set / original.filename();
        std::filesystem::create_directories(copy.parent_path());
        std::filesystem::copy_file(original, copy,
                                   std::filesystem::copy_options::overwrite_existing);
        SetEnvironment("ORVO_SIMD", set);
        modules.push_back({" [" + set + "]", TVstPlugin::Load(copy)});
    }
    SetEnvironment("ORVO_SIMD", before);
    return modules;
}

double RealtimeFactor(double nsPerFrame, double rate)
{
    return nsPerFrame > 0.0 ? 1e9 / (nsPerFrame * rate) : 0.0;
}

bool HasVersus(const TBenchReport& report)
{
    return report.Versus && report.Subjects.size() >= 2;
}

double Ratio(const TBenchSubject& other, const TBenchSubject& own)
{
    return own.Median() > 0.0 ? other.Median() / own.Median() : 0.0;
}

} // namespace

double TBenchSubject::Median() const
{
    std::vector<double> sorted = NsPerFrame;
    std::sort(sorted.begin(), sorted.end());
    const std::size_t n = sorted.size();
    if (n == 0)
    {
        return 0.0;
    }
    return n % 2 == 1 ? sorted[n / 2] : 0.5 * (sorted[n / 2 - 1] + sorted[n / 2]);
}

double TBenchSubject::Lowest() const
{
    return NsPerFrame.empty() ? 0.0 : *std::min_element(NsPerFrame.begin(), NsPerFrame.end());
}

double TBenchSubject::Highest() const
{
    return NsPerFrame.empty() ? 0.0 : *std::max_element(NsPerFrame.begin(), NsPerFrame.end());
}

TBenchReport MeasureBench(const TOptions& options)
{
    TBenchReport report;
    report.BlockSize = options.BlockSize;
    report.Repeats = options.BenchRepeats;
    const TStereoAudio piece = SynthesiseDemoPiece();
    TStereoAudio material;
    material.SampleRate = piece.SampleRate;
    material.Resize(static_cast<std::int64_t>(options.BenchSeconds * piece.SampleRate));
    for (std::int64_t i = 0; i < material.Frames(); ++i)
    {
        const auto from = static_cast<std::size_t>(i % piece.Frames());
        material.Left[static_cast<std::size_t>(i)] = piece.Left[from];
        material.Right[static_cast<std::size_t>(i)] = piece.Right[from];
    }
    report.MaterialSeconds = static_cast<double>(material.Frames()) / material.SampleRate;
    report.SampleRate = material.SampleRate;

    // Declared first, so that the module copies in it are unloaded before it is removed.
    const TScratchFolder scratch;
    std::vector<TTimedModule> mains = LoadTimedModules(options, scratch);
    for (TTimedModule& main : mains)
    {
        ApplySettings(*main.Plugin, options.Program, options.Parameters);
    }
    std::unique_ptr<TVstPlugin> versus;
    if (!options.VersusPlugin.empty())
    {
        versus = TVstPlugin::Load(options.VersusPlugin);
        ApplySettings(*versus, std::nullopt, options.VersusParameters);
    }

    std::vector<TContender> contenders;
    // Each program asked for (or the --program setting) at both rates, each once more with
    // controllers when asked, each at every instruction set asked for; all of them
    // interleaved with the other module.
    std::vector<std::optional<std::string>> programs(options.BenchPrograms.begin(),
                                                     options.BenchPrograms.end());
    if (programs.empty())
    {
        programs.push_back(std::nullopt);
    }
    std::vector<std::int32_t> ccSpacings{0};
    if (options.BenchCcEvery > 0)
    {
        ccSpacings.push_back(options.BenchCcEvery);
    }
    for (const std::optional<std::string>& program : programs)
    {
        for (TTimedModule& main : mains)
        {
            TVstPlugin* plugin = main.Plugin.get();
            const std::int32_t overSample = plugin->FindParameter(InfoOf(prOverSample).Name);
            const std::string name =
                plugin->EffectName() + (program ? " " + *program : std::string());
            auto settings = [plugin, program, &options]
            {
                if (program)
                {
                    ApplySettings(*plugin, program, options.Parameters);
                }
            };
            for (const std::int32_t ccEvery : ccSpacings)
            {
                const std::string midi =
                    ccEvery > 0 ? ", CC every " + std::to_string(ccEvery) : std::string();
                const std::string module = plugin->Path().string();
                if (overSample < 0)
                {
                    contenders.push_back(
                        {plugin, settings, {name + midi + main.Label, module, {}}, ccEvery});
                    continue;
                }
                for (const auto& [chain, switchValue] :
                     {std::pair{" host rate", 0.0f}, std::pair{" oversampled", 1.0f}})
                {
                    contenders.push_back({plugin,
                                          [plugin, overSample, settings, value = switchValue]
                                          {
                                              settings();
                                              plugin->SetParameter(overSample, value);
                                          },
                                          {name + chain + midi + main.Label, module, {}},
                                          ccEvery});
                }
            }
        }
    }
    if (versus)
    {
        report.Versus = true;
        contenders.push_back(
            {versus.get(), [] {}, {versus->EffectName(), versus->Path().string(), {}}});
    }

    TStereoAudio output;
    output.Resize(material.Frames());
    // One untimed pass each warms caches and lets lazy set-up happen outside the timing.
    for (auto& contender : contenders)
    {
        contender.Prepare();
        static_cast<void>(
            TimeOnce(*contender.Plugin, material, options.BlockSize, output, contender.CcEvery));
    }
    // Interleaved repeats: slow drifts of the machine touch every contender alike.
    for (std::int32_t repeat = 0; repeat < options.BenchRepeats; ++repeat)
    {
        for (auto& contender : contenders)
        {
            contender.Prepare();
            contender.Subject.NsPerFrame.push_back(TimeOnce(
                *contender.Plugin, material, options.BlockSize, output, contender.CcEvery));
        }
    }
    for (auto& contender : contenders)
    {
        report.Subjects.push_back(std::move(contender.Subject));
    }
    return report;
}

std::string BenchText(const TBenchReport& report)
{
    std::string text = "material: " + FormatNumber(report.MaterialSeconds, 2) + " s at " +
                       FormatNumber(report.SampleRate, 0) + " Hz, block " +
                       std::to_string(report.BlockSize) + ", " + std::to_string(report.Repeats) +
                       " repeats, thread CPU time\n\n";
    std::size_t width = 8;
    for (const auto& subject : report.Subjects)
    {
        width = std::max(width, subject.Name.size());
    }
    const auto pad = [](std::string s, std::size_t n)
    {
        s.resize(std::max(s.size(), n), ' ');
        return s;
    };
    text += pad("", width) + "   ns/frame (median, min..max)   real-time factor\n";
    for (const auto& subject : report.Subjects)
    {
        text += pad(subject.Name, width) + "   " +
                pad(FormatFixed(subject.Median(), 1) + " (" + FormatFixed(subject.Lowest(), 1) +
                        ".." + FormatFixed(subject.Highest(), 1) + ")",
                    30) +
                FormatFixed(RealtimeFactor(subject.Median(), report.SampleRate), 1) + "x\n";
    }
    if (HasVersus(report))
    {
        const TBenchSubject& other = report.Subjects.back();
        text += "\ncost of each chain relative to " + other.Name +
                " (medians; its over theirs in brackets):\n";
        for (std::size_t i = 0; i + 1 < report.Subjects.size(); ++i)
        {
            const TBenchSubject& own = report.Subjects[i];
            text += "  " + pad(own.Name, width) + "   " + FormatFixed(Ratio(own, other), 3) + " (" +
                    FormatFixed(Ratio(other, own), 2) + ")\n";
        }
    }
    return text;
}

std::string BenchJson(const TBenchReport& report)
{
    std::string json = "{\n  \"material_seconds\": " + FormatNumber(report.MaterialSeconds, 3) +
                       ",\n  \"sample_rate\": " + FormatNumber(report.SampleRate, 0) +
                       ",\n  \"block_size\": " + std::to_string(report.BlockSize) +
                       ",\n  \"repeats\": " + std::to_string(report.Repeats) +
                       ",\n  \"clock\": \"thread_cpu\",\n  \"subjects\": [\n";
    for (std::size_t i = 0; i < report.Subjects.size(); ++i)
    {
        const auto& s = report.Subjects[i];
        json += "    {\"name\": " + JsonText(s.Name) + ", \"module\": " + JsonText(s.Module) +
                ", \"ns_per_frame_median\": " + FormatFixed(s.Median(), 2) +
                ", \"ns_per_frame_min\": " + FormatFixed(s.Lowest(), 2) +
                ", \"ns_per_frame_max\": " + FormatFixed(s.Highest(), 2) +
                ", \"realtime_factor\": " +
                FormatFixed(RealtimeFactor(s.Median(), report.SampleRate), 2) + "}" +
                (i + 1 < report.Subjects.size() ? "," : "") + "\n";
    }
    json += "  ]";
    if (HasVersus(report))
    {
        const auto& other = report.Subjects.back();
        json += ",\n  \"ratios\": [\n";
        for (std::size_t i = 0; i + 1 < report.Subjects.size(); ++i)
        {
            const auto& own = report.Subjects[i];
            json += "    {\"chain\": " + JsonText(own.Name) +
                    ", \"other_over_own\": " + FormatFixed(Ratio(other, own), 3) +
                    ", \"own_over_other\": " + FormatFixed(Ratio(own, other), 4) + "}" +
                    (i + 2 < report.Subjects.size() ? "," : "") + "\n";
        }
        json += "  ]";
    }
    return json + "\n}\n";
}

int RunBench(const TOptions& options)
{
    const TBenchReport report = MeasureBench(options);
    const std::string text = options.Json ? BenchJson(report) : BenchText(report);
    std::fputs(text.c_str(), stdout);
    return 0;
}

} // namespace orvo
