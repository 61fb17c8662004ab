// Reading and writing PNG files as 8-bit RGBA pixels, for the tools and the tests.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace orvo
{

/// Pixels top row first, 4 bytes each: red, green, blue, alpha (not premultiplied).
struct TRGBAImage
{
    std::uint32_t Width = 0;
    std::uint32_t Height = 0;
    std::vector<std::uint8_t> Pixels;
};

/// A PNG that cannot be read or written; the text says why.
class EPNGError : public std::runtime_error
{
public:
    explicit EPNGError(const std::string& message) : std::runtime_error(message) {}
};

/// Largest image accepted when reading, in pixels per side and bytes in all.
inline constexpr std::uint32_t MaxPNGSide = 65535;
inline constexpr std::size_t MaxPNGBytes = std::size_t{1} << 30;

/// Decodes any PNG that libpng reads (palette, grey, grey with alpha, 1 to 16 bits,
/// interlaced or not) to 8-bit RGBA through libpng's own transforms; 16-bit samples are
/// scaled to 8 bits, no gamma correction is applied.
TRGBAImage DecodePNG(std::span<const std::uint8_t> bytes);
TRGBAImage ReadPNGFile(const std::filesystem::path& path);

/// Encodes an 8-bit RGBA PNG; Pixels must hold Width x Height x 4 bytes.
std::vector<std::uint8_t> EncodePNG(const TRGBAImage& image);
void WritePNGFile(const std::filesystem::path& path, const TRGBAImage& image);

} // namespace orvo
