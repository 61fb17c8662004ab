#include "tools/png/PNGFile.h"

#include <png.h>

#include <fstream>
#include <iterator>

namespace orvo
{

namespace
{

std::string MessageOf(const png_image& image, const char* what)
{
    return std::string(what) + ": " + (image.message[0] != 0 ? image.message : "unknown error");
}

} // namespace

TRGBAImage DecodePNG(std::span<const std::uint8_t> bytes)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()) == 0)
    {
        throw EPNGError(MessageOf(image, "not a readable PNG"));
    }
    if (image.width == 0 || image.height == 0 || image.width > MaxPNGSide ||
        image.height > MaxPNGSide ||
        std::size_t{image.width} * image.height * 4 > MaxPNGBytes)
    {
        png_image_free(&image);
        throw EPNGError("PNG size out of range: " + std::to_string(image.width) + " x " +
                        std::to_string(image.height));
    }
    image.format = PNG_FORMAT_RGBA;
    TRGBAImage result;
    result.Width = image.width;
    result.Height = image.height;
    result.Pixels.resize(PNG_IMAGE_SIZE(image));
    // finish_read frees the reader's state whether it succeeds or not.
    if (png_image_finish_read(&image, nullptr, result.Pixels.data(), 0, nullptr) == 0)
    {
        throw EPNGError(MessageOf(image, "damaged PNG"));
    }
    return result;
}

TRGBAImage ReadPNGFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
    {
        throw EPNGError("cannot open " + path.string());
    }
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                          std::istreambuf_iterator<char>()};
    try
    {
        return DecodePNG(bytes);
    }
    catch (const EPNGError& error)
    {
        throw EPNGError(path.string() + ": " + error.what());
    }
}

std::vector<std::uint8_t> EncodePNG(const TRGBAImage& image)
{
    if (image.Width == 0 || image.Height == 0 ||
        image.Pixels.size() != std::size_t{image.Width} * image.Height * 4)
    {
        throw EPNGError("RGBA pixels do not match the image size");
    }
    png_image header{};
    header.version = PNG_IMAGE_VERSION;
    header.width = image.Width;
    header.height = image.Height;
    header.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    if (png_image_write_get_memory_size(header, size, 0, image.Pixels.data(), 0, nullptr) == 0)
    {
        throw EPNGError(MessageOf(header, "cannot encode PNG"));
    }
    std::vector<std::uint8_t> bytes(size);
    if (png_image_write_to_memory(&header, bytes.data(), &size, 0, image.Pixels.data(), 0,
                                  nullptr) == 0)
    {
        throw EPNGError(MessageOf(header, "cannot encode PNG"));
    }
    bytes.resize(size);
    return bytes;
}

void WritePNGFile(const std::filesystem::path& path, const TRGBAImage& image)
{
    const std::vector<std::uint8_t> bytes = EncodePNG(image);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
    {
        throw EPNGError("cannot write " + path.string());
    }
}

} // namespace orvo
