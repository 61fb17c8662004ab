// orvo-render --editor-shot: the command line, and the picture of the editor in a given
// state drawn in-process on the headless window system.
#include <gtest/gtest.h>

#include "editor/uEditorForm.h"
#include "tools/render/uEditorShot.h"
#include "tools/render/uOptions.h"

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
