#include "tools/render/uOptions.h"

#include "tools/render/uAudioFile.h"
#include "tools/render/uTextNumbers.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "uOrvoVersion.h"

namespace orvo
{

namespace
{

constexpr std::uint8_t ControlChangeStatus = 0xB0;

/// A number of seconds, with or without an "s" after it.
std::optional<double> SecondsValue(const std::string& text)
{
    auto value = WholeNumber(text);
    if (!value && text.size() > 1 && text.back() == 's')
    {
        value = WholeNumber(std::string_view(text).substr(0, text.size() - 1));
    }
    return value;
}

double Seconds(const std::string& option, const std::string& text, double lowest)
{
    const auto value = SecondsValue(text);
    if (!value || *value < lowest)
    {
        throw EUsage(option + " needs a number of seconds" +
                     (lowest > 0.0 ? " above 0" : " (0 or more)") + ", not \"" + text + "\"");
    }
    return *value;
}

std::int64_t Integer(const std::string& option, const std::string& text, std::int64_t lowest,
                     std::int64_t highest)
{
    const auto value = WholeInteger(text);
    if (!value || *value < lowest || *value > highest)
    {
        throw EUsage(option + " needs a whole number from " + std::to_string(lowest) + " to " +
                     std::to_string(highest) + ", not \"" + text + "\"");
    }
    return *value;
}

TParameterAssignment Assignment(const std::string& option, const std::string& text)
{
    const auto equals = text.find('=');
    if (equals == std::string::npos || equals == 0 || equals + 1 == text.size())
    {
        throw EUsage(option + " needs NAME=VALUE or INDEX=VALUE, not \"" + text + "\"");
    }
    return {text.substr(0, equals), text.substr(equals + 1)};
}

bool OnOff(const std::string& option, const std::string& text)
{
    if (SameText(text, "on"))
    {
        return true;
    }
    if (SameText(text, "off"))
    {
        return false;
    }
    throw EUsage(option + " needs on or off, not \"" + text + "\"");
}

} // namespace

TTimedMidi ParseControlChange(const std::string& text)
{
    const auto colon = text.find(':');
    const auto equals = text.find('=', colon == std::string::npos ? 0 : colon);
    if (colon == std::string::npos || equals == std::string::npos)
    {
        throw EUsage("--cc needs TIME:CC=VALUE (seconds, controller 0-127, value 0-127), not \"" +
                     text + "\"");
    }
    TTimedMidi event;
    event.Seconds = Seconds("--cc", text.substr(0, colon), 0.0);
    event.Bytes = {
        ControlChangeStatus,
        static_cast<std::uint8_t>(
            Integer("--cc controller", text.substr(colon + 1, equals - colon - 1), 0, 127)),
        static_cast<std::uint8_t>(Integer("--cc value", text.substr(equals + 1), 0, 127))};
    return event;
}

namespace
{

int Bits(const std::string& text)
{
    if (text == "16" || text == "24" || text == "32")
    {
        return std::stoi(text);
    }
    if (SameText(text, "float"))
    {
        return OutputFloatBits;
    }
    throw EUsage("--bits needs 16, 24, 32 or float, not \"" + text + "\"");
}

/// The command line as CLI11 sees it: every value is taken as text and checked afterwards,
/// so that each error names the option and what it needs.
struct TCommandLine
{
    CLI::App App{"orvo-render: runs audio through the Orvo VST 2 plug-in (or another VST 2 "
                 "effect)\n\n" +
                     std::string(Forms),
                 "orvo-render"};
    std::string Input;
    std::string Output;
    std::string Program;
    std::vector<std::string> Parameters;
    std::string OverSample;
    std::string Block;
    std::vector<std::string> ControlChanges;
    std::string Tail;
    std::string Bits;
    std::string DemoSeconds;
    std::string EditorScale;
    std::string BenchSeconds;
    std::string Repeats;
    std::vector<std::string> VersusParameters;
    std::string BenchCcEvery;
    bool List = false;
    bool Bench = false;

    explicit TCommandLine(TOptions& options)
    {
        App.set_help_flag("-h,--help", "show this text");
        App.set_version_flag("--version", VersionText(), "show the version");
        Declare(options);
    }

