// The committed stored images, as the editor will load them.
#include "tests/artwork/ArtworkFiles.h"

#include <gtest/gtest.h>

#include "editor/toolkit/cDIBStandardCompressors.h"
#include "tools/artwork/uLayout.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace orvo::test
{
namespace
{

using namespace orvo::art;

struct TListEntry
{
    const char* Name;
    int Width;
    int Height;
    bool Masked;
};

// The editor's two image lists, in list order.
constexpr std::array<TListEntry, 10> ImageList{{
    {"BackGround", 700, 300, false},
    {"Credits", 700, 300, false},
    {"Lo", 88, 20, true},
    {"LoMid", 88, 20, true},
    {"Mid", 88, 20, true},
    {"HiMid", 88, 20, true},
    {"Hi", 88, 20, true},
    {"OverSample", 144, 20, true},
    {"Knob", 3782, 62, true},
    {"Slider", 2793, 114, true},
}};

int Brightness(const std::uint8_t* pixel)
{
    return pixel[0] + pixel[1] + pixel[2];
}

TEST(ArtworkFiles, EveryImageIsStoredWithTheLZHCoderAtItsListedSizeAndMask)
{
    for (const TListEntry& entry : ImageList)
    {
        SCOPED_TRACE(entry.Name);
        const auto bytes = ReadBytes(StoredImagePath(entry.Name));
        const TStoredBlockHeader header = ReadStoredBlockHeader(bytes);
        EXPECT_TRUE(header.Compressed);
        EXPECT_EQ(header.Compressor, LZHDIBCompressorGUID);
        TStoredImageDefect defect = sdNone;
        const TStoredImage image = ReadStoredImage(bytes, &defect);
        ASSERT_EQ(defect, sdNone);
        ASSERT_EQ(image.Width, entry.Width);
        ASSERT_EQ(image.Height, entry.Height);
        int seeThrough = 0;
        int opaque = 0;
        for (std::size_t i = 3; i < image.Pixels.size(); i += 4)
        {
            seeThrough += image.Pixels[i] < 128 ? 1 : 0;
            opaque += image.Pixels[i] == 255 ? 1 : 0;
        }
        if (entry.Masked)
        {
            EXPECT_GT(seeThrough, 0);
            EXPECT_GT(opaque, 0);
        }
        else
        {
            EXPECT_EQ(opaque, entry.Width * entry.Height);
        }
    }
}

/// Where a slider frame's value line lies, in rows (top of row 0 = 0.0): the centre of the
/// line's brightness above the cap's body, around the brightest pixel of the centre column.
double ValueLineCentre(const TDecoded& strip, int frame)
{
    const int x = frame * SliderFrameWidth + static_cast<int>(SliderCentreX);
    int brightest = 0;
    for (int y = 0; y < SliderFrameHeight; ++y)
    {
        if (Brightness(strip.At(x, y)) > Brightness(strip.At(x, brightest)))
        {
            brightest = y;
        }
    }
    int body = Brightness(strip.At(x, brightest));
    for (int y = brightest - 2; y <= brightest + 2; ++y)
    {
        body = std::min(body, Brightness(strip.At(x, y)));
    }
    double sum = 0.0;
    double weight = 0.0;
    for (int y = brightest - 2; y <= brightest + 2; ++y)
    {
        const int excess = Brightness(strip.At(x, y)) - body;
        sum += excess * (y + 0.5);
        weight += excess;
    }
    return sum / weight;
}

TEST(ArtworkFiles, SliderValueLineMovesSmoothlyFromBottomToTop)
{
    const TDecoded strip = TDecoded::Load("Slider");
    const double travel = ValueLineCentre(strip, 0) - ValueLineCentre(strip, SliderFrames - 1);
    EXPECT_GT(travel, 80.0);
    EXPECT_GT(ValueLineCentre(strip, 0), SliderFrameHeight - 20);
    const double step = travel / (SliderFrames - 1);
    for (int frame = 1; frame < SliderFrames; ++frame)
    {
        // Every frame moves the line up by the same sub-pixel step: no jumps, no stalls.
        EXPECT_NEAR(ValueLineCentre(strip, frame - 1) - ValueLineCentre(strip, frame), step, 0.3)
            << "frame " << frame;
    }
}

TEST(ArtworkFiles, EverySliderValueLineMeetsItsScaleMarkOnThePanel)
{
    const TDecoded strip = TDecoded::Load("Slider");
    const TDecoded panel = TDecoded::Load("BackGround");
    // The window's seven sliders: kbLo, kbLoMid, kbMid, kbHiMid, kbHi,
    // kbInGain, kbOutGain.
    const TControlRect sliders[] = {{236, 93, 49, 114}, {282, 93, 49, 114}, {328, 93, 49, 114},
                                    {374, 93, 49, 114}, {420, 93, 49, 114}, {91, 93, 49, 114},
                                    {563, 93, 49, 114}};
    for (const TControlRect& r : sliders)
    {
        SCOPED_TRACE(r.Left);
        // The scale's ticks lie 7..10 pixels right of the slot's centre.
        const int tickX = r.Left + static_cast<int>(SliderCentreX) + 8;
        for (double value : {0.0, 0.25, 0.5, 1.0})
        {
            SCOPED_TRACE(value);
            const double line = r.Top + ValueLineCentre(strip, SliderFrameForValue(value));
            // The brightest panel row near the line is the tick, centred on the line.
            int tickRow = static_cast<int>(line) - 2;
            for (int y = static_cast<int>(line) - 2; y <= static_cast<int>(line) + 2; ++y)
            {
                if (Brightness(panel.At(tickX, y)) > Brightness(panel.At(tickX, tickRow)))
                {
                    tickRow = y;
                }
            }
            EXPECT_NEAR(tickRow + 0.5, line, 0.6);
            EXPECT_GT(Brightness(panel.At(tickX, tickRow)),
                      Brightness(panel.At(tickX, tickRow + 3)) + 60);
            if (value == 0.5)
            {
                // The 0 dB mark is the accent colour (orange: red well above blue).
                const std::uint8_t* zero = panel.At(tickX, tickRow);
                EXPECT_GT(zero[2], 150);
                EXPECT_GT(zero[2], zero[0] + 80);
            }
        }
    }
}

TEST(ArtworkFiles, KnobFramesShareOneMaskSoBlendedFramesHideNothing)
{
    // Tweening draws the lower frame unmasked over the upper one: any pixel masked out
    // in one frame but not the other would show its hidden colour.
    const TDecoded strip = TDecoded::Load("Knob");
    for (int frame = 1; frame < KnobFrames; ++frame)
    {
        for (int y = 0; y < KnobFrameSize; ++y)
        {
            for (int x = 0; x < KnobFrameSize; ++x)
            {
                ASSERT_EQ(strip.At(frame * KnobFrameSize + x, y)[3], strip.At(x, y)[3])
                    << "frame " << frame << " at " << x << ", " << y;
            }
        }
    }
}

/// The pointer's direction in a knob frame: the centroid of its cream pixels, in degrees
/// clockwise from 12 o'clock.
double PointerDegrees(const TDecoded& strip, int frame)
{
    double sumX = 0.0;
    double sumY = 0.0;
    int count = 0;
    for (int y = 0; y < KnobFrameSize; ++y)
    {
        for (int x = 0; x < KnobFrameSize; ++x)
        {
            const std::uint8_t* p = strip.At(frame * KnobFrameSize + x, y);
            const double r = std::hypot(x + 0.5 - KnobCentre, y + 0.5 - KnobCentre);
            if (r < 16.0 && p[2] > 215 && p[1] > 205 && p[0] > 185)
            {
                sumX += x + 0.5 - KnobCentre;
                sumY += y + 0.5 - KnobCentre;
                ++count;
            }
        }
    }
    EXPECT_GT(count, 10) << "frame " << frame;
    return std::atan2(sumX, -sumY) * 180.0 / std::numbers::pi;
}

TEST(ArtworkFiles, KnobPointerSweepsClockwiseFromSevenThirtyToFourThirty)
{
    const TDecoded strip = TDecoded::Load("Knob");
    EXPECT_NEAR(PointerDegrees(strip, 0), -135.0, 4.0);
    EXPECT_NEAR(PointerDegrees(strip, KnobFrames - 1), 135.0, 4.0);
    double previous = -180.0;
    for (int frame = 0; frame < KnobFrames; ++frame)
    {
        const double degrees = PointerDegrees(strip, frame);
        EXPECT_GT(degrees, previous) << "frame " << frame;
        previous = degrees;
    }
    // A knob at its middle value blends frames 30 and 31 half and half: they must sit
    // either side of 12 o'clock, so the middle reads straight up.
    const double below = PointerDegrees(strip, 30);
    const double above = PointerDegrees(strip, 31);
    EXPECT_LT(below, 0.0);
    EXPECT_GT(above, 0.0);
    EXPECT_NEAR(below + above, 0.0, 1.5);
}

struct TFrameSummary
{
    double Red = 0.0;
    double Green = 0.0;
    int Opaque = 0;
};

TFrameSummary Summarise(const TDecoded& image, int x0, int width)
{
    TFrameSummary summary;
    for (int y = 4; y < 16; ++y)
    {
        for (int x = x0 + 4; x < x0 + width - 4; ++x)
        {
            const std::uint8_t* p = image.At(x, y);
            summary.Red += p[2];
            summary.Green += p[1];
            summary.Opaque += p[3] == 255 ? 1 : 0;
        }
    }
    return summary;
}

TEST(ArtworkFiles, KeysHaveAnUpAndADownFrameAndMutedKeysGlowRed)
{
    struct TKey
    {
        const char* Name;
        bool Mute;
    };
    for (const TKey& entry : {TKey{"Lo", true}, TKey{"LoMid", true}, TKey{"Mid", true},
                              TKey{"HiMid", true}, TKey{"Hi", true}, TKey{"OverSample", false}})
    {
        const char* name = entry.Name;
        SCOPED_TRACE(name);
        const TDecoded key = TDecoded::Load(name);
        const int frame = key.Image.Width / 2;
        const TFrameSummary up = Summarise(key, 0, frame);
        const TFrameSummary down = Summarise(key, frame, frame);
        const int inner = (frame - 8) * 12;
        // The key face fills its frame; the frame's corners stay see-through.
        EXPECT_EQ(up.Opaque, inner);
        EXPECT_EQ(down.Opaque, inner);
        EXPECT_LT(key.At(0, 0)[3], 128);
        EXPECT_LT(key.At(frame, 0)[3], 128);
        EXPECT_NE(up.Red, down.Red);
        if (entry.Mute)
        {
            EXPECT_GT(down.Red, 1.8 * down.Green);
            EXPECT_LT(up.Red, 1.3 * up.Green);
        }
    }
}

} // namespace
} // namespace orvo::test
