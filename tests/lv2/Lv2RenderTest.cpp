// lv2apply (one frame per run call) through the LV2 bundle against orvo-render driving the
// VST 2 module at one frame per block: the same file, sample for sample, at the defaults
// and with controls set in the ports' units.
#include <gtest/gtest.h>

#include "lv2/uLv2Ports.h"
#include "tests/render/uRenderTestSupport.h"

#include <cstdlib>

namespace orvo::test
{
namespace
{
struct TSettings
{
    const char* Name;
    std::vector<std::string> Lv2Controls;   // SYMBOL VALUE pairs for lv2apply -c
    std::vector<std::string> VstParameters; // NAME=VALUE for orvo-render --param
};

std::string Quoted(const std::string& text)
{
    std::string quoted = "'";
    for (const char c : text)
    {
        if (c == '\'')
        {
            quoted += "'\\''";
        }
        else
        {
            quoted += c;
        }
    }
    quoted += '\'';
    return quoted;
}

TStereoAudio ReadAll(const std::filesystem::path& path)
{
    TAudioReader reader(path);
    TStereoAudio audio;
    audio.SampleRate = reader.SampleRate();
    audio.Resize(reader.Frames());
    reader.Read(audio.Left.data(), audio.Right.data(), reader.Frames());
    return audio;
}

void PrintTo(const TSettings& settings, std::ostream* out)
{
    *out << settings.Name;
}

class Lv2Render : public ::testing::TestWithParam<TSettings>
{
};

TEST_P(Lv2Render, EqualsTheVstModuleSampleForSample)
{
    const TSettings& settings = GetParam();
    const TScratchFolder folder;
    // A second of noise with a loud burst, so the band processors and the clipper work.
    TStereoAudio input = Noise(48000, 0.3f, 48000.0);
    for (std::size_t i = 12000; i < 12400; ++i)
    {
        input.Left[i] *= 3.0f;
        input.Right[i] *= 3.0f;
    }
    WriteFloatWav(folder / "in.wav", input);

    std::vector<std::string> words{LV2APPLY, "-i", (folder / "in.wav").string(), "-o",
                                   (folder / "lv2.wav").string()};
    for (std::size_t i = 0; i + 1 < settings.Lv2Controls.size(); i += 2)
    {
        words.insert(words.end(), {"-c", settings.Lv2Controls[i], settings.Lv2Controls[i + 1]});
    }
    words.emplace_back(lv2::PluginUri);
    std::string lv2 = "LV2_PATH=";
    lv2 += Quoted(LV2_FOLDER);
    for (const std::string& word : words)
    {
        lv2 += ' ';
        lv2 += Quoted(word);
    }
    ASSERT_EQ(std::system(lv2.c_str()), 0) << lv2;

    std::vector<std::string> render{(folder / "in.wav").string(),
                                    (folder / "vst.wav").string(),
                                    "--plugin",
                                    ORVO_MODULE,
                                    "--block",
                                    "1",
                                    "--quiet"};
    for (const std::string& parameter : settings.VstParameters)
    {
        render.insert(render.end(), {"--param", parameter});
    }
    const TToolResult result = RunTool(render);
    ASSERT_EQ(result.ExitCode, 0) << result.Output;

    const TStereoAudio fromLv2 = ReadAll(folder / "lv2.wav");
    const TStereoAudio fromVst = ReadAll(folder / "vst.wav");
    ASSERT_EQ(fromLv2.Frames(), input.Frames());
    ASSERT_EQ(fromVst.Frames(), input.Frames());
    for (std::size_t i = 0; i < input.Left.size(); ++i)
    {
        ASSERT_EQ(fromLv2.Left[i], fromVst.Left[i]) << "left, frame " << i;
        ASSERT_EQ(fromLv2.Right[i], fromVst.Right[i]) << "right, frame " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Settings, Lv2Render,
    ::testing::Values(
        TSettings{"Defaults", {}, {}},
        TSettings{
            "InGainAndLo", {"in_gain", "3", "lo", "0.8"}, {"InGain=norm:0.75", "Lo=norm:0.8"}},
        TSettings{"TuningTubeAndMute",
                  {"tuning", "-6", "tube", "-40", "mid_mute", "1", "oversample", "0"},
                  {"Tuning=norm:0.25", "Tube=norm:0.3", "MidMute=norm:1", "OverSample=norm:0"}}),
    [](const ::testing::TestParamInfo<TSettings>& settings) { return settings.param.Name; });
} // namespace
} // namespace orvo::test
