#include <gtest/gtest.h>

#include "editor/toolkit/EDIBError.h"
#include "editor/toolkit/cDIBStoredImage.h"
#include "tests/codec/CodecTestData.h"
#include "tests/support/AllocationProbe.h"

namespace orvo
{
namespace
{

using test::ReadVector;
using Bytes = std::vector<std::uint8_t>;

const std::string NoDecompressor = "Could not find a suitable decompressor.";

Bytes StoredHeader(const TGUID& guid, std::uint32_t statedSize)
{
    Bytes block(StoredBlockHeaderSize);
    std::copy(StoredBlockTag.begin(), StoredBlockTag.end(), block.begin());
    std::copy(guid.Bytes.begin(), guid.Bytes.end(), block.begin() + 6);
    for (std::size_t i = 0; i < 4; ++i)
    {
        block[22 + i] = static_cast<std::uint8_t>(statedSize >> (8 * i));
    }
    return block;
}

Bytes Concat(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TStoredImage ImageOf(const Bytes& uncompressedBlock)
{
    TStoredImageDefect defect = sdNone;
    TStoredImage image = ReadStoredImage(uncompressedBlock, &defect);
    EXPECT_EQ(defect, sdNone);
    return image;
}

TEST(GUIDText, ConvertsBothWaysInTheStoredLayout)
{
    const std::optional<TGUID> guid = GUIDFromText("{bc0c10fc-e045-41e7-a37c-b86af21320b8}");
    ASSERT_TRUE(guid.has_value());
    EXPECT_EQ(*guid, LZHDIBCompressorGUID);
    EXPECT_EQ(GUIDToText(LZHDIBCompressorGUID), LZHDIBCompressorGUIDText);
    for (const char* bad :
         {"", "BC0C10FC-E045-41E7-A37C-B86AF21320B8", "{BC0C10FC-E045-41E7-A37C-B86AF21320B}",
          "{BC0C10FC-E045-41E7-A37C+B86AF21320B8}", "{BC0C10FC-E045-41E7-A37C-B86AF21320BG}"})
    {
        EXPECT_FALSE(GUIDFromText(bad).has_value()) << bad;
    }
}

TEST(StoredImage, ReadsTheStoredVectorBlocks)
{
    for (const std::string name : {"img16x8", "img32x32"})
    {
        const TStoredImage expected = ImageOf(ReadVector(name + ".in"));
        TStoredImageDefect defect = sdSizeMismatch;
        const TStoredImage image = ReadStoredImage(ReadVector(name + ".dibcmp"), &defect);
        EXPECT_EQ(defect, sdNone) << name;
        EXPECT_EQ(image.Width, expected.Width) << name;
        EXPECT_EQ(image.Height, expected.Height) << name;
        EXPECT_TRUE(image.Pixels == expected.Pixels) << name;
    }
    const TStoredImage small = ImageOf(ReadVector("img16x8.in"));
    ASSERT_EQ(small.Width, 16);
    ASSERT_EQ(small.Height, 8);
    // Bottom row first: pixel (x = 1, row 0) is B 17, G 0, R 238, M 255; corners are clear.
    EXPECT_EQ(Bytes(small.Pixels.begin() + 4, small.Pixels.begin() + 8), (Bytes{17, 0, 238, 255}));
    EXPECT_EQ(small.Pixels[3], 0);
}

TEST(StoredImage, WritesTheBlockThatTheCoderWouldStore)
{
    EXPECT_EQ(WriteStoredImage(ImageOf(ReadVector("img16x8.in"))), ReadVector("img16x8.dibcmp"));
    EXPECT_EQ(WriteStoredImage(ImageOf(ReadVector("img32x32.in"))), ReadVector("img32x32.dibcmp"));
}

TEST(StoredImage, RoundTripsTheEditorsImageSizes)
{
    for (auto [width, height] : {std::pair{700, 300}, {3782, 62}, {2793, 114}, {88, 20}, {144, 20}})
    {
        const TStoredImage image = ImageOf(test::GradientBlock(static_cast<std::uint16_t>(width),
                                                               static_cast<std::uint16_t>(height)));
        const Bytes stored = WriteStoredImage(image);
        EXPECT_TRUE(ReadStoredBlockHeader(stored).Compressed) << width << " x " << height;
        const TStoredImage back = ReadStoredImage(stored);
        EXPECT_EQ(back.Width, width);
        EXPECT_EQ(back.Height, height);
        EXPECT_TRUE(back.Pixels == image.Pixels) << width << " x " << height;
    }
}

TEST(StoredImage, StoresIncompressibleAndEmptyImagesUncompressed)
{
    TStoredImage noise;
    noise.Width = 32;
    noise.Height = 32;
    noise.Pixels = test::RandomBytes(32 * 32 * 4, 4242);
    const Bytes stored = WriteStoredImage(noise);
    EXPECT_EQ(stored, MakeUncompressedBlock(noise));
    EXPECT_TRUE(ReadStoredImage(stored).Pixels == noise.Pixels);

    const Bytes empty = WriteStoredImage(TStoredImage{});
    EXPECT_EQ(empty, (Bytes{0, 0, 0, 0}));
    EXPECT_TRUE(ReadStoredImage(empty).Empty());
}

TEST(StoredImage, WritesUncompressedWhenTheSettingsNameNoRegisteredCompressor)
{
    const TStoredImage image = ImageOf(ReadVector("img16x8.in"));
    for (const char* choice : {"", "not a GUID", "{CABA9056-7349-43A4-B010-3764FBFAC230}"})
    {
        TDIBSettings settings;
        settings.DIBCompressor = choice;
        EXPECT_EQ(WriteStoredImage(image, settings), ReadVector("img16x8.in")) << choice;
    }
}

TEST(StoredImage, ReadsShortOrUntaggedBlocksAsUncompressed)
{
    EXPECT_TRUE(ReadStoredImage(Bytes{}).Empty());

    // "DIBCMP" but fewer than 26 bytes: the tag bytes are read as width and height.
    TStoredImageDefect defect = sdNone;
    EXPECT_TRUE(ReadStoredImage(Bytes{'D', 'I', 'B', 'C', 'M', 'P', 0, 0}, &defect).Empty());
    EXPECT_EQ(defect, sdTooShort);

    // 2 x 1 image, 8 pixel bytes, then ignored trailing bytes; 26 bytes in all.
    Bytes block{2, 0, 1, 0, 1, 2, 3, 4, 5, 6, 7, 8};
    block.resize(26, 0xEE);
    const TStoredImage image = ImageOf(block);
    EXPECT_EQ(image.Width, 2);
    EXPECT_EQ(image.Height, 1);
    EXPECT_EQ(image.Pixels, (Bytes{1, 2, 3, 4, 5, 6, 7, 8}));

    for (const Bytes& shortBlock : {Bytes{1, 0, 1}, Bytes{2, 0, 1, 0, 1, 2, 3, 4, 5, 6, 7},
                                    Bytes{0x00, 0x80, 0x00, 0x80, 1, 2, 3, 4}})
    {
        defect = sdNone;
        EXPECT_TRUE(ReadStoredImage(shortBlock, &defect).Empty());
        EXPECT_EQ(defect, sdTooShort);
    }
}

TEST(StoredImage, RefusesAnUnregisteredCompressorWithItsMessage)
{
    const TGUID runLength = *GUIDFromText("{CABA9056-7349-43A4-B010-3764FBFAC230}");
    try
    {
        ReadStoredImage(Concat(StoredHeader(runLength, 8), Bytes{1, 0, 1, 0, 0, 0, 0, 0}));
        FAIL() << "expected EDIBError";
    }
    catch (const EDIBError& error)
    {
        EXPECT_EQ(error.what(), NoDecompressor);
    }
}

TEST(StoredImage, LeavesTheImageEmptyForDamagedCompressedBlocks)
{
    const Bytes stream = ReadVector("img16x8.lzh"); // a 516-byte block of a 16 x 8 image
    struct TCase
    {
        const char* What;
        Bytes Block;
        TStoredImageDefect Defect;
    };
    Bytes shortStream = stream;
    shortStream[0] = 0x03; // the stream itself now describes 515 bytes
    // 32768 x 32768 x 4 + 4 is 4 modulo 2^32: a size computed in 32 bits would match.
    const Bytes hugeHeader = *LZHEncode(Bytes{0x00, 0x80, 0x00, 0x80});
    const TCase cases[] = {
        {"size above 64 MiB", Concat(StoredHeader(LZHDIBCompressorGUID, (64u << 20) + 1), stream),
         sdSizeTooLarge},
        {"size of another image", Concat(StoredHeader(LZHDIBCompressorGUID, 520), stream),
         sdSizeMismatch},
        {"size below the image header", Concat(StoredHeader(LZHDIBCompressorGUID, 3), stream),
         sdSizeMismatch},
        {"no data at all", StoredHeader(LZHDIBCompressorGUID, 516), sdDataTruncated},
        {"size that wraps in 32 bits", Concat(StoredHeader(LZHDIBCompressorGUID, 4), hugeHeader),
         sdSizeMismatch},
        {"data for a shorter block", Concat(StoredHeader(LZHDIBCompressorGUID, 516), shortStream),
         sdDataTruncated},
    };
    for (const TCase& c : cases)
    {
        TStoredImageDefect defect = sdNone;
        EXPECT_TRUE(ReadStoredImage(c.Block, &defect).Empty()) << c.What;
        EXPECT_EQ(defect, c.Defect) << c.What;
    }
}

// A stored block cut anywhere after its header, as a truncated file is, reads as an empty
// image that says so; the zero bits beyond the cut would decode to a made-up picture.
TEST(StoredImage, ReportsCompressedDataThatEndsEarly)
{
    const Bytes block = ReadVector("img16x8.dibcmp");
    ASSERT_TRUE(ReadStoredBlockHeader(block).Compressed);
    for (std::size_t cut = StoredBlockHeaderSize; cut < block.size(); ++cut)
    {
        TStoredImageDefect defect = sdNone;
        EXPECT_TRUE(ReadStoredImage(std::span(block).first(cut), &defect).Empty()) << cut;
        ASSERT_EQ(defect, sdDataTruncated) << "cut to " << cut << " bytes";
    }
    EXPECT_EQ(StoredImageDefectText(sdDataTruncated), "the compressed data ends early");
}

// A stated size of 64 MiB whose image header says otherwise is refused before the big
// buffer is allocated; a confirmed size gets exactly its own buffer.
TEST(StoredImage, AllocatesNoMoreThanAConfirmedSize)
{
    const Bytes stream = ReadVector("img16x8.lzh");
    const Bytes claimsHuge = Concat(StoredHeader(LZHDIBCompressorGUID, 64u << 20), stream);
    test::TAllocationProbe probe;
    const TStoredImage image = ReadStoredImage(claimsHuge);
    EXPECT_TRUE(image.Empty());
    EXPECT_LT(probe.Largest(), 100000u);

    const Bytes honest = ReadVector("img16x8.dibcmp");
    test::TAllocationProbe honestProbe;
    const TStoredImage read = ReadStoredImage(honest);
    EXPECT_FALSE(read.Empty());
    EXPECT_LT(honestProbe.Largest(), 100000u); // decoder tables and 516 bytes of block
}

class TCopyCompressor final : public TAbstractDIBCompressor
{
  public:
    explicit TCopyCompressor(std::string_view displayName) : name(displayName) {}
    TGUID GetGUID() const override
    {
        return *GUIDFromText("{00000000-1111-2222-3333-444455556666}");
    }
    std::string_view GetName() const override { return name; }
    std::string_view GetDescription() const override { return "copies the block"; }
    Bytes Compress(std::span<const std::uint8_t> block) const override
    {
        return {block.begin(), block.end()};
    }
    std::size_t Decompress(std::span<const std::uint8_t> data,
                           std::span<std::uint8_t> block) const override
    {
        const std::size_t n = std::min(data.size(), block.size());
        std::copy_n(data.begin(), n, block.begin());
        return n;
    }

  private:
    std::string_view name;
};

// The registry is process-wide: this test adds compressors under an identifier of its own.
TEST(DIBCompressorRegistry, FindsTheLatestRegisteredCompressorForAnIdentifier)
{
    ASSERT_NE(FindDIBCompressor(LZHDIBCompressorGUID), nullptr);
    EXPECT_EQ(FindDIBCompressor(LZHDIBCompressorGUID)->GetName(), "DIB LZH");

    RegisterDIBCompressor(std::make_unique<TCopyCompressor>("first"));
    RegisterDIBCompressor(std::make_unique<TCopyCompressor>("second"));
    const TGUID copyGUID = *GUIDFromText("{00000000-1111-2222-3333-444455556666}");
    ASSERT_NE(FindDIBCompressor(copyGUID), nullptr);
    EXPECT_EQ(FindDIBCompressor(copyGUID)->GetName(), "second");

    TDIBSettings settings;
    settings.DIBCompressor = GUIDToText(copyGUID);
    const TStoredImage image = ImageOf(ReadVector("img16x8.in"));
    const Bytes stored = WriteStoredImage(image, settings);
    EXPECT_EQ(ReadStoredBlockHeader(stored).Compressor, copyGUID);
    EXPECT_EQ(ReadStoredBlockHeader(stored).StatedSize, 516u);
    EXPECT_TRUE(ReadStoredImage(stored).Pixels == image.Pixels);
}

TEST(StoredImageRGBA, FlipsRowsAndOrdersChannels)
{
    // 1 x 2 image, top pixel red and half transparent, bottom pixel blue.
    const Bytes rgba{255, 0, 0, 128, 0, 0, 255, 255};
    const TStoredImage image = StoredImageFromRGBA(1, 2, rgba);
    EXPECT_EQ(image.Pixels, (Bytes{255, 0, 0, 255, 0, 0, 255, 128}));
    EXPECT_EQ(StoredImageToRGBA(image), rgba);
    EXPECT_EQ(StoredImageFromRGBA(1, 2, rgba, false).Pixels,
              (Bytes{255, 0, 0, 255, 0, 0, 255, 255}));
    EXPECT_THROW(StoredImageFromRGBA(2, 2, rgba), std::invalid_argument);
}

} // namespace
} // namespace orvo
