// Encodes any bytes with the LZHUF encoder and decodes them again: the result must be the
// input, and the decoder must stop exactly at the stated length; the stream cut short by
// one byte must be seen to end early.
#include "editor/toolkit/cDIBStandardCompressors.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> input(data, size);
    const auto stream = orvo::LZHEncode(input);
    if (!stream || orvo::LZHStatedLength(*stream) != size)
    {
        std::abort();
    }
    std::vector<std::uint8_t> output(size + 64, 0xA5);
    std::size_t complete = 0;
    if (size > 0 &&
        (orvo::LZHDecode(std::span(*stream).first(stream->size() - 1), output, &complete) != size ||
         complete >= size))
    {
        std::abort();
    }
    std::fill(output.begin(), output.end(), 0xA5);
    if (orvo::LZHDecode(*stream, output, &complete) != size || complete != size ||
        !std::equal(input.begin(), input.end(), output.begin()) ||
        std::any_of(output.begin() + static_cast<std::ptrdiff_t>(size), output.end(),
                    [](std::uint8_t b) { return b != 0xA5; }))
    {
        std::abort();
    }
    return 0;
}
