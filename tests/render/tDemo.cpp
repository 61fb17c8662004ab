// orvo-render --demo, shortened: every promised file is written and the page refers to
// each of them; the piece is the same on every run.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/render/uRenderTestSupport.h"
#include "tools/png/PNGFile.h"
#include "tools/render/uDemoPiece.h"
#include "tools/render/uSignalStats.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

namespace orvo
{
namespace
{

using test::RunTool;
using test::TScratchFolder;
using ::testing::HasSubstr;

void ExpectDemoFolder(const std::filesystem::path& folder, const std::vector<std::string>& stems,
                      bool withResponse)
{
    std::ifstream page(folder / "index.html");
    std::stringstream html;
    html << page.rdbuf();
    ASSERT_FALSE(html.str().empty()) << "index.html missing";
    EXPECT_TRUE(std::filesystem::is_regular_file(folder / "dry.wav"));
    for (const auto& stem : stems)
    {
        for (const char* extension : {".wav", "-matched.wav", ".png"})
        {
            const std::string file = stem + extension;
            EXPECT_TRUE(std::filesystem::is_regular_file(folder / file)) << file;
            EXPECT_THAT(html.str(), HasSubstr("\"" + file + "\"")) << "the page refers to " << file;
        }
        const TRGBAImage picture = ReadPNGFile(folder / (stem + ".png"));
        EXPECT_GT(picture.Width, 0u);
    }
    for (const char* response : {"crossover.png", "crossover-oversampled.png"})
    {
        EXPECT_EQ(std::filesystem::is_regular_file(folder / response), withResponse) << response;
        EXPECT_EQ(html.str().find(response) != std::string::npos, withResponse) << response;
    }
    // The players play the level-matched files: each at the dry piece's RMS level.
    const double dryRms = MeasureSignal(ReadAudioFile(folder / "dry.wav")).RmsDb();
    for (const auto& stem : stems)
    {
        const TStereoAudio matched = ReadAudioFile(folder / (stem + "-matched.wav"));
        EXPECT_NEAR(MeasureSignal(matched).RmsDb(), dryRms, 0.01) << stem;
        EXPECT_THAT(html.str(), HasSubstr("<audio controls preload=\"none\" src=\"" + stem +
                                          "-matched.wav\">"));
    }
}

TEST(RenderToolDemo, WritesSoundsPicturesAndPageForEveryProgram)
{
    TScratchFolder folder;
    const auto result = RunTool({"--plugin", TEST_GAIN_MODULE, "--demo", (folder / "demo").string(),
                                 "--demo-seconds", "1", "--quiet"});
    ASSERT_EQ(result.ExitCode, 0) << result.Output;
    // The test effect has no five-band split, so no response picture.
    ExpectDemoFolder(folder / "demo", {"00-Unity", "01-Quiet", "02-Loud"}, false);
    const TStereoAudio quiet = ReadAudioFile(folder / "demo" / "01-Quiet.wav");
    const TStereoAudio dry = ReadAudioFile(folder / "demo" / "dry.wav");
    EXPECT_NEAR(MeasureSignal(quiet).PeakDb() - MeasureSignal(dry).PeakDb(), -12.0, 0.01);
}

#ifdef ORVO_MODULE
TEST(RenderToolDemo, WritesEveryFileForOrvosSixteenPrograms)
{
    TScratchFolder folder;
    const auto result = RunTool({"--plugin", ORVO_MODULE, "--demo", (folder / "demo").string(),
                                 "--demo-seconds", "0.5", "--quiet"});
    ASSERT_EQ(result.ExitCode, 0) << result.Output;
    ExpectDemoFolder(folder / "demo",
                     {"00-Flat", "01-BoomBox", "02-AirBourne", "03-TranSister", "04-Pushed",
                      "05-MiddleAgeSpread", "06-MissingOut", "07-Mutant", "08-Overdrive",
                      "09-UnderDrive", "10-Entschuldigung", "11-ReachForTheHigh", "12-DeftFunk",
                      "13-ExcitingSub", "14-Spare", "15-Spare"},
                     true);
    std::ifstream page(folder / "demo" / "index.html");
    std::stringstream html;
    html << page.rdbuf();
    EXPECT_THAT(html.str(), HasSubstr("Mutant<span class=\"what\">Mutes LoMid and HiMid</span>"));
    EXPECT_THAT(html.str(), HasSubstr("Flat<span class=\"what\">Every band at 0 dB, no Tube, no "
                                      "Tuning; only the output's soft clipper acts"));
    // The page's editor picture is the first program as a fresh instance shows it.
    ASSERT_EQ(RunTool({"--plugin", ORVO_MODULE, "--editor-shot", (folder / "shot.png").string()})
                  .ExitCode,
              0);
    EXPECT_TRUE(ReadPNGFile(folder / "demo" / "editor.png").Pixels ==
                ReadPNGFile(folder / "shot.png").Pixels);

    // Each program starts from rest, as a new instance given the program and a moment of
    // silence does: nothing of the program rendered before it carries over.
    const TStereoAudio dry = ReadAudioFile(folder / "demo" / "dry.wav");
    constexpr std::int64_t Rest = 4410;
    TStereoAudio padded;
    padded.SampleRate = dry.SampleRate;
    padded.Resize(Rest + dry.Frames());
    std::copy(dry.Left.begin(), dry.Left.end(), padded.Left.begin() + Rest);
    std::copy(dry.Right.begin(), dry.Right.end(), padded.Right.begin() + Rest);
    test::WriteFloatWav(folder / "padded.wav", padded);
    const auto alone = RunTool({"--plugin", ORVO_MODULE, "--quiet", "--program", "Mutant",
                                (folder / "padded.wav").string(), (folder / "alone.wav").string()});
    ASSERT_EQ(alone.ExitCode, 0) << alone.Output;
    const TStereoAudio expected = ReadAudioFile(folder / "alone.wav");
    const TStereoAudio demo = ReadAudioFile(folder / "demo" / "07-Mutant.wav");
    ASSERT_EQ(expected.Frames(), Rest + demo.Frames());
    // dry.wav holds the piece in 16 bits, the demo rendered it unrounded: a few steps apart.
    float worst = 0.0f;
    for (std::size_t i = 0; i < demo.Left.size(); ++i)
    {
        worst = std::max({worst, std::fabs(demo.Left[i] - expected.Left[i + Rest]),
                          std::fabs(demo.Right[i] - expected.Right[i + Rest])});
    }
    EXPECT_LT(worst, 4.0f / 32768.0f);
}
#endif

TEST(DemoPiece, IsDeterministicWithSharpTransientsAndHeadroom)
{
    const TStereoAudio first = SynthesiseDemoPiece(2.0);
    const TStereoAudio second = SynthesiseDemoPiece(2.0);
    ASSERT_EQ(first.Frames(), 88200);
    EXPECT_EQ(first.Left, second.Left);
    EXPECT_EQ(first.Right, second.Right);
    EXPECT_NE(first.Left, first.Right) << "a stereo piece";
    const TSignalStats stats = MeasureSignal(first);
    EXPECT_NEAR(stats.PeakDb(), -6.02, 0.01);
    EXPECT_GT(stats.CrestDb(), 9.0) << "drum hits stand well above the average level";
}

} // namespace
} // namespace orvo