    static constexpr const char* Forms =
        "  orvo-render [options] IN OUT     render the audio file IN into OUT (- for standard\n"
        "                                   input or output, OUT - with --type)\n"
        "  orvo-render --list [options]     show the parameters (display texts, MIDI CCs)\n"
        "                                   and the programs\n"
        "  orvo-render --demo DIR           synthesise a demo piece, render it through every\n"
        "                                   program, write sound files, pictures and\n"
        "                                   index.html into DIR\n"
        "  orvo-render --bench [options]    time both processing chains on synthesised\n"
        "                                   material\n"
        "  orvo-render --editor-shot FILE.png [options]\n"
        "                                   draw Orvo's editor, in the state that --program,\n"
        "                                   --param and --oversample give, into a PNG\n"
        "                                   (--scale 1.5 or 2: at 150 or 200 %)\n";

    void Declare(TOptions& options)
    {
        App.footer(
            "IN is any file libsndfile reads (WAV, FLAC, Ogg, AIFF, ...), mono or stereo (mono\n"
            "is fed to both inputs); OUT gets the input's sample rate and a format from its\n"
            "extension (" +
            WritableExtensions() +
            ") or --type.\n"
            "From a pipe libsndfile reads WAV, AIFF, AU, W64 and Ogg; to one it writes " +
            StreamableExtensions() +
            ".\n\n"
            "Parameter values (--param NAME=VALUE) are what the parameter shows in --list:\n"
            "  InGain=0 is 0 dB, InGain=+3dB, Tuning=-2 (semitones), Lo=50% or Lo=50.00%TD,\n"
            "  OutGain=-oo, LoMute=Muted, OverSample=on. A number counts in the units the\n"
            "  display shows; norm:X sets the normalised position X (0 to 1) instead.");
        App.option_defaults()->always_capture_default(false);
        App.add_option("IN", Input, "the audio file to render")->type_name("");
        App.add_option("OUT", Output, "the audio file to write")->type_name("");
        App.add_option("--plugin", options.Plugin,
                       "the VST 2 module: a path, or a name looked up in VST_PATH, ~/.vst,\n"
                       "~/.lxvst, /usr/lib/vst, /usr/lib/lxvst, /usr/local/lib/vst,\n"
                       "/usr/local/lib/lxvst (default: Orvo, beside this tool)")
            ->type_name("PATH|NAME");
        App.add_option("--program", Program, "select a program by number (from 0) or name")
            ->type_name("N|NAME");
        App.add_option("--param", Parameters,
                       "set a parameter (repeatable), see below, e.g. --param InGain=+3dB")
            ->type_name("NAME|INDEX=VALUE")
            ->allow_extra_args(false);
        App.add_option("--oversample", OverSample, "switch the OverSample parameter")
            ->type_name("on|off");
        App.add_option("--block", Block, "frames per processing call (default 512)")
            ->type_name("N");
        App.add_option("--midi", options.MidiFile,
                       "send a Standard MIDI File's channel messages at their times")
            ->type_name("FILE.mid");
        App.add_option("--cc", ControlChanges,
                       "send a control change at TIME seconds (repeatable); --list shows\n"
                       "each parameter's CC, e.g. 2.5:31=64 moves Tuning to its middle")
            ->type_name("TIME:CC=VALUE")
            ->allow_extra_args(false);
        App.add_option("--tail", Tail,
                       "process this much silence after the input (default 0, at most 3600)")
            ->type_name("SECONDS");
        App.add_option("--bits", Bits,
                       "sample format of OUT: 16, 24 or 32-bit integers, or 32-bit float\n"
                       "(default: the input's where OUT's format has it, else 24)")
            ->type_name("16|24|32|float");
        App.add_option("-t,--type", options.OutputType,
                       "OUT's format by extension name (flac, au, ...) instead of OUT's\n"
                       "own; needed when OUT is - (standard output)")
            ->type_name("EXT");
        App.add_flag("-q,--quiet", options.Quiet, "no progress bar and no summary")
            ->disable_flag_override();
        App.add_flag("--list", List, "show the parameters and programs")->disable_flag_override();
        App.add_option("--demo", options.DemoFolder, "write the demo into DIR")->type_name("DIR");
        App.add_option("--demo-seconds", DemoSeconds,
                       "length of the demo piece (default 8; 1 to 3 s for a quick check)")
            ->type_name("S");
        App.add_option("--editor-shot", options.EditorShot, "draw the editor into FILE.png")
            ->type_name("FILE.png");
        App.add_option("--scale", EditorScale,
                       "the editor's size: 1 (700 x 300), 1.5 or 2 (default 1)")
            ->type_name("1|1.5|2");
        App.add_flag("--bench", Bench, "run the benchmark")->disable_flag_override();
        App.add_option("--seconds", BenchSeconds, "benchmark material length (default 20)")
            ->type_name("S");
        App.add_option("--repeats", Repeats, "benchmark repeats (default 5)")->type_name("N");
        App.add_option("--vs", options.VersusPlugin,
                       "benchmark another VST 2 module on the same material, interleaved")
            ->type_name("PATH");
        App.add_option("--vs-param", VersusParameters,
                       "set a parameter of the --vs module (repeatable)")
            ->type_name("NAME=VALUE")
            ->allow_extra_args(false);
        App.add_option("--bench-program", options.BenchPrograms,
                       "benchmark this program (repeatable; all interleaved), instead of the "
                       "--program setting")
            ->type_name("N|NAME")
            ->allow_extra_args(false);
        App.add_option("--bench-cc-every", BenchCcEvery,
                       "also time each Orvo case with a controller every N frames")
            ->type_name("N");
        App.add_option("--bench-simd", options.BenchSimd,
                       "time Orvo at this instruction set (repeatable; all interleaved): "
                       "scalar, sse2, avx2 or avx512")
            ->type_name("SET")
            ->allow_extra_args(false);
        App.add_flag("--json", options.Json, "benchmark results as JSON")->disable_flag_override();
        // An option with one value given twice takes the last, as a later word on a
        // command line overrides an earlier one (scripts add to a user's options).
        for (CLI::Option* option : App.get_options())
        {
            if (option->get_expected_max() == 1 && option->get_type_size() > 0 &&
                option->get_items_expected_max() == 1 && !option->get_positional())
            {
                option->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
            }
        }
    }
};

/// CLI11's own messages in this tool's words, pointing at the help.
std::string UsageMessage(const CLI::ParseError& error)
{
    std::string message = error.what();
    for (const std::string unexpected : {"The following argument was not expected: ",
                                         "The following arguments were not expected: "})
    {
        if (message.rfind(unexpected, 0) == 0)
        {
            // The arguments were parsed in reverse (CLI11's order): the user's first is last.
            const std::string words = message.substr(unexpected.size());
            const std::size_t lastSpace = words.rfind(' ');
            const std::string first =
                lastSpace == std::string::npos ? words : words.substr(lastSpace + 1);
            message = (first.size() > 1 && first.front() == '-' ? "unknown option "
                                                                : "unexpected argument ") +
                      first;
        }
    }
    if (const auto at = message.find(" was given a disallowed flag override");
        at != std::string::npos)
    {
        message = "--" + message.substr(0, at) + " takes no value";
    }
    if (const auto at = message.find(": 1 required "); at != std::string::npos)
    {
        const std::string what = message.substr(at + 13);
        message = message.substr(0, at) + " needs a value (" +
                  what.substr(0, what.rfind(" missing")) + ")";
    }
    return message + " (see orvo-render --help)";
}

/// Edits between a and b, a swap of neighbours counting as one (optimal string alignment).
std::size_t EditDistance(std::string_view a, std::string_view b)
{
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i)
    {
        for (std::size_t j = 0; j <= b.size(); ++j)
        {
            if (i == 0 || j == 0)
            {
                d[i][j] = i + j;
                continue;
            }
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1,
                                d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
            {
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
            }
        }
    }
    return d[a.size()][b.size()];
}

std::string Lower(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; });
    return lower;
}

