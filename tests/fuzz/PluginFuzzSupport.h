// An APlugin for fuzz targets: the real factory bank, no module folder (so no files are
// read or written; see THeadlessServices), and a host callback that checks every message the effect
// sends.
#pragma once

#include "platform/headless/HeadlessServices.h"
#include "vst2/uPlugin.h"
#include "vst2/uPluginEditor.h"

#include <cstdint>
#include <cstring>

namespace orvo::fuzz
{
inline const TPluginServices& Services()
{
    static const THeadlessServices headless;
    static const TPluginServices services{headless.ModuleFile, headless.Resources,
                                          headless.FileSystem, headless.Locale,
                                          headless.MessageBox};
    return services;
}

/// What the fuzz host saw during the current processing call.
struct THostLog
{
    std::int32_t BlockFrames = 0;
    std::int64_t ThruMessages = 0;
};
inline THostLog HostLog;

/// Answers like a minimal host; traps on a thru message stamped outside the current block.
inline VstIntPtr VSTCALL FuzzHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float)
{
    if (opcode == audioMasterVersion)
    {
        return 2400;
    }
    if (opcode == audioMasterProcessEvents && ptr != nullptr)
    {
        const auto* events = static_cast<const VstEvents*>(ptr);
        if (events->numEvents != 1)
        {
            __builtin_trap();
        }
        const std::int32_t last = HostLog.BlockFrames > 0 ? HostLog.BlockFrames - 1 : 0;
        if (events->events[0]->deltaFrames < 0 || events->events[0]->deltaFrames > last)
        {
            __builtin_trap();
        }
        ++HostLog.ThruMessages;
    }
    return 0;
}

/// Reads fixed-size values off the front of the fuzz input; zeros once it runs out.
class TInput
{
  public:
    TInput(const std::uint8_t* data, std::size_t size) : FData(data), FSize(size) {}
    template <typename T> T Take()
    {
        T value{};
        const std::size_t count = FSize < sizeof(T) ? FSize : sizeof(T);
        if (count > 0)
        {
            std::memcpy(&value, FData, count);
        }
        FData += count;
        FSize -= count;
        return value;
    }
    bool Empty() const { return FSize == 0; }

  private:
    const std::uint8_t* FData;
    std::size_t FSize;
};
} // namespace orvo::fuzz
