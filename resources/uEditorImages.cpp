#include "resources/uEditorImages.h"

#include <array>
#include <cstddef>

namespace orvo::resources
{
// Defined by the sources that EmbedBytes.cmake generates from resources/images.
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

namespace
{
struct TEmbeddedImage
{
    std::string_view Name;
    const unsigned char* Bytes;
    const std::size_t* Size;
};

const std::array<TEmbeddedImage, 10> EditorImages{{
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