/// Refuses the first word that looks like an option and is none, naming the nearest
/// known option where one is close (the same but for letter case, a typing slip or
/// two in a long name, or the start of one). Done before CLI11 parses, whose message
/// would name the words that follow it.
void RefuseUnknownOptions(const CLI::App& app, const std::vector<std::string>& arguments)
{
    struct TKnown
    {
        std::string Name; // with its dashes
        bool TakesValue;
    };
    std::vector<TKnown> known;
    for (const CLI::Option* option : app.get_options())
    {
        const bool takesValue = option->get_expected_min() > 0; // flags expect none
        for (const std::string& name : option->get_lnames())
        {
            known.push_back({"--" + name, takesValue});
        }
        for (const std::string& name : option->get_snames())
        {
            known.push_back({"-" + name, takesValue});
        }
    }
    bool valueNext = false;
    for (const std::string& argument : arguments)
    {
        if (valueNext)
        {
            valueNext = false;
            continue;
        }
        if (argument == "--")
        {
            return;
        }
        if (argument.size() < 2 || argument.front() != '-')
        {
            continue;
        }
        // --name=value, and -xVALUE for a short option.
        const bool isShort = argument[1] != '-';
        const std::string name =
            isShort ? argument.substr(0, 2) : argument.substr(0, argument.find('='));
        const auto found = std::find_if(known.begin(), known.end(),
                                        [&](const TKnown& k) { return k.Name == name; });
        if (found != known.end() && (!isShort || found->TakesValue || argument.size() == 2))
        {
            valueNext = found->TakesValue && name.size() == argument.size();
            continue;
        }
        const std::string lower = Lower(argument.substr(0, argument.find('=')));
        const TKnown* nearest = nullptr;
        std::size_t best = lower.size() < 8 ? 2 : 3; // more than this many edits: no match
        for (const TKnown& k : known)
        {
            const std::size_t distance =
                k.Name.size() > 3 && lower.size() > 3 && k.Name.rfind(lower, 0) == 0
                    ? 1
                    : EditDistance(lower, k.Name);
            if (distance < best)
            {
                best = distance;
                nearest = &k;
            }
        }
        const std::string guess =
            nearest != nullptr ? " (did you mean " + nearest->Name + "?)" : std::string();
        throw EUsage("unknown option " + argument.substr(0, argument.find('=')) + guess +
                     " (see orvo-render --help)");
    }
}

