// Compressors for stored image blocks: the abstract compressor, the 16-byte identifiers
// that name them inside a stored block, and the process-wide registry that the image
// reader searches and the image writer picks from.
#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvo
{

/// A compressor identifier in the standard 16-byte GUID layout as it is stored: the first
/// field 32-bit little-endian, the next two 16-bit little-endian, then 8 single bytes.
struct TGUID
{
    std::array<std::uint8_t, 16> Bytes{};

    friend auto operator<=>(const TGUID&, const TGUID&) = default;
};

/// Parses "{BC0C10FC-E045-41E7-A37C-B86AF21320B8}" (hex digits in either case, braces
/// required); nullopt for anything else.
std::optional<TGUID> GUIDFromText(std::string_view text);
/// The braced upper-case text form, the inverse of GUIDFromText.
std::string GUIDToText(const TGUID& guid);

/// One way of compressing the uncompressed image block (width, height, pixels).
class TAbstractDIBCompressor
{
  public:
    virtual ~TAbstractDIBCompressor() = default;

    virtual TGUID GetGUID() const = 0;
    virtual std::string_view GetName() const = 0;
    virtual std::string_view GetDescription() const = 0;

    /// The compressed form of `block`. Throws EDIBError when the compressor gives up
    /// (output longer than the input, tables not available); the writer then stores the
    /// block uncompressed.
    virtual std::vector<std::uint8_t> Compress(std::span<const std::uint8_t> block) const = 0;

    /// Decodes `data` into `block`, writing at most block.size() bytes and never reading
    /// outside `data`. Returns how many bytes of `block` it filled: fewer than
    /// block.size() when the data describes a shorter block or ends before the block is
    /// complete. Throws EDIBError only when
    /// its working tables cannot be allocated.
    virtual std::size_t Decompress(std::span<const std::uint8_t> data,
                                   std::span<std::uint8_t> block) const = 0;
};

/// Adds a compressor to the process-wide registry (after the standard ones). The
/// registry keeps it for the life of the process.
void RegisterDIBCompressor(std::unique_ptr<TAbstractDIBCompressor> compressor);

/// The registered compressor with this identifier, searching from the last registered to
/// the first, or nullptr. The standard compressors are always registered.
const TAbstractDIBCompressor* FindDIBCompressor(const TGUID& guid);

/// Every registered compressor in the order of registration.
std::vector<const TAbstractDIBCompressor*> RegisteredDIBCompressors();

} // namespace orvo
