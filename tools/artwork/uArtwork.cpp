#include "tools/artwork/uArtwork.h"

#include "editor/toolkit/cDIBStoredImage.h"
#include "tools/artwork/uImages.h"
#include "tools/artwork/uLayout.h"

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

/// Frames drawn one by one and placed side by side, each as wide as the first.
template <typename TDrawFrame> TLayer Filmstrip(int frames, TDrawFrame drawFrame)
{
    const TLayer first = drawFrame(0);
    TLayer strip(frames * first.Width(), first.Height(), first.Scale());
    strip.Draw(first, 0, 0);
    for (int frame = 1; frame < frames; ++frame)
    {
        strip.Draw(drawFrame(frame), frame * first.Width(), 0);
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

std::vector<TArtImage> DrawArtwork(const TArtworkFonts& fonts, double scale)
{
    std::vector<TArtImage> images;
    images.push_back(Finish("BackGround", DrawBackground(fonts, scale), false, 1));
    images.push_back(Finish("Credits", DrawCredits(fonts, scale), false, 1));
    for (int band = 0; band < 5; ++band)
    {
        images.push_back(Finish(std::string(BandNames[static_cast<std::size_t>(band)]),
                                DrawMuteButton(fonts, band, scale), true, 2));
    }
    images.push_back(Finish("OverSample", DrawOverSampleButton(fonts, scale), true, 2));
    images.push_back(Finish("Knob",
                            Filmstrip(KnobFrames,
                                      [scale](int frame) {
                                          return DrawKnobFrame(
                                              KnobSweepStart + KnobSweep * KnobSweepFraction(frame),
                                              scale);
                                      }),
                            true, KnobFrames));
    images.push_back(Finish("Slider",
                            Filmstrip(SliderFrames, [scale](int frame)
                                      { return DrawSliderFrame(SliderThumbY(frame), scale); }),
                            true, SliderFrames));
    return images;
}

std::string StoredFileName(std::string_view name, int percent)
{
    std::string file(name);
    if (percent != 100)
    {
        file += '@' + std::to_string(percent);
    }
    return file + ".dibcmp";
}

std::vector<std::uint8_t> StoredBlock(const TArtImage& image)
{
    const TStoredImage stored =
        StoredImageFromRGBA(static_cast<std::uint16_t>(image.Width),
                            static_cast<std::uint16_t>(image.Height), image.Rgba, image.Masked);
    return WriteStoredImage(stored);
}

} // namespace orvo::art
