#include "tools/dib/DIBTool.h"

#include "editor/toolkit/EDIBError.h"
#include "editor/toolkit/cDIBStoredImage.h"
#include "tools/png/PNGFile.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "uOrvoVersion.h"

namespace orvo
{

namespace
{

constexpr const char* Usage = "usage: orvo-dib pack IN.png OUT.dibcmp [--no-mask]\n"
                              "       orvo-dib unpack IN.dibcmp OUT.png\n"
                              "       orvo-dib info FILE\n"
                              "       orvo-dib --help | --version\n";

/// A failure that ends the command with status 1 and its text on the error stream.
class EToolError : public std::runtime_error
{
  public:
    using std::runtime_error::runtime_error;
};

std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& path)
{
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
    {
        throw EToolError(path.string() + " is a folder, not a file");
    }
    std::ifstream in(path, std::ios::binary);
    if (!in)
    {
        throw EToolError("cannot open " + path.string());
    }
    std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                    std::istreambuf_iterator<char>()};
    if (bytes.empty())
    {
        throw EToolError(path.string() + " is empty");
    }
    return bytes;
}

void WriteFileBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
    {
        throw EToolError("cannot write " + path.string());
    }
}

std::string CompressorName(const TGUID& guid)
{
    const TAbstractDIBCompressor* compressor = FindDIBCompressor(guid);
    return compressor ? std::string(compressor->GetName()) : std::string("unregistered");
}

/// A file that is no stored image at all, though it could be read as an uncompressed one.
void RefuseOtherFiles(const std::filesystem::path& path, const std::vector<std::uint8_t>& block)
{
    constexpr std::uint8_t PNGSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (block.size() >= sizeof PNGSignature &&
        std::equal(std::begin(PNGSignature), std::end(PNGSignature), block.begin()))
    {
        throw EToolError(path.string() +
                         ": a PNG file, not a stored image (orvo-dib pack makes one from it)");
    }
}

/// Reads a stored block, turning a damaged one into an error that says why.
TStoredImage ReadBlockOrFail(const std::filesystem::path& path,
                             const std::vector<std::uint8_t>& block)
{
    RefuseOtherFiles(path, block);
    TStoredImageDefect defect = sdNone;
    TStoredImage image = ReadStoredImage(block, &defect);
    if (defect != sdNone)
    {
        throw EToolError(path.string() +
                         ": damaged image block: " + std::string(StoredImageDefectText(defect)));
    }
    return image;
}

int Pack(const std::filesystem::path& in, const std::filesystem::path& out, bool keepMask,
         std::ostream& log)
{
    if (std::error_code ec; std::filesystem::is_directory(out, ec))
    {
        throw EToolError(out.string() + " is a folder; give a file name");
    }
    // Refused from the PNG's header, before its pixels are decoded.
    const TPNGLimits limits{0xFFFF, MaxUncompressedBlockSize - 4};
    TRGBAImage png;
    try
    {
        png = ReadPNGFile(in, limits);
    }
    catch (const EPNGTooLarge&)
    {
        throw EToolError(in.string() + ": too large for a stored image (at most 64 MiB)");
    }
    const TStoredImage image =
        StoredImageFromRGBA(static_cast<std::uint16_t>(png.Width),
                            static_cast<std::uint16_t>(png.Height), png.Pixels, keepMask);
    const std::vector<std::uint8_t> block = WriteStoredImage(image);
    WriteFileBytes(out, block);
    const TStoredBlockHeader header = ReadStoredBlockHeader(block);
    log << out.string() << ": " << image.Width << " x " << image.Height << ", " << block.size()
        << " bytes, "
        << (header.Compressed ? "compressed with " + CompressorName(header.Compressor)
                              : std::string("stored uncompressed"))
        << (keepMask ? "" : ", mask cleared") << "\n";
    return 0;
}

