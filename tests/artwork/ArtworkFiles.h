// Reading the committed stored images in the artwork tests.
#pragma once

#include "editor/toolkit/cDIBStoredImage.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace orvo::test
{

inline std::filesystem::path StoredImagePath(const std::string& name)
{
    return std::filesystem::path(ORVO_SOURCE_DIR) / "resources" / "images" / (name + ".dibcmp");
}

inline std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

/// A committed image, decoded, with top-down access to its pixels (B, G, R, M).
struct TDecoded
{
    TStoredImage Image;

    static TDecoded Load(const std::string& name)
    {
        return {ReadStoredImage(ReadBytes(StoredImagePath(name)))};
    }
    const std::uint8_t* At(int x, int y) const
    {
        const int row = Image.Height - 1 - y;
        return Image.Pixels.data() + (static_cast<std::size_t>(row) * Image.Width + x) * 4;
    }
};

} // namespace orvo::test
