// orvo-render run as a user runs it: errors in plain words with a non-zero exit and no
// output file left behind; renders with the test effect and, when built, with Orvo.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/render/uRenderTestSupport.h"
#include "tools/render/uAudioFile.h"
#include "tools/render/uVstHost.h"

#include <sndfile.h>

#include <cmath>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace orvo
{
namespace
{

using test::FolderNames;
using test::RunTool;
using test::TMidiFileBuilder;
using test::TScratchFolder;
using ::testing::HasSubstr;

constexpr int ExitFailure = 1;
constexpr int ExitUsage = 2;

std::string FileText(const std::filesystem::path& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class RenderToolErrors : public ::testing::Test
{
  protected:
    void SetUp() override { test::WriteFloatWav(Folder / "in.wav", test::Noise(1000)); }

    /// Runs with the test effect; expects failure and nothing new in the folder.
    std::string Fails(std::vector<std::string> arguments, int exitCode = ExitFailure)
    {
        const auto before = FolderNames(Folder.Path());
        arguments.insert(arguments.begin(), {"--plugin", TEST_GAIN_MODULE});
        const auto result = RunTool(arguments);
        EXPECT_EQ(result.ExitCode, exitCode) << result.Output;
        EXPECT_EQ(FolderNames(Folder.Path()), before) << "a failed run left files behind";
        return result.Output;
    }
    std::string In() const { return (Folder / "in.wav").string(); }
    std::string Out() const { return (Folder / "out.wav").string(); }

    TScratchFolder Folder;
};

TEST_F(RenderToolErrors, NameMissingAndUnreadableInputs)
{
    EXPECT_THAT(Fails({(Folder / "missing.wav").string(), Out()}),
                HasSubstr("input file not found"));
    std::ofstream(Folder / "text.wav") << "not audio at all";
    EXPECT_THAT(Fails({(Folder / "text.wav").string(), Out()}), HasSubstr("cannot read"));

    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = 3;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open((Folder / "three.wav").string().c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr);
    const short frame[3] = {1, 2, 3};
    sf_writef_short(file, frame, 1);
    sf_close(file);
    EXPECT_THAT(Fails({(Folder / "three.wav").string(), Out()}), HasSubstr("has 3 channels"));
}

TEST_F(RenderToolErrors, NameUnknownProgramsParametersAndFormats)
{
    EXPECT_THAT(Fails({"--program", "Silent", In(), Out()}),
                HasSubstr("unknown program \"Silent\" (programs: Unity, Quiet, Loud)"));
    EXPECT_THAT(Fails({"--program", "7", In(), Out()}), HasSubstr("no program 7"));
    EXPECT_THAT(Fails({"--param", "Volume=0.5", In(), Out()}),
                HasSubstr("unknown parameter \"Volume\""));
    EXPECT_THAT(Fails({"--param", "Gain=+40dB", In(), Out()}), HasSubstr("cannot set Gain"));
    EXPECT_THAT(Fails({"--oversample", "on", In(), Out()}), HasSubstr("no OverSample parameter"));
    EXPECT_THAT(Fails({In(), (Folder / "out.xyz").string()}), HasSubstr("use one of .wav, .flac"));
    EXPECT_THAT(Fails({"--midi", (Folder / "none.mid").string(), In(), Out()}),
                HasSubstr("cannot open MIDI file"));
}

TEST_F(RenderToolErrors, RefuseModulesThatAreNotVst2Effects)
{
    std::ofstream(Folder / "fake.so") << "not a module";
    EXPECT_THAT(Fails({"--plugin", (Folder / "fake.so").string(), In(), Out()}),
                HasSubstr("not a loadable plug-in module"));
    EXPECT_THAT(Fails({"--plugin", NOT_AN_EFFECT_MODULE, In(), Out()}),
                HasSubstr("is not a VST 2 effect"));
}

TEST_F(RenderToolErrors, ReportMisusedOptionsAsUsageErrors)
{
    EXPECT_THAT(Fails({In()}, ExitUsage), HasSubstr("exactly one input and one output"));
    EXPECT_THAT(Fails({"--block", "0", In(), Out()}, ExitUsage), HasSubstr("--block needs"));
    EXPECT_THAT(Fails({"--cc", "1.5:300=0", In(), Out()}, ExitUsage), HasSubstr("from 0 to 127"));
    EXPECT_THAT(Fails({"--frobnicate", In(), Out()}, ExitUsage), HasSubstr("unknown option"));
    EXPECT_THAT(Fails({"--quiet=yes", In(), Out()}, ExitUsage), HasSubstr("takes no value"));
    EXPECT_THAT(Fails({"--bench", "--bench-simd", "avx3"}, ExitUsage),
                HasSubstr("--bench-simd takes scalar, sse2, avx2 or avx512"));
}

TEST_F(RenderToolErrors, KeepAnEarlierOutputFileWhenARenderFails)
{
    std::ofstream(Folder / "out.wav") << "earlier render";
    static_cast<void>(Fails({"--param", "Volume=1", In(), Out()}));
    EXPECT_EQ(FileText(Folder / "out.wav"), "earlier render");
}

class RenderTool : public ::testing::Test
{
  protected:
    TStereoAudio Render(const TStereoAudio& input, std::vector<std::string> options,
                        const char* plugin = TEST_GAIN_MODULE)
    {
        test::WriteFloatWav(Folder / "in.wav", input);
        options.insert(options.begin(), {"--plugin", plugin, "--quiet"});
        options.push_back((Folder / "in.wav").string());
        options.push_back((Folder / "out.wav").string());
        const auto result = RunTool(options);
        EXPECT_EQ(result.ExitCode, 0) << result.Output;
        EXPECT_EQ(result.Output, "") << "--quiet prints nothing";
        return ReadAudioFile(Folder / "out.wav");
    }
    TScratchFolder Folder;
};

TEST_F(RenderTool, AppliesTheProgramAndKeepsFloatSamplesExact)
{
    const TStereoAudio input = test::Noise(5000);
    const TStereoAudio output = Render(input, {"--program", "Loud", "--block", "300"});
    ASSERT_EQ(output.Frames(), input.Frames());
    EXPECT_EQ(output.SampleRate, input.SampleRate);
    const float gain = std::pow(10.0f, 12.0f / 20.0f);
    for (std::size_t i = 0; i < input.Left.size(); ++i)
    {
        ASSERT_EQ(output.Left[i], input.Left[i] * gain) << "frame " << i;
        ASSERT_EQ(output.Right[i], input.Right[i] * gain) << "frame " << i;
    }
}

TEST_F(RenderTool, FeedsMonoToBothInputsAndAddsTheTail)
{
    TStereoAudio mono = test::Noise(4410);
    SF_INFO info{};
    info.samplerate = 22050;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open((Folder / "mono.wav").string().c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr);
    sf_writef_float(file, mono.Left.data(), mono.Frames());
    sf_close(file);

    const auto result = RunTool({"--plugin", TEST_GAIN_MODULE, "--quiet", "--tail", "0.5",
                                 (Folder / "mono.wav").string(), (Folder / "out.flac").string()});
    ASSERT_EQ(result.ExitCode, 0) << result.Output;
    const TStereoAudio output = ReadAudioFile(Folder / "out.flac");
    EXPECT_EQ(output.SampleRate, 22050.0);
    ASSERT_EQ(output.Frames(), 4410 + 11025);
    for (std::size_t i = 0; i < 4410; ++i)
    {
        ASSERT_EQ(output.Left[i], output.Right[i]) << "frame " << i;
        ASSERT_NEAR(output.Left[i], mono.Left[i], 1.0 / 8388608.0 * 2)
            << "24-bit FLAC, frame " << i;
    }
    EXPECT_EQ(output.Left.back(), 0.0f);
}

TEST_F(RenderTool, SendsControlChangesAtTheirSample)
{
    // CC 7 = 0 at 0.5 s turns the test effect's gain to -24 dB from exactly frame 22050.
    const TStereoAudio input = test::Noise(44100);
    const TStereoAudio output = Render(input, {"--cc", "0.5:7=0", "--block", "1000"});
    EXPECT_EQ(output.Left[22049], input.Left[22049]);
    EXPECT_FLOAT_EQ(output.Left[22050], input.Left[22050] * std::pow(10.0f, -24.0f / 20.0f));
}

TEST_F(RenderTool, SendsMidiFileEventsAtTheirSample)
{
    // 96 ticks per beat at 100 bpm (0.6 s per beat): tick 48 is 0.3 s, frame 13230.
    TMidiFileBuilder(0, 96)
        .Track()
        .Tempo(0, 600000)
        .Event(48, {0xB0, 7, 127})
        .Save(Folder / "cc.mid");
    const TStereoAudio input = test::Noise(20000);
    const TStereoAudio output =
        Render(input, {"--midi", (Folder / "cc.mid").string(), "--block", "256"});
    EXPECT_EQ(output.Left[13229], input.Left[13229]);
    EXPECT_FLOAT_EQ(output.Left[13230], input.Left[13230] * std::pow(10.0f, 24.0f / 20.0f));
}

TEST(RenderToolList, ShowsParametersWithDisplayTextsAndPrograms)
{
    const auto result = RunTool({"--plugin", TEST_GAIN_MODULE, "--list", "--program", "Quiet",
                                 "--param", "Polarity=Inverted"});
    ASSERT_EQ(result.ExitCode, 0) << result.Output;
    EXPECT_THAT(result.Output, HasSubstr("-12.00 dB"));
    EXPECT_THAT(result.Output, HasSubstr("Inverted"));
    EXPECT_THAT(result.Output, HasSubstr("* 1   Quiet"));
}

#ifdef ORVO_MODULE

/// Processes audio through Orvo's record alone: the entry, the dispatcher and
/// processReplacing, with a host callback that answers only the version.
TStereoAudio ProcessDirectly(const TStereoAudio& input, std::int32_t program, std::int32_t block)
{
    const auto host = [](AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) -> VstIntPtr
    { return opcode == audioMasterVersion ? 2400 : 0; };
    void* library = ::dlopen(ORVO_MODULE, RTLD_NOW | RTLD_LOCAL);
    EXPECT_NE(library, nullptr);
    const auto entry =
        reinterpret_cast<AEffect* (*)(audioMasterCallback)>(::dlsym(library, "VSTPluginMain"));
    AEffect* effect = entry(host);
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr,
                       static_cast<float>(input.SampleRate));
    effect->dispatcher(effect, effSetBlockSize, 0, block, nullptr, 0.0f);
    effect->dispatcher(effect, effSetProgram, 0, program, nullptr, 0.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    TStereoAudio output;
    output.SampleRate = input.SampleRate;
    output.Resize(input.Frames());
    for (std::int64_t done = 0; done < input.Frames(); done += block)
    {
        const auto count =
            static_cast<VstInt32>(std::min<std::int64_t>(block, input.Frames() - done));
        std::vector<float> left(input.Left.begin() + done, input.Left.begin() + done + count);
        std::vector<float> right(input.Right.begin() + done, input.Right.begin() + done + count);
        float* in[2] = {left.data(), right.data()};
        float* out[2] = {output.Left.data() + done, output.Right.data() + done};
        effect->processReplacing(effect, in, out, count);
    }
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    ::dlclose(library);
    return output;
}

TEST_F(RenderTool, OrvoRenderEqualsProcessingThroughTheRecordDirectly)
{
    const TStereoAudio input = test::Noise(30000, 0.7f);
    const TStereoAudio rendered = Render(input, {"--program", "3", "--block", "256"}, ORVO_MODULE);
    const TStereoAudio direct = ProcessDirectly(input, 3, 256);
    ASSERT_EQ(rendered.Frames(), direct.Frames());
    EXPECT_EQ(rendered.Left, direct.Left);
    EXPECT_EQ(rendered.Right, direct.Right);
}

TEST_F(RenderTool, OrvoOutputDoesNotDependOnTheBlockSizeInGainMode)
{
    // "MissingOut": every band in level mode (values up to 0.5), Tube and Tuning moved.
    const TStereoAudio input = test::Noise(20000, 0.8f);
    for (const char* oversample : {"on", "off"})
    {
        const TStereoAudio reference = Render(
            input, {"--program", "MissingOut", "--oversample", oversample, "--block", "4096"},
            ORVO_MODULE);
        for (const char* block : {"1", "63", "64", "500"})
        {
            const TStereoAudio output = Render(
                input, {"--program", "MissingOut", "--oversample", oversample, "--block", block},
                ORVO_MODULE);
            EXPECT_EQ(output.Left, reference.Left)
                << "block " << block << ", oversampling " << oversample;
            EXPECT_EQ(output.Right, reference.Right)
                << "block " << block << ", oversampling " << oversample;
        }
    }
}

TEST_F(RenderTool, OrvoTakesMidiFileControlChangesAtTheirSample)
{
    // CC 33 drives OutGain by default; value 0 silences the output from its sample on.
    // 480 ticks per beat at 120 bpm: tick 720 is 0.75 s, frame 33075.
    TMidiFileBuilder(1, 480)
        .Track()
        .Tempo(0, 500000)
        .Track()
        .Event(720, {0xB3, 33, 0})
        .Save(Folder / "out.mid");
    const TStereoAudio input = test::Noise(40000, 0.5f);
    const TStereoAudio silenced =
        Render(input, {"--param", "OutGain=-oo", "--oversample", "off"}, ORVO_MODULE);
    ASSERT_EQ(silenced.Left, std::vector<float>(input.Left.size(), 0.0f))
        << "OutGain at -oo must silence";
    const TStereoAudio output = Render(
        input, {"--midi", (Folder / "out.mid").string(), "--oversample", "off", "--block", "512"},
        ORVO_MODULE);
    EXPECT_NE(output.Left[33074], 0.0f);
    for (std::size_t i = 33075; i < 40000; ++i)
    {
        ASSERT_EQ(output.Left[i], 0.0f) << "frame " << i;
        ASSERT_EQ(output.Right[i], 0.0f) << "frame " << i;
    }
}

// Each instruction set asked for runs in a copy of the module of its own, side by side in
// one run, and the copies are gone afterwards.
TEST(RenderToolBench, TimesOrvoAtEachInstructionSetAskedFor)
{
    const auto copies = []
    {
        int count = 0;
        const auto folder = std::filesystem::temp_directory_path();
        for (const auto& entry : std::filesystem::directory_iterator(folder))
        {
            count += entry.path().filename().string().rfind("orvo-bench-", 0) == 0 ? 1 : 0;
        }
        return count;
    };
    const int before = copies();
    const auto result =
        RunTool({"--plugin", ORVO_MODULE, "--bench", "--seconds", "0.05", "--repeats", "1",
                 "--bench-simd", "scalar", "--bench-simd", "sse2"});
    ASSERT_EQ(result.ExitCode, 0) << result.Output;
    EXPECT_THAT(result.Output, HasSubstr("Orvo host rate [scalar]"));
    EXPECT_THAT(result.Output, HasSubstr("Orvo oversampled [sse2]"));
    EXPECT_EQ(copies(), before);
}

#endif

} // namespace
} // namespace orvo
