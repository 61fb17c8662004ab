#include "tools/artwork/uArtwork.h"

#include "tools/artwork/uImages.h"
#include "tools/artwork/uLayout.h"

#include "editor/toolkit/cDIBStoredImage.h"

#include <utility>

namespace orvo::art
{

namespace
{

TArtImage Finish(std::string name, const TLayer& layer, bool masked, int frames)
{
    TArtImage image;
    image.Name = std::move(name);
    image.Width = layer.Width();
    image.Height = layer.Height();
    image.Masked = masked;
    image.Frames = frames;
    image.Rgba = layer.ToRGBA(!masked);
    return image;
}

/// Frames drawn one by one and placed side by side.
template <typename TDrawFrame>
TLayer Filmstrip(int frames, int frameWidth, int frameHeight, TDrawFrame drawFrame)
{
    TLayer strip(frames * frameWidth, frameHeight);
    for (int frame = 0; frame < frames; ++frame)
    {
        strip.Draw(drawFrame(frame), frame * frameWidth, 0);
    }
    return strip;
}

} // namespace

TArtworkFonts TArtworkFonts::Load(const std::string& folder)
{
    TArtworkFonts fonts;
    fonts.Regular = std::make_unique<TFont>(folder + "/" + RegularFontFile);
    fonts.Bold = std::make_unique<TFont>(folder + "/" + BoldFontFile);
    return fonts;
}

std::vector<TArtImage> DrawArtwork(const TArtworkFonts& fonts)
{
    std::vector<TArtImage> images;
    images.push_back(Finish("BackGround", DrawBackground(fonts), false, 1));
    images.push_back(Finish("Credits", DrawCredits(fonts), false, 1));
    for (int band = 0; band < 5; ++band)
    {
        images.push_back(Finish(std::string(BandNames[static_cast<std::size_t>(band)]),
                                DrawMuteButton(fonts, band), true, 2));
    }
    images.push_back(Finish("OverSample", DrawOverSampleButton(fonts), true, 2));
    images.push_back(Finish("Knob",
                            Filmstrip(KnobFrames, KnobFrameSize, KnobFrameSize,
                                      [](int frame) {
                                          return DrawKnobFrame(KnobSweepStart +
                                                               KnobSweep * KnobSweepFraction(frame));
                                      }),
                            true, KnobFrames));
    images.push_back(Finish("Slider",
                            Filmstrip(SliderFrames, SliderFrameWidth, SliderFrameHeight,
                                      [](int frame) { return DrawSliderFrame(SliderThumbY(frame)); }),
                            true, SliderFrames));
    return images;
}

std::vector<std::uint8_t> StoredBlock(const TArtImage& image)
{
    const TStoredImage stored =
        StoredImageFromRGBA(static_cast<std::uint16_t>(image.Width),
                            static_cast<std::uint16_t>(image.Height), image.Rgba, image.Masked);
    return WriteStoredImage(stored);
}

} // namespace orvo::art
