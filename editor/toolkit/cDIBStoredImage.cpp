#include "editor/toolkit/cDIBStoredImage.h"

#include "editor/toolkit/EDIBError.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace orvo
{

namespace
{

constexpr std::size_t TagSize = 6;
constexpr std::size_t GUIDOffset = 6;
constexpr std::size_t SizeOffset = 22;
constexpr std::size_t ImageHeaderSize = 4; // width and height, 16-bit little-endian each

constexpr std::string_view NoDecompressorText = "Could not find a suitable decompressor.";

std::uint16_t ReadLE16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t ReadLE32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void AppendLE32(std::vector<std::uint8_t>& bytes, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
    {
        bytes.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

/// Width x height x 4 + 4, in 64 bits: up to about 16 GiB, which a 32-bit size_t would wrap.
std::uint64_t BlockSizeFor(std::uint16_t width, std::uint16_t height)
{
    return std::uint64_t{width} * height * 4 + ImageHeaderSize;
}

TStoredImage Defective(TStoredImageDefect reason, TStoredImageDefect* defect)
{
    if (defect)
    {
        *defect = reason;
    }
    return {};
}

/// Reads the image of an uncompressed block whose size is already known to suffice.
TStoredImage ImageFromBlock(std::span<const std::uint8_t> block)
{
    TStoredImage image;
    image.Width = ReadLE16(block.data());
    image.Height = ReadLE16(block.data() + 2);
    const auto pixelBytes =
        static_cast<std::size_t>(BlockSizeFor(image.Width, image.Height) - ImageHeaderSize);
    image.Pixels.assign(block.begin() + ImageHeaderSize,
                        block.begin() + static_cast<std::ptrdiff_t>(ImageHeaderSize + pixelBytes));
    return image;
}

} // namespace

std::string_view StoredImageDefectText(TStoredImageDefect defect)
{
    switch (defect)
    {
    case sdNone:
        return "no defect";
    case sdTooShort:
        return "the block is shorter than its image";
    case sdSizeTooLarge:
        return "the stated size is above 64 MiB";
    case sdSizeMismatch:
        return "the stated size does not match the image's width and height";
    case sdDataTruncated:
        return "the compressed data ends early";
    }
    return "unknown defect";
}

TStoredBlockHeader ReadStoredBlockHeader(std::span<const std::uint8_t> block)
{
    TStoredBlockHeader header;
    if (block.size() < StoredBlockHeaderSize ||
        std::memcmp(block.data(), StoredBlockTag.data(), TagSize) != 0)
    {
        return header;
    }
    header.Compressed = true;
    std::copy_n(block.data() + GUIDOffset, header.Compressor.Bytes.size(),
                header.Compressor.Bytes.begin());
    header.StatedSize = ReadLE32(block.data() + SizeOffset);
    return header;
}

TStoredImage ReadStoredImage(std::span<const std::uint8_t> block, TStoredImageDefect* defect)
{
    if (defect)
    {
        *defect = sdNone;
    }
    if (block.empty())
    {
        return {};
    }
    const TStoredBlockHeader header = ReadStoredBlockHeader(block);
    if (!header.Compressed)
    {
        // Bytes after the pixels are ignored, as a plain read of width, height and pixels
        // from the block would.
        if (block.size() < ImageHeaderSize ||
            block.size() < BlockSizeFor(ReadLE16(block.data()), ReadLE16(block.data() + 2)))
        {
            return Defective(sdTooShort, defect);
        }
        return ImageFromBlock(block);
    }

    const TAbstractDIBCompressor* compressor = FindDIBCompressor(header.Compressor);
    if (!compressor)
    {
        throw EDIBError(std::string(NoDecompressorText));
    }
    if (header.StatedSize > MaxUncompressedBlockSize)
    {
        return Defective(sdSizeTooLarge, defect);
    }
    if (header.StatedSize < ImageHeaderSize)
    {
        return Defective(sdSizeMismatch, defect);
    }
    const std::span<const std::uint8_t> data = block.subspan(StoredBlockHeaderSize);

    // Decode the width and height first, so that the full buffer is allocated only for a
    // size that the image itself confirms.
    std::array<std::uint8_t, ImageHeaderSize> imageHeader{};
    if (compressor->Decompress(data, imageHeader) < ImageHeaderSize)
    {
        return Defective(sdDataTruncated, defect);
    }
    if (BlockSizeFor(ReadLE16(&imageHeader[0]), ReadLE16(&imageHeader[2])) != header.StatedSize)
    {
        return Defective(sdSizeMismatch, defect);
    }
    // Decode the whole block into the pixel buffer, then drop its 4-byte image header in
    // place: one buffer of the stated size, no second copy.
    TStoredImage image;
    image.Pixels.resize(header.StatedSize);
    if (compressor->Decompress(data, image.Pixels) < image.Pixels.size())
    {
        return Defective(sdDataTruncated, defect);
    }
    image.Width = ReadLE16(&imageHeader[0]);
    image.Height = ReadLE16(&imageHeader[2]);
    image.Pixels.erase(image.Pixels.begin(), image.Pixels.begin() + ImageHeaderSize);
    return image;
}

std::vector<std::uint8_t> MakeUncompressedBlock(const TStoredImage& image)
{
    const std::uint64_t size = BlockSizeFor(image.Width, image.Height);
    if (size > MaxUncompressedBlockSize)
    {
        throw std::invalid_argument("image block above 64 MiB");
    }
    if (image.Pixels.size() != size - ImageHeaderSize)
    {
        throw std::invalid_argument("image pixels do not match its width and height");
    }
    std::vector<std::uint8_t> block;
    block.reserve(static_cast<std::size_t>(size));
    block.push_back(static_cast<std::uint8_t>(image.Width));
    block.push_back(static_cast<std::uint8_t>(image.Width >> 8));
    block.push_back(static_cast<std::uint8_t>(image.Height));
    block.push_back(static_cast<std::uint8_t>(image.Height >> 8));
    block.insert(block.end(), image.Pixels.begin(), image.Pixels.end());
    return block;
}

std::vector<std::uint8_t> WriteStoredImage(const TStoredImage& image, const TDIBSettings& settings)
{
    std::vector<std::uint8_t> block = MakeUncompressedBlock(image);
    const TAbstractDIBCompressor* compressor = settings.FindCompressor();
    if (!compressor)
    {
        return block;
    }
    std::vector<std::uint8_t> compressed;
    try
    {
        compressed = compressor->Compress(block);
    }
    catch (const EDIBError&)
    {
        return block; // the compressor gave up: store the block as it is
    }
    if (compressed.empty())
    {
        return block;
    }
    std::vector<std::uint8_t> stored;
    stored.reserve(StoredBlockHeaderSize + compressed.size());
    stored.insert(stored.end(), StoredBlockTag.begin(), StoredBlockTag.end());
    const TGUID guid = compressor->GetGUID();
    stored.insert(stored.end(), guid.Bytes.begin(), guid.Bytes.end());
    AppendLE32(stored, static_cast<std::uint32_t>(block.size()));
    stored.insert(stored.end(), compressed.begin(), compressed.end());
    return stored;
}

TStoredImage StoredImageFromRGBA(std::uint16_t width, std::uint16_t height,
                                 std::span<const std::uint8_t> rgba, bool keepMask)
{
    const std::size_t rowBytes = std::size_t{width} * 4;
    if (BlockSizeFor(width, height) > MaxUncompressedBlockSize)
    {
        throw std::invalid_argument("image block above 64 MiB");
    }
    if (rgba.size() != rowBytes * height)
    {
        throw std::invalid_argument("RGBA pixels do not match the width and height");
    }
    TStoredImage image;
    image.Width = width;
    image.Height = height;
    image.Pixels.resize(rgba.size());
    for (std::size_t y = 0; y < height; ++y)
    {
        const std::uint8_t* from = rgba.data() + y * rowBytes;
        std::uint8_t* to = image.Pixels.data() + (height - 1 - y) * rowBytes; // bottom-up
        for (std::size_t x = 0; x < width; ++x, from += 4, to += 4)
        {
            to[0] = from[2];
            to[1] = from[1];
            to[2] = from[0];
            to[3] = keepMask ? from[3] : 255;
        }
    }
    return image;
}

std::vector<std::uint8_t> StoredImageToRGBA(const TStoredImage& image)
{
    if (BlockSizeFor(image.Width, image.Height) > MaxUncompressedBlockSize ||
        image.Pixels.size() != std::size_t{image.Width} * image.Height * 4)
    {
        throw std::invalid_argument("image pixels do not match its width and height");
    }
    const std::size_t rowBytes = std::size_t{image.Width} * 4;
    std::vector<std::uint8_t> rgba(rowBytes * image.Height);
    for (std::size_t y = 0; y < image.Height; ++y)
    {
        const std::uint8_t* from = image.Pixels.data() + (image.Height - 1 - y) * rowBytes;
        std::uint8_t* to = rgba.data() + y * rowBytes;
        for (std::size_t x = 0; x < image.Width; ++x, from += 4, to += 4)
        {
            to[0] = from[2];
            to[1] = from[1];
            to[2] = from[0];
            to[3] = from[3];
        }
    }
    return rgba;
}

} // namespace orvo
