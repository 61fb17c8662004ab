#include "tools/render/uOptions.h"

#include "tools/render/uTextNumbers.h"

#include <cmath>

namespace orvo
{

namespace
{

constexpr std::uint8_t ControlChangeStatus = 0xB0;

class TArguments
{
public:
    explicit TArguments(const std::vector<std::string>& arguments) : FArguments(arguments) {}

    [[nodiscard]] bool AtEnd() const { return FNext >= FArguments.size(); }

    /// The next argument; for "--name=value" the name, with the value kept for Value.
    std::string Take()
    {
        std::string argument = FArguments[FNext++];
        FAttached.reset();
        if (argument.rfind("--", 0) == 0)
        {
            const auto equals = argument.find('=');
            if (equals != std::string::npos)
            {
                FAttached = argument.substr(equals + 1);
                argument.resize(equals);
            }
        }
        return argument;
    }

    std::string Value(const std::string& option)
    {
        if (FAttached)
        {
            std::string value = *FAttached;
            FAttached.reset();
            return value;
        }
        if (AtEnd())
        {
            throw EUsage(option + " needs a value");
        }
        return FArguments[FNext++];
    }

    [[nodiscard]] bool HasAttachedValue() const { return FAttached.has_value(); }

private:
    const std::vector<std::string>& FArguments;
    std::size_t FNext = 0;
    std::optional<std::string> FAttached;
};

double Seconds(const std::string& option, const std::string& text, double lowest)
{
    auto value = WholeNumber(text);
    if (!value && text.size() > 1 && text.back() == 's')
    {
        value = WholeNumber(std::string_view(text).substr(0, text.size() - 1));
    }
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
    event.Bytes = {ControlChangeStatus,
                   static_cast<std::uint8_t>(
                       Integer("--cc controller", text.substr(colon + 1, equals - colon - 1), 0, 127)),
                   static_cast<std::uint8_t>(Integer("--cc value", text.substr(equals + 1), 0, 127))};
    return event;
}

TOptions ParseOptions(const std::vector<std::string>& arguments)
{
    TOptions options;
    std::vector<std::string> positional;
    TArguments args(arguments);
    while (!args.AtEnd())
    {
        const std::string option = args.Take();
        if (option == "--help" || option == "-h")
        {
            options.Mode = rmHelp;
            return options;
        }
        else if (option == "--plugin")
        {
            options.Plugin = args.Value(option);
        }
        else if (option == "--program")
        {
            options.Program = args.Value(option);
        }
        else if (option == "--param")
        {
            options.Parameters.push_back(Assignment(option, args.Value(option)));
        }
        else if (option == "--oversample")
        {
            options.OverSample = OnOff(option, args.Value(option));
        }
        else if (option == "--block")
        {
            options.BlockSize =
                static_cast<std::int32_t>(Integer(option, args.Value(option), 1, MaxBlockSize));
        }
        else if (option == "--midi")
        {
            options.MidiFile = args.Value(option);
        }
        else if (option == "--cc")
        {
            options.ControlChanges.push_back(ParseControlChange(args.Value(option)));
        }
        else if (option == "--tail")
        {
            options.TailSeconds = Seconds(option, args.Value(option), 0.0);
        }
        else if (option == "--quiet" || option == "-q")
        {
            options.Quiet = true;
        }
        else if (option == "--list")
        {
            options.Mode = rmList;
        }
        else if (option == "--demo")
        {
            options.Mode = rmDemo;
            options.DemoFolder = args.Value(option);
        }
        else if (option == "--demo-seconds")
        {
            options.DemoSeconds = Seconds(option, args.Value(option), 0.0);
            if (options.DemoSeconds <= 0.0 || options.DemoSeconds > 60.0)
            {
                throw EUsage("--demo-seconds needs a number of seconds from above 0 to 60");
            }
        }
        else if (option == "--editor-shot")
        {
            options.Mode = rmEditorShot;
            options.EditorShot = args.Value(option);
        }
        else if (option == "--bench")
        {
            options.Mode = rmBench;
        }
        else if (option == "--seconds")
        {
            options.BenchSeconds = Seconds(option, args.Value(option), 0.0);
            if (options.BenchSeconds <= 0.0)
            {
                throw EUsage("--seconds needs a number of seconds above 0");
            }
        }
        else if (option == "--repeats")
        {
            options.BenchRepeats = static_cast<std::int32_t>(Integer(option, args.Value(option), 1, 1000));
        }
        else if (option == "--vs")
        {
            options.VersusPlugin = args.Value(option);
        }
        else if (option == "--vs-param")
        {
            options.VersusParameters.push_back(Assignment(option, args.Value(option)));
        }
        else if (option == "--bench-program")
        {
            options.BenchPrograms.push_back(args.Value(option));
        }
        else if (option == "--bench-cc-every")
        {
            options.BenchCcEvery =
                static_cast<std::int32_t>(Integer(option, args.Value(option), 1, MaxBlockSize));
        }
        else if (option == "--json")
        {
            options.Json = true;
        }
        else if (option.size() > 1 && option.front() == '-')
        {
            throw EUsage("unknown option " + option + " (see orvo-render --help)");
        }
        else
        {
            positional.push_back(option);
        }
        if (args.HasAttachedValue())
        {
            throw EUsage(option + " takes no value");
        }
    }

    if (options.Mode == rmRender)
    {
        if (positional.size() != 2)
        {
            throw EUsage(positional.empty()
                             ? "no input and output file given (see orvo-render --help)"
                             : "orvo-render needs exactly one input and one output file");
        }
        options.Input = positional[0];
        options.Output = positional[1];
    }
    else if (!positional.empty())
    {
        throw EUsage("unexpected argument \"" + positional.front() + "\"");
    }
    if (!options.VersusParameters.empty() && options.VersusPlugin.empty())
    {
        throw EUsage("--vs-param needs --vs PATH");
    }
    return options;
}

std::string UsageText()
{
    return R"(orvo-render: runs audio through the Orvo VST 2 plug-in (or another VST 2 effect)

  orvo-render [options] IN OUT     render the audio file IN into OUT
  orvo-render --list [options]     show the parameters (with their display texts) and programs
  orvo-render --demo DIR           synthesise a demo piece, render it through every program and
                                   write sound files, pictures and index.html into DIR
  orvo-render --bench [options]    time both processing chains on synthesised material
  orvo-render --editor-shot FILE.png [options]
                                   draw Orvo's editor window, in the state that --program,
                                   --param and --oversample give, into a PNG picture

IN is any file libsndfile reads (WAV, FLAC, Ogg, AIFF, ...), mono or stereo; OUT gets the
input's sample rate and a format from its extension (.wav, .flac, .ogg, .aiff, ...).

Options:
  --plugin PATH             the VST 2 module to load (default: Orvo, beside this tool)
  --program N|NAME          select a program by number (from 0) or name
  --param NAME|INDEX=VALUE  set a parameter (repeatable). VALUE is normalised (0 to 1), a text
                            the parameter shows (LoMute=Muted), on/off, or a number in the
                            units it shows: InGain=+3dB, Tuning=-2. A number with a sign, a
                            unit or outside 0..1 counts in display units.
  --oversample on|off       switch the OverSample parameter
  --block N                 frames per processing call (default 512)
  --midi FILE.mid           send a Standard MIDI File's channel messages at their times
  --cc TIME:CC=VALUE        send a control change at TIME seconds (repeatable), e.g. 2.5:33=0
  --tail SECONDS            process this much silence after the input (default 0)
  --quiet                   no progress bar and no summary
  --demo-seconds S          length of the demo piece (default 8)
  --seconds S               benchmark material length (default 20)
  --repeats N               benchmark repeats (default 5)
  --vs PATH                 benchmark another VST 2 module on the same material, interleaved
  --vs-param NAME=VALUE     set a parameter of the --vs module (repeatable)
  --bench-program N|NAME    benchmark this program (repeatable; all interleaved), instead
                            of the --program setting
  --bench-cc-every N        also time each Orvo case with a controller every N frames
  --json                    benchmark results as JSON
)";
}

} // namespace orvo
