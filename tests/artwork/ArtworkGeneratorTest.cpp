// The generator reproduces the committed images bit for bit.
#include "tests/artwork/ArtworkFiles.h"
#include "tools/artwork/uArtwork.h"

#include <gtest/gtest.h>

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
        const std::filesystem::path path = std::filesystem::path(art::DefaultFontFolder) / font.File;
        std::error_code error;
        if (std::filesystem::file_size(path, error) != font.Size || error)
        {
            return path.string() + " is missing or not the recorded version (fonts-dejavu-core 2.37)";
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
    const auto images = art::DrawArtwork(fonts);
    const char* listOrder[] = {"BackGround", "Credits",    "Lo",   "LoMid",  "Mid",
                               "HiMid",      "Hi",         "OverSample", "Knob", "Slider"};
    ASSERT_EQ(images.size(), std::size(listOrder));
    for (std::size_t i = 0; i < images.size(); ++i)
    {
        SCOPED_TRACE(images[i].Name);
        EXPECT_EQ(images[i].Name, listOrder[i]);
        // Compared as whole blocks; a difference means the generator changed without the
        // committed images being regenerated (orvo-artwork --images resources/images).
        EXPECT_TRUE(art::StoredBlock(images[i]) == ReadBytes(StoredImagePath(images[i].Name)));
    }
}

} // namespace
} // namespace orvo::test
