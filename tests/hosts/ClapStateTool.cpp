// The Qtractor host test's state helper: Qtractor takes a CLAP plug-in's settings from the
// plug-in's own state bytes in the session, Qt-compressed (the uncompressed size as four
// bytes, big-endian, then a zlib stream) and base64-encoded.
//
//   orvo-clap-state CLAP [--preset NAME] [ID=VALUE ...]
//       prints, in that form, the state of the module's plug-in after loading the factory
//       preset NAME (found through the preset-discovery factory) and setting parameters (CLAP
//       parameter ids and plain values, through the parameters' flush).
//   orvo-clap-state --raw TEXT
//       prints the state bytes held in TEXT (that form) as hex, to compare two states.
#include "tests/support/ClapPresetList.h"
#include "tests/support/ClapStreams.h"
#include "tests/support/ClapTestHost.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>
#include <zlib.h>

namespace
{
using namespace orvo::test;

constexpr char Base64Digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string Base64(const std::vector<std::uint8_t>& bytes)
{
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); i += 3)
    {
        const std::size_t count = std::min<std::size_t>(3, bytes.size() - i);
        std::uint32_t group = static_cast<std::uint32_t>(bytes[i]) << 16;
        group |= count > 1 ? static_cast<std::uint32_t>(bytes[i + 1]) << 8 : 0;
        group |= count > 2 ? bytes[i + 2] : 0U;
        for (std::size_t d = 0; d < 4; ++d)
        {
            text += d <= count ? Base64Digits[(group >> (18 - 6 * d)) & 63] : '=';
        }
    }
    return text;
}

std::vector<std::uint8_t> FromBase64(const std::string& text)
{
    std::vector<std::uint8_t> bytes;
    std::uint32_t group = 0;
    int bits = 0;
    for (const char c : text)
    {
        const char* digit = std::strchr(Base64Digits, c);
        if (c == '\0' || digit == nullptr)
        {
            continue; // padding, white space and line breaks
        }
        group = (group << 6) | static_cast<std::uint32_t>(digit - Base64Digits);
        bits += 6;
        if (bits >= 8)
        {
            bits -= 8;
            bytes.push_back(static_cast<std::uint8_t>(group >> bits));
        }
    }
    return bytes;
}

/// Qt's compressed form: the size big-endian, then zlib.
std::vector<std::uint8_t> QtCompress(const std::vector<std::uint8_t>& bytes)
{
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    std::vector<std::uint8_t> packed(4 + size);
    const auto length = static_cast<std::uint32_t>(bytes.size());
    for (int i = 0; i < 4; ++i)
    {
        packed[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(length >> (24 - 8 * i));
    }
    if (compress(packed.data() + 4, &size, bytes.data(), static_cast<uLong>(bytes.size())) != Z_OK)
    {
        throw std::runtime_error("zlib could not compress the state");
    }
    packed.resize(4 + size);
    return packed;
}

std::vector<std::uint8_t> QtUncompress(const std::vector<std::uint8_t>& packed)
{
    if (packed.size() < 4)
    {
        throw std::runtime_error("the text holds no compressed state");
    }
    uLongf size = (uLongf{packed[0]} << 24) | (uLongf{packed[1]} << 16) | (uLongf{packed[2]} << 8) |
                  packed[3];
    std::vector<std::uint8_t> bytes(size);
    if (uncompress(bytes.data(), &size, packed.data() + 4, static_cast<uLong>(packed.size() - 4)) !=
        Z_OK)
    {
        throw std::runtime_error("the compressed state does not decompress");
    }
    bytes.resize(size);
    return bytes;
}

int PrintState(int argc, char** argv)
{
    const TClapModule module(argv[1]);
    TClapTestHost host(module);
    TClapEventList settings;
    for (int i = 2; i < argc; ++i)
    {
        const std::string argument = argv[i];
        if (argument == "--preset" && i + 1 < argc)
        {
            const std::string name = argv[++i];
            const auto* load = host.Extension<clap_plugin_preset_load_t>(CLAP_EXT_PRESET_LOAD);
            bool loaded = false;
            for (const TClapPreset& preset : ListClapPresets(module))
            {
                if (preset.Name == name && load != nullptr)
                {
                    loaded = load->from_location(host.Plugin(), preset.LocationKind,
                                                 preset.Location.empty() ? nullptr
                                                                         : preset.Location.c_str(),
                                                 preset.LoadKey.c_str());
                    break;
                }
            }
            if (!loaded)
            {
                throw std::runtime_error("no factory preset " + name + " could be loaded");
            }
            continue;
        }
        const std::size_t equals = argument.find('=');
        if (equals == std::string::npos)
        {
            throw std::runtime_error("not a parameter setting: " + argument);
        }
        settings.AddParamValue(0, static_cast<clap_id>(std::stoul(argument.substr(0, equals))),
                               std::stod(argument.substr(equals + 1)));
    }
    const auto* params = host.Extension<clap_plugin_params_t>(CLAP_EXT_PARAMS);
    const auto* state = host.Extension<clap_plugin_state_t>(CLAP_EXT_STATE);
    if (params == nullptr || state == nullptr)
    {
        throw std::runtime_error("the plug-in has no parameters or no state");
    }
    params->flush(host.Plugin(), settings.Input(), host.Out().Output());
    TClapOStream stream;
    if (!state->save(host.Plugin(), stream.Get()))
    {
        throw std::runtime_error("the plug-in did not save its state");
    }
    std::printf("%s\n", Base64(QtCompress(stream.Bytes())).c_str());
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    try
    {
        if (argc == 3 && std::string(argv[1]) == "--raw")
        {
            for (const std::uint8_t byte : QtUncompress(FromBase64(argv[2])))
            {
                std::printf("%02x", byte);
            }
            std::printf("\n");
            return 0;
        }
        if (argc >= 2 && argv[1][0] != '-')
        {
            return PrintState(argc, argv);
        }
        std::fprintf(stderr, "usage: orvo-clap-state CLAP [--preset NAME] [ID=VALUE ...]\n"
                             "       orvo-clap-state --raw TEXT\n");
        return 2;
    }
    catch (const std::exception& error)
    {
        std::fprintf(stderr, "orvo-clap-state: %s\n", error.what());
        return 1;
    }
}
