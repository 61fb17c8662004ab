// Images of the toolkit: 32-bit pixels stored bottom-up (blue, green, red, M, where M is
// the mask byte, 255 opaque), drawn into one another with one of four blend routines in
// 8-bit integer arithmetic, through the destination's clip rectangle.
#pragma once

#include "platform/ui/IUITextRenderer.h"
#include "platform/ui/UIGeometry.h"
#include "platform/ui/UIPixels.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace orvo
{

using TColor = TUIColor;

enum TTransparentMode : std::uint8_t
{
    tmAuto,
    tmFixed
};

/// Blends count pixels of a source row into a destination row.
using TBlendRoutine = void (*)(std::uint8_t* destination, const std::uint8_t* source,
                               std::int32_t count, std::uint8_t opacity);

class TAbstractSuperDIB
{
  public:
    static constexpr std::int32_t MaxSide = 65535;

    TAbstractSuperDIB();
    virtual ~TAbstractSuperDIB() = default;
    TAbstractSuperDIB(const TAbstractSuperDIB&) = delete;
    TAbstractSuperDIB& operator=(const TAbstractSuperDIB&) = delete;

    std::uint16_t Width() const { return FWidth; }
    std::uint16_t Height() const { return FHeight; }
    bool Empty() const { return FWidth == 0 || FHeight == 0; }
    TRect BoundsRect() const { return TRect{0, 0, FWidth, FHeight}; }

    /// Sizes the image (each side clamped to 0..65535) with pixels of its own and resets
    /// the clip rectangle. Keeps the pixels when the size is unchanged and the buffer is
    /// owned and not shared; otherwise the new pixels are all zero.
    void SetSize(std::int32_t width, std::int32_t height);
    /// Takes width x height pixels in memory order (bottom row first); pixels must hold
    /// exactly width x height x 4 bytes, otherwise the image is left empty.
    void Assign(std::int32_t width, std::int32_t height, std::span<const std::uint8_t> pixels);
    /// Takes pixels (width x height x 4 bytes, bottom row first) without copying them;
    /// a wrong byte count leaves the image empty.
    void Assign(std::int32_t width, std::int32_t height, std::vector<std::uint8_t>&& pixels);
    /// Reads the image from its stored block ("DIBCMP" compressed, or uncompressed). An
    /// empty or damaged block leaves the image empty. Throws EDIBError "Could not find a
    /// suitable decompressor." for an unknown compressor, and the coder's errors.
    void LoadFromStoredData(std::span<const std::uint8_t> block);
    /// Uses other's pixel buffer (no copy) and its drawing attributes. A later SetSize on
    /// either image gives that image a buffer of its own; the other keeps the old pixels.
    void ShareFrom(const TAbstractSuperDIB& other);
    bool OwnsPixels() const { return FOwnsPixels; }
    /// Copies Masked, Opacity and the colour-key settings of other.
    void AssignAttributes(const TAbstractSuperDIB& other);

    bool Masked() const { return FMasked; }
    void SetMasked(bool masked);
    std::uint8_t Opacity() const { return FOpacity; }
    void SetOpacity(std::uint8_t opacity);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool transparent);
    TColor TransparentColor() const { return FTransparentColor; }
    void SetTransparentColor(TColor colour) { FTransparentColor = colour; }
    TTransparentMode TransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode mode) { FTransparentMode = mode; }

    /// The part of the image that drawing into it may change; kept inside the image.
    TRect ClipRect() const { return FClipRect; }
    void SetClipRect(const TRect& clip);
    void ResetClipRect() { FClipRect = BoundsRect(); }

    /// Draws the part (sourceX, sourceY, width, height) of this image at (x, y) of
    /// destination with this image's blend routine, clipped to the destination's clip
    /// rectangle and to both images.
    void Draw(TAbstractSuperDIB& destination, std::int32_t x, std::int32_t y, std::int32_t sourceX,
              std::int32_t sourceY, std::int32_t width, std::int32_t height) const;
    void Draw(TAbstractSuperDIB& destination, std::int32_t x, std::int32_t y) const
    {
        Draw(destination, x, y, 0, 0, FWidth, FHeight);
    }

    /// Sets every pixel of rect (clipped to the clip rectangle) to colour with mask 255.
    void Fill(const TRect& rect, TColor colour);

    /// Row y counted from the top; y must lie inside the image.
    std::uint8_t* ScanLine(std::int32_t y);
    const std::uint8_t* ScanLine(std::int32_t y) const;
    /// The pixels in memory order (bottom row first), Width x Height x 4 bytes.
    std::span<std::uint8_t> Pixels();
    std::span<const std::uint8_t> Pixels() const;
    /// A top-down view of the pixels for the window system.
    TPixelView View();

    /// Counts the draws and fills into this image.
    std::uint32_t ChangeCount() const { return FChangeCount; }

  protected:
    virtual void Changed() { ++FChangeCount; }

  private:
    void ChooseBlendRoutine();
    std::size_t RowBytes() const { return static_cast<std::size_t>(FWidth) * 4; }

    std::shared_ptr<std::vector<std::uint8_t>> FBuffer;
    std::uint8_t* FBits = nullptr;
    std::uint16_t FWidth = 0;
    std::uint16_t FHeight = 0;
    bool FOwnsPixels = true;
    bool FMasked = false;
    std::uint8_t FOpacity = 255;
    bool FTransparent = false;
    TColor FTransparentColor = 0;
    TTransparentMode FTransparentMode = tmAuto;
    TRect FClipRect;
    TBlendRoutine FBlend = nullptr;
    std::uint32_t FChangeCount = 0;
};

/// An image that holds stored pixels (image lists, temporary frames).
class TMemoryDIB : public TAbstractSuperDIB
{
};

/// An image that a window or control paints into; it can also receive text.
class TWinDIB : public TAbstractSuperDIB
{
  public:
    void SetTextRenderer(IUITextRenderer* renderer) { FTextRenderer = renderer; }
    IUITextRenderer* TextRenderer() const { return FTextRenderer; }

    /// Draws text in box, clipped to the clip rectangle; nothing without a renderer.
    void DrawText(const TRect& box, std::string_view text, const TUIFont& font, TColor colour,
                  const TTextFormat& format);
    TSize MeasureText(std::string_view text, const TUIFont& font, const TTextFormat& format,
                      std::int32_t maxWidth) const;

  private:
    IUITextRenderer* FTextRenderer = nullptr;
};

} // namespace orvo
