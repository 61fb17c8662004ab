#include "tools/artwork/uPreview.h"

#include "tools/artwork/uLayout.h"
#include "tools/artwork/uStyle.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace orvo::art
{

namespace
{

/// Top-down R G B A bytes, the mask in A.
struct TPixels
{
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Bytes;

    std::uint8_t* At(int x, int y)
    {
        return Bytes.data() + (static_cast<std::size_t>(y) * Width + x) * 4;
    }
    const std::uint8_t* At(int x, int y) const
    {
        return Bytes.data() + (static_cast<std::size_t>(y) * Width + x) * 4;
    }
};

TPixels FromArt(const TArtImage& image)
{
    return {image.Width, image.Height, image.Rgba};
}

/// The toolkit's blend of a w x h part of `source` at (sx, sy) into `dest` at (dx, dy):
/// copy, opacity, masked or masked with opacity; each colour channel becomes
/// (s x w + d x (255 - w) + 255) >> 8 and the mask the larger of both masks.
void Blend(TPixels& dest, int dx, int dy, const TPixels& source, int sx, int sy, int w, int h,
           int opacity, bool masked)
{
    for (int y = 0; y < h; ++y)
    {
        const int ty = dy + y;
        if (ty < 0 || ty >= dest.Height)
        {
            continue;
        }
        for (int x = 0; x < w; ++x)
        {
            const int tx = dx + x;
            if (tx < 0 || tx >= dest.Width)
            {
                continue;
            }
            const std::uint8_t* s = source.At(sx + x, sy + y);
            std::uint8_t* d = dest.At(tx, ty);
            if (!masked && opacity == 255)
            {
                std::copy(s, s + 4, d);
                continue;
            }
            int weight = opacity;
            if (masked)
            {
                weight = opacity == 255 ? s[3] : (s[3] * opacity) >> 8;
            }
            for (int k = 0; k < 3; ++k)
            {
                d[k] =
                    static_cast<std::uint8_t>((s[k] * weight + d[k] * (255 - weight) + 255) >> 8);
            }
            d[3] = std::max(d[3], s[3]);
        }
    }
}

const TArtImage& Find(const std::vector<TArtImage>& images, std::string_view name)
{
    for (const TArtImage& image : images)
    {
        if (image.Name == name)
        {
            return image;
        }
    }
    throw std::runtime_error("no image named " + std::string(name));
}

void DrawSlider(TPixels& editor, const TPixels& strip, const TControlRect& r, float value)
{
    const long position = RoundHalfEven(SliderMax * static_cast<double>(value));
    const int frame = static_cast<int>(position * SliderFrames / (SliderMax + 1));
    Blend(editor, r.Left, r.Top, strip, frame * SliderFrameWidth, 0, SliderFrameWidth,
          SliderFrameHeight, 255, true);
}

/// A knob with frame blending: the upper neighbour, the lower one drawn over it with the
/// weight of its nearness, the result drawn masked.
void DrawKnob(TPixels& editor, const TPixels& strip, const TControlRect& r, int max, float value)
{
    const long position = RoundHalfEven(max * static_cast<double>(value));
    const long double f = static_cast<long double>(position) / max * KnobFrames;
    auto clampFrame = [](long double index)
    { return static_cast<int>(std::min<long double>(index, KnobFrames - 1)); };
    const int hi = clampFrame(std::ceil(f));
    const int lo = clampFrame(std::floor(f));
    const long double t = f - std::trunc(f);
    const int weightLo = 255 - static_cast<int>(std::lrint(static_cast<double>(t * 255)));
    TPixels blended{
        KnobFrameSize, KnobFrameSize,
        std::vector<std::uint8_t>(static_cast<std::size_t>(KnobFrameSize) * KnobFrameSize * 4)};
    Blend(blended, 0, 0, strip, hi * KnobFrameSize, 0, KnobFrameSize, KnobFrameSize, 255, false);
    Blend(blended, 0, 0, strip, lo * KnobFrameSize, 0, KnobFrameSize, KnobFrameSize, weightLo,
          false);
    Blend(editor, r.Left, r.Top, blended, 0, 0, KnobFrameSize, KnobFrameSize, 255, true);
}

void DrawKey(TPixels& editor, const TPixels& glyph, const TControlRect& r, float value)
{
    const int frame = value >= 0.5f ? 1 : 0;
    Blend(editor, r.Left, r.Top, glyph, frame * r.Width, 0, r.Width, r.Height, 255, true);
}

/// The value label: centred, text at the top, drawn in `colour` at `opacity`. The window
/// uses the platform's 11-pixel sans serif; the mock sets DejaVu Sans at a similar size.
void DrawLabel(TPixels& editor, const TArtworkFonts& fonts, const std::string& text,
               const TControlRect& r, const TColor& colour, int opacity)
{
    const TTextStyle style{10.5, 0.0, 0.95};
    const TPath path =
        fonts.Regular->Text(text, style, r.Left + r.Width / 2.0, r.Top + 10.0, taCentre);
    const TMask mask = TMask::FromPath(path, editor.Width, editor.Height);
    for (int y = r.Top; y < r.Top + r.Height && y < editor.Height; ++y)
    {
        for (int x = r.Left; x < r.Left + r.Width && x < editor.Width; ++x)
        {
            const int coverage = static_cast<int>(std::lround(mask.At(x, y) * 255.0f));
            const int weight = (coverage * opacity) / 255;
            std::uint8_t* d = editor.At(x, y);
            const float channels[3] = {colour.R, colour.G, colour.B};
            for (int k = 0; k < 3; ++k)
            {
                const int s = static_cast<int>(std::lround(channels[k] * 255.0f));
                d[k] = static_cast<std::uint8_t>((s * weight + d[k] * (255 - weight) + 255) >> 8);
            }
        }
    }
}

} // namespace

std::vector<std::uint8_t> ComposeEditor(const std::vector<TArtImage>& images,
                                        const TArtworkFonts& fonts, const TEditorState& state)
{
    TPixels editor = FromArt(Find(images, "BackGround"));
    const TPixels knob = FromArt(Find(images, "Knob"));
    const TPixels slider = FromArt(Find(images, "Slider"));
    const auto& v = state.Values;
    // The window's painting order: later controls lie above earlier ones.
    const auto band = [&](std::size_t k) { return v[BandParameters[k]]; };
    DrawSlider(editor, slider, BandSliders[2], band(2));
    DrawKnob(editor, knob, TubeKnob, TubeMax, v[prTube]);
    DrawKnob(editor, knob, TuningKnob, TuningMax, v[prTuning]);
    DrawSlider(editor, slider, BandSliders[3], band(3));
    DrawSlider(editor, slider, BandSliders[1], band(1));
    DrawSlider(editor, slider, BandSliders[4], band(4));
    DrawSlider(editor, slider, BandSliders[0], band(0));
    DrawSlider(editor, slider, InGainSlider, v[prInGain]);
    DrawSlider(editor, slider, OutGainSlider, v[prOutGain]);
    for (const std::size_t k : {2, 1, 0, 3, 4})
    {
        DrawKey(editor, FromArt(Find(images, BandNames[k])), MuteButtons[k], v[MuteParameters[k]]);
    }
    if (!state.HintText.empty())
    {
        DrawLabel(editor, fonts, state.HintText, HintShadowLabel, Hex(0x000000), 120);
        DrawLabel(editor, fonts, state.HintText, HintLabel, Hex(0xdcda9a), 255);
    }
    if (state.ShowCredits)
    {
        const TPixels credits = FromArt(Find(images, "Credits"));
        Blend(editor, 0, 0, credits, 0, 0, credits.Width, credits.Height, 255, false);
    }
    DrawKey(editor, FromArt(Find(images, "OverSample")), OverSampleButton, v[prOverSample]);
    for (std::size_t i = 3; i < editor.Bytes.size(); i += 4)
    {
        editor.Bytes[i] = 255;
    }
    return editor.Bytes;
}

std::vector<std::uint8_t> Magnify(const std::vector<std::uint8_t>& rgba, int width, int x, int y,
                                  int cropWidth, int cropHeight, int factor)
{
    std::vector<std::uint8_t> out(static_cast<std::size_t>(cropWidth) * cropHeight * factor *
                                  factor * 4);
    const int outWidth = cropWidth * factor;
    for (int oy = 0; oy < cropHeight * factor; ++oy)
    {
        for (int ox = 0; ox < outWidth; ++ox)
        {
            const std::size_t from =
                (static_cast<std::size_t>(y + oy / factor) * width + x + ox / factor) * 4;
            std::copy_n(rgba.begin() + static_cast<std::ptrdiff_t>(from), 4,
                        out.begin() + (static_cast<std::ptrdiff_t>(oy) * outWidth + ox) * 4);
        }
    }
    return out;
}

std::vector<std::pair<std::string, TEditorState>> PreviewStates()
{
    std::vector<std::pair<std::string, TEditorState>> states;
    TEditorState neutral;
    neutral.Values = {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0, 0, 0, 0, 0, 0.5f, 0.5f, 0.5f, 0.5f, 1, 0};
    neutral.HintText = "0.00dB";
    states.emplace_back("editor-neutral", neutral);

    TEditorState working;
    working.Values = {0.78f, 0.42f, 0.5f,  0.66f,  0.31f, 0,     1, 0,
                      0,     0,     0.71f, 0.375f, 0.58f, 0.47f, 1, 0};
    working.HintText = "-3.00 SemiTones";
    states.emplace_back("editor-working", working);

    TEditorState extremes;
    extremes.Values = {1, 0, 1, 0, 0.25f, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 0};
    extremes.HintText = "100.00%TD";
    states.emplace_back("editor-extremes", extremes);

    TEditorState credits = neutral;
    credits.HintText.clear();
    credits.ShowCredits = true;
    states.emplace_back("editor-credits", credits);
    return states;
}

} // namespace orvo::art
