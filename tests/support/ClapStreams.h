// The state streams a CLAP host hands to the plug-in's state extension: an output stream that
// collects the bytes, and an input stream over given bytes that answers at most a chunk per
// read (1 for one byte at a time) or fails with -1 after some bytes.
#pragma once

#include "clap/abi/DClapExtensions.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

namespace orvo::test
{
class TClapOStream
{
  public:
    TClapOStream() : FStream{this, &Write} {}
    const clap_ostream_t* Get() const { return &FStream; }
    const std::vector<std::uint8_t>& Bytes() const { return FBytes; }

  private:
    static std::int64_t CLAPCALL Write(const clap_ostream_t* stream, const void* buffer,
                                       std::uint64_t size)
    {
        auto* self = static_cast<TClapOStream*>(stream->ctx);
        const auto* bytes = static_cast<const std::uint8_t*>(buffer);
        self->FBytes.insert(self->FBytes.end(), bytes, bytes + size);
        return static_cast<std::int64_t>(size);
    }

    std::vector<std::uint8_t> FBytes;
    clap_ostream_t FStream;
};

class TClapIStream
{
  public:
    /// Reads answer at most chunk bytes; after failAfter bytes every read answers -1.
    explicit TClapIStream(std::vector<std::uint8_t> bytes,
                          std::uint64_t chunk = std::numeric_limits<std::uint64_t>::max(),
                          std::uint64_t failAfter = std::numeric_limits<std::uint64_t>::max())
        : FBytes(std::move(bytes)), FChunk(chunk), FFailAfter(failAfter), FStream{this, &Read}
    {
    }
    const clap_istream_t* Get() const { return &FStream; }

  private:
    static std::int64_t CLAPCALL Read(const clap_istream_t* stream, void* buffer,
                                      std::uint64_t size)
    {
        auto* self = static_cast<TClapIStream*>(stream->ctx);
        if (self->FPosition >= self->FFailAfter)
        {
            return -1;
        }
        const std::uint64_t left = self->FBytes.size() - self->FPosition;
        const std::uint64_t count =
            std::min({size, left, self->FChunk, self->FFailAfter - self->FPosition});
        if (count > 0)
        {
            std::memcpy(buffer, self->FBytes.data() + self->FPosition, count);
        }
        self->FPosition += count;
        return static_cast<std::int64_t>(count);
    }

    std::vector<std::uint8_t> FBytes;
    std::uint64_t FChunk;
    std::uint64_t FFailAfter;
    std::uint64_t FPosition = 0;
    clap_istream_t FStream;
};
} // namespace orvo::test