/// The modes each option is for, as bits of 1 << TRunMode; an option given in another
/// mode would be ignored, so it is refused. --plugin and --quiet serve every mode.
struct TOptionModes
{
    const char* Name;
    std::uint32_t Modes;
};

constexpr std::uint32_t ModeBit(TRunMode mode)
{
    return std::uint32_t{1} << mode;
}

constexpr std::uint32_t SettingModes =
    ModeBit(rmRender) | ModeBit(rmList) | ModeBit(rmBench) | ModeBit(rmEditorShot);

constexpr std::array<TOptionModes, 19> OptionModes{{
    {"--program", SettingModes},
    {"--param", SettingModes},
    {"--oversample", ModeBit(rmRender) | ModeBit(rmList) | ModeBit(rmEditorShot)},
    {"--block", ModeBit(rmRender) | ModeBit(rmBench)},
    {"--midi", ModeBit(rmRender)},
    {"--cc", ModeBit(rmRender)},
    {"--tail", ModeBit(rmRender)},
    {"--bits", ModeBit(rmRender)},
    {"--type", ModeBit(rmRender)},
    {"--demo-seconds", ModeBit(rmDemo)},
    {"--seconds", ModeBit(rmBench)},
    {"--repeats", ModeBit(rmBench)},
    {"--vs", ModeBit(rmBench)},
    {"--vs-param", ModeBit(rmBench)},
    {"--bench-program", ModeBit(rmBench)},
    {"--bench-cc-every", ModeBit(rmBench)},
    {"--bench-simd", ModeBit(rmBench)},
    {"--json", ModeBit(rmBench)},
    {"--scale", ModeBit(rmEditorShot)},
}};

std::string ModeName(TRunMode mode)
{
    switch (mode)
    {
    case rmList:
        return "--list";
    case rmDemo:
        return "--demo";
    case rmBench:
        return "--bench";
    case rmEditorShot:
        return "--editor-shot";
    default:
        return "rendering IN into OUT";
    }
}

/// Refuses an option that the chosen mode would ignore, saying what it is for.
void RefuseOptionsOfOtherModes(const CLI::App& app, TRunMode mode)
{
    for (const TOptionModes& option : OptionModes)
    {
        if (app.count(option.Name) == 0 || (option.Modes & ModeBit(mode)) != 0)
        {
            continue;
        }
        std::string forModes;
        for (const TRunMode other : {rmRender, rmList, rmDemo, rmBench, rmEditorShot})
        {
            if ((option.Modes & ModeBit(other)) != 0)
            {
                forModes += (forModes.empty() ? "" : ", ") + ModeName(other);
            }
        }
        throw EUsage(std::string(option.Name) + " has no effect " +
                     (mode == rmRender ? "when " : "with ") + ModeName(mode) + " (it is for " +
                     forModes + ")");
    }
}

} // namespace

