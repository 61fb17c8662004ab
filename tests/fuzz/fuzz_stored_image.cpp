// Reads any bytes as a stored image block. A block either gives an image whose pixels
// match its size, an empty image, or EDIBError; never a crash, an out-of-bounds access or
// an allocation beyond the 64 MiB limit.
#include "editor/toolkit/EDIBError.h"
#include "editor/toolkit/cDIBStoredImage.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try
    {
        const orvo::TStoredImage image =
            orvo::ReadStoredImage(std::span<const std::uint8_t>(data, size));
        if (image.Pixels.size() != std::size_t{image.Width} * image.Height * 4)
        {
            std::abort();
        }
    }
    catch (const orvo::EDIBError&)
    {
    }
    return 0;
}
