#include "resources/uEditorImages.h"

#include <array>
#include <cstddef>

namespace orvo::resources
{
// Defined by the sources that EmbedBytes.cmake generates from resources/images: each image at
// 100 % ("Knob"), 150 % ("Knob@150") and 200 % ("Knob@200").
extern const unsigned char EditorImageBackGroundBytes[];
extern const std::size_t EditorImageBackGroundSize;
extern const unsigned char EditorImageCreditsBytes[];
extern const std::size_t EditorImageCreditsSize;
extern const unsigned char EditorImageLoBytes[];
extern const std::size_t EditorImageLoSize;
extern const unsigned char EditorImageLoMidBytes[];
extern const std::size_t EditorImageLoMidSize;
extern const unsigned char EditorImageMidBytes[];
extern const std::size_t EditorImageMidSize;
extern const unsigned char EditorImageHiMidBytes[];
extern const std::size_t EditorImageHiMidSize;
extern const unsigned char EditorImageHiBytes[];
extern const std::size_t EditorImageHiSize;
extern const unsigned char EditorImageOverSampleBytes[];
extern const std::size_t EditorImageOverSampleSize;
extern const unsigned char EditorImageKnobBytes[];
extern const std::size_t EditorImageKnobSize;
extern const unsigned char EditorImageSliderBytes[];
extern const std::size_t EditorImageSliderSize;
extern const unsigned char EditorImageBackGround150Bytes[];
extern const std::size_t EditorImageBackGround150Size;
extern const unsigned char EditorImageCredits150Bytes[];
extern const std::size_t EditorImageCredits150Size;
extern const unsigned char EditorImageLo150Bytes[];
extern const std::size_t EditorImageLo150Size;
extern const unsigned char EditorImageLoMid150Bytes[];
extern const std::size_t EditorImageLoMid150Size;
extern const unsigned char EditorImageMid150Bytes[];
extern const std::size_t EditorImageMid150Size;
extern const unsigned char EditorImageHiMid150Bytes[];
extern const std::size_t EditorImageHiMid150Size;
extern const unsigned char EditorImageHi150Bytes[];
extern const std::size_t EditorImageHi150Size;
extern const unsigned char EditorImageOverSample150Bytes[];
extern const std::size_t EditorImageOverSample150Size;
extern const unsigned char EditorImageKnob150Bytes[];
extern const std::size_t EditorImageKnob150Size;
extern const unsigned char EditorImageSlider150Bytes[];
extern const std::size_t EditorImageSlider150Size;
extern const unsigned char EditorImageBackGround200Bytes[];
extern const std::size_t EditorImageBackGround200Size;
extern const unsigned char EditorImageCredits200Bytes[];
extern const std::size_t EditorImageCredits200Size;
extern const unsigned char EditorImageLo200Bytes[];
extern const std::size_t EditorImageLo200Size;
extern const unsigned char EditorImageLoMid200Bytes[];
extern const std::size_t EditorImageLoMid200Size;
extern const unsigned char EditorImageMid200Bytes[];
extern const std::size_t EditorImageMid200Size;
extern const unsigned char EditorImageHiMid200Bytes[];
extern const std::size_t EditorImageHiMid200Size;
extern const unsigned char EditorImageHi200Bytes[];
extern const std::size_t EditorImageHi200Size;
extern const unsigned char EditorImageOverSample200Bytes[];
extern const std::size_t EditorImageOverSample200Size;
extern const unsigned char EditorImageKnob200Bytes[];
extern const std::size_t EditorImageKnob200Size;
extern const unsigned char EditorImageSlider200Bytes[];
extern const std::size_t EditorImageSlider200Size;

namespace
{
struct TEmbeddedImage
{
    std::string_view Name;
    const unsigned char* Bytes;
    const std::size_t* Size;
};

const std::array<TEmbeddedImage, 30> EditorImages{{
    {"BackGround", EditorImageBackGroundBytes, &EditorImageBackGroundSize},
    {"Credits", EditorImageCreditsBytes, &EditorImageCreditsSize},
    {"Lo", EditorImageLoBytes, &EditorImageLoSize},
    {"LoMid", EditorImageLoMidBytes, &EditorImageLoMidSize},
    {"Mid", EditorImageMidBytes, &EditorImageMidSize},
    {"HiMid", EditorImageHiMidBytes, &EditorImageHiMidSize},
    {"Hi", EditorImageHiBytes, &EditorImageHiSize},
    {"OverSample", EditorImageOverSampleBytes, &EditorImageOverSampleSize},
    {"Knob", EditorImageKnobBytes, &EditorImageKnobSize},
    {"Slider", EditorImageSliderBytes, &EditorImageSliderSize},
    {"BackGround@150", EditorImageBackGround150Bytes, &EditorImageBackGround150Size},
    {"Credits@150", EditorImageCredits150Bytes, &EditorImageCredits150Size},
    {"Lo@150", EditorImageLo150Bytes, &EditorImageLo150Size},
    {"LoMid@150", EditorImageLoMid150Bytes, &EditorImageLoMid150Size},
    {"Mid@150", EditorImageMid150Bytes, &EditorImageMid150Size},
    {"HiMid@150", EditorImageHiMid150Bytes, &EditorImageHiMid150Size},
    {"Hi@150", EditorImageHi150Bytes, &EditorImageHi150Size},
    {"OverSample@150", EditorImageOverSample150Bytes, &EditorImageOverSample150Size},
    {"Knob@150", EditorImageKnob150Bytes, &EditorImageKnob150Size},
    {"Slider@150", EditorImageSlider150Bytes, &EditorImageSlider150Size},
    {"BackGround@200", EditorImageBackGround200Bytes, &EditorImageBackGround200Size},
    {"Credits@200", EditorImageCredits200Bytes, &EditorImageCredits200Size},
    {"Lo@200", EditorImageLo200Bytes, &EditorImageLo200Size},
    {"LoMid@200", EditorImageLoMid200Bytes, &EditorImageLoMid200Size},
    {"Mid@200", EditorImageMid200Bytes, &EditorImageMid200Size},
    {"HiMid@200", EditorImageHiMid200Bytes, &EditorImageHiMid200Size},
    {"Hi@200", EditorImageHi200Bytes, &EditorImageHi200Size},
    {"OverSample@200", EditorImageOverSample200Bytes, &EditorImageOverSample200Size},
    {"Knob@200", EditorImageKnob200Bytes, &EditorImageKnob200Size},
    {"Slider@200", EditorImageSlider200Bytes, &EditorImageSlider200Size},
}};
} // namespace

std::span<const std::uint8_t> EditorImageData(std::string_view name) noexcept
{
    for (const TEmbeddedImage& image : EditorImages)
    {
        if (image.Name == name)
        {
            return {image.Bytes, *image.Size};
        }
    }
    return {};
}
} // namespace orvo::resources
