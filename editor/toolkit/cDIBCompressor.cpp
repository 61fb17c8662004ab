#include "editor/toolkit/cDIBCompressor.h"

#include "editor/toolkit/cDIBStandardCompressors.h"

#include <algorithm>
#include <mutex>

namespace orvo
{

namespace
{

constexpr std::string_view HexDigits = "0123456789ABCDEF";

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
    {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F')
    {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f')
    {
        return c - 'a' + 10;
    }
    return -1;
}

// Where each stored byte's two hex digits sit in "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}":
// the first three fields are little-endian, so their bytes appear in reverse order.
constexpr std::array<std::size_t, 16> TextOffsetOfByte{7,  5,  3,  1,  12, 10, 17, 15,
                                                       20, 22, 25, 27, 29, 31, 33, 35};
constexpr std::size_t GUIDTextLength = 38;

bool IsDashPosition(std::size_t i)
{
    return i == 9 || i == 14 || i == 19 || i == 24;
}

// The registry: guarded by a mutex because several editors may load images at once when a
// host gives each plug-in window its own thread. Entries are never removed, so the
// pointers handed out stay valid for the life of the process.
struct TRegistry
{
    std::mutex Lock;
    std::vector<std::unique_ptr<TAbstractDIBCompressor>> Compressors;

    TRegistry() { RegisterStandardDIBCompressors(Compressors); }
};

TRegistry& Registry()
{
    static TRegistry registry;
    return registry;
}

} // namespace

std::optional<TGUID> GUIDFromText(std::string_view text)
{
    if (text.size() != GUIDTextLength || text.front() != '{' || text.back() != '}')
    {
        return std::nullopt;
    }
    for (std::size_t i = 1; i + 1 < GUIDTextLength; ++i)
    {
        const bool valid = IsDashPosition(i) ? text[i] == '-' : HexValue(text[i]) >= 0;
        if (!valid)
        {
            return std::nullopt;
        }
    }
    TGUID guid;
    for (std::size_t b = 0; b < guid.Bytes.size(); ++b)
    {
        const std::size_t at = TextOffsetOfByte[b];
        guid.Bytes[b] = static_cast<std::uint8_t>(HexValue(text[at]) * 16 + HexValue(text[at + 1]));
    }
    return guid;
}

std::string GUIDToText(const TGUID& guid)
{
    std::string text(GUIDTextLength, '-');
    text.front() = '{';
    text.back() = '}';
    for (std::size_t b = 0; b < guid.Bytes.size(); ++b)
    {
        const std::size_t at = TextOffsetOfByte[b];
        text[at] = HexDigits[guid.Bytes[b] >> 4];
        text[at + 1] = HexDigits[guid.Bytes[b] & 0x0F];
    }
    return text;
}

void RegisterDIBCompressor(std::unique_ptr<TAbstractDIBCompressor> compressor)
{
    if (!compressor)
    {
        return;
    }
    TRegistry& registry = Registry();
    const std::scoped_lock lock(registry.Lock);
    registry.Compressors.push_back(std::move(compressor));
}

const TAbstractDIBCompressor* FindDIBCompressor(const TGUID& guid)
{
    TRegistry& registry = Registry();
    const std::scoped_lock lock(registry.Lock);
    const auto found = std::find_if(registry.Compressors.rbegin(), registry.Compressors.rend(),
                                    [&](const auto& c) { return c->GetGUID() == guid; });
    return found == registry.Compressors.rend() ? nullptr : found->get();
}

std::vector<const TAbstractDIBCompressor*> RegisteredDIBCompressors()
{
    TRegistry& registry = Registry();
    const std::scoped_lock lock(registry.Lock);
    std::vector<const TAbstractDIBCompressor*> all;
    for (const auto& c : registry.Compressors)
    {
        all.push_back(c.get());
    }
    return all;
}

} // namespace orvo
