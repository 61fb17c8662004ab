// The session state decoder over arbitrary bytes: what it accepts lies within every range,
// encodes back to the same bytes, and loads into an effect; what it refuses changes nothing.
#include "core/uEffectState.h"
#include "core/uOrvoEffect.h"
#include "platform/headless/HeadlessServices.h"

#include <cstdint>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const orvo::THeadlessServices headless;
    static const orvo::TPluginServices services{headless.ModuleFile, headless.Resources,
                                                headless.FileSystem, headless.Locale,
                                                headless.MessageBox};
    static orvo::TOrvoEffect effect(services, nullptr);

    const std::span<const std::uint8_t> bytes(data, size);
    const std::vector<std::uint8_t> before = effect.SaveState();
    const auto state = orvo::DecodeEffectState(bytes);
    if (effect.LoadState(bytes) != state.has_value())
    {
        __builtin_trap();
    }
    if (!state)
    {
        if (effect.SaveState() != before)
        {
            __builtin_trap();
        }
        return 0;
    }
    for (const float value : state->Values)
    {
        if (!(value >= 0.0f && value <= 1.0f))
        {
            __builtin_trap();
        }
    }
    const auto again = orvo::DecodeEffectState(orvo::EncodeEffectState(*state));
    if (!again || again->Values != state->Values || again->Map != state->Map ||
        again->Program != state->Program)
    {
        __builtin_trap();
    }
    return 0;
}
