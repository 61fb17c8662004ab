// orvo-render --editor-shot: the command line, and the picture of the editor in a given
// state drawn in-process on the headless window system, at each size (the pictures at
// 150 and 200 % are kept in the test's build folder).
#include <gtest/gtest.h>

#include "editor/uEditorForm.h"
#include "tools/render/uEditorShot.h"
#include "tools/render/uOptions.h"

#include <algorithm>
#include <string>

namespace orvo::test
{
namespace
{

TEST(EditorShot, TakesAFileAndTheUsualStateOptions)
{
    const TOptions options =
        ParseOptions({"--editor-shot", "editor.png", "--program", "3", "--param", "Tube=0.75"});
    EXPECT_EQ(options.Mode, rmEditorShot);
    EXPECT_EQ(options.EditorShot, "editor.png");
    EXPECT_EQ(options.Program, "3");
    ASSERT_EQ(options.Parameters.size(), 1u);
    EXPECT_THROW((void)ParseOptions({"--editor-shot"}), EUsage);
    EXPECT_EQ(ParseOptions({"--editor-shot", "e.png", "--scale", "1.5"}).EditorScale, 1.5);
    EXPECT_THROW((void)ParseOptions({"--editor-shot", "e.png", "--scale", "3"}), EUsage);
    EXPECT_THROW((void)ParseOptions({"in.wav", "out.wav", "--scale", "2"}), EUsage);
}

TEST(EditorShot, EachScaleIsDrawnAtItsSizeNotEnlarged)
{
    std::array<float, 16> values{};
    values.fill(0.5f);
    const TRGBAImage small = RenderEditorPicture(values, 1.0);
    for (const double scale : {1.5, 2.0})
    {
        const TRGBAImage large = RenderEditorPicture(values, scale);
        EXPECT_EQ(large.Width, static_cast<std::uint32_t>(700 * scale));
        EXPECT_EQ(large.Height, static_cast<std::uint32_t>(300 * scale));
#ifdef ORVO_TEST_OUTPUT_DIR
        // Kept for review beside the other test pictures.
        WritePNGFile(std::string(ORVO_TEST_OUTPUT_DIR) + "/editor-" +
                         std::to_string(static_cast<int>(scale * 100)) + ".png",
                     large);
#endif
    }
    // Enlarged, each 2 x 2 block of the 200 % picture would be one 100 % pixel.
    const TRGBAImage large = RenderEditorPicture(values, 2.0);
    const auto green = [&](std::uint32_t x, std::uint32_t y) {
        return static_cast<int>(
            large.Pixels[(static_cast<std::size_t>(y) * large.Width + x) * 4 + 1]);
    };
    int detailed = 0;
    for (std::uint32_t y = 0; y < large.Height; y += 2)
    {
        for (std::uint32_t x = 0; x < large.Width; x += 2)
        {
            const auto [low, high] =
                std::minmax({green(x, y), green(x + 1, y), green(x, y + 1), green(x + 1, y + 1)});
            detailed += high - low > 8 ? 1 : 0;
        }
    }
    EXPECT_GT(detailed, static_cast<int>(small.Width * small.Height / 50));
}

TEST(EditorShot, ThePictureShowsTheGivenValuesWhereTheirControlsAre)
{
    std::array<float, 16> low{};
    std::array<float, 16> high{};
    high[0] = 1.0f; // kbLo at the top
    const TRGBAImage a = RenderEditorPicture(low);
    const TRGBAImage b = RenderEditorPicture(high);
    ASSERT_EQ(a.Width, 700u);
    ASSERT_EQ(a.Height, 300u);
    ASSERT_EQ(a.Pixels.size(), b.Pixels.size());
    const form::TFormComponent& kbLo = form::Components[6];
    ASSERT_EQ(kbLo.Name, "kbLo");
    int inside = 0;
    int outside = 0;
    for (std::uint32_t y = 0; y < a.Height; ++y)
    {
        for (std::uint32_t x = 0; x < a.Width; ++x)
        {
            const std::size_t at = (static_cast<std::size_t>(y) * a.Width + x) * 4;
            const bool differs = !std::equal(&a.Pixels[at], &a.Pixels[at] + 4, &b.Pixels[at]);
            const bool inKnob = static_cast<std::int32_t>(x) >= kbLo.Left &&
                                static_cast<std::int32_t>(x) < kbLo.Left + kbLo.Width &&
                                static_cast<std::int32_t>(y) >= kbLo.Top &&
                                static_cast<std::int32_t>(y) < kbLo.Top + kbLo.Height;
            (inKnob ? inside : outside) += differs ? 1 : 0;
        }
    }
    EXPECT_GT(inside, 100);
    EXPECT_EQ(outside, 0);
}

} // namespace
} // namespace orvo::test
