#include "tests/codec/CodecTestData.h"
#include "tools/dib/DIBTool.h"
#include "tools/png/PNGFile.h"

#include <gtest/gtest.h>

#include <sstream>

namespace orvo
{
namespace
{

namespace fs = std::filesystem;

class DIBTool : public testing::Test
{
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() /
                 ("orvo-dib-test-" +
                  std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    int Run(std::vector<std::string> args)
    {
        out.str("");
        err.str("");
        return RunDIBTool(args, out, err);
    }

    std::string PathOf(const char* name) const { return (folder / name).string(); }

    /// A 40 x 30 picture whose top-left pixel is half transparent and whose rows differ.
    TRGBAImage Picture() const
    {
        TRGBAImage image;
        image.Width = 40;
        image.Height = 30;
        for (std::uint32_t y = 0; y < image.Height; ++y)
        {
            for (std::uint32_t x = 0; x < image.Width; ++x)
            {
                image.Pixels.insert(image.Pixels.end(),
                                    {static_cast<std::uint8_t>(x * 6), static_cast<std::uint8_t>(y * 8),
                                     100, static_cast<std::uint8_t>(x == 0 && y == 0 ? 128 : 255)});
            }
        }
        return image;
    }

    fs::path folder;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(DIBTool, PacksAndUnpacksAPictureUnchanged)
{
    const TRGBAImage picture = Picture();
    WritePNGFile(PathOf("in.png"), picture);
    ASSERT_EQ(Run({"pack", PathOf("in.png"), PathOf("pic.dibcmp")}), 0) << err.str();
    EXPECT_NE(out.str().find("compressed with DIB LZH"), std::string::npos) << out.str();

    ASSERT_EQ(Run({"info", PathOf("pic.dibcmp")}), 0) << err.str();
    EXPECT_NE(out.str().find("compressor: DIB LZH {BC0C10FC-E045-41E7-A37C-B86AF21320B8}"),
              std::string::npos)
        << out.str();
    EXPECT_NE(out.str().find("uncompressed size: 4804 bytes"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("image: 40 x 30"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("mask: 1199 opaque, 1 partial, 0 transparent"), std::string::npos)
        << out.str();

    ASSERT_EQ(Run({"unpack", PathOf("pic.dibcmp"), PathOf("out.png")}), 0) << err.str();
    const TRGBAImage back = ReadPNGFile(PathOf("out.png"));
    EXPECT_EQ(back.Width, 40u);
    EXPECT_EQ(back.Height, 30u);
    EXPECT_TRUE(back.Pixels == picture.Pixels);
}

TEST_F(DIBTool, NoMaskMakesEveryPixelOpaque)
{
    WritePNGFile(PathOf("in.png"), Picture());
    ASSERT_EQ(Run({"pack", PathOf("in.png"), PathOf("pic.dibcmp"), "--no-mask"}), 0) << err.str();
    ASSERT_EQ(Run({"unpack", PathOf("pic.dibcmp"), PathOf("out.png")}), 0) << err.str();
    const TRGBAImage back = ReadPNGFile(PathOf("out.png"));
    for (std::size_t i = 3; i < back.Pixels.size(); i += 4)
    {
        ASSERT_EQ(back.Pixels[i], 255) << "pixel " << i / 4;
    }
}

TEST_F(DIBTool, ReportsDamagedBlocksAndBadUsage)
{
    std::vector<std::uint8_t> block = test::ReadVector("img16x8.dibcmp");
    block[22] = 0x05; // stated size no longer 16 x 8 x 4 + 4
    {
        std::ofstream file(PathOf("bad.dibcmp"), std::ios::binary);
        file.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(block.size()));
    }
    EXPECT_EQ(Run({"unpack", PathOf("bad.dibcmp"), PathOf("out.png")}), 1);
    EXPECT_NE(err.str().find("damaged image block"), std::string::npos) << err.str();
    EXPECT_FALSE(fs::exists(PathOf("out.png")));

    // Cut short anywhere, the compressed data ends before the image is complete.
    block = test::ReadVector("img32x32.dibcmp");
    for (const std::size_t cut : {std::size_t{100}, block.size() / 2, block.size() - 1})
    {
        {
            std::ofstream file(PathOf("cut.dibcmp"), std::ios::binary | std::ios::trunc);
            file.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(cut));
        }
        EXPECT_EQ(Run({"unpack", PathOf("cut.dibcmp"), PathOf("out.png")}), 1) << cut;
        EXPECT_NE(err.str().find("damaged image block: the compressed data ends early"),
                  std::string::npos) << err.str();
        EXPECT_FALSE(fs::exists(PathOf("out.png")));
    }

    // A PNG is named as what it is, not as a damaged block.
    WritePNGFile(PathOf("in.png"), Picture());
    EXPECT_EQ(Run({"info", PathOf("in.png")}), 1);
    EXPECT_NE(err.str().find("a PNG file, not a stored image"), std::string::npos) << err.str();

    EXPECT_EQ(Run({"--help"}), 0);
    EXPECT_NE(out.str().find("usage:"), std::string::npos);
    EXPECT_EQ(Run({"pack", PathOf("missing.png"), PathOf("x.dibcmp")}), 1);
    EXPECT_EQ(Run({}), 2);
    EXPECT_EQ(Run({"pack", PathOf("in.png")}), 2);
    EXPECT_EQ(Run({"unpack", PathOf("a"), PathOf("b"), "--no-mask"}), 2);
    EXPECT_NE(err.str().find("usage:"), std::string::npos);
}

} // namespace
} // namespace orvo
