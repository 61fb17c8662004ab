// orvo-render as a user meets a render: the summary and the warnings about the input, the
// limits that keep a render from filling the disk, every way a run can end, file I/O in
// large chunks, and the options a command-line tool is expected to have.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/render/uRenderTestSupport.h"
#include "tools/render/uAudioFile.h"

#include <sndfile.h>

#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace orvo
{
namespace
{

using test::FolderNames;
using test::RunTool;
using test::TScratchFolder;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr int ExitFailure = 1;
constexpr int ExitUsage = 2;

/// A 16-bit mono WAV whose header states `statedFrames` but which holds `heldFrames`.
void WriteWavHolding(const std::filesystem::path& path, std::uint32_t statedFrames,
                     std::uint32_t heldFrames)
{
    const auto le32 = [](std::ofstream& out, std::uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
        {
            out.put(static_cast<char>((v >> (8 * i)) & 0xFF));
        }
    };
    const auto le16 = [](std::ofstream& out, std::uint32_t v)
    {
        out.put(static_cast<char>(v & 0xFF));
        out.put(static_cast<char>((v >> 8) & 0xFF));
    };
    std::ofstream out(path, std::ios::binary);
    out << "RIFF";
    le32(out, 36 + statedFrames * 2);
    out << "WAVEfmt ";
    le32(out, 16);
    le16(out, 1);
    le16(out, 1);
    le32(out, 44100);
    le32(out, 88200);
    le16(out, 2);
    le16(out, 16);
    out << "data";
    le32(out, statedFrames * 2);
    for (std::uint32_t i = 0; i < heldFrames; ++i)
    {
        le16(out, (i * 2654435761u) >> 20);
    }
}

int SampleEncoding(const std::filesystem::path& path)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path.string().c_str(), SFM_READ, &info);
    if (file == nullptr)
    {
        return -1;
    }
    sf_close(file);
    return info.format & SF_FORMAT_SUBMASK;
}

TEST(RenderToolOptions, AnswerHelpAndVersionAndRefuseTailsBeyondAnHour)
{
    const auto help = RunTool({"--help"});
    EXPECT_EQ(help.ExitCode, 0);
    EXPECT_THAT(help.Output, HasSubstr("--bits 16|24|32|float"));
    EXPECT_THAT(help.Output, HasSubstr("norm:X"));
    const auto version = RunTool({"--version"});
    EXPECT_EQ(version.ExitCode, 0);
    EXPECT_THAT(version.Output, HasSubstr("orvo-render " ORVO_VERSION));

    for (const char* tail : {"1e6", "3600.5"})
    {
        const auto result = RunTool({"--tail", tail, "in.wav", "out.wav"});
        EXPECT_EQ(result.ExitCode, ExitUsage) << tail;
        EXPECT_THAT(result.Output, HasSubstr("--tail is at most 3600 seconds")) << tail;
    }
    EXPECT_EQ(RunTool({"--bits", "12", "in.wav", "out.wav"}).ExitCode, ExitUsage);
}

class RenderToolRun : public ::testing::Test
{
  protected:
    std::string In() const { return (Folder / "in.wav").string(); }
    TScratchFolder Folder;
};

