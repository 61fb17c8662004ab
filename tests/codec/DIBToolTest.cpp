#include "tools/dib/DIBTool.h"

#include <gtest/gtest.h>

#include "tests/codec/CodecTestData.h"
#include "tools/png/PNGFile.h"

#include <fstream>
#include <sstream>
#include <zlib.h>

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
                                    {static_cast<std::uint8_t>(x * 6),
                                     static_cast<std::uint8_t>(y * 8), 100,
                                     static_cast<std::uint8_t>(x == 0 && y == 0 ? 128 : 255)});
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
    EXPECT_NE(err.str().find("compressed with DIB LZH"), std::string::npos) << err.str();

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
        file.write(reinterpret_cast<const char*>(block.data()),
                   static_cast<std::streamsize>(block.size()));
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
            file.write(reinterpret_cast<const char*>(block.data()),
                       static_cast<std::streamsize>(cut));
        }
        EXPECT_EQ(Run({"unpack", PathOf("cut.dibcmp"), PathOf("out.png")}), 1) << cut;
        EXPECT_NE(err.str().find("damaged image block: the compressed data ends early"),
                  std::string::npos)
            << err.str();
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

/// A command, its exit status, and text expected on each stream ("" for nothing at all).
struct TDIBCase
{
    std::vector<std::string> Arguments; // "{dir}" stands for the test's folder
    int ExitCode;
    std::string Error;
    std::string Output;
};

// Hostile files and misuse end with a message and status 1, never an abort; standard
// output carries only what was asked for, so that a picture written there stays whole.
TEST_F(DIBTool, AnswersEachCommandLineWithItsStatusAndMessages)
{
    WritePNGFile(PathOf("in.png"), Picture());
    ASSERT_EQ(Run({"pack", PathOf("in.png"), PathOf("pic.dibcmp")}), 0) << err.str();
    std::ofstream(PathOf("empty.dibcmp")).close();
    // A 16000 x 16000 header over a few bytes of data: refused before any pixel is decoded.
    TRGBAImage small;
    small.Width = 1;
    small.Height = 1;
    small.Pixels = {1, 2, 3, 4};
    std::vector<std::uint8_t> huge = EncodePNG(small);
    for (const std::size_t at : {std::size_t{16}, std::size_t{20}})
    {
        huge[at] = 0x00;
        huge[at + 1] = 0x00;
        huge[at + 2] = 0x3E;
        huge[at + 3] = 0x80;
    }
    const std::uint32_t crc = static_cast<std::uint32_t>(crc32(0, huge.data() + 12, 17)); // IHDR
    for (int i = 0; i < 4; ++i)
    {
        huge[29 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
    }
    {
        std::ofstream file(PathOf("huge.png"), std::ios::binary);
        file.write(reinterpret_cast<const char*>(huge.data()),
                   static_cast<std::streamsize>(huge.size()));
    }

    const std::vector<TDIBCase> cases{
        {{"info", "{dir}"}, 1, "{dir} is a folder, not a file", ""},
        {{"unpack", "{dir}", "{dir}/x.png"}, 1, "{dir} is a folder, not a file", ""},
        {{"pack", "{dir}", "{dir}/x.dibcmp"}, 1, "{dir} is a folder, not a PNG file", ""},
        {{"unpack", "{dir}/pic.dibcmp", "{dir}"}, 1, "{dir} is a folder; give a file name", ""},
        {{"info", "{dir}/empty.dibcmp"}, 1, "empty.dibcmp is empty", ""},
        {{"pack", "{dir}/huge.png", "{dir}/x.dibcmp"},
         1,
         "huge.png: too large for a stored image",
         ""},
        {{"--version"}, 0, "", "orvo-dib " ORVO_VERSION "\n"},
        {{"unpack", "{dir}/pic.dibcmp", "{dir}/out.png"}, 0, "out.png: 40 x 30", ""},
        {{"pack", "{dir}/in.png", "{dir}/again.dibcmp"}, 0, "again.dibcmp: 40 x 30", ""},
    };
    const auto expand = [&](std::string text)
    {
        for (std::size_t at = 0; (at = text.find("{dir}", at)) != std::string::npos;)
        {
            text.replace(at, 5, folder.string());
        }
        return text;
    };
    for (const TDIBCase& c : cases)
    {
        std::vector<std::string> arguments;
        for (const std::string& argument : c.Arguments)
        {
            arguments.push_back(expand(argument));
        }
        const std::string line = testing::PrintToString(arguments);
        EXPECT_EQ(Run(arguments), c.ExitCode) << line << "\n" << err.str();
        EXPECT_NE(err.str().find(expand(c.Error)), std::string::npos) << line << "\n" << err.str();
        EXPECT_EQ(out.str(), c.Output) << line;
        EXPECT_FALSE(fs::exists(folder / "x.png") || fs::exists(folder / "x.dibcmp")) << line;
    }
}

} // namespace
} // namespace orvo
