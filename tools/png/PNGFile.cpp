#include "tools/png/PNGFile.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
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

/// The reader's input and its first error. libpng reports errors through OnError, which
/// jumps back to the setjmp of ReadHeader or ReadRows; those two functions hold no C++
/// objects, so the jump skips no destructor.
struct TPNGInput
{
    std::span<const std::uint8_t> Bytes;
    std::size_t Offset = 0;
    char Error[200] = {};
};

extern "C" void OnError(png_structp png, png_const_charp message)
{
    auto* input = static_cast<TPNGInput*>(png_get_error_ptr(png));
    std::snprintf(input->Error, sizeof input->Error, "%s", message);
    png_longjmp(png, 1);
}

extern "C" void OnWarning(png_structp, png_const_charp)
{
}

extern "C" void ReadBytes(png_structp png, png_bytep to, png_size_t count)
{
    auto* input = static_cast<TPNGInput*>(png_get_io_ptr(png));
    if (count > input->Bytes.size() - input->Offset)
    {
        png_error(png, "the file ends early");
    }
    std::memcpy(to, input->Bytes.data() + input->Offset, count);
    input->Offset += count;
}

/// Reads the header and sets up libpng's transforms to 8-bit RGBA: palette and grey
/// expanded, 16-bit samples scaled to 8 bits, transparency as alpha, an opaque alpha
/// added where there is none, interlaced passes combined. False on an error.
bool ReadHeader(png_structp png, png_infop info, png_uint_32* width, png_uint_32* height)
{
    if (setjmp(png_jmpbuf(png)))
    {
        return false;
    }
    png_read_info(png, info);
    *width = png_get_image_width(png, info);
    *height = png_get_image_height(png, info);
    const int colour = png_get_color_type(png, info);
    png_set_expand(png);
    png_set_scale_16(png);
    if (colour == PNG_COLOR_TYPE_GRAY || colour == PNG_COLOR_TYPE_GRAY_ALPHA)
    {
        png_set_gray_to_rgb(png);
    }
    if ((colour & PNG_COLOR_MASK_ALPHA) == 0)
    {
        png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    }
    static_cast<void>(png_set_interlace_handling(png));
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != std::size_t{*width} * 4)
    {
        png_error(png, "unexpected row layout after conversion to RGBA");
    }
    return true;
}

bool ReadRows(png_structp png, png_infop info, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(png)))
    {
        return false;
    }
    png_read_image(png, rows);
    png_read_end(png, info);
    return true;
}

/// Owns libpng's read state.
class TPNGReader
{
  public:
    explicit TPNGReader(TPNGInput& input)
    {
        FPng = png_create_read_struct(PNG_LIBPNG_VER_STRING, &input, OnError, OnWarning);
        FInfo = FPng != nullptr ? png_create_info_struct(FPng) : nullptr;
        if (FInfo == nullptr)
        {
            throw EPNGError("not a readable PNG: out of memory");
        }
        png_set_read_fn(FPng, &input, ReadBytes);
    }
    ~TPNGReader() { png_destroy_read_struct(&FPng, &FInfo, nullptr); }
    TPNGReader(const TPNGReader&) = delete;
    TPNGReader& operator=(const TPNGReader&) = delete;

    png_structp Png() const { return FPng; }
    png_infop Info() const { return FInfo; }

  private:
    png_structp FPng = nullptr;
    png_infop FInfo = nullptr;
};

} // namespace

TRGBAImage DecodePNG(std::span<const std::uint8_t> bytes, const TPNGLimits& limits)
{
    constexpr std::size_t SignatureSize = 8;
    if (bytes.size() < SignatureSize || png_sig_cmp(bytes.data(), 0, SignatureSize) != 0)
    {
        throw EPNGError("not a readable PNG: no PNG signature");
    }
    TPNGInput input;
    input.Bytes = bytes;
    TPNGReader reader(input);
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    if (!ReadHeader(reader.Png(), reader.Info(), &width, &height))
    {
        throw EPNGError(std::string("not a readable PNG: ") + input.Error);
    }
    if (width == 0 || height == 0)
    {
        throw EPNGError("PNG size out of range: " + std::to_string(width) + " x " +
                        std::to_string(height));
    }
    if (width > std::min(limits.Side, MaxPNGSide) || height > std::min(limits.Side, MaxPNGSide) ||
        std::size_t{width} * height * 4 > std::min(limits.Bytes, MaxPNGBytes))
    {
        throw EPNGTooLarge("PNG too large: " + std::to_string(width) + " x " +
                           std::to_string(height));
    }
    TRGBAImage result;
    result.Width = width;
    result.Height = height;
    result.Pixels.resize(std::size_t{width} * height * 4);
    std::vector<png_bytep> rows(height);
    for (std::size_t y = 0; y < height; ++y)
    {
        rows[y] = result.Pixels.data() + y * width * 4;
    }
    if (!ReadRows(reader.Png(), reader.Info(), rows.data()))
    {
        throw EPNGError(std::string("damaged PNG: ") + input.Error);
    }
    return result;
}

TRGBAImage ReadPNGFile(const std::filesystem::path& path, const TPNGLimits& limits)
{
    if (std::error_code ec; std::filesystem::is_directory(path, ec))
    {
        throw EPNGError(path.string() + " is a folder, not a PNG file");
    }
    std::ifstream in(path, std::ios::binary);
    if (!in)
    {
        throw EPNGError("cannot open " + path.string());
    }
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                          std::istreambuf_iterator<char>()};
    try
    {
        return DecodePNG(bytes, limits);
    }
    catch (const EPNGTooLarge& error)
    {
        throw EPNGTooLarge(path.string() + ": " + error.what());
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
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
    {
        throw EPNGError("cannot write " + path.string());
    }
}

} // namespace orvo
