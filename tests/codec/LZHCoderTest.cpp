#include <gtest/gtest.h>

#include "editor/toolkit/EDIBError.h"
#include "editor/toolkit/cDIBStandardCompressors.h"
#include "tests/codec/CodecTestData.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace orvo
{
namespace
{

using test::ReadVector;

/// Decodes into a buffer larger than the stated length and checks that the decoder left
/// the bytes beyond it alone.
std::vector<std::uint8_t> Decode(const std::vector<std::uint8_t>& stream)
{
    constexpr std::uint8_t Canary = 0xA5;
    constexpr std::size_t Spare = 64;
    std::vector<std::uint8_t> output(LZHStatedLength(stream) + Spare, Canary);
    const std::size_t produced = LZHDecode(stream, output);
    EXPECT_EQ(produced, output.size() - Spare);
    EXPECT_TRUE(std::all_of(output.begin() + static_cast<std::ptrdiff_t>(produced), output.end(),
                            [](std::uint8_t b) { return b == Canary; }))
        << "wrote beyond the stated length";
    output.resize(produced);
    return output;
}

std::vector<std::uint8_t> Encode(const std::vector<std::uint8_t>& input)
{
    auto stream = LZHEncode(input);
    EXPECT_TRUE(stream.has_value());
    return stream.value_or(std::vector<std::uint8_t>{});
}

const char* const VectorNames[] = {"empty", "one-byte", "blanks100", "f-61",    "run10000-zero",
                                   "text",  "random4k", "random33k", "img16x8", "img32x32"};

class LZHVector : public testing::TestWithParam<const char*>
{
};

// random33k crosses the first tree rebuild (at the 32,455th symbol): a decoder that rebuilds
// right after the increment that reaches 0x8000 fails it.
TEST_P(LZHVector, DecodesToItsInput)
{
    const std::string name = GetParam();
    EXPECT_EQ(Decode(ReadVector(name + ".lzh")), ReadVector(name + ".in"));
}

// The encoder follows the published match search, so it reproduces the coder's bytes.
TEST_P(LZHVector, EncodesToThePublishedBytes)
{
    const std::string name = GetParam();
    EXPECT_EQ(Encode(ReadVector(name + ".in")), ReadVector(name + ".lzh"));
}

INSTANTIATE_TEST_SUITE_P(Vectors, LZHVector, testing::ValuesIn(VectorNames),
                         [](const auto& vector)
                         {
                             std::string name = vector.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

void ExpectRoundTrip(const std::vector<std::uint8_t>& input, const std::string& what)
{
    const std::vector<std::uint8_t> stream = Encode(input);
    ASSERT_GE(stream.size(), 4u) << what;
    EXPECT_EQ(LZHStatedLength(stream), input.size()) << what;
    EXPECT_TRUE(Decode(stream) == input) << what << ", " << input.size() << " bytes";
}

TEST(LZHRoundTrip, RandomDataOfManySizes)
{
    for (std::size_t size :
         {0, 1, 2, 3, 59, 60, 61, 62, 119, 120, 121, 4035, 4036, 4095, 4096, 4097, 8192, 40000})
    {
        ExpectRoundTrip(test::RandomBytes(size, 0xC0FFEEu + static_cast<std::uint32_t>(size)),
                        "random");
    }
}

TEST(LZHRoundTrip, UniformDataOfManySizes)
{
    for (std::uint8_t value : {0x00, 0x20, 0xFF})
    {
        for (std::size_t size : {1, 2, 3, 4, 60, 61, 4096, 4097, 70000})
        {
            ExpectRoundTrip(std::vector<std::uint8_t>(size, value), "uniform");
        }
    }
}

TEST(LZHRoundTrip, TextLikeData)
{
    static const char* const Words[] = {"level ", "band ",         "the ", "tube ", "gain ",
                                        "\r\n",   "oversampling ", "a ",   "knob ", "transient "};
    test::TXorShift32 random(7);
    std::vector<std::uint8_t> text;
    while (text.size() < 200000)
    {
        const std::string word = Words[random.Next() % 10];
        text.insert(text.end(), word.begin(), word.end());
    }
    for (std::size_t size : {std::size_t{1}, std::size_t{100}, std::size_t{5000}, text.size()})
    {
        ExpectRoundTrip({text.begin(), text.begin() + static_cast<std::ptrdiff_t>(size)}, "text");
    }
}

// The background's block crosses eleven tree rebuilds.
TEST(LZHRoundTrip, ImageBlocksThroughManyRebuilds)
{
    ExpectRoundTrip(test::GradientBlock(700, 300), "700 x 300 gradient");
    ExpectRoundTrip(test::GradientBlock(62, 62), "62 x 62 gradient");
}

// Many short copies from a small random block, with geometric lengths, skew the counts
// enough to give codes longer than 16 bits; those must be written in full.
TEST(LZHRoundTrip, SkewedDataWithLongCodes)
{
    test::TXorShift32 random(0x5EED);
    const std::vector<std::uint8_t> source = test::RandomBytes(256, 99);
    std::vector<std::uint8_t> input;
    while (input.size() < 1000000)
    {
        std::size_t length = 1;
        while ((random.Next() & 1) != 0 && length < 40)
        {
            ++length;
        }
        const std::size_t from = random.Next() % (source.size() - length);
        input.insert(input.end(), source.begin() + static_cast<std::ptrdiff_t>(from),
                     source.begin() + static_cast<std::ptrdiff_t>(from + length));
    }
    ExpectRoundTrip(input, "skewed");
}

TEST(LZHDecoder, StatedLengthZeroReadsNoBits)
{
    std::vector<std::uint8_t> output(16, 0xAA);
    EXPECT_EQ(LZHDecode(std::vector<std::uint8_t>{0, 0, 0, 0, 0xFF, 0xFF}, output), 0u);
    EXPECT_EQ(output, std::vector<std::uint8_t>(16, 0xAA));
}

// All-zero bits decode to a literal and a 60-byte match: the output stops at the stated
// 5 bytes instead of running on to 61.
TEST(LZHDecoder, StopsAtTheStatedLengthInsideAMatch)
{
    std::vector<std::uint8_t> output(100, 0xAA);
    EXPECT_EQ(LZHDecode(std::vector<std::uint8_t>{5, 0, 0, 0}, output), 5u);
    EXPECT_TRUE(std::all_of(output.begin() + 5, output.end(), [](auto b) { return b == 0xAA; }));
}

TEST(LZHDecoder, StopsAtTheEndOfTheOutput)
{
    const std::vector<std::uint8_t> stream = ReadVector("text.lzh");
    const std::vector<std::uint8_t> input = ReadVector("text.in");
    std::vector<std::uint8_t> output(1000 + 8, 0xAA);
    EXPECT_EQ(LZHDecode(stream, std::span(output).first(1000)), 1000u);
    EXPECT_TRUE(std::equal(output.begin(), output.begin() + 1000, input.begin()));
    EXPECT_EQ(output[1000], 0xAA);
}

TEST(LZHDecoder, ReadsZeroBitsBeyondTheEndOfATruncatedStream)
{
    std::vector<std::uint8_t> stream = ReadVector("text.lzh");
    const std::vector<std::uint8_t> input = ReadVector("text.in");
    stream.resize(stream.size() / 2);
    std::vector<std::uint8_t> output(input.size());
    EXPECT_EQ(LZHDecode(stream, output), input.size());
    // The first symbols are still intact.
    EXPECT_TRUE(std::equal(input.begin(), input.begin() + 100, output.begin()));
    EXPECT_EQ(LZHDecode(std::vector<std::uint8_t>{0x10}, output), 0x10u); // prefix cut short
}

// Every cut of a stream needs bits from beyond its end: the bytes decoded before that
// point are counted as complete, the zero-bit rest is not.
TEST(LZHDecoder, CountsOnlyTheBytesAStreamCutShortDescribes)
{
    const std::vector<std::uint8_t> stream = ReadVector("text.lzh");
    const std::vector<std::uint8_t> input = ReadVector("text.in");
    std::vector<std::uint8_t> output(input.size());
    std::size_t complete = 0;
    EXPECT_EQ(LZHDecode(stream, output, &complete), input.size());
    EXPECT_EQ(complete, input.size());
    for (std::size_t cut = 4; cut < stream.size(); ++cut)
    {
        EXPECT_EQ(LZHDecode(std::span(stream).first(cut), output, &complete), input.size());
        ASSERT_LT(complete, input.size()) << "cut to " << cut << " bytes";
        ASSERT_TRUE(std::equal(
            output.begin(), output.begin() + static_cast<std::ptrdiff_t>(complete), input.begin()))
            << "cut to " << cut << " bytes";
    }
}

TEST(LZHDecoder, TrailingZeroBytesCanBeCutOff)
{
    std::vector<std::uint8_t> stream = ReadVector("run10000-zero.lzh");
    while (stream.back() == 0)
    {
        stream.pop_back();
    }
    EXPECT_EQ(Decode(stream), ReadVector("run10000-zero.in"));
}

// A match reaching into ring positions never written reads the start content: blanks
// below 4036, zeros from 4036 up.
TEST(LZHDecoder, MatchesIntoTheUnwrittenRingReadItsStartContent)
{
    // blanks100 copies from ring position 3976 on: 60 blanks.
    EXPECT_EQ(Decode(ReadVector("blanks100.lzh")), std::vector<std::uint8_t>(100, 0x20));
}

TEST(LZHEncoder, GivesUpWhenTheOutputWouldBeLongerThanTheInput)
{
    const std::vector<std::uint8_t> random = ReadVector("random4k.in");
    EXPECT_FALSE(LZHEncode(random, random.size()).has_value());
    EXPECT_TRUE(LZHEncode(random, ReadVector("random4k.lzh").size()).has_value());

    const TLZHDIBCompressor compressor;
    try
    {
        compressor.Compress(random);
        FAIL() << "expected EDIBError";
    }
    catch (const EDIBError& error)
    {
        EXPECT_STREQ(error.what(), "Compressed file is larger than the original.");
    }
    EXPECT_THROW(compressor.Compress({}), EDIBError); // 4 bytes of prefix for nothing
}

TEST(LZHCompressor, IdentifiesItselfAsDIBLZH)
{
    const TLZHDIBCompressor compressor;
    EXPECT_EQ(compressor.GetName(), "DIB LZH");
    const std::vector<std::uint8_t> guidBytes{0xFC, 0x10, 0x0C, 0xBC, 0x45, 0xE0, 0xE7, 0x41,
                                              0xA3, 0x7C, 0xB8, 0x6A, 0xF2, 0x13, 0x20, 0xB8};
    const TGUID guid = compressor.GetGUID();
    EXPECT_TRUE(std::equal(guid.Bytes.begin(), guid.Bytes.end(), guidBytes.begin()));
}

} // namespace
} // namespace orvo
