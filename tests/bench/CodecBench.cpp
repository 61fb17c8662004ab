// Stored-image codec speed. The editor decodes all its images (two 700 x 300 pictures, two
// filmstrips and eight small buttons, about 4 MB of pixels) every time its window opens.
#include <benchmark/benchmark.h>

#include "editor/toolkit/cDIBStandardCompressors.h"
#include "editor/toolkit/cDIBStoredImage.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace
{

using namespace orvo;

struct TSize
{
    std::uint16_t Width;
    std::uint16_t Height;
    bool Masked;
};

// The editor's images: background, credits, six buttons, knob strip, slider strip, plate.
constexpr TSize EditorImages[] = {{700, 300, false}, {700, 300, false}, {88, 20, true},
                                  {88, 20, true},    {88, 20, true},    {88, 20, true},
                                  {88, 20, true},    {144, 20, true},   {3782, 62, true},
                                  {2793, 114, true}, {88, 20, true}};

/// Artwork-like pixels: shaded discs and gradients with a little grain, transparent
/// outside the discs of masked images. `grain` is the noise amplitude in levels.
TStoredImage Artwork(TSize size, unsigned grain)
{
    TStoredImage image;
    image.Width = size.Width;
    image.Height = size.Height;
    image.Pixels.resize(std::size_t{size.Width} * size.Height * 4);
    std::uint32_t noise = 0x2545F491u ^ size.Width;
    const double cell = size.Height;
    for (std::size_t row = 0; row < size.Height; ++row)
    {
        for (std::size_t x = 0; x < size.Width; ++x)
        {
            noise ^= noise << 13;
            noise ^= noise >> 17;
            noise ^= noise << 5;
            const int jitter =
                grain ? static_cast<int>(noise % (2 * grain + 1)) - static_cast<int>(grain) : 0;
            const double cx = std::fmod(static_cast<double>(x), cell) - cell / 2;
            const double cy = static_cast<double>(row) - cell / 2;
            const double r = std::sqrt(cx * cx + cy * cy) / (cell / 2);
            const bool inside = !size.Masked || r < 0.95;
            std::uint8_t* p = &image.Pixels[(row * size.Width + x) * 4];
            auto level = [&](double v)
            { return static_cast<std::uint8_t>(std::clamp(static_cast<int>(v) + jitter, 0, 255)); };
            p[0] = inside ? level(60 + 120 * (1 - r)) : 0;
            p[1] = inside ? level(50 + 100 * (1 - r) + static_cast<double>(row) / 4) : 0;
            p[2] = inside ? level(40 + static_cast<double>(x % 256) / 2) : 0;
            p[3] = inside ? 255 : 0;
        }
    }
    return image;
}

std::vector<std::vector<std::uint8_t>> StoredEditorImages(unsigned grain)
{
    std::vector<std::vector<std::uint8_t>> blocks;
    for (const TSize& size : EditorImages)
    {
        blocks.push_back(WriteStoredImage(Artwork(size, grain)));
    }
    return blocks;
}

void DecodeEditorImages(benchmark::State& state)
{
    const auto blocks = StoredEditorImages(static_cast<unsigned>(state.range(0)));
    std::size_t pixelBytes = 0;
    std::size_t storedBytes = 0;
    for (const auto& block : blocks)
    {
        pixelBytes += ReadStoredImage(block).Pixels.size();
        storedBytes += block.size();
    }
    for (auto _ : state)
    {
        for (const auto& block : blocks)
        {
            benchmark::DoNotOptimize(ReadStoredImage(block));
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * pixelBytes));
    state.counters["stored_bytes"] = static_cast<double>(storedBytes);
    state.counters["pixel_bytes"] = static_cast<double>(pixelBytes);
}
BENCHMARK(DecodeEditorImages)->Arg(0)->Arg(2)->Arg(8)->Unit(benchmark::kMillisecond);

/// The editor's own stored images, as the module embeds them.
void DecodeEditorArtwork(benchmark::State& state)
{
    std::vector<std::vector<std::uint8_t>> blocks;
    const std::filesystem::path folder =
        std::filesystem::path(ORVO_SOURCE_DIR) / "resources" / "images";
    if (std::filesystem::is_directory(folder))
    {
        for (const auto& entry : std::filesystem::directory_iterator(folder))
        {
            if (entry.path().extension() == ".dibcmp")
            {
                std::ifstream in(entry.path(), std::ios::binary);
                blocks.emplace_back(std::istreambuf_iterator<char>(in),
                                    std::istreambuf_iterator<char>());
            }
        }
    }
    if (blocks.empty())
    {
        state.SkipWithError("no stored images in resources/images");
        return;
    }
    std::size_t pixelBytes = 0;
    for (const auto& block : blocks)
    {
        pixelBytes += ReadStoredImage(block).Pixels.size();
    }
    for (auto _ : state)
    {
        for (const auto& block : blocks)
        {
            benchmark::DoNotOptimize(ReadStoredImage(block));
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * pixelBytes));
    state.counters["images"] = static_cast<double>(blocks.size());
    state.counters["pixel_bytes"] = static_cast<double>(pixelBytes);
}
BENCHMARK(DecodeEditorArtwork)->Unit(benchmark::kMillisecond);

void EncodeBackground(benchmark::State& state)
{
    const TStoredImage image = Artwork(EditorImages[0], static_cast<unsigned>(state.range(0)));
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(WriteStoredImage(image));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * image.Pixels.size()));
}
BENCHMARK(EncodeBackground)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond);

} // namespace
