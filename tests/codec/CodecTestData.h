// Shared inputs of the codec tests: the stored test vectors and generated data.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace orvo::test
{

inline std::vector<std::uint8_t> ReadVector(const std::string& fileName)
{
    const std::filesystem::path path =
        std::filesystem::path(ORVO_SOURCE_DIR) / "tests" / "codec" / "vectors" / fileName;
    std::ifstream in(path, std::ios::binary);
    if (!in)
    {
        throw std::runtime_error("missing test vector " + path.string());
    }
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

/// xorshift32 (13, 17, 5): the generator the stored vectors were made with.
class TXorShift32
{
  public:
    explicit TXorShift32(std::uint32_t seed) : state(seed) {}
    std::uint32_t Next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }

  private:
    std::uint32_t state;
};

inline std::vector<std::uint8_t> RandomBytes(std::size_t size, std::uint32_t seed)
{
    TXorShift32 random(seed);
    std::vector<std::uint8_t> bytes(size);
    for (auto& b : bytes)
    {
        b = static_cast<std::uint8_t>(random.Next());
    }
    return bytes;
}

/// An uncompressed image block (width, height, bottom-up B G R M pixels) of a smooth
/// gradient with a transparent margin, like the editor's artwork.
inline std::vector<std::uint8_t> GradientBlock(std::uint16_t width, std::uint16_t height)
{
    std::vector<std::uint8_t> block{
        static_cast<std::uint8_t>(width), static_cast<std::uint8_t>(width >> 8),
        static_cast<std::uint8_t>(height), static_cast<std::uint8_t>(height >> 8)};
    block.reserve(4 + std::size_t{width} * height * 4);
    for (unsigned row = 0; row < height; ++row)
    {
        for (unsigned x = 0; x < width; ++x)
        {
            const bool margin = x < 3 || row < 3 || x + 3 >= width || row + 3 >= height;
            block.push_back(margin ? 0 : static_cast<std::uint8_t>(x * 255 / width));
            block.push_back(margin ? 0 : static_cast<std::uint8_t>(row * 255 / height));
            block.push_back(margin ? 0 : static_cast<std::uint8_t>((x + row) / 4));
            block.push_back(margin ? 0 : 255);
        }
    }
    return block;
}

} // namespace orvo::test
