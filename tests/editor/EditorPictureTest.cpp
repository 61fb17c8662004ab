// What the editor shows, pixel for pixel: the window on the headless screen against the
// artwork generator's mock of the editor, composed independently from the same stored
// images with the blend formulas (every control at its place, in its paint order, at the
// frame its value selects). A control at a wrong place, in a wrong order or on a wrong
// frame shows up as differing pixels.
#include "editor/toolkit/cDIBStoredImage.h"
#include "resources/uEditorImages.h"
#include "tests/editor/EditorFixture.h"
#include "tools/artwork/uPreview.h"

#ifdef ORVO_HAVE_PNG
#include "tools/png/PNGFile.h"
#endif

namespace orvo::test
{
namespace
{

/// The stored images as the artwork library holds them (top-down RGBA, mask in A).
std::vector<art::TArtImage> StoredArtwork()
{
    std::vector<art::TArtImage> images;
    for (const form::TFormImage& description : form::Images)
    {
        const TStoredImage stored = ReadStoredImage(resources::EditorImageData(description.Name));
        art::TArtImage image;
        image.Name = std::string(description.Name);
        image.Width = stored.Width;
        image.Height = stored.Height;
        image.Masked = description.Masked;
        image.Rgba = StoredImageToRGBA(stored);
        images.push_back(std::move(image));
    }
    return images;
}

/// The read-out's well: with no value text it shows the program's name in the window
/// system's font, which the mock does not draw, so the comparison leaves it out.
constexpr TRect ReadOut = TRect::FromBounds(286, 264, 130, 28);

class EditorPicture : public TEditorFixture
{
  protected:
    /// Where the screen differs from the mock outside the read-out: the count of differing
    /// pixels, and the first.
    std::pair<int, TPoint> Compare(const art::TEditorState& state)
    {
        const std::vector<std::uint8_t> expected = art::ComposeEditor(Artwork, Fonts, state);
        const std::vector<std::uint8_t> shown = Screen().ScreenRGBA();
        EXPECT_EQ(shown.size(), expected.size());
        int count = 0;
        TPoint first{-1, -1};
        for (std::size_t i = 0; i + 3 < std::min(shown.size(), expected.size()); i += 4)
        {
            const TPoint at{static_cast<std::int32_t>(i / 4 % 700),
                            static_cast<std::int32_t>(i / 4 / 700)};
            if (!ReadOut.Contains(at) && !std::equal(&shown[i], &shown[i] + 3, &expected[i]))
            {
                if (count++ == 0)
                {
                    first = at;
                }
            }
        }
        return {count, first};
    }

    void Show(const std::array<float, 16>& values)
    {
        for (std::int32_t p = 0; p < ParameterCount; ++p)
        {
            SetParameter(p, values[static_cast<std::size_t>(p)]);
        }
        Platform.Advance(100);
    }

    std::vector<art::TArtImage> Artwork = StoredArtwork();
    art::TArtworkFonts Fonts; // the mock sets text only for a value label; none is shown here
};

TEST_F(EditorPicture, MatchesTheArtworkMockInEveryReviewedState)
{
    Open();
    for (const auto& [name, preview] : art::PreviewStates())
    {
        art::TEditorState state = preview;
        state.HintText.clear();
        Show(state.Values);
        if (state.ShowCredits)
        {
            Screen().Click(mbLeft, 690, 290);
        }
        const auto [count, first] = Compare(state);
        EXPECT_EQ(count, 0) << name << ": first difference at " << first.X << ", " << first.Y;
#ifdef ORVO_HAVE_PNG
        WritePNGFile(std::string(ORVO_TEST_OUTPUT_DIR) + "/" + name + ".png",
                     TRGBAImage{700, 300, Screen().ScreenRGBA()});
#endif
        Platform.Advance(6000); // the credits are gone again
    }
}

TEST_F(EditorPicture, ExtremeAndHalfwayValuesOfEveryControl)
{
    Open();
    for (float value : {0.0f, 0.25f, 0.5f, 0.75f, 1.0f, 0.333f})
    {
        std::array<float, 16> values{};
        values.fill(value);
        Show(values);
        art::TEditorState state;
        state.Values = values;
        const auto [count, first] = Compare(state);
        EXPECT_EQ(count, 0) << value << ": first difference at " << first.X << ", " << first.Y;
    }
}

} // namespace
} // namespace orvo::test