// The test effect's "Loud" program gains 12 dB: noise at 0.5 peaks near +6 dBFS, and every
// sample beyond full scale is counted when the output holds integers.
TEST_F(RenderToolRun, SummarisesPeakClippingAndMonoInputOnLinesOfTheirOwn)
{
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    const TStereoAudio noise = test::Noise(20000);
    SNDFILE* file = sf_open(In().c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr);
    sf_writef_float(file, noise.Left.data(), noise.Frames());
    sf_close(file);
    const float gain = std::pow(10.0f, 12.0f / 20.0f);
    const auto over = 2 * std::count_if(noise.Left.begin(), noise.Left.end(),
                                        [&](float x) { return std::fabs(x * gain) > 1.0f; });
    ASSERT_GT(over, 0);

    const auto clipped = RunTool({"--plugin", TEST_GAIN_MODULE, "--program", "Loud", "--bits", "24",
                                  In(), (Folder / "out.wav").string()});
    ASSERT_EQ(clipped.ExitCode, 0) << clipped.Output;
    EXPECT_THAT(clipped.Output, HasSubstr("\n  0.45 s of audio (24-bit) in "));
    EXPECT_THAT(clipped.Output, HasSubstr("; peak 5.9"));
    EXPECT_THAT(clipped.Output, HasSubstr("; " + std::to_string(over) + " samples clipped"));
    EXPECT_THAT(clipped.Output,
                HasSubstr("\n  the mono input was fed to both inputs; the output is stereo\n"));
    EXPECT_EQ(SampleEncoding(Folder / "out.wav"), SF_FORMAT_PCM_24);

    const auto floating = RunTool({"--plugin", TEST_GAIN_MODULE, "--program", "Loud", "--bits",
                                   "float", In(), (Folder / "out.flac").string()});
    EXPECT_EQ(floating.ExitCode, ExitFailure) << "FLAC holds no float samples";
    EXPECT_THAT(floating.Output, HasSubstr(".flac files cannot hold 32-bit float samples"));
    const auto kept = RunTool({"--plugin", TEST_GAIN_MODULE, "--program", "Loud", "--bits", "float",
                               In(), (Folder / "out.wav").string()});
    EXPECT_THAT(kept.Output, Not(HasSubstr("clipped")));
    EXPECT_EQ(SampleEncoding(Folder / "out.wav"), SF_FORMAT_FLOAT);
    const auto sixteen = RunTool({"--plugin", TEST_GAIN_MODULE, "--quiet", "--bits", "16", In(),
                                  (Folder / "out.aiff").string()});
    EXPECT_EQ(sixteen.ExitCode, 0) << sixteen.Output;
    EXPECT_EQ(SampleEncoding(Folder / "out.aiff"), SF_FORMAT_PCM_16);
}

/// A command line, what it ends with, and what its messages say (and must not say).
struct TCommandCase
{
    std::vector<std::string> Arguments; // "{dir}" stands for the scratch folder
    int ExitCode;
    std::string Message;
    std::string Absent;
};

