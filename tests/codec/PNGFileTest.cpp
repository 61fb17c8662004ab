#include "tests/codec/CodecTestData.h"
#include "tools/png/PNGFile.h"

#include <gtest/gtest.h>

namespace orvo
{
namespace
{

TEST(PNGFile, RoundTripsEveryRGBAValueExactly)
{
    TRGBAImage image;
    image.Width = 37;
    image.Height = 5;
    image.Pixels = test::RandomBytes(37 * 5 * 4, 31337);
    const TRGBAImage back = DecodePNG(EncodePNG(image));
    EXPECT_EQ(back.Width, 37u);
    EXPECT_EQ(back.Height, 5u);
    EXPECT_TRUE(back.Pixels == image.Pixels);
}

TEST(PNGFile, RejectsDataThatIsNoPNG)
{
    EXPECT_THROW(DecodePNG({}), EPNGError);
    EXPECT_THROW(DecodePNG(test::RandomBytes(200, 5)), EPNGError);

    TRGBAImage image;
    image.Width = 4;
    image.Height = 4;
    image.Pixels.assign(64, 200);
    std::vector<std::uint8_t> bytes = EncodePNG(image);
    bytes.resize(bytes.size() / 2);
    EXPECT_THROW(DecodePNG(bytes), EPNGError);
}

TEST(PNGFile, RefusesPixelsThatDoNotMatchTheSize)
{
    TRGBAImage image;
    image.Width = 4;
    image.Height = 4;
    image.Pixels.assign(63, 0);
    EXPECT_THROW(EncodePNG(image), EPNGError);
    image.Width = 0;
    image.Pixels.clear();
    EXPECT_THROW(EncodePNG(image), EPNGError);
}

} // namespace
} // namespace orvo
