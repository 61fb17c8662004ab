// The generator reproduces the committed images bit for bit, at every size.
#include <gtest/gtest.h>

#include "tests/artwork/ArtworkFiles.h"
#include "tools/artwork/uArtwork.h"

#include <algorithm>
#include <filesystem>
#include <string>

namespace orvo::test
{
namespace
{

/// The font files the committed images were drawn with: size and FNV-1a 64 hash. Glyphs
/// are read as unhinted outlines and filled by the generator itself, so the FreeType
/// version does not matter, but other font files draw other pixels.
struct TFontFingerprint
{
    const char* File;
    std::uintmax_t Size;
    std::uint64_t Hash;
};
constexpr TFontFingerprint RecordedFonts[] = {
    {art::RegularFontFile, 759720, 0xadadfef763426946ULL},
    {art::BoldFontFile, 708920, 0x1b3be1b9d0324063ULL},
};

std::uint64_t Fnv1a64(const std::vector<std::uint8_t>& bytes)
{
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (std::uint8_t b : bytes)
    {
        hash = (hash ^ b) * 0x100000001b3ULL;
    }
    return hash;
}

/// Empty when the installed fonts are those recorded, else why the check cannot run.
std::string FontMismatch()
{
    for (const TFontFingerprint& font : RecordedFonts)
    {
        const std::filesystem::path path =
            std::filesystem::path(art::DefaultFontFolder) / font.File;
        std::error_code error;
        if (std::filesystem::file_size(path, error) != font.Size || error)
        {
            return path.string() +
                   " is missing or not the recorded version (fonts-dejavu-core 2.37)";
        }
        if (Fnv1a64(ReadBytes(path)) != font.Hash)
        {
            return path.string() + " differs from the recorded version (fonts-dejavu-core 2.37)";
        }
    }
    return {};
}

TEST(ArtworkGenerator, DrawsExactlyTheCommittedImages)
{
    const std::string mismatch = FontMismatch();
    if (!mismatch.empty())
    {
        GTEST_SKIP() << mismatch;
    }
    const auto fonts = art::TArtworkFonts::Load(art::DefaultFontFolder);
    const char* listOrder[] = {"BackGround", "Credits", "Lo",         "LoMid", "Mid",
                               "HiMid",      "Hi",      "OverSample", "Knob",  "Slider"};
    for (const int percent : art::ArtworkScales)
    {
        const auto images = art::DrawArtwork(fonts, percent / 100.0);
        ASSERT_EQ(images.size(), std::size(listOrder));
        for (std::size_t i = 0; i < images.size(); ++i)
        {
            const std::string file = art::StoredFileName(images[i].Name, percent);
            SCOPED_TRACE(file);
            EXPECT_EQ(images[i].Name, listOrder[i]);
            // Compared as whole blocks; a difference means the generator changed without
            // the committed images being regenerated (orvo-artwork --images resources/images).
            EXPECT_TRUE(
                art::StoredBlock(images[i]) ==
                ReadBytes(std::filesystem::path(ORVO_SOURCE_DIR) / "resources" / "images" / file));
        }
    }
}

TEST(ArtworkGenerator, LargerSizesAreDrawnAtSizeNotEnlarged)
{
    if (!FontMismatch().empty())
    {
        GTEST_SKIP() << FontMismatch();
    }
    const auto fonts = art::TArtworkFonts::Load(art::DefaultFontFolder);
    const art::TArtImage small = art::DrawArtwork(fonts, 1.0).front();
    const art::TArtImage large = art::DrawArtwork(fonts, 2.0).front();
    ASSERT_EQ(large.Width, 2 * small.Width);
    ASSERT_EQ(large.Height, 2 * small.Height);
    // Enlarged, every 2 x 2 block of the 200 % panel would be one 100 % pixel. Drawn at
    // size, the edges of text, ticks and wells fall inside blocks: count the blocks whose
    // four pixels differ from each other by more than a step or two.
    const auto at = [&](int x, int y, int channel)
    {
        return static_cast<int>(
            large.Rgba[(static_cast<std::size_t>(y) * large.Width + x) * 4 + channel]);
    };
    int detailed = 0;
    for (int y = 0; y < large.Height; y += 2)
    {
        for (int x = 0; x < large.Width; x += 2)
        {
            const auto [low, high] =
                std::minmax({at(x, y, 1), at(x + 1, y, 1), at(x, y + 1, 1), at(x + 1, y + 1, 1)});
            detailed += high - low > 8 ? 1 : 0;
        }
    }
    EXPECT_GT(detailed, small.Width * small.Height / 50);
}

} // namespace
} // namespace orvo::test
