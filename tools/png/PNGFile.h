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

/// A PNG whose header states a size beyond the reader's limits: refused before its
/// pixels are decoded.
class EPNGTooLarge : public EPNGError
{
  public:
    using EPNGError::EPNGError;
};

/// Largest image accepted when reading, in pixels per side and bytes in all.
inline constexpr std::uint32_t MaxPNGSide = 65535;
inline constexpr std::size_t MaxPNGBytes = std::size_t{1} << 30;

/// Limits a reader puts on an image: pixels per side and bytes of RGBA in all.
struct TPNGLimits
{
    std::uint32_t Side = MaxPNGSide;
    std::size_t Bytes = MaxPNGBytes;
};

/// Decodes any PNG that libpng reads (palette, grey, grey with alpha, 1 to 16 bits,
/// interlaced or not) to 8-bit RGBA through libpng's own transforms; 16-bit samples are
/// scaled to 8 bits, no gamma correction is applied. A size beyond limits (stated in
/// the header) throws EPNGTooLarge before anything is allocated for the pixels.
TRGBAImage DecodePNG(std::span<const std::uint8_t> bytes, const TPNGLimits& limits = {});
TRGBAImage ReadPNGFile(const std::filesystem::path& path, const TPNGLimits& limits = {});

/// Encodes an 8-bit RGBA PNG; Pixels must hold Width x Height x 4 bytes.
std::vector<std::uint8_t> EncodePNG(const TRGBAImage& image);
void WritePNGFile(const std::filesystem::path& path, const TRGBAImage& image);

} // namespace orvo