// Each case a user met: the words of a message, and that a refused run leaves no output.
TEST_F(RenderToolRun, AnswersEachCommandLineWithItsExitCodeAndMessage)
{
    test::WriteFloatWav(Folder / "in.wav", test::Noise(1000));
    WriteWavHolding(Folder / "streamed.wav", 0x7FFFF000 / 2, 4410); // sox's length placeholder
    std::filesystem::create_directory(Folder / "Orvo.lv2");
    std::ofstream(Folder / "Orvo.lv2" / "manifest.ttl") << "";
    // Events of the largest delta at the slowest tempo: times beyond any frame number.
    test::TMidiFileBuilder far(0, 1);
    far.Track().Tempo(0, 0xFFFFFF);
    for (int i = 0; i < 46500; ++i)
    {
        far.Event(0x0FFFFFFF, {0xB0, 7, 0});
    }
    far.Save(Folder / "far.mid");
    // A track that claims 4 GiB, in a sparse file larger than any MIDI file for a render.
    test::TMidiFileBuilder(0, 96).Track().Save(Folder / "sparse.mid");
    std::filesystem::resize_file(Folder / "sparse.mid", std::uintmax_t{20} << 20);

    const std::vector<TCommandCase> cases{
        {{"-q", "--Tail", "1", "{dir}/in.wav", "{dir}/out.wav"},
         ExitUsage,
         "unknown option --Tail (did you mean --tail?)",
         ""},
        {{"--nope", "3", "{dir}/in.wav", "{dir}/out.wav"},
         ExitUsage,
         "unknown option --nope (see",
         ""},
        {{"--gain", "-3", "{dir}/in.wav", "{dir}/out.wav"},
         ExitUsage,
         "unknown option --gain (see",
         ""},
        {{"--oversamp", "on", "--list"}, ExitUsage, "(did you mean --oversample?)", ""},
        {{"{dir}/in.wav", "{dir}/out.wav", "extra"}, ExitUsage, "unexpected argument extra", ""},
        {{"--list", "--tail", "5"},
         ExitUsage,
         "--tail has no effect with --list (it is for rendering IN into OUT)",
         ""},
        {{"--bench", "--bits", "16"}, ExitUsage, "--bits has no effect with --bench", ""},
        {{"--editor-shot", "{dir}/s.png", "--cc", "1:20=0"},
         ExitUsage,
         "--cc has no effect with --editor-shot",
         ""},
        {{"--editor-shot", "{dir}/s.png", "--midi", "{dir}/far.mid"},
         ExitUsage,
         "--midi has no effect with --editor-shot",
         ""},
        {{"--demo-seconds", "2"},
         ExitUsage,
         "--demo-seconds has no effect when rendering IN into OUT (it is for --demo)",
         ""},
        {{"--demo", "{dir}/demo", "--demo-seconds", "abc"},
         ExitUsage,
         "above 0 and at most 60, not \"abc\"",
         ""},
        {{"--editor-shot", "{dir}/shot.jpg"},
         ExitUsage,
         "name it FILE.png, not \"{dir}/shot.jpg\"",
         ""},
        {{"{dir}/in.wav", "{dir}"},
         ExitFailure,
         "the output {dir} is a folder; give a file name",
         ""},
        {{"{dir}/in.wav", "-"},
         ExitFailure,
         "standard output (-) needs its format named with --type (one that can be streamed: .flac, "
         ".ogg, .oga, .au)",
         ""},
        {{"--type", "wav", "{dir}/in.wav", "-"},
         ExitFailure,
         ".wav files cannot be written to standard output",
         ""},
        {{"--midi", "{dir}", "{dir}/in.wav", "{dir}/out.wav"},
         ExitFailure,
         "MIDI file {dir} is a folder",
         ""},
        {{"--midi", "/dev/zero", "{dir}/in.wav", "{dir}/out.wav"},
         ExitFailure,
         "/dev/zero is larger than 16 MiB",
         ""},
        {{"--midi", "{dir}/sparse.mid", "{dir}/in.wav", "{dir}/out.wav"},
         ExitFailure,
         "sparse.mid is larger than 16 MiB",
         ""},
        {{"--plugin", "{dir}/Orvo.lv2", "--list"},
         ExitFailure,
         "Orvo.lv2 is an LV2 bundle; orvo-render hosts VST 2",
         ""},
        {{"--cc", "10:7=0", "{dir}/in.wav", "{dir}/out.wav"},
         0,
         "warning: 1 MIDI message lies past the end of the output (0.02 s) and was not sent",
         ""},
        {{"--midi", "{dir}/far.mid", "{dir}/in.wav", "{dir}/out.wav"},
         0,
         "warning: 46500 MIDI messages lie past the end",
         ""},
        {{"--program", "Loud", "--bits", "16", "{dir}/in.wav", "{dir}/out.wav"},
         0,
         "clipped at full scale (use --bits float)",
         "OutGain"},
        {{"{dir}/streamed.wav", "{dir}/out.wav"}, 0, "0.10 s of audio", "warning"},
    };
    const auto expand = [&](std::string text)
    {
        for (std::size_t at = 0; (at = text.find("{dir}", at)) != std::string::npos;)
        {
            text.replace(at, 5, Folder.Path().string());
        }
        return text;
    };
    for (const TCommandCase& c : cases)
    {
        std::vector<std::string> arguments{"--plugin", TEST_GAIN_MODULE};
        for (const std::string& argument : c.Arguments)
        {
            arguments.push_back(expand(argument));
        }
        if (c.Arguments.front() == "--plugin")
        {
            arguments.erase(arguments.begin(), arguments.begin() + 2);
        }
        std::filesystem::remove(Folder / "out.wav");
        const auto result = RunTool(arguments);
        const std::string line = ::testing::PrintToString(arguments);
        EXPECT_EQ(result.ExitCode, c.ExitCode) << line << "\n" << result.Output;
        EXPECT_THAT(result.Output, HasSubstr(expand(c.Message))) << line;
        if (!c.Absent.empty())
        {
            EXPECT_THAT(result.Output, Not(HasSubstr(c.Absent))) << line;
        }
        if (c.ExitCode != 0)
        {
            EXPECT_FALSE(std::filesystem::exists(Folder / "out.wav")) << line;
        }
    }
}

