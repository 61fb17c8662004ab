// Opening the editor: from effEditOpen to the first complete picture on the (headless)
// screen, including decoding the stored images and building the window; and the whole
// open-close cycle a host runs when the user shows and hides the editor. Each at 100, 150
// and 200 % (the argument, in per cent).
#include <benchmark/benchmark.h>

#include "resources/uEditorImages.h"
#include "tests/editor/EditorInstance.h"

#include <string>

namespace orvo::test
{
namespace
{

void EditorOpenToFirstPaint(benchmark::State& state)
{
    THeadlessPlatform platform;
    platform.SetDisplayScale(static_cast<double>(state.range(0)) / 100.0);
    TestHost host;
    TEditorInstance instance(&platform, host);
    int parent = 0;
    for (auto _ : state)
    {
        instance.Dispatch(effEditOpen, 0, 0, &parent);
        benchmark::DoNotOptimize(platform.LastWindow()->Screen().data());
        state.PauseTiming();
        if (platform.LastWindow()->PresentCount() == 0)
        {
            state.SkipWithError("the editor painted nothing");
        }
        instance.Dispatch(effEditClose);
        state.ResumeTiming();
    }
}
BENCHMARK(EditorOpenToFirstPaint)->Arg(100)->Arg(150)->Arg(200)->Unit(benchmark::kMillisecond);

void EditorImageDecoding(benchmark::State& state)
{
    for (auto _ : state)
    {
        std::string suffix;
        if (state.range(0) != 100)
        {
            suffix = '@';
            suffix += std::to_string(state.range(0));
        }
        TDIBImageList images;
        for (const form::TFormImage& description : form::Images)
        {
            std::string name(description.Name);
            name += suffix;
            images.Add(name).DIB.LoadFromStoredData(resources::EditorImageData(name));
        }
        benchmark::DoNotOptimize(images.Item(0).DIB.Pixels().data());
    }
}
BENCHMARK(EditorImageDecoding)->Arg(100)->Arg(150)->Arg(200)->Unit(benchmark::kMillisecond);

void EditorRefreshTick(benchmark::State& state)
{
    // One 100 ms refresh with a host change to every knob, and the repaint it causes.
    THeadlessPlatform platform;
    TestHost host;
    TEditorInstance instance(&platform, host);
    int parent = 0;
    instance.Dispatch(effEditOpen, 0, 0, &parent);
    int round = 0;
    for (auto _ : state)
    {
        for (std::int32_t p = 0; p < 15; ++p)
        {
            instance.Effect->setParameter(instance.Effect, p, (round % 2 == 0) ? 0.2f : 0.8f);
        }
        platform.Advance(100);
        ++round;
    }
    instance.Dispatch(effEditClose);
}
BENCHMARK(EditorRefreshTick)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace orvo::test
