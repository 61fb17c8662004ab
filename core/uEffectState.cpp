#include "core/uEffectState.h"

#include <bit>
#include <cmath>
#include <cstring>

namespace orvo
{
namespace
{
constexpr std::array<std::uint8_t, 4> Magic{'O', 'r', 'v', 'S'};
constexpr std::uint16_t Version = 1;
constexpr std::size_t HeaderSize = 12;

void PutU16(std::vector<std::uint8_t>& out, std::uint16_t v)
{
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int shift = 0; shift < 32; shift += 8)
    {
        out.push_back(static_cast<std::uint8_t>((v >> shift) & 0xFF));
    }
}

std::uint32_t GetU32(std::span<const std::uint8_t> bytes, std::size_t at) noexcept
{
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::uint16_t GetU16(std::span<const std::uint8_t> bytes, std::size_t at) noexcept
{
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}
} // namespace

std::vector<std::uint8_t> EncodeEffectState(const TEffectState& state)
{
    std::vector<std::uint8_t> out(Magic.begin(), Magic.end());
    PutU16(out, Version);
    PutU16(out, static_cast<std::uint16_t>(ParameterCount));
    PutU32(out, static_cast<std::uint32_t>(state.Program));
    for (const float value : state.Values)
    {
        PutU32(out, std::bit_cast<std::uint32_t>(value));
    }
    for (const std::int32_t parameter : state.Map.CcToParam)
    {
        out.push_back(static_cast<std::uint8_t>(static_cast<std::int8_t>(parameter)));
    }
    for (const std::int32_t cc : state.Map.ParamToCc)
    {
        out.push_back(static_cast<std::uint8_t>(static_cast<std::int8_t>(cc)));
    }
    return out;
}

std::optional<TEffectState> DecodeEffectState(std::span<const std::uint8_t> bytes) noexcept
{
    if (bytes.size() < HeaderSize || !std::equal(Magic.begin(), Magic.end(), bytes.begin()) ||
        GetU16(bytes, 4) != Version)
    {
        return std::nullopt;
    }
    const std::size_t count = GetU16(bytes, 6);
    if (count > static_cast<std::size_t>(ParameterCount) ||
        bytes.size() != HeaderSize + 4 * count + MidiCcCount + count)
    {
        return std::nullopt;
    }
    TEffectState state;
    state.Program = static_cast<std::int32_t>(GetU32(bytes, 8));
    if (!IsProgramIndex(state.Program))
    {
        return std::nullopt;
    }
    for (std::int32_t i = 0; i < ParameterCount; ++i)
    {
        state.Values[static_cast<std::size_t>(i)] = InfoOf(i).Default;
    }
    for (std::size_t i = 0; i < count; ++i)
    {
        const float value = std::bit_cast<float>(GetU32(bytes, HeaderSize + 4 * i));
        if (!(value >= 0.0f && value <= 1.0f))
        {
            return std::nullopt;
        }
        state.Values[i] = value;
    }
    state.Map = TMidiMap::Empty();
    const std::size_t ccAt = HeaderSize + 4 * count;
    for (std::size_t cc = 0; cc < static_cast<std::size_t>(MidiCcCount); ++cc)
    {
        const auto parameter = static_cast<std::int8_t>(bytes[ccAt + cc]);
        if (parameter != NoBinding && !IsParameterIndex(parameter))
        {
            return std::nullopt;
        }
        state.Map.CcToParam[cc] = parameter;
    }
    const std::size_t parameterAt = ccAt + MidiCcCount;
    for (std::size_t p = 0; p < count; ++p)
    {
        const auto cc = static_cast<std::int8_t>(bytes[parameterAt + p]);
        if (cc < NoBinding)
        {
            return std::nullopt;
        }
        state.Map.ParamToCc[p] = cc;
    }
    return state;
}
} // namespace orvo
