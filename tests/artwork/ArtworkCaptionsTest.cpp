// Every caption the committed images print is readable at 100 %: its digits and capitals
// stand at least 7 pixels tall and its ink reaches at least 4.5:1 (WCAG contrast ratio)
// against the surface it is printed on.
#include <gtest/gtest.h>

#include "tests/artwork/ArtworkFiles.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace orvo::test
{
namespace
{

constexpr double MinimumInkHeight = 7.0;
constexpr double MinimumContrast = 4.5;
/// A pixel is ink when it is this much lighter than the surface (every caption is light
/// on dark); fainter edge pixels of anti-aliased strokes do not count towards the height.
constexpr double InkThreshold = 1.5;

enum TReading : std::uint8_t
{
    rdAcross,  // read left to right: the height is the rows the ink spans
    rdUpwards, // turned a quarter anticlockwise: the height is the columns it spans
    rdSymbol,  // no digit or capital (units in lower case, the infinity sign): contrast only
};

/// One caption: the image, a box around it that holds nothing else, and how it reads.
struct TCaption
{
    const char* Text;
    const char* Image;
    int Left;
    int Top;
    int Right; // exclusive
    int Bottom;
    TReading Reading;
};

// Boxes in the images' own pixels; the scale numbers sit at the slider marks for +6, +3/50%,
// 0, -12, -24 and the lower end.
const TCaption Captions[] = {
    {"FIVE-BAND", "BackGround", 150, 21, 250, 33, rdAcross},
    {"TRANSIENT SHAPER", "BackGround", 150, 33, 280, 45, rdAcross},
    {"LEVEL \u00b7 PUNCH \u00b7 TUBE", "BackGround", 540, 16, 660, 29, rdAcross},
    {"Input", "BackGround", 92, 68, 138, 83, rdAcross},
    {"Tuning", "BackGround", 162, 68, 222, 83, rdAcross},
    {"Lo", "BackGround", 245, 68, 275, 83, rdAcross},
    {"HiMid", "BackGround", 375, 68, 420, 83, rdAcross},
    {"Tube", "BackGround", 495, 68, 545, 83, rdAcross},
    {"Output", "BackGround", 560, 68, 615, 83, rdAcross},
    {"Input +6", "BackGround", 70, 100, 99, 112, rdAcross},
    {"Input +3", "BackGround", 70, 122, 99, 134, rdAcross},
    {"Input 0", "BackGround", 70, 145, 99, 156, rdAcross},
    {"Input -12", "BackGround", 70, 156, 99, 167, rdAcross},
    {"Input -24", "BackGround", 70, 167, 99, 178, rdAcross},
    {"Input -inf", "BackGround", 70, 186, 99, 201, rdSymbol},
    {"Output +6", "BackGround", 602, 100, 640, 112, rdAcross},
    {"Output -12", "BackGround", 602, 156, 640, 167, rdAcross},
    {"Output -inf", "BackGround", 602, 186, 640, 201, rdSymbol},
    {"Bands 100%", "BackGround", 460, 100, 505, 112, rdAcross},
    {"Bands 50%", "BackGround", 460, 122, 505, 134, rdAcross},
    {"Bands 0dB", "BackGround", 460, 145, 505, 156, rdAcross},
    {"Bands -24", "BackGround", 460, 167, 505, 178, rdAcross},
    {"Bands -inf", "BackGround", 460, 186, 505, 201, rdSymbol},
    {"PUNCH", "BackGround", 228, 105, 243, 150, rdUpwards},
    {"LEVEL", "BackGround", 228, 152, 243, 196, rdUpwards},
    {"Tuning 0", "BackGround", 185, 103, 200, 115, rdAcross},
    {"Tuning -12", "BackGround", 143, 181, 173, 194, rdAcross},
    {"Tuning +12", "BackGround", 212, 181, 243, 194, rdAcross},
    {"Tube EXP", "BackGround", 476, 181, 503, 194, rdAcross},
    {"Tube COMP", "BackGround", 536, 181, 570, 194, rdAcross},
    {"< 120", "BackGround", 238, 207, 281, 221, rdAcross},
    {"120-480", "BackGround", 283, 207, 327, 221, rdAcross},
    {"2k-8k", "BackGround", 375, 207, 419, 221, rdAcross},
    {"> 8k", "BackGround", 421, 207, 461, 221, rdAcross},
    {"Hz", "BackGround", 461, 207, 485, 221, rdAcross},
    {"dB", "BackGround", 100, 207, 130, 221, rdAcross},
    {"semitones", "BackGround", 160, 207, 225, 221, rdSymbol},
    {"expand \u2022 compress", "BackGround", 476, 207, 564, 221, rdSymbol},
    {"2\u00d7", "BackGround", 18, 273, 39, 287, rdAcross},
    {"QUORVANE", "BackGround", 562, 272, 648, 287, rdAcross},
    {"MUTE up", "Lo", 13, 2, 43, 18, rdAcross},
    {"MUTE down", "Lo", 57, 2, 87, 18, rdAcross},
    {"OVERSAMPLE off", "OverSample", 14, 2, 71, 18, rdAcross},
    {"OVERSAMPLE on", "OverSample", 86, 2, 143, 18, rdAcross},
    {"Version 1.0", "Credits", 40, 114, 140, 129, rdAcross},
    {"Right-click any control for MIDI Learn.", "Credits", 40, 190, 300, 206, rdAcross},
    {"MIDI CC DEFAULTS", "Credits", 370, 38, 520, 53, rdAcross},
    {"CC 20 Lo", "Credits", 370, 64, 450, 79, rdAcross},
    {"Made by", "Credits", 500, 272, 574, 287, rdAcross},
};

/// WCAG relative luminance of an 8-bit sRGB pixel stored B, G, R.
double Luminance(const std::uint8_t* pixel)
{
    const auto linear = [](std::uint8_t c)
    {
        const double v = c / 255.0;
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(pixel[2]) + 0.7152 * linear(pixel[1]) + 0.0722 * linear(pixel[0]);
}

double Contrast(double lighter, double darker)
{
    return (lighter + 0.05) / (darker + 0.05);
}

TEST(ArtworkCaptions, EveryCaptionIsAtLeastSevenPixelsTallAtFourAndAHalfToOne)
{
    for (const TCaption& caption : Captions)
    {
        SCOPED_TRACE(caption.Text);
        const TDecoded image = TDecoded::Load(caption.Image);
        ASSERT_LE(caption.Right, static_cast<int>(image.Image.Width));
        ASSERT_LE(caption.Bottom, static_cast<int>(image.Image.Height));
        // The surface is what most of the box shows: its median luminance.
        std::vector<double> all;
        for (int y = caption.Top; y < caption.Bottom; ++y)
        {
            for (int x = caption.Left; x < caption.Right; ++x)
            {
                all.push_back(Luminance(image.At(x, y)));
            }
        }
        std::nth_element(all.begin(), all.begin() + all.size() / 2, all.end());
        const double surface = all[all.size() / 2];
        double brightest = surface;
        int low = 1 << 20;
        int high = -1;
        for (int y = caption.Top; y < caption.Bottom; ++y)
        {
            for (int x = caption.Left; x < caption.Right; ++x)
            {
                const double luminance = Luminance(image.At(x, y));
                brightest = std::max(brightest, luminance);
                if (Contrast(luminance, surface) >= InkThreshold)
                {
                    const int across = caption.Reading == rdUpwards ? x : y;
                    low = std::min(low, across);
                    high = std::max(high, across);
                }
            }
        }
        EXPECT_GE(Contrast(brightest, surface), MinimumContrast);
        if (caption.Reading != rdSymbol)
        {
            EXPECT_GE(high - low + 1, MinimumInkHeight);
        }
    }
}

} // namespace
} // namespace orvo::test
