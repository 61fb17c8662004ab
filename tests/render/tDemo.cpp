// orvo-render --demo, shortened: every promised file is written and the page refers to
// each of them; the piece is the same on every run.
#include "tests/render/uRenderTestSupport.h"
#include "tools/png/PNGFile.h"
#include "tools/render/uDemoPiece.h"
#include "tools/render/uSignalStats.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace orvo
{
namespace
{

using ::testing::HasSubstr;
using test::RunTool;
using test::TScratchFolder;

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
        for (const char* extension : {".wav", ".png"})
        {
            const std::string file = stem + extension;
            EXPECT_TRUE(std::filesystem::is_regular_file(folder / file)) << file;
            EXPECT_THAT(html.str(), HasSubstr("\"" + file + "\"")) << "the page refers to " << file;
        }
        const TRGBAImage picture = ReadPNGFile(folder / (stem + ".png"));
        EXPECT_GT(picture.Width, 0u);
    }
    EXPECT_EQ(std::filesystem::is_regular_file(folder / "crossover.png"), withResponse);
    EXPECT_EQ(html.str().find("crossover.png") != std::string::npos, withResponse);
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