// Through a pipe the header's length is no length: the output is what the stream held,
// whether its header holds a placeholder or claims more than came. "-" is standard
// input and output.
TEST_F(RenderToolRun, RendersWhatAStreamHoldsThroughStandardInputAndOutput)
{
    WriteWavHolding(Folder / "streamed.wav", 0x7FFFF000 / 2, 4410);
    WriteWavHolding(Folder / "claims.wav", 5 * 44100, 3000);
    const std::string out = (Folder / "out.wav").string();
    auto result = RunTool({"--plugin", TEST_GAIN_MODULE, "--quiet", "-", out}, "",
                          {Folder / "streamed.wav", {}});
    EXPECT_EQ(result.ExitCode, 0) << result.Output;
    EXPECT_EQ(result.Output, "");
    EXPECT_EQ(ReadAudioFile(out).Frames(), 4410);

    result = RunTool({"--plugin", TEST_GAIN_MODULE, "--quiet", "/dev/stdin", out}, "",
                     {Folder / "claims.wav", {}});
    EXPECT_EQ(result.ExitCode, 0) << result.Output;
    EXPECT_THAT(result.Output, HasSubstr("/dev/stdin ends early"));
    EXPECT_EQ(ReadAudioFile(out).Frames(), 3000);

    result = RunTool({"--plugin", TEST_GAIN_MODULE, "--tail", "0.1", "--type", "au", "-", "-"}, "",
                     {Folder / "claims.wav", Folder / "piped.au"});
    EXPECT_EQ(result.ExitCode, 0) << result.Output;
    EXPECT_THAT(result.Output, HasSubstr("standard input -> standard output through Test Gain"));
    EXPECT_EQ(ReadAudioFile(Folder / "piped.au").Frames(), 3000 + 4410);
}

