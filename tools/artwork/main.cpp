// orvo-artwork: draws the editor's ten images at 100, 150 and 200 % and writes them as
// stored blocks (resources/images/<Name>.dibcmp, <Name>@150.dibcmp, <Name>@200.dibcmp),
// and on request PNG previews of every image and of the
// composed editor in a few states.
//
//   orvo-artwork [--images DIR] [--preview DIR] [--fonts DIR]
#include "tools/artwork/uArtwork.h"
#include "tools/artwork/uLayout.h"
#include "tools/artwork/uPreview.h"
#include "tools/png/PNGFile.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace
{

void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out)
    {
        throw std::runtime_error("cannot write " + path.string());
    }
}

void WritePNG(const std::filesystem::path& path, int width, int height,
              std::vector<std::uint8_t> rgba)
{
    orvo::TRGBAImage image;
    image.Width = static_cast<std::uint32_t>(width);
    image.Height = static_cast<std::uint32_t>(height);
    image.Pixels = std::move(rgba);
    orvo::WritePNGFile(path, image);
}

/// The usage text: on standard output with status 0 when asked for, else on the error
/// stream with status 2.
int Usage(bool asked = false)
{
    std::fputs("usage: orvo-artwork [--images DIR] [--preview DIR] [--fonts DIR]\n"
               "  --images DIR   write the stored images at each size (<Name>[@150|@200].dibcmp)\n"
               "  --preview DIR  write PNGs of every image and of the composed editor into DIR\n"
               "  --fonts DIR    folder holding DejaVuSans.ttf and DejaVuSans-Bold.ttf\n"
               "  --help         show this text\n",
               asked ? stdout : stderr);
    return asked ? 0 : 2;
}

} // namespace

int main(int argc, char** argv)
{
    std::string imageFolder;
    std::string previewFolder;
    std::string fontFolder = orvo::art::DefaultFontFolder;
    for (int i = 1; i < argc; ++i)
    {
        const std::string_view option = argv[i];
        if (option == "--help" || option == "-h")
        {
            return Usage(true);
        }
        if (i + 1 >= argc)
        {
            return Usage();
        }
        if (option == "--images")
        {
            imageFolder = argv[++i];
        }
        else if (option == "--preview")
        {
            previewFolder = argv[++i];
        }
        else if (option == "--fonts")
        {
            fontFolder = argv[++i];
        }
        else
        {
            return Usage();
        }
    }
    if (imageFolder.empty() && previewFolder.empty())
    {
        return Usage();
    }
    try
    {
        const auto fonts = orvo::art::TArtworkFonts::Load(fontFolder);
        const auto images = orvo::art::DrawArtwork(fonts);
        if (!imageFolder.empty())
        {
            std::filesystem::create_directories(imageFolder);
            for (const int percent : orvo::art::ArtworkScales)
            {
                const auto scaled =
                    percent == 100 ? images : orvo::art::DrawArtwork(fonts, percent / 100.0);
                for (const auto& image : scaled)
                {
                    const auto block = orvo::art::StoredBlock(image);
                    const std::string file = orvo::art::StoredFileName(image.Name, percent);
                    WriteFile(std::filesystem::path(imageFolder) / file, block);
                    std::printf("%-20s %4d x %3d  %2d frame(s)  %7zu bytes\n", file.c_str(),
                                image.Width, image.Height, image.Frames, block.size());
                }
            }
        }
        if (!previewFolder.empty())
        {
            std::filesystem::create_directories(previewFolder);
            for (const auto& image : images)
            {
                WritePNG(std::filesystem::path(previewFolder) / (image.Name + ".png"), image.Width,
                         image.Height, image.Rgba);
            }
            // Every image at the larger sizes, to review them at their size.
            for (const int percent : orvo::art::ArtworkScales)
            {
                if (percent == 100)
                {
                    continue;
                }
                const std::string suffix = "@" + std::to_string(percent) + ".png";
                for (const auto& image : orvo::art::DrawArtwork(fonts, percent / 100.0))
                {
                    WritePNG(std::filesystem::path(previewFolder) / (image.Name + suffix),
                             image.Width, image.Height, image.Rgba);
                }
            }
            for (const auto& [name, state] : orvo::art::PreviewStates())
            {
                const auto editor = orvo::art::ComposeEditor(images, fonts, state);
                WritePNG(std::filesystem::path(previewFolder) / (name + ".png"),
                         orvo::art::EditorWidth, orvo::art::EditorHeight, editor);
                // The left, middle and right thirds enlarged three times, for close review.
                for (int third = 0; third < 3; ++third)
                {
                    const int width = orvo::art::EditorWidth / 3 + 1;
                    WritePNG(std::filesystem::path(previewFolder) /
                                 (name + "-x3-" + std::to_string(third) + ".png"),
                             width * 3, orvo::art::EditorHeight * 3,
                             orvo::art::Magnify(editor, orvo::art::EditorWidth, third * (width - 1),
                                                0, width, orvo::art::EditorHeight, 3));
                }
            }
        }
    }
    catch (const std::exception& error)
    {
        std::fprintf(stderr, "orvo-artwork: %s\n", error.what());
        return 1;
    }
    return 0;
}
