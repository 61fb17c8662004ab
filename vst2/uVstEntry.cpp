// The module's exported entry, under its two names VSTPluginMain and main. Both are one
// function: main is an assembler-level alias of VSTPluginMain (a C++ function may not be
// called main with this signature).

#include "vst2/uVstEntry.h"

#include "vst2/DAudioEffect.h"

namespace orvo
{

AEffect* vstPluginMain(audioMasterCallback audioMaster) noexcept
{
    if (!audioMaster || audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0)
    {
        return nullptr; // no host, or one that does not speak the interface
    }
    try
    {
        AudioEffect* effect = createEffectInstance(audioMaster);
        return effect ? effect->getAeffect() : nullptr;
    }
    catch (...)
    {
        return nullptr;
    }
}

} // namespace orvo

// ELF exports by visibility; the Windows build exports both names through its .def file.
#if defined(_WIN32)
#define ORVO_ENTRY_EXPORT
#else
#define ORVO_ENTRY_EXPORT __attribute__((visibility("default")))
#endif

#define ORVO_STRINGIFY_INNER(x) #x
#define ORVO_STRINGIFY(x) ORVO_STRINGIFY_INNER(x)

extern "C"
{
    ORVO_ENTRY_EXPORT AEffect* VSTCALL VSTPluginMain(audioMasterCallback audioMaster) noexcept;

    // The second name, spelt at assembler level (with the platform's C symbol prefix, "_" on
    // 32-bit Windows), bound to the same code.
    ORVO_ENTRY_EXPORT AEffect* VSTCALL vstMainAlias(audioMasterCallback audioMaster) noexcept
        __asm__(ORVO_STRINGIFY(__USER_LABEL_PREFIX__) "main")
            __attribute__((alias("VSTPluginMain")));

    AEffect* VSTCALL VSTPluginMain(audioMasterCallback audioMaster) noexcept
    {
        return orvo::vstPluginMain(audioMaster);
    }
}
