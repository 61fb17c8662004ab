// The editor's ten images, drawn procedurally: the panel, the credits picture, the five
// mute buttons, the oversampling button and the knob and slider filmstrips. One look: a dark
// instrument panel with engraved legends, recessed slots and wells, and one warm accent for values.
#pragma once

#include "tools/artwork/uFont.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orvo::art
{

/// One finished image: straight R, G, B, A bytes, top-down; A becomes the mask byte M.
struct TArtImage
{
    std::string Name; // as the image list names it; also the file name
    int Width = 0;
    int Height = 0;
    bool Masked = false;
    int Frames = 1; // frames side by side (filmstrips and two-state buttons)
    std::vector<std::uint8_t> Rgba;
};

/// The two faces the artwork is set in.
struct TArtworkFonts
{
    std::unique_ptr<TFont> Regular;
    std::unique_ptr<TFont> Bold;

    /// Loads DejaVu Sans and DejaVu Sans Bold from `folder`.
    static TArtworkFonts Load(const std::string& folder);
};

/// Where the Debian package fonts-dejavu-core puts them.
inline constexpr const char* DefaultFontFolder = "/usr/share/fonts/truetype/dejavu";
/// The font files the artwork reads, relative to the font folder.
inline constexpr const char* RegularFontFile = "DejaVuSans.ttf";
inline constexpr const char* BoldFontFile = "DejaVuSans-Bold.ttf";

/// The sizes the images are drawn at, in per cent of the editor's 700 x 300.
inline constexpr int ArtworkScales[] = {100, 150, 200};

/// All ten images in image-list order: BackGround, Credits, Lo, LoMid, Mid, HiMid, Hi,
/// OverSample, Knob, Slider; drawn at `scale` (1, 1.5 or 2) from the same vector shapes.
/// At 150 % a frame of odd width (the slider's 49) is rounded to the even pixel.
std::vector<TArtImage> DrawArtwork(const TArtworkFonts& fonts, double scale = 1.0);

/// The file an image is stored in: "Knob.dibcmp" at 100 %, "Knob@150.dibcmp" and
/// "Knob@200.dibcmp" at the larger sizes.
std::string StoredFileName(std::string_view name, int percent);

/// The image as the editor stores it: a "DIBCMP" block packed with "DIB LZH" (the mask
/// kept for masked images, every M 255 for the others).
std::vector<std::uint8_t> StoredBlock(const TArtImage& image);

} // namespace orvo::art
