// Shared helpers of the toolkit tests: solid images and strips, pixel reads, and a
// headless container on a form.
#pragma once

#include "editor/toolkit/cDIB.h"
#include "editor/toolkit/cDIBImageList.h"
#include "editor/toolkit/cDIBPanel.h"
#include "platform/headless/HeadlessPlatform.h"

#include <array>
#include <cstdint>

namespace orvo::test
{

using TPixel = std::array<std::uint8_t, 4>; // blue, green, red, M

inline TPixel PixelAt(const TAbstractSuperDIB& image, std::int32_t x, std::int32_t y)
{
    const std::uint8_t* p = image.ScanLine(y) + x * 4;
    return TPixel{p[0], p[1], p[2], p[3]};
}

inline void SetPixel(TAbstractSuperDIB& image, std::int32_t x, std::int32_t y, TPixel pixel)
{
    std::uint8_t* p = image.ScanLine(y) + x * 4;
    for (int i = 0; i < 4; ++i)
    {
        p[i] = pixel[static_cast<std::size_t>(i)];
    }
}

inline void FillImage(TAbstractSuperDIB& image, std::int32_t width, std::int32_t height,
                      TPixel pixel)
{
    image.SetSize(width, height);
    for (std::int32_t y = 0; y < height; ++y)
    {
        for (std::int32_t x = 0; x < width; ++x)
        {
            SetPixel(image, x, y, pixel);
        }
    }
}

/// A strip of frames side by side; frame k is filled with blue = k x 4, green = 10 + k,
/// red = 200, mask 255.
inline void MakeStrip(TAbstractSuperDIB& image, std::int32_t frames, std::int32_t frameWidth,
                      std::int32_t height)
{
    image.SetSize(frames * frameWidth, height);
    for (std::int32_t y = 0; y < height; ++y)
    {
        for (std::int32_t x = 0; x < frames * frameWidth; ++x)
        {
            const auto k = static_cast<std::uint8_t>(x / frameWidth);
            SetPixel(image, x, y,
                     TPixel{static_cast<std::uint8_t>(k * 4), static_cast<std::uint8_t>(10 + k),
                            200, 255});
        }
    }
}

/// A form holding one headless container of the given size, with its window.
struct TContainerFixture
{
    explicit TContainerFixture(std::int32_t width = 200, std::int32_t height = 150)
        : Container(Platform, &Form, 0, TRect{0, 0, width, height})
    {
        Container.Color = MakeColor(1, 2, 3);
        Platform.DeliverPaints();
    }

    THeadlessWindow& Window() { return *Platform.LastWindow(); }
    TPixel Composed(std::int32_t x, std::int32_t y)
    {
        Container.Update();
        return PixelAt(Container.Composite(), x, y);
    }
    TPixel OnScreen(std::int32_t x, std::int32_t y)
    {
        const auto& screen = Window().Screen();
        const std::size_t at =
            (static_cast<std::size_t>(y) * static_cast<std::size_t>(Container.Width()) +
             static_cast<std::size_t>(x)) *
            4;
        return TPixel{screen[at], screen[at + 1], screen[at + 2], screen[at + 3]};
    }

    THeadlessPlatform Platform;
    TDIBComponent Form{nullptr};
    TDIBImageContainer Container;
    TDIBImageList Images;
};

} // namespace orvo::test