// Writing over an earlier file keeps its permissions, and a link is written through.
TEST_F(RenderToolRun, KeepsTheModeOfAnEarlierOutputAndWritesThroughLinks)
{
    namespace fs = std::filesystem;
    test::WriteFloatWav(Folder / "in.wav", test::Noise(1000));
    std::ofstream(Folder / "target.wav") << "earlier render";
    fs::permissions(Folder / "target.wav",
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink("target.wav", Folder / "link.wav");
    const auto result =
        RunTool({"--plugin", TEST_GAIN_MODULE, "--quiet", In(), (Folder / "link.wav").string()});
    ASSERT_EQ(result.ExitCode, 0) << result.Output;
    EXPECT_TRUE(fs::is_symlink(Folder / "link.wav"));
    EXPECT_EQ(fs::status(Folder / "target.wav").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(ReadAudioFile(Folder / "target.wav").Frames(), 1000);
    EXPECT_EQ(FolderNames(Folder.Path()),
              (std::vector<std::string>{"in.wav", "link.wav", "target.wav"}));
}

// On a terminal the progress bar's line is ended before the summary starts.
TEST_F(RenderToolRun, EndsTheProgressBarLineBeforeTheSummary)
{
    if (std::system("command -v script >/dev/null 2>&1") != 0)
    {
        GTEST_SKIP() << "no script(1) to give the tool a terminal";
    }
    test::WriteFloatWav(Folder / "in.wav", test::Noise(4410));
    const std::string command = "script -qec \"'" ORVO_RENDER_TOOL "' --plugin '" TEST_GAIN_MODULE
                                "' --block 1 --tail 40 '" +
                                In() + "' '" + (Folder / "out.wav").string() +
                                "'\" /dev/null </dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[4096];
    for (std::size_t got = 0; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    {
        output.append(buffer, got);
    }
    ASSERT_EQ(::pclose(pipe), 0) << output;
    if (output.find("] 100%") == std::string::npos)
    {
        GTEST_SKIP() << "the render ended before the bar appeared";
    }
    EXPECT_THAT(output, HasSubstr("] 100%\r\n" + In() + " -> "));
}

TEST_F(RenderToolRun, WarnsAboutInputThatEndsEarlyOrHoldsNothing)
{
    const std::string out = (Folder / "out.wav").string();
    WriteWavHolding(Folder / "in.wav", 30 * 44100, 25137);
    auto result = RunTool({"--plugin", TEST_GAIN_MODULE, "--quiet", In(), out});
    EXPECT_EQ(result.ExitCode, 0) << result.Output;
    EXPECT_THAT(result.Output, HasSubstr("warning: " + In() + " ends early"));
    EXPECT_THAT(result.Output, HasSubstr("rendered the 0.57 s it holds"));
    EXPECT_EQ(ReadAudioFile(out).Frames(), 25137);

    WriteWavHolding(Folder / "in.wav", 0, 0);
    result = RunTool({"--plugin", TEST_GAIN_MODULE, "--quiet", In(), out});
    EXPECT_EQ(result.ExitCode, 0) << result.Output;
    EXPECT_THAT(result.Output,
                HasSubstr("warning: " + In() + " holds no audio; the output is empty"));
}

// A tail that fills the disk is refused before anything is written: a 1 MiB file system
// cannot hold 10 s of 32-bit float stereo (3.4 MiB). FLAC is stopped by the full disk.
TEST_F(RenderToolRun, RefusesAnOutputLargerThanTheFreeSpace)
{
    const std::filesystem::path small = Folder / "small";
    std::filesystem::create_directory(small);
    const std::string mount =
        "mount -t tmpfs -o size=1m orvo-test '" + small.string() + "' 2>/dev/null";
    if (std::system(mount.c_str()) != 0)
    {
        GTEST_SKIP() << "cannot mount a small file system here";
    }
    test::WriteFloatWav(Folder / "in.wav", test::Noise(4410));
    const auto result =
        RunTool({"--plugin", TEST_GAIN_MODULE, "--tail", "10", In(), (small / "out.wav").string()});
    const bool empty = std::filesystem::is_empty(small);
    // FLAC is judged as it is written: 10 s of silence fits, 30 s of noise does not.
    const auto silence = RunTool(
        {"--plugin", TEST_GAIN_MODULE, "--tail", "10", In(), (small / "out.flac").string()});
    std::filesystem::remove(small / "out.flac");
    test::WriteFloatWav(Folder / "in.wav", test::Noise(30 * 44100));
    const auto noise = RunTool({"--plugin", TEST_GAIN_MODULE, In(), (small / "out.flac").string()});
    const bool emptyAfterNoise = std::filesystem::is_empty(small);
    static_cast<void>(std::system(("umount '" + small.string() + "'").c_str()));
    EXPECT_EQ(result.ExitCode, ExitFailure) << result.Output;
    EXPECT_THAT(result.Output,
                HasSubstr("would take about 3 MiB, but its file system has only 1 MiB free"));
    EXPECT_TRUE(empty) << "nothing may be written";
    EXPECT_EQ(silence.ExitCode, 0) << silence.Output;
    EXPECT_EQ(noise.ExitCode, ExitFailure) << noise.Output;
    EXPECT_THAT(noise.Output, HasSubstr("No space left on device"));
    EXPECT_TRUE(emptyAfterNoise) << "the partial file is removed";
}

// Ctrl-C, a hang-up and a request to end all stop the render and remove the partial file.
TEST_F(RenderToolRun, EndsOnEverySignalWithoutLeavingThePartialFile)
{
    TStereoAudio input = test::Noise(800);
    input.SampleRate = 8000.0;
    test::WriteFloatWav(Folder / "in.wav", input);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
    {
        test::TToolProcess tool({"--plugin", TEST_GAIN_MODULE, "--tail", "3600", "--block", "64",
                                 In(), (Folder / "out.wav").string()},
                                Folder.Path().parent_path() /
                                    ("orvo-render-signal-" + std::to_string(signal)));
        ASSERT_TRUE(test::WaitForFile(Folder / ".out.wav.partial", 10.0)) << signal;
        tool.Signal(signal);
        const auto result = tool.Wait();
        EXPECT_EQ(result.ExitCode, 128 + signal) << result.Output;
        EXPECT_THAT(result.Output,
                    HasSubstr("cancelled; " + (Folder / "out.wav").string() + " was not written"));
        EXPECT_EQ(FolderNames(Folder.Path()), std::vector<std::string>{"in.wav"})
            << "signal " << signal;
        std::filesystem::remove(Folder.Path().parent_path() /
                                ("orvo-render-signal-" + std::to_string(signal)));
    }
}

// One frame per processing call still reads and writes the files in large chunks: a few
// dozen system calls (loading the modules included), not one or two per frame.
TEST_F(RenderToolRun, ReadsAndWritesInLargeChunksWhateverTheBlockSize)
{
    test::WriteFloatWav(Folder / "in.wav", test::Noise(100000));
    const auto log = Folder.Path().parent_path() / "orvo-render-chunks.log";
    test::TToolProcess tool({"--plugin", TEST_GAIN_MODULE, "--quiet", "--block", "1", In(),
                             (Folder / "out.wav").string()},
                            log);
    const auto result = tool.Wait();
    std::filesystem::remove(log);
    ASSERT_EQ(result.ExitCode, 0) << result.Output;
    if (tool.ReadCalls() < 0)
    {
        GTEST_SKIP() << "no I/O counts in /proc here";
    }
    EXPECT_LT(tool.ReadCalls(), 500) << tool.WriteCalls();
    EXPECT_LT(tool.WriteCalls(), 500);
}

TEST_F(RenderToolRun, FindsABarePluginNameInVstPathAndNamesTheFoldersOtherwise)
{
    std::filesystem::create_directory(Folder / "plugins");
    std::filesystem::copy_file(TEST_GAIN_MODULE, Folder / "plugins" / "OrvoTestGain.so");
    const auto found = RunTool({"--plugin", "OrvoTestGain", "--list"},
                               "VST_PATH='/nowhere:" + (Folder / "plugins").string() + "'");
    EXPECT_EQ(found.ExitCode, 0) << found.Output;
    EXPECT_THAT(found.Output,
                HasSubstr("Test Gain (" + (Folder / "plugins" / "OrvoTestGain.so").string()));

    const auto missing = RunTool({"--plugin", "OrvoTestGain", "--list"},
                                 "VST_PATH= HOME='" + Folder.Path().string() + "'");
    EXPECT_EQ(missing.ExitCode, ExitFailure);
    EXPECT_THAT(missing.Output,
                HasSubstr("no plug-in \"OrvoTestGain\" in the current folder nor in " +
                          (Folder / ".vst").string() + ", "));
}

#ifdef ORVO_MODULE
// A bare number is what the display shows; --list shows every parameter's default CC.
TEST(RenderToolOrvo, ListsDefaultControllersAndTakesDisplayNumbers)
{
    const auto result =
        RunTool({"--plugin", ORVO_MODULE, "--list", "--param", "InGain=0", "--param", "Tuning=0",
                 "--param", "Lo=50", "--param", "OutGain=-oo dB"});
    ASSERT_EQ(result.ExitCode, 0) << result.Output;
    EXPECT_THAT(result.Output, HasSubstr("Lo                        CC 20  norm:0.7500  50.00%TD"));
    EXPECT_THAT(result.Output, HasSubstr("HiMute                    CC 29  "));
    EXPECT_THAT(result.Output,
                HasSubstr("Tuning                    CC 31  norm:0.5000  0.00 SemiTones"));
    EXPECT_THAT(result.Output, HasSubstr("InGain                    CC 32  norm:0.5"));
    EXPECT_THAT(result.Output, HasSubstr("  0.00 dB\n"));
    EXPECT_THAT(result.Output,
                HasSubstr("OutGain                   CC 33  norm:0.0000     -oo   dB"));
}

// The README's example: --cc 2.5:29=127 leaves the sound as it is before 2.5 s and mutes
// the Hi band after it (once the mute's fade has ended).
TEST_F(RenderToolRun, TheReadmesControlChangeExampleMutesTheHiBand)
{
    test::WriteFloatWav(Folder / "in.wav", test::Noise(4 * 44100));
    const auto render = [&](std::vector<std::string> options)
    {
        options.insert(options.begin(),
                       {"--plugin", ORVO_MODULE, "--quiet", In(), (Folder / "out.wav").string()});
        const auto result = RunTool(options);
        EXPECT_EQ(result.ExitCode, 0) << result.Output;
        return ReadAudioFile(Folder / "out.wav");
    };
    const TStereoAudio example = render({"--cc", "2.5:29=127"});
    const TStereoAudio open = render({});
    const TStereoAudio muted = render({"--param", "HiMute=Muted"});
    const auto at = [](const TStereoAudio& audio, std::size_t from, std::size_t to)
    {
        return std::vector<float>(audio.Left.begin() + static_cast<std::ptrdiff_t>(from),
                                  audio.Left.begin() + static_cast<std::ptrdiff_t>(to));
    };
    constexpr std::size_t Change = 110250;
    EXPECT_EQ(at(example, 0, Change), at(open, 0, Change));
    EXPECT_EQ(at(example, Change + 4410, example.Left.size()),
              at(muted, Change + 4410, muted.Left.size()));
    EXPECT_NE(at(open, Change + 4410, open.Left.size()),
              at(muted, Change + 4410, muted.Left.size()));
}
#endif

} // namespace
} // namespace orvo