TOptions ParseOptions(const std::vector<std::string>& arguments)
{
    TOptions options;
    TCommandLine line(options);
    if (std::find_if(arguments.begin(), arguments.end(),
                     [](const std::string& a)
                     { return a == "-h" || a == "--help" || a == "--version"; }) == arguments.end())
    {
        RefuseUnknownOptions(line.App, arguments);
    }
    try
    {
        std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
        line.App.parse(reversed);
    }
    catch (const CLI::CallForHelp&)
    {
        options.Mode = rmHelp;
        return options;
    }
    catch (const CLI::CallForVersion&)
    {
        options.Mode = rmVersion;
        return options;
    }
    catch (const CLI::ParseError& error)
    {
        throw EUsage(UsageMessage(error));
    }

    const auto given = [&](const char* name) { return line.App.count(name) > 0; };
    const int modes = (line.List ? 1 : 0) + (given("--demo") ? 1 : 0) + (line.Bench ? 1 : 0) +
                      (given("--editor-shot") ? 1 : 0);
    if (modes > 1)
    {
        throw EUsage("--list, --demo, --bench and --editor-shot cannot be combined");
    }
    options.Mode = line.List                ? rmList
                   : given("--demo")        ? rmDemo
                   : line.Bench             ? rmBench
                   : given("--editor-shot") ? rmEditorShot
                                            : rmRender;
    RefuseOptionsOfOtherModes(line.App, options.Mode);
    if (options.Mode == rmEditorShot &&
        Lower(std::filesystem::path(options.EditorShot).extension().string()) != ".png")
    {
        throw EUsage("--editor-shot writes a PNG picture: name it FILE.png, not \"" +
                     options.EditorShot + "\"");
    }
    if (given("--scale"))
    {
        // Only the sizes the editor's images are drawn at.
        if (line.EditorScale == "1")
        {
            options.EditorScale = 1.0;
        }
        else if (line.EditorScale == "1.5")
        {
            options.EditorScale = 1.5;
        }
        else if (line.EditorScale == "2")
        {
            options.EditorScale = 2.0;
        }
        else
        {
            throw EUsage("--scale takes 1, 1.5 or 2, not \"" + line.EditorScale + "\"");
        }
    }
    if (given("--program"))
    {
        options.Program = line.Program;
    }
    for (const std::string& text : line.Parameters)
    {
        options.Parameters.push_back(Assignment("--param", text));
    }
    if (given("--oversample"))
    {
        options.OverSample = OnOff("--oversample", line.OverSample);
    }
    if (given("--block"))
    {
        options.BlockSize =
            static_cast<std::int32_t>(Integer("--block", line.Block, 1, MaxBlockSize));
    }
    for (const std::string& text : line.ControlChanges)
    {
        options.ControlChanges.push_back(ParseControlChange(text));
    }
    if (given("--tail"))
    {
        options.TailSeconds = Seconds("--tail", line.Tail, 0.0);
        if (options.TailSeconds > MaxTailSeconds)
        {
            throw EUsage("--tail is at most 3600 seconds (one hour), not \"" + line.Tail + "\"");
        }
    }
    if (given("--bits"))
    {
        options.Bits = Bits(line.Bits);
    }
    if (given("--demo-seconds"))
    {
        const auto seconds = SecondsValue(line.DemoSeconds);
        if (!seconds || *seconds <= 0.0 || *seconds > 60.0)
        {
            throw EUsage("--demo-seconds needs a number of seconds above 0 and at most 60, not \"" +
                         line.DemoSeconds + "\"");
        }
        options.DemoSeconds = *seconds;
    }
    if (given("--seconds"))
    {
        options.BenchSeconds = Seconds("--seconds", line.BenchSeconds, 0.0);
        if (options.BenchSeconds <= 0.0)
        {
            throw EUsage("--seconds needs a number of seconds above 0");
        }
    }
    if (given("--repeats"))
    {
        options.BenchRepeats =
            static_cast<std::int32_t>(Integer("--repeats", line.Repeats, 1, 1000));
    }
    for (const std::string& text : line.VersusParameters)
    {
        options.VersusParameters.push_back(Assignment("--vs-param", text));
    }
    for (const std::string& set : options.BenchSimd)
    {
        if (set != "scalar" && set != "sse2" && set != "avx2" && set != "avx512")
        {
            throw EUsage("--bench-simd takes scalar, sse2, avx2 or avx512, not \"" + set + "\"");
        }
    }
    if (given("--bench-cc-every"))
    {
        options.BenchCcEvery = static_cast<std::int32_t>(
            Integer("--bench-cc-every", line.BenchCcEvery, 1, MaxBlockSize));
    }

    if (options.Mode == rmRender)
    {
        if (!given("OUT"))
        {
            throw EUsage(!given("IN") ? "no input and output file given (see orvo-render --help)"
                                      : "orvo-render needs exactly one input and one output file");
        }
        options.Input = line.Input;
        options.Output = line.Output;
    }
    else if (given("IN"))
    {
        throw EUsage("unexpected argument \"" + line.Input + "\"");
    }
    if (!options.VersusParameters.empty() && options.VersusPlugin.empty())
    {
        throw EUsage("--vs-param needs --vs PATH");
    }
    return options;
}

std::string UsageText()
{
    TOptions options;
    TCommandLine line(options);
    return line.App.help();
}

std::string VersionText()
{
    return "orvo-render " + std::string(OrvoVersion);
}

} // namespace orvo
