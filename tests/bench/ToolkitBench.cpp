// Composing a 700 x 300 window laid out like the editor: an opaque background, seven masked
// slider strips, two masked knobs with tweens, six masked buttons, two text labels (one at
// opacity 120) and a hidden full-window picture.
#include <benchmark/benchmark.h>

#include "editor/toolkit/cDIBFadeLabel.h"
#include "editor/toolkit/cDIBGlyphButton.h"
#include "editor/toolkit/cDIBImage.h"
#include "editor/toolkit/cDIBKnob.h"
#include "editor/toolkit/cDIBPanel.h"
#include "platform/headless/HeadlessPlatform.h"

#include <memory>
#include <vector>

namespace orvo
{
namespace
{

void FillPattern(TMemoryDIB& image, std::int32_t width, std::int32_t height, bool masked)
{
    image.SetSize(width, height);
    std::uint8_t* p = image.Pixels().data();
    for (std::size_t i = 0; i < image.Pixels().size(); i += 4)
    {
        p[i] = static_cast<std::uint8_t>(i * 7);
        p[i + 1] = static_cast<std::uint8_t>(i * 13);
        p[i + 2] = static_cast<std::uint8_t>(i * 3);
        p[i + 3] = masked ? static_cast<std::uint8_t>((i / 4) % 256) : 255;
    }
    image.SetMasked(masked);
}

struct TEditorLikeScene
{
    TEditorLikeScene() : Container(Platform, &Form, 0, TRect{0, 0, 700, 300})
    {
        FillPattern(Images.Add("BackGround").DIB, 700, 300, false);
        FillPattern(Images.Add("Credits").DIB, 700, 300, false);
        FillPattern(Images.Add("Button").DIB, 88, 20, true);
        FillPattern(Images.Add("Knob").DIB, 3782, 62, true);
        FillPattern(Images.Add("Slider").DIB, 2793, 114, true);
        Container.IndexImage = TDIBImageLink{&Images, 0};

        const std::int32_t sliders[7][2] = {{236, 93}, {282, 93}, {328, 93}, {374, 93},
                                            {420, 93}, {91, 93},  {563, 93}};
        for (const auto& at : sliders)
        {
            auto knob = std::make_unique<TDIBKnob>(&Form);
            knob->SetBounds(at[0], at[1], 49, 114);
            knob->SetNumGlyphs(57);
            knob->SetIndexMain(TDIBImageLink{&Images, 4});
            knob->SetMax(569);
            knob->SetPosition(280);
            Knobs.push_back(std::move(knob));
        }
        for (const std::int32_t left : {489, 161})
        {
            auto knob = std::make_unique<TDIBKnob>(&Form);
            knob->SetBounds(left, 124, 62, 62);
            knob->SetNumGlyphs(61);
            knob->SetIndexMain(TDIBImageLink{&Images, 3});
            knob->SetMax(609);
            knob->SetDrawTweens(true);
            knob->SetPosition(305);
            Knobs.push_back(std::move(knob));
        }
        for (const std::int32_t left : {237, 283, 329, 375, 421, 45})
        {
            auto button = std::make_unique<TDIBGlyphButton>(&Form);
            button->SetBounds(left, left == 45 ? 269 : 226, 44, 20);
            button->SetGlyph(TDIBImageLink{&Images, 2});
            Buttons.push_back(std::move(button));
        }
        for (const std::int32_t offset : {2, 0})
        {
            auto label = std::make_unique<TDIBFadeLabel>(&Form);
            label->SetBounds(291 + offset, 269 + offset, 119, 20);
            label->SetAlignment(taCenter);
            label->SetCaption("-oo   dB");
            label->SetOpacity(offset == 2 ? 120 : 255);
            Labels.push_back(std::move(label));
        }
        Credits = std::make_unique<TDIBImage>(&Form);
        Credits->SetBounds(0, 0, 700, 300);
        Credits->SetIndexMain(TDIBImageLink{&Images, 1});
        Credits->SetVisible(false);
        Container.Update();
    }

    THeadlessPlatform Platform;
    TDIBComponent Form{nullptr};
    TDIBImageList Images;
    TDIBImageContainer Container;
    std::vector<std::unique_ptr<TDIBKnob>> Knobs;
    std::vector<std::unique_ptr<TDIBGlyphButton>> Buttons;
    std::vector<std::unique_ptr<TDIBFadeLabel>> Labels;
    std::unique_ptr<TDIBImage> Credits;
};

void ComposeWholeWindow(benchmark::State& state)
{
    TEditorLikeScene scene;
    for (auto _ : state)
    {
        scene.Container.Invalidate();
        scene.Container.Update();
        benchmark::DoNotOptimize(scene.Container.Composite().Pixels().data());
    }
}
BENCHMARK(ComposeWholeWindow)->Unit(benchmark::kMicrosecond);

void ComposeWholeWindowUnderCredits(benchmark::State& state)
{
    TEditorLikeScene scene;
    scene.Credits->SetVisible(true);
    scene.Credits->SetOpacity(128);
    for (auto _ : state)
    {
        scene.Container.Invalidate();
        scene.Container.Update();
        benchmark::DoNotOptimize(scene.Container.Composite().Pixels().data());
    }
}
BENCHMARK(ComposeWholeWindowUnderCredits)->Unit(benchmark::kMicrosecond);

void RepaintOneTweenedKnob(benchmark::State& state)
{
    TEditorLikeScene scene;
    std::int32_t position = 0;
    for (auto _ : state)
    {
        scene.Knobs[7]->SetPosition(position = (position + 7) % 610);
        scene.Container.Update();
    }
}
BENCHMARK(RepaintOneTweenedKnob)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace orvo
