// The standard compressor of stored images, "DIB LZH": an LZHUF stream (LZHUF, 1988:
// LZSS over a 4096-byte ring with adaptive Huffman coding of 314 symbols), preceded by the
// length of the uncompressed data as unsigned 32-bit little-endian.
#pragma once

#include "editor/toolkit/cDIBCompressor.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace orvo
{

/// {BC0C10FC-E045-41E7-A37C-B86AF21320B8}, the identifier of "DIB LZH", as stored.
inline constexpr TGUID LZHDIBCompressorGUID{{0xFC, 0x10, 0x0C, 0xBC, 0x45, 0xE0, 0xE7, 0x41, 0xA3,
                                             0x7C, 0xB8, 0x6A, 0xF2, 0x13, 0x20, 0xB8}};
inline constexpr std::string_view LZHDIBCompressorGUIDText =
    "{BC0C10FC-E045-41E7-A37C-B86AF21320B8}";

inline constexpr std::string_view LZHOutputTooLargeText =
    "Compressed file is larger than the original.";
inline constexpr std::string_view LZHNoMemoryText = "LZH : Cannot get memory for dictionary tables";

/// Encodes `input` as an LZHUF stream. Every Huffman code is written in full, however long.
/// Returns nullopt as soon as the stream would grow beyond `maxOutputSize` bytes. Inputs of
/// 4 GiB or more cannot be described by the length prefix and throw std::length_error.
std::optional<std::vector<std::uint8_t>> LZHEncode(std::span<const std::uint8_t> input,
                                                   std::size_t maxOutputSize = SIZE_MAX);

/// The uncompressed length that an LZHUF stream states in its first 4 bytes (missing bytes
/// read as zero, as every bit beyond the end of a stream does).
std::uint32_t LZHStatedLength(std::span<const std::uint8_t> stream);

/// Decodes an LZHUF stream into `output` until the stream's stated length has been
/// produced or `output` is full, whichever comes first; a final match is cut at the end of
/// `output`. Bits beyond the end of `stream` read as zeros. Returns the bytes produced.
/// `complete`, when given, receives how many of them were decoded before the first symbol
/// that needed bits beyond the end of `stream`: the return value for a whole stream, fewer
/// for one that ends early.
/// Throws EDIBError(LZHNoMemoryText) when the decoder's tables cannot be allocated.
std::size_t LZHDecode(std::span<const std::uint8_t> stream, std::span<std::uint8_t> output,
                      std::size_t* complete = nullptr);

/// "DIB LZH": the block compressed with LZHEncode. Decompress counts only the bytes that the
/// stream's own bits describe, so a stream cut short fills less than its block. Gives up with
/// "Compressed file is larger than the original." when the stream would be longer than the block.
class TLZHDIBCompressor final : public TAbstractDIBCompressor
{
  public:
    TGUID GetGUID() const override { return LZHDIBCompressorGUID; }
    std::string_view GetName() const override { return "DIB LZH"; }
    std::string_view GetDescription() const override
    {
        return "LZSS with adaptive Huffman coding (LZHUF)";
    }
    std::vector<std::uint8_t> Compress(std::span<const std::uint8_t> block) const override;
    std::size_t Decompress(std::span<const std::uint8_t> data,
                           std::span<std::uint8_t> block) const override;
};

/// Registers the standard compressors; called once by the registry itself.
void RegisterStandardDIBCompressors(std::vector<std::unique_ptr<TAbstractDIBCompressor>>& registry);

} // namespace orvo
