#include "tools/png/PNGFile.h"

#include <gtest/gtest.h>

#include "tests/codec/CodecTestData.h"

#include <png.h>

#include <csetjmp>

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

/// A PNG of any layout libpng writes, from 16-bit samples per channel.
struct TPNGLayout
{
    const char* What;
    int ColourType;
    int BitDepth;
    bool Interlaced;
};

extern "C" void AppendBytes(png_structp png, png_bytep data, png_size_t size)
{
    auto* bytes = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    bytes->insert(bytes->end(), data, data + size);
}
extern "C" void FlushNothing(png_structp)
{
}

/// Writes rows of `channels` samples per pixel at the layout's depth (samples are given as
/// 16-bit values and shifted down); the palette, when used, is grey levels with alpha.
std::vector<std::uint8_t> WritePNG(const TPNGLayout& layout, std::uint32_t width,
                                   std::uint32_t height, const std::vector<std::uint16_t>& samples)
{
    std::vector<std::uint8_t> bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<std::vector<std::uint8_t>> rows(height);
    const int perPixel = layout.ColourType == PNG_COLOR_TYPE_RGB_ALPHA    ? 4
                         : layout.ColourType == PNG_COLOR_TYPE_RGB        ? 3
                         : layout.ColourType == PNG_COLOR_TYPE_GRAY_ALPHA ? 2
                                                                          : 1;
    for (std::uint32_t y = 0; y < height; ++y)
    {
        auto& row = rows[y];
        row.assign(width * perPixel * 2, 0);
        for (std::uint32_t i = 0; i < width * perPixel; ++i)
        {
            const std::uint16_t v = samples[y * width * perPixel + i];
            if (layout.BitDepth == 16)
            {
                row[2 * i] = static_cast<std::uint8_t>(v >> 8);
                row[2 * i + 1] = static_cast<std::uint8_t>(v);
            }
            else
            {
                // Samples packed most significant first, as libpng expects.
                const int bits = layout.BitDepth;
                const unsigned value = v >> (16 - bits);
                const std::size_t bit = std::size_t{i} * bits;
                row[bit / 8] |= static_cast<std::uint8_t>(value << (8 - bits - bit % 8));
            }
        }
    }
    std::vector<png_bytep> pointers;
    for (auto& row : rows)
    {
        pointers.push_back(row.data());
    }
    if (setjmp(png_jmpbuf(png)) == 0)
    {
        png_set_write_fn(png, &bytes, AppendBytes, FlushNothing);
        png_set_IHDR(png, info, width, height, layout.BitDepth, layout.ColourType,
                     layout.Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        if (layout.ColourType == PNG_COLOR_TYPE_PALETTE)
        {
            std::vector<png_color> palette(16);
            std::vector<png_byte> alpha(16);
            for (int i = 0; i < 16; ++i)
            {
                const auto level = static_cast<png_byte>(i * 17);
                palette[i] = {level, level, level};
                alpha[i] = static_cast<png_byte>(255 - level);
            }
            png_set_PLTE(png, info, palette.data(), 16);
            png_set_tRNS(png, info, alpha.data(), 16, nullptr);
        }
        png_write_info(png, info);
        png_write_image(png, pointers.data());
        png_write_end(png, nullptr);
    }
    png_destroy_write_struct(&png, &info);
    return bytes;
}

// Every layout libpng reads comes out as the same 8-bit RGBA picture: 16-bit samples keep
// their high byte (v * 257 -> v), grey is copied to red, green and blue, a missing alpha is
// opaque, and interlaced rows land where they belong.
TEST(PNGFile, ReadsEveryLayoutAsEightBitRGBA)
{
    constexpr std::uint32_t Width = 13;
    constexpr std::uint32_t Height = 11;
    const TPNGLayout layouts[] = {
        {"RGBA 8", PNG_COLOR_TYPE_RGB_ALPHA, 8, false},
        {"RGBA 16", PNG_COLOR_TYPE_RGB_ALPHA, 16, false},
        {"RGBA 16 interlaced", PNG_COLOR_TYPE_RGB_ALPHA, 16, true},
        {"RGB 8 interlaced", PNG_COLOR_TYPE_RGB, 8, true},
        {"RGB 16", PNG_COLOR_TYPE_RGB, 16, false},
        {"grey 16", PNG_COLOR_TYPE_GRAY, 16, false},
        {"grey 4 interlaced", PNG_COLOR_TYPE_GRAY, 4, true},
        {"grey+alpha 8", PNG_COLOR_TYPE_GRAY_ALPHA, 8, false},
        {"grey+alpha 16 interlaced", PNG_COLOR_TYPE_GRAY_ALPHA, 16, true},
        {"palette 4 with transparency", PNG_COLOR_TYPE_PALETTE, 4, false},
        {"palette 4 interlaced", PNG_COLOR_TYPE_PALETTE, 4, true},
    };
    for (const TPNGLayout& layout : layouts)
    {
        const bool grey = layout.ColourType == PNG_COLOR_TYPE_GRAY ||
                          layout.ColourType == PNG_COLOR_TYPE_GRAY_ALPHA ||
                          layout.ColourType == PNG_COLOR_TYPE_PALETTE;
        const bool alpha = (layout.ColourType & PNG_COLOR_MASK_ALPHA) != 0;
        const int perPixel = (grey ? 1 : 3) + (alpha ? 1 : 0);
        std::vector<std::uint16_t> samples;
        std::vector<std::uint8_t> expected;
        for (std::uint32_t y = 0; y < Height; ++y)
        {
            for (std::uint32_t x = 0; x < Width; ++x)
            {
                // Levels a 4-bit sample can hold too: multiples of 17, different per row.
                const auto level = [&](std::uint32_t k)
                { return static_cast<std::uint8_t>(((x * 3 + y * 5 + k * 7) % 16) * 17); };
                const std::uint8_t r = level(0);
                const std::uint8_t g = grey ? r : level(1);
                const std::uint8_t b = grey ? r : level(2);
                const std::uint8_t a = layout.ColourType == PNG_COLOR_TYPE_PALETTE
                                           ? static_cast<std::uint8_t>(255 - r)
                                           : (alpha ? level(3) : 255);
                expected.insert(expected.end(), {r, g, b, a});
                const std::uint16_t values[4] = {
                    static_cast<std::uint16_t>(r * 257), static_cast<std::uint16_t>(g * 257),
                    static_cast<std::uint16_t>(b * 257), static_cast<std::uint16_t>(a * 257)};
                if (layout.ColourType == PNG_COLOR_TYPE_PALETTE)
                {
                    samples.push_back(static_cast<std::uint16_t>((r / 17) << 12));
                    continue;
                }
                for (int c = 0; c < perPixel; ++c)
                {
                    samples.push_back(grey && c == 1 ? values[3] : values[grey ? 0 : c]);
                }
            }
        }
        const TRGBAImage image = DecodePNG(WritePNG(layout, Width, Height, samples));
        EXPECT_EQ(image.Width, Width) << layout.What;
        EXPECT_EQ(image.Height, Height) << layout.What;
        EXPECT_TRUE(image.Pixels == expected) << layout.What;
    }
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
