// Stored image blocks: reading an image from its stored bytes and writing it back.
//
// A stored block is either compressed: "DIBCMP", the compressor's 16-byte identifier, the
// size of the uncompressed block (unsigned 32-bit little-endian) and the compressor's
// output; or it is the uncompressed block itself: width and height (unsigned 16-bit
// little-endian each), then width x height x 4 pixel bytes, bottom row first, each pixel
// blue, green, red, M (mask: 255 opaque, 0 transparent).
#pragma once

#include "editor/toolkit/cDIBCompressor.h"
#include "editor/toolkit/cDIBSettings.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace orvo
{

/// An image as stored: Width x Height x 4 bytes, rows bottom-up, pixels B G R M.
struct TStoredImage
{
    std::uint16_t Width = 0;
    std::uint16_t Height = 0;
    std::vector<std::uint8_t> Pixels;

    bool Empty() const { return Width == 0 || Height == 0; }
};

inline constexpr std::string_view StoredBlockTag = "DIBCMP";
inline constexpr std::size_t StoredBlockHeaderSize = 26; // tag, identifier, size
/// The largest uncompressed block a reader accepts (and a writer produces): 64 MiB.
inline constexpr std::size_t MaxUncompressedBlockSize = std::size_t{64} << 20;

/// Why a block was read as an empty image.
enum TStoredImageDefect : std::uint8_t
{
    sdNone,          // read as it is (an empty block gives an empty image without a defect)
    sdTooShort,      // fewer than 4 bytes, or fewer pixel bytes than width x height x 4
    sdSizeTooLarge,  // the stated uncompressed size is above 64 MiB
    sdSizeMismatch,  // the stated size is not width x height x 4 + 4
    sdDataTruncated, // the compressed data ends before the stated size is complete
};
std::string_view StoredImageDefectText(TStoredImageDefect defect);

/// What a block's first bytes say about it, without decoding anything.
struct TStoredBlockHeader
{
    bool Compressed = false;      // begins with "DIBCMP" and holds the full 26-byte header
    TGUID Compressor;             // when Compressed
    std::uint32_t StatedSize = 0; // when Compressed: the uncompressed block's size
};
TStoredBlockHeader ReadStoredBlockHeader(std::span<const std::uint8_t> block);

/// Reads an image from its stored block. An empty block gives an empty image. A block that
/// is damaged (see TStoredImageDefect) also gives an empty image and reports why through
/// `defect`. Never reads outside `block` and never allocates more than the uncompressed
/// size that the block states, after checking it against the image's own width and height.
/// Throws EDIBError "Could not find a suitable decompressor." when the block names a
/// compressor that is not registered, and the compressor's EDIBError when it fails.
TStoredImage ReadStoredImage(std::span<const std::uint8_t> block,
                             TStoredImageDefect* defect = nullptr);

/// The uncompressed block of an image: width, height, pixels.
std::vector<std::uint8_t> MakeUncompressedBlock(const TStoredImage& image);

/// Stores an image with the compressor that `settings` names: the compressed form when the
/// compressor produces one, otherwise (no such compressor, or it gave up with EDIBError)
/// the uncompressed block. Throws std::invalid_argument when Pixels does not hold exactly
/// Width x Height x 4 bytes or the block would exceed MaxUncompressedBlockSize.
std::vector<std::uint8_t> WriteStoredImage(const TStoredImage& image,
                                           const TDIBSettings& settings = TDIBSettings());

/// Converts top-down R G B A pixels (A = mask) to a stored image; with `keepMask` false
/// every M becomes 255. `rgba` must hold width x height x 4 bytes, and the block may not
/// exceed MaxUncompressedBlockSize (std::invalid_argument otherwise).
TStoredImage StoredImageFromRGBA(std::uint16_t width, std::uint16_t height,
                                 std::span<const std::uint8_t> rgba, bool keepMask = true);
/// The image's pixels as top-down R G B A with A = M.
std::vector<std::uint8_t> StoredImageToRGBA(const TStoredImage& image);

} // namespace orvo