int Unpack(const std::filesystem::path& in, const std::filesystem::path& out, std::ostream& log)
{
    if (std::error_code ec; std::filesystem::is_directory(out, ec))
    {
        throw EToolError(out.string() + " is a folder; give a file name");
    }
    const TStoredImage image = ReadBlockOrFail(in, ReadFileBytes(in));
    if (image.Empty())
    {
        throw EToolError(in.string() + ": holds an empty image, which a PNG cannot store");
    }
    TRGBAImage png;
    png.Width = image.Width;
    png.Height = image.Height;
    png.Pixels = StoredImageToRGBA(image);
    WritePNGFile(out, png);
    log << out.string() << ": " << image.Width << " x " << image.Height << "\n";
    return 0;
}

int Info(const std::filesystem::path& path, std::ostream& log)
{
    const std::vector<std::uint8_t> block = ReadFileBytes(path);
    RefuseOtherFiles(path, block);
    const TStoredBlockHeader header = ReadStoredBlockHeader(block);
    log << "file: " << path.string() << "\n";
    log << "block: " << block.size() << " bytes\n";
    if (header.Compressed)
    {
        log << "compressor: " << CompressorName(header.Compressor) << " "
            << GUIDToText(header.Compressor) << "\n";
        log << "uncompressed size: " << header.StatedSize << " bytes\n";
        if (!FindDIBCompressor(header.Compressor))
        {
            return 0;
        }
    }
    else
    {
        log << "compressor: none (uncompressed block)\n";
    }
    const TStoredImage image = ReadBlockOrFail(path, block);
    log << "image: " << image.Width << " x " << image.Height << "\n";
    const std::size_t pixels = std::size_t{image.Width} * image.Height;
    std::size_t clear = 0;
    std::size_t partial = 0;
    for (std::size_t i = 3; i < image.Pixels.size(); i += 4)
    {
        clear += image.Pixels[i] == 0 ? 1 : 0;
        partial += image.Pixels[i] != 0 && image.Pixels[i] != 255 ? 1 : 0;
    }
    log << "mask: " << (pixels - clear - partial) << " opaque, " << partial << " partial, " << clear
        << " transparent pixels\n";
    return 0;
}

} // namespace

int RunDIBTool(std::span<const std::string> args, std::ostream& out, std::ostream& err)
{
    std::vector<std::string> operands;
    bool keepMask = true;
    for (const std::string& arg : args)
    {
        if (arg == "--help" || arg == "-h")
        {
            out << Usage;
            return 0;
        }
        if (arg == "--version")
        {
            out << "orvo-dib " << OrvoVersion << "\n";
            return 0;
        }
        if (arg == "--no-mask")
        {
            keepMask = false;
        }
        else
        {
            operands.push_back(arg);
        }
    }
    const std::string command = operands.empty() ? std::string() : operands.front();
    const bool maskOptionAllowed = keepMask || command == "pack";
    try
    {
        if (command == "pack" && operands.size() == 3)
        {
            return Pack(operands[1], operands[2], keepMask, err);
        }
        if (command == "unpack" && operands.size() == 3 && maskOptionAllowed)
        {
            return Unpack(operands[1], operands[2], err);
        }
        if (command == "info" && operands.size() == 2 && maskOptionAllowed)
        {
            return Info(operands[1], out);
        }
    }
    catch (const EToolError& error)
    {
        err << "orvo-dib: " << error.what() << "\n";
        return 1;
    }
    catch (const EPNGError& error)
    {
        err << "orvo-dib: " << error.what() << "\n";
        return 1;
    }
    catch (const EDIBError& error)
    {
        err << "orvo-dib: " << error.what() << "\n";
        return 1;
    }
    catch (const std::exception& error)
    {
        // Whatever else the system reports (a file that cannot be read, no memory left)
        // ends the command as a failure, not as an abort.
        err << "orvo-dib: " << error.what() << "\n";
        return 1;
    }
    err << Usage;
    return 2;
}

} // namespace orvo
